// Loading a day into the daily entry screen: the company's settings, the
// voucher's balances, the choice lists, the income and expense grids and the
// free journal lines. Nothing here writes to the database.

#include <QDate>
#include <QLabel>

#include "app/common/globals.h"
#include "app/common/gridhelpers.h"
#include "app/common/values.h"
#include "entry/InpKantanSiwake.h"
#include "ledger/choicelists.h"
#include "ledger/dayregistration.h"
#include "ledger/period.h"
#include "platform/connection.h"
#include "platform/imdate.h"
#include "platform/imnumber.h"
#include "platform/msgbox.h"
#include "platform/spreadgrid.h"

namespace {

const QColor kDeleteMark(255, 0, 0);  // the row header "D" in red

void warn(const QString& text) {
    platform::MsgBox::show(gstrSoftName, text, platform::MsgIcon::Warning);
}

void warnStartSpread() {
    warn(QStringLiteral("スプレッドシートの設定中にエラーが発生しました(set_start_spread)。"));
}

// A rate read from the database as the number box shows it.
Currency rateAmount(double rate) {
    return Currency::parse(RateText(rate)).value_or(Currency());
}

}  // namespace

// The company's period, input range and cash account, and whether it keeps
// an exchange rate (which shows the rate box).
bool InpKantanSiwake::readCompany() {
    const PeriodRead period = CurrentPeriod();
    if (!period.period) return false;
    const auto row = gcnKaikei->queryOne(QStringLiteral("SELECT SIINLDAY, AICODE, KANCNG FROM WK_COMPANY"));
    if (!row || row->size() == 0) return false;
    mstrCompany[0] = period.period->kisyu;
    mstrCompany[1] = period.period->kimatu;
    mstrCompany[2] = row->text("SIINLDAY");
    mstrCompany[3] = row->text("AICODE");
    mblnRateShown = Trim(row->text("KANCNG")) == QLatin1String("1");
    txtRate->setVisible(mblnRateShown);
    lblRate->setVisible(mblnRateShown);
    return true;
}

// Makes voucher the day shown: its balances and rate, the three grids and
// the totals. The day counts as loaded only when all of it succeeded.
bool InpKantanSiwake::show_day(const SiwakeData& voucher) {
    mblnDayLoaded = false;
    mvoucher = voucher;
    mstrDenpyo = {voucher.denCode, voucher.denNo, voucher.denDay};
    txtZenjituZandaka->setValue(voucher.yDayZan);
    txtRate->setValue(rateAmount(voucher.rate));
    if (!set_start_spread()) return false;
    if (!gokei_keisan()) return false;
    mblnDayLoaded = true;
    return true;
}

// Fills the three grids for the voucher in mstrDenpyo, builds the choice
// lists and takes the load snapshot.
// Reads the description, account and pattern choice lists of the free-line
// grid afresh (they change when another screen edits them).
bool InpKantanSiwake::load_choice_lists() {
    QString tekiyo;
    QString kamoku;
    QStringList codes;
    QStringList names;
    QString patterns;
    if (!set_cmbTekiyo(tekiyo) || !set_cmbKamoku(kamoku, codes, names) || !set_cmbIkkatuSiwake(patterns)) {
        return false;
    }
    mstrTekiyoList = tekiyo;
    mstrKamokuList = kamoku;
    mstrKamokuCodes = codes;
    mstrKamokuNames = names;
    mstrPatternList = patterns;
    return true;
}

