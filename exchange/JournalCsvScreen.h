#pragma once
// The journal CSV export screen runDataout ("仕訳データ抽出処理") and import
// screen runDatain ("仕訳データ取込処理"): a month list of the company's months
// (no choice means all months), a start button and a back button. The export
// asks for confirmation and a folder, then writes the pair there; the import
// asks for the folder holding the pair of the chosen month and replaces the
// company's dated lines by its lines (ledger/journalcsv.h).

#include "platform/form.h"

class QComboBox;
class QLabel;
class QPushButton;

class JournalCsvScreen : public platform::Form {
    Q_OBJECT
public:
    enum class Mode { Export, Import };
    JournalCsvScreen(Mode mode, QWidget* parent = nullptr);

    QLabel* lbl1 = nullptr;
    QLabel* lblReadMe = nullptr;
    QLabel* lbl4 = nullptr;
    QComboBox* cmbTuki = nullptr;
    QPushButton* cmdStart = nullptr;
    QPushButton* cmdBack = nullptr;
    QLabel* lblMessage = nullptr;

    // The chosen month's label, empty for all months.
    QString monthLabel() const;

public slots:
    void cmdStart_Click();
    void cmdBack_Click();

protected:
    void Form_Load() override;

private:
    void runExport();
    void runImport();
    void busy(bool on);

    Mode mode_;
    QString caption_;
};

class runDataout : public JournalCsvScreen {
    Q_OBJECT
public:
    explicit runDataout(QWidget* parent = nullptr) : JournalCsvScreen(Mode::Export, parent) {}
};

class runDatain : public JournalCsvScreen {
    Q_OBJECT
public:
    explicit runDatain(QWidget* parent = nullptr) : JournalCsvScreen(Mode::Import, parent) {}
};
