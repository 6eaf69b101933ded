#pragma once
// The account editor (caption "勘定科目台帳編集"): name, order and sub-accounts
// of one chart account, opened from the chart-of-accounts screen on the
// account's internal code. The number and the opening balance are shown only.
// Up to nine sub-accounts with their opening balances are kept in a grid;
// a double-click on a slot edits it in the boxes below ("修 正" copies them
// back, "取 消" leaves them). Nothing is written while the screen is open:
// closing checks the input (ledger/chartofaccounts.h) and saves everything in
// one transaction. A refused check keeps the screen open with what the user
// typed; after a failed save the user chooses between closing without saving
// and staying. Sub-account balances under a switched-off account are cleared
// in the save once the user agrees (else the screen stays). A save that
// succeeded raises saved().

#include <QString>

#include "ledger/chartofaccounts.h"
#include "platform/form.h"

class QCheckBox;
class QLabel;
class QPushButton;

namespace platform {
class ImNumber;
class ImText;
class SpreadGrid;
}  // namespace platform

class InpKanjokamokuCh : public platform::Form {
    Q_OBJECT
public:
    explicit InpKanjokamokuCh(const QString& kocode, QWidget* parent = nullptr);
    ~InpKanjokamokuCh() override;

    static QString ReadMeText();

    // Sub-account grid columns.
    enum Column { colHocode = 1, colHoname = 2, colKisyuzan = 3, colHokocode = 4 };

    QLabel* Label1 = nullptr;
    platform::ImText* txtKamokuCode = nullptr;
    platform::ImText* txtKamokuName = nullptr;
    platform::ImText* txtNarabijyun = nullptr;
    platform::ImNumber* txtKisyuZandaka = nullptr;
    QCheckBox* chkHojokamoku = nullptr;
    QLabel* lblSiyou = nullptr;
    QLabel* lblSyoriKbn = nullptr;
    QLabel* lblBunrui = nullptr;
    QLabel* lblSyukei = nullptr;
    platform::SpreadGrid* spdSS = nullptr;
    platform::ImText* txtHK_Code = nullptr;
    platform::ImText* txtHK_Name = nullptr;
    platform::ImNumber* txtHK_Zandaka = nullptr;
    QLabel* lblReadMe = nullptr;
    QPushButton* cmdTouroku = nullptr;
    QPushButton* cmdBack = nullptr;
    QPushButton* cmdCancel = nullptr;
    QPushButton* cmdHojokamoku = nullptr;
    QPushButton* cmdDelete = nullptr;
    QPushButton* cmdSyusei = nullptr;

    // The edit as the screen holds it now (boxes and grid).
    AccountEdit currentEdit() const;

signals:
    // The account was stored with these values.
    void saved(const ChartRowValues& values);

public slots:
    void cmdTouroku_Click();
    void cmdBack_Click();
    void cmdCancel_Click();
    void cmdHojokamoku_Click();
    void cmdDelete_Click();
    void cmdSyusei_Click();
    void chkHojokamoku_Click();
    void spdSS_DblClick(int row, int col);

protected:
    void Form_Load() override;
    void Form_Unload(bool& cancel) override;
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    bool show_kamoku_data();
    void change_hojo_mode(bool gridMode);
    void showGrid(bool on);

    QWidget* mSlotPanel = nullptr;  // the slot boxes with their labels
    QString mKocode;
    AccountEdit mLoaded;  // the account as loaded (what the screen does not change)
    int mEditRow = 0;     // the slot being edited in the boxes
};