bool InpKantanSiwake::set_start_spread() {
    mblnChange = false;
    if (!load_choice_lists()) return false;
    const std::optional<ProfitChart> chart = LoadProfitChart();
    if (!chart) {
        warnStartSpread();
        return false;
    }
    mProfitChart = *chart;
    std::optional<ChartAccounts> accounts = LoadChartAccounts();
    if (!accounts) {
        warnStartSpread();
        return false;
    }
    mChartAccounts = std::move(*accounts);

    struct Redraw {
        std::array<platform::SpreadGrid*, 3> grids;
        ~Redraw() {
            for (auto* g : grids) g->setRedraw(true);
        }
    } redraw{{spdSS1, spdSS2, spdSS3}};
    for (auto* g : redraw.grids) g->setRedraw(false);

    ClearSpreadBlock(*spdSS1, 1, spdSS1->maxRows(), 2, 3);
    ClearSpreadBlock(*spdSS2, 1, spdSS2->maxRows(), 2, 3);
    ClearSpreadBlock(*spdSS3, 1, spdSS3->maxRows(), 1, spdSS3->maxCols());

    if (!set_spread_sheet12(spdSS1, QStringLiteral("1"), QStringLiteral("dummy"), kIncomeRows)) return false;
    if (!set_spread_sheet12(spdSS2, QStringLiteral("2"), QStringLiteral("3"), kExpenseRows)) return false;

    // The day's free lines, by the same key that the registration replaces
    // them by: every voucher of the day (a day of more than 999 lines has
    // several), whatever their number; kFreeRows bounds only the lines added
    // by hand.
    const auto lines = gcnKaikei->query(
        QStringLiteral("SELECT * FROM T_SI_MEISAI WHERE CID = ? AND DENCODE IN (SELECT DENCODE FROM T_SIWAKE"
                       " WHERE CID = ? AND DENDAY = ?) AND SISYU = '1' ORDER BY DENCODE, DENMENO"),
        {gstrCID, gstrCID, mstrDenpyo[2]});
    const auto patternRows = gcnKaikei->query(
        QStringLiteral(
            "SELECT KRCODE, KSCODE, SINAME FROM T_SI_PATTERN WHERE CID = ? ORDER BY KRCODE, KSCODE"),
        {gstrCID});
    if (!lines || !patternRows) {
        warnStartSpread();
        return false;
    }
    int row = 0;
    for (const platform::Row& line : *lines) {
        ++row;
        spdSS3->setMaxRows(row);
        if (!fill_free_line(row, line, *patternRows)) return false;
    }
    for (int r = row + 1; r <= 2; ++r) {
        spdSS3->setMaxRows(r);
        set_blank_free_line(r);
    }
    spdSS3->setMaxRows(std::max(row, 2));

    take_load_snapshot();
    return true;
}

