#pragma once
// The daily cash entry screen (title "ミルト入力"): one day voucher of the
// current company at a time, with
//   spdSS1  income accounts, one row per account (amount, description);
//   spdSS2  purchase and expense accounts, the same columns;
//   spdSS3  free journal lines (pattern, debit and credit account and
//           sub-account, amount, description), the row header "D" deletes a line;
// the day's totals and cash balance below, and buttons to register or delete
// the day and to move between days.
//
// Opening: the opener hands over what it opens on (DailyEntryContext), e.g.
//   auto* screen = new InpKantanSiwake(DailyEntryContext{"MainMenu", true, *range});
//   screen->showFrom(this);
// The load runs in one transaction: opened by a menu it first creates the
// missing day vouchers, and its range becomes the company's whole range read
// after them; then it shows the voucher range.maxDenCode and never leaves the
// range range.minDenCode..range.maxDenCode.
// When the load fails, the screen closes at its first activation and the
// opener is visible again. Closing (the back button or the window's close box)
// asks before unsaved edits are dropped, then makes the opener visible.
//
// Capacities of one day: 16 income accounts, 64 purchase and expense accounts,
// 128 free lines.

#include <QString>
#include <QStringList>
#include <array>
#include <functional>
#include <vector>

#include "ledger/choicelists.h"
#include "ledger/daytotals.h"
#include "ledger/vouchers.h"
#include "platform/connection.h"
#include "platform/form.h"

class QLabel;
class QPushButton;
class QWidget;

namespace platform {
class ImDate;
class ImNumber;
class SpreadGrid;
}  // namespace platform

struct FreeLine;
struct GridLine;

// What the daily entry opens on.
struct DailyEntryContext {
    QString callForm;       // the opener's screen name ("MainMenu", "prtSiwakeNikki")
    bool fromMenu = false;  // a menu: the missing day vouchers are created first
    VoucherRange range;     // the vouchers the screen moves between
};

class InpKantanSiwake : public platform::Form {
    Q_OBJECT
public:
    explicit InpKantanSiwake(DailyEntryContext context = {}, QWidget* parent = nullptr);
    const DailyEntryContext& context() const { return context_; }
    ~InpKantanSiwake() override;

    // The help button shows the data-entry manual through this hook, which the
    // program shell installs (the manual screen belongs to the shell). It is
    // given the daily entry as the opener to hide and show again. Without a
    // hook the help button is disabled.
    static void setManualOpener(std::function<void(QWidget* from)> opener);

    // Capacities of the load snapshots.
    static constexpr int kIncomeRows = 16;
    static constexpr int kExpenseRows = 64;
    static constexpr int kFreeRows = 128;

    // The voucher shown: DENCODE, DENNO, DENDAY.
    const std::array<QString, 3>& denpyo() const { return mstrDenpyo; }
    // False while the day on screen is not completely loaded (a failed move
    // that could not return to the previous day): such a day is neither
    // registered nor deleted.
    bool isDayLoaded() const { return mblnDayLoaded; }
    // True when the day has edits that registering would store.
    bool hasUnsavedEdits() const;

    // Controls.
    QLabel* Label1;
    platform::ImDate* txtSyoriNen;
    QPushButton* cmdZenjitu;
    QPushButton* cmdYokujitu;
    platform::ImNumber* txtZenjituZandaka;
    QLabel* lblRate;
    platform::ImNumber* txtRate;
    QLabel* Label13;
    platform::SpreadGrid* spdSS1;
    QLabel* Label14;
    platform::SpreadGrid* spdSS2;
    QLabel* lblKanjokamoku;
    platform::SpreadGrid* spdSS3;
    platform::ImNumber* txtSyunyuGokei;
    platform::ImNumber* txtSiireGokei;
    platform::ImNumber* txtNyukinGokei;
    platform::ImNumber* txtSyukkinGokei;
    platform::ImNumber* txtHonjituRieki;
    platform::ImNumber* txtHonjituZandaka;
    QPushButton* cmdTouroku;
    QPushButton* cmdDelete;
    QPushButton* cmdBack;
    QPushButton* cmdQuestion;

protected:
    void Form_Load() override;
    void Form_Activate() override;
    void Form_Unload(bool& cancel) override;

private:
    // Layout (InpKantanSiwake.cpp).
    void buildControls();
    QSize preferredSize() const;
    void buildGrids();
    void connectHandlers();
    void place_label_kanjokamoku();

