#pragma once
// The conversion screen runConverter ("データコンバーター処理"): the current
// company's data written as a conversion set for the Chinese-language
// edition, and a set written by that edition read back into the company.
// The work is done by the engine (ledger/editionconversion.h); the screen
// asks for the folder, shows its progress label and recomposes the captions
// after an import.
//
// Keys: C export, J import, X back (letters without modifiers); Enter and
// Escape move between the controls.

#include "platform/form.h"

class QGroupBox;
class QLabel;
class QPushButton;
class QRadioButton;

class runConverter : public platform::Form {
    Q_OBJECT
public:
    explicit runConverter(QWidget* parent = nullptr);

    // The help box's text: two lines, each ended by CR LF.
    static QString HelpText();

    QLabel* Label1 = nullptr;
    QLabel* lblReadMe = nullptr;
    QLabel* lblMessage = nullptr;
    QGroupBox* Frame5 = nullptr;
    QRadioButton* optYes = nullptr;
    QRadioButton* optNo = nullptr;
    QPushButton* cmdBackUp = nullptr;
    QPushButton* cmdConverter = nullptr;
    QPushButton* cmdQuestion = nullptr;
    QPushButton* cmdBack = nullptr;

public slots:
    void cmdBackUp_Click();
    void cmdConverter_Click();
    void cmdQuestion_Click();
    void cmdBack_Click();

protected:
    void Form_Load() override;

private:
    // Shows lblMessage with text and repaints.
    void busy(const QString& text);
    // Hides lblMessage, gives the focus to cmdBack and repaints.
    void done();
    // This screen's caption and its opener's (the save/update menu) from the
    // current fiscal label.
    void recomposeCaptions();

    QString designCaption_;
};