// Fills grid 1 (class "1") or grid 2 (classes "2" and "3") with the chart's
// accounts of those classes and their amounts and descriptions of the day.
bool InpKantanSiwake::set_spread_sheet12(platform::SpreadGrid* grid, const QString& class1,
                                         const QString& class2, int capacity) {
    auto fail = [] {
        warn(QStringLiteral("ワークテーブルの更新中にエラーが発生しました(set_spread_sheet12)。"));
        return false;
    };
    const auto accounts = gcnKaikei->query(
        QStringLiteral("SELECT KOCODE, KMCODE, KANNAME, AICODE, TAIKBN FROM T_KANJO WHERE SIYOU = 'Y'"
                       " AND KANNAME <> '' AND JUN <> 0 AND DAIBUN IN (?, ?) AND KISYUMKBN NOT IN ('1', '2')"
                       " ORDER BY KOCODE, JUN"),
        {class1, class2});
    if (!accounts || int(accounts->size()) > capacity) return fail();
    const QDate day = QDate::fromString(mstrDenpyo[2], QStringLiteral("yyyy/MM/dd"));
    if (!day.isValid()) return fail();
    const QString amountSql =
        QStringLiteral("SELECT KIN%1 AS KIN FROM T_DAY_TORAN WHERE CID = ? AND KOCODE = ? AND DATEYM = ?")
            .arg(day.day());
    const QString month = mstrDenpyo[2].left(7);

    int i = 0;
    for (const platform::Row& account : *accounts) {
        ++i;
        if (i > grid->maxRows()) grid->setMaxRows(i);
        const QString kocode = account.text(QStringLiteral("KOCODE"));
        const QString taikbn = account.text(QStringLiteral("TAIKBN"));
        grid->setText(i, 1, Trim(account.text(QStringLiteral("KANNAME"))));

        const auto amount = gcnKaikei->queryOne(amountSql, {gstrCID, kocode, month});
        if (!amount) return fail();
        grid->setAmount(i, 2, amount->size() ? amount->currency(0) : Currency());

        grid->setComboCell(i, 3, mstrTekiyoList, true);
        grid->setComboCurrentIndex(i, 3, 0);
        const auto line = gcnKaikei->queryOne(
            QStringLiteral(
                "SELECT TECODE, TEKIYO FROM T_SI_MEISAI WHERE CID = ? AND DENCODE IN (SELECT DENCODE"
                " FROM T_SIWAKE WHERE CID = ? AND DENDAY = ?) AND SISYU = '0' AND %1 = ?"
                " ORDER BY DENCODE, DENMENO LIMIT 1")
                .arg(GridLineAccountColumn(taikbn)),
            {gstrCID, gstrCID, mstrDenpyo[2], kocode});
        if (!line) return fail();
        if (line->size()) {
            grid->setText(i, 3, Trim(line->text(QStringLiteral("TEKIYO"))));
            grid->setText(i, 6, Trim(line->text(QStringLiteral("TECODE"))));
        } else {
            grid->setText(i, 6, QString());
        }
        grid->setText(i, 4, kocode);
        grid->setText(i, 5, account.text(QStringLiteral("KMCODE")));
        grid->setText(i, 7, account.text(QStringLiteral("AICODE")));
        grid->setText(i, 8, taikbn);
    }
    grid->setMaxRows(i);
    return true;
}

// Row `row` of the free-line grid from a stored free line.
bool InpKantanSiwake::fill_free_line(int row, const platform::Row& line, const platform::Rows& patterns) {
    spdSS3->setText(row, 0, QStringLiteral("D"));
    spdSS3->setForeground(row, 0, kDeleteMark);

    spdSS3->setComboCell(row, 1, mstrPatternList, false);
    spdSS3->setComboCurrentIndex(row, 1, 0);
    const QString ptcode = Trim(line.text(QStringLiteral("ptcode")));
    if (!ptcode.isEmpty()) {
        for (const platform::Row& p : patterns) {
            if (Trim(p.text(0) + p.text(1)) == ptcode) {
                spdSS3->setText(row, 1, ptcode + QLatin1Char(' ') + p.text(2));
                break;
            }
        }
    }

    const QString accounts[] = {Trim(line.text(QStringLiteral("KRKOCODE"))),
                                Trim(line.text(QStringLiteral("KSKOCODE")))};
    const QString subAccounts[] = {Trim(line.text(QStringLiteral("KRHOKOCODE"))),
                                   Trim(line.text(QStringLiteral("KSHOKOCODE")))};
    for (int side = 0; side < 2; ++side) {
        const int col = 2 + side;
        spdSS3->setComboCell(row, col, mstrKamokuList, false);
        spdSS3->setComboCurrentIndex(row, col, 0);
        if (!accounts[side].isEmpty()) {
            const QString kmcode = mChartAccounts.value(accounts[side]).kmcode;
            if (!kmcode.isEmpty()) {
                const int index = int(mstrKamokuCodes.indexOf(kmcode, 1));
                if (index < 1) {  // an account no longer offered in the list
                    warnStartSpread();
                    return false;
                }
                spdSS3->setText(row, col, mstrKamokuCodes[index] + QLatin1Char(' ') + mstrKamokuNames[index]);
            }
        }
        if (!set_loaded_sub_account(row, col + 2, accounts[side], subAccounts[side])) return false;
        spdSS3->setText(row, 8 + side, accounts[side]);
    }

    spdSS3->setAmount(row, 6, line.currency(QStringLiteral("KRKIN")));
    spdSS3->setComboCell(row, 7, mstrTekiyoList, true);
    spdSS3->setText(row, 7, Trim(line.text(QStringLiteral("TEKIYO"))));
    return true;
}