    // Close and help (InpKantanSiwake.cpp).
    void cmdBack_Click();
    void cmdQuestion_Click();
    bool check_spread_change() const;
    void take_load_snapshot();
    bool askDropEdits(const QString& question);

    // Loading (InpKantanSiwake_load.cpp).
    bool readCompany();
    bool show_day(const SiwakeData& voucher);
    bool set_start_spread();
    bool load_choice_lists();
    bool set_spread_sheet12(platform::SpreadGrid* grid, const QString& class1, const QString& class2,
                            int capacity);
    bool fill_free_line(int row, const platform::Row& line, const platform::Rows& patterns);
    void set_blank_free_line(int row);
    bool set_loaded_sub_account(int row, int col, const QString& kocode, const QString& hokocode);
    bool set_spread_Hojokamoku(int row, int accountCol, const QString& kmcode, const QString& kanname);

    // Grid behaviour and free lines (InpKantanSiwake_grids.cpp).
    void spdSS1_Change(int row, int col);
    void spdSS2_Change(int row, int col);
    void spdSS3_Change(int row, int col);
    void spdSS1_Advance(bool forward);
    void spdSS2_Advance(bool forward);
    void spdSS3_Advance(bool forward);
    void spdSS3_Click(int row, int col);
    void choosePattern(int row);
    bool fillPatternSide(int row, const QString& kmcode, int accountCol, const QString& missingMessage);
    bool add_spread3_row(int row);
    void resetSubAccountLists(int fromRow);
    bool gokei_keisan();
    std::vector<Currency> gridAmounts(const platform::SpreadGrid* grid) const;
    std::vector<GridLine> gridLines(const platform::SpreadGrid* grid) const;
    std::vector<FreeLine> freeLines() const;

    // Registration and deletion (InpKantanSiwake_register.cpp).
    void cmdTouroku_Click();
    void cmdDelete_Click();
    bool check_syori_nen();
    bool check_siwake_meisai_data3();
    bool checkShownDay();

    // Day navigation (InpKantanSiwake_navigate.cpp).
    bool load_day_data();
    void cmdZenjitu_Click();
    void cmdYokujitu_Click();
    void txtSyoriNen_LostFocus();
    void restoreDateBox();
    void focusFirstIncome();

    // Edit state.
    bool mblnChange = false;
    bool mblnDayLoaded = false;
    bool mblnLineDeleted = false;  // a free line was deleted since the load

    DailyEntryContext context_;
    std::array<QString, 4> mstrCompany;  // KISYU, KIMATU, SIINLDAY, AICODE
    std::array<QString, 3> mstrDenpyo;   // DENCODE, DENNO, DENDAY
    SiwakeData mvoucher;                 // the voucher as loaded
    bool mblnRateShown = false;

    // Load snapshots: columns 2 (value) and 3 (text) of grids 1 and 2, and
    // columns 1 to 7 of grid 3 (column 6 as its value); index 0 unused.
    std::vector<std::array<QString, 2>> mstrSpread1;
    std::vector<std::array<QString, 2>> mstrSpread2;
    std::vector<std::array<QString, 8>> mstrSpread3;

    // Choice lists of the day loaded.
    QString mstrTekiyoList;
    QString mstrKamokuList;
    QStringList mstrKamokuCodes;
    QStringList mstrKamokuNames;
    QString mstrPatternList;
    ProfitChart mProfitChart;
    ChartAccounts mChartAccounts;  // read once per day load, for the free lines

    QWidget* mLabelHolder = nullptr;
    bool mblnSettingDate = false;
};
