#pragma once
// The backup screen runBackUp ("バックアップ処理"): the user's own text backup
// of the current company into a chosen folder, the restore of the company
// from such a set, the compaction of the database file and a help box.
// The work is done by the engine (ledger/textbackup.h, ledger/restore.h,
// ledger/compaction.h); the screen asks, shows its progress label and
// recomposes the captions after a restore.
//
// Keys: S backup, F restore, C compaction, X back (letters without
// modifiers); Enter and Escape move between the controls.

#include "platform/form.h"

class QLabel;
class QPushButton;

class runBackUp : public platform::Form {
    Q_OBJECT
public:
    explicit runBackUp(QWidget* parent = nullptr);

    // The help box's text: three lines, each ended by CR LF.
    static QString HelpText();

    QLabel* Label1 = nullptr;
    QLabel* lblReadMe = nullptr;
    QLabel* lblMessage = nullptr;
    QPushButton* cmdBackUp = nullptr;
    QPushButton* cmdLoalBack = nullptr;
    QPushButton* cmdCompact = nullptr;
    QPushButton* cmdBack = nullptr;
    QPushButton* cmdQuestion = nullptr;

public slots:
    void cmdBackUp_Click();
    void cmdLoalBack_Click();
    void cmdCompact_Click();
    void cmdBack_Click();
    void cmdQuestion_Click();

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