// A blank free line: row 1 holds the amount 0, row 2 an empty amount.
void InpKantanSiwake::set_blank_free_line(int row) {
    spdSS3->setText(row, 0, QStringLiteral("D"));
    spdSS3->setForeground(row, 0, kDeleteMark);
    spdSS3->setComboCell(row, 1, mstrPatternList, false);
    spdSS3->setComboCurrentIndex(row, 1, 0);
    for (int col : {2, 3}) {
        spdSS3->setComboCell(row, col, mstrKamokuList, false);
        spdSS3->setComboCurrentIndex(row, col, 0);
    }
    for (int col : {4, 5}) {
        spdSS3->setComboCell(row, col, QString(), false);
        spdSS3->setText(row, col, QString());
    }
    spdSS3->setAmount(row, 6, row == 1 ? std::optional<Currency>(Currency()) : std::nullopt);
    spdSS3->setComboCell(row, 7, mstrTekiyoList, true);
    spdSS3->setComboCurrentIndex(row, 7, 0);
    spdSS3->setText(row, 8, QString());
    spdSS3->setText(row, 9, QString());
}

// The sub-account cell of a loaded free line: the account's sub-accounts as
// its list, showing the stored one (or the first one when none is stored).
bool InpKantanSiwake::set_loaded_sub_account(int row, int col, const QString& kocode,
                                             const QString& hokocode) {
    spdSS3->setComboCell(row, col, QString(), false);
    spdSS3->setText(row, col, QString());
    if (kocode.isEmpty()) return true;
    if (!mChartAccounts.value(kocode).offersSubAccounts) return true;
    QString list;
    if (!set_cmbHojokamoku(kocode, list)) return false;
    spdSS3->setComboCell(row, col, list, false);
    spdSS3->setComboCurrentIndex(row, col, 0);
    if (hokocode.isEmpty() || hokocode == QLatin1String("0")) return true;
    const auto sub = gcnKaikei->queryOne(
        QStringLiteral(
            "SELECT HOCODE, HONAME FROM T_HOJOKAMOKU WHERE CID = ? AND KANKOCODE = ? AND HOKOCODE = ?"),
        {gstrCID, kocode, hokocode});
    if (!sub || sub->size() == 0) {  // a stored sub-account that no longer exists
        warnStartSpread();
        return false;
    }
    spdSS3->setText(row, col, sub->text(0) + QLatin1Char(' ') + sub->text(1));
    return true;
}

// After an account was chosen in column 2 or 3 of free line `row`: the
// sub-account cell two columns to its right offers that account's
// sub-accounts, the first one chosen (an account without them: an empty list).
bool InpKantanSiwake::set_spread_Hojokamoku(int row, int accountCol, const QString& kmcode,
                                            const QString& kanname) {
    const auto account = gcnKaikei->queryOne(
        QStringLiteral("SELECT KOCODE FROM T_KANJO WHERE KMCODE = ? AND TRIM(KANNAME, ' ') = ?"
                       " AND HOJOSET = 'Y' AND HOSETNO = 'N' ORDER BY KOCODE LIMIT 1"),
        {kmcode, Trim(kanname)});
    if (!account) {
        warn(QStringLiteral("補助科目テーブルのアクセス中にエラーが発生しました(set_spread_Hojokamoku)。"));
        return false;
    }
    QString list;
    if (account->size() && !set_cmbHojokamoku(account->text(0), list)) return false;
    spdSS3->setComboCell(row, accountCol + 2, list, false);
    spdSS3->setComboCurrentIndex(row, accountCol + 2, 0);
    return true;
}
