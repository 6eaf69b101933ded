#include "ledger/yearclose.h"

#include <QDate>
#include <QHash>
#include <QStringList>
#include <vector>

#include "app/common/globals.h"
#include "ledger/chartcodes.h"
#include "ledger/monthstatus.h"
#include "ledger/msum.h"
#include "ledger/period.h"
#include "ledger/rowwriters.h"
#include "ledger/yearendfigures.h"
#include "platform/connection.h"

namespace {

QString gFailStep;

// The tables copied whole into their previous-year twin, in this order.
const char* const kCopied[] = {"T_COMP_MAIN", "T_SIWAKE",  "T_SI_MEISAI", "T_DAY_INPUT",
                               "T_SI_PATTERN", "T_DAY_TORAN", "T_KISYUZAN", "T_HOJOKAMOKU",
                               "T_TEKIYO",    "T_TUKISIME", "T_KESANSYO"};

// The column list of a table, from the schema (never from user text).
QString columnsOf(platform::Connection& cn, const QString& table) {
    const auto rows = cn.query(QStringLiteral("SELECT name FROM pragma_table_info(?)"), {table});
    if (!rows) return {};
    QStringList names;
    for (const auto& r : *rows) names << r.text("name");
    return names.join(QStringLiteral(", "));
}

QString pdate(const QDate& d) {
    return d.toString(QStringLiteral("yyyy")) + QStringLiteral("年") + d.toString(QStringLiteral("MM")) +
           QStringLiteral("月") + d.toString(QStringLiteral("dd")) + QStringLiteral("日");
}

// The sums of closing balances that make up the year-end figures: the figure
// they go to, added or taken off, and the accounts: code ranges (both ends
// included) and single codes of K.KOCODE.
struct FigureSum {
    YearEndFigure figure;
    int sign;
    std::vector<chart::Range> ranges;
    std::vector<chart::Code> codes;
};

// Codes the sums read that the shipped chart holds no account for (their sums
// stay zero), and range ends that fall between accounts.
constexpr chart::Code kCode301 = "301", kCode327 = "327", kCode328 = "328", kCode334 = "334",
                      kCode340 = "340", kCode344 = "344";
constexpr chart::Code kLabourEnd = "213", kOverheadEnd = "237", kBeforeManagementFees = "300",
                      kExpensesSlotsStart = "302";

using F = YearEndFigure;
using namespace chart;
const FigureSum kFigureSums[] = {
    {F::Sales, 1, {{kSales, kCommissionIncome}}, {kOtherSales, kSalesSlot518, kMiscIncome}},
    {F::SalesDeductions, 1, {{kSalesDiscounts, kSalesReturns}}, {}},
    {F::IncomeTaxes, 1, {}, {kIncomeTaxes}},
    {F::CostOfSales,
     1,
     {},
     {kOpeningMaterials, kMaterialPurchases, kMaterialDiscounts, kOutsideWork, kOpeningWorkInProcess,
      kClosingWorkInProcess, kClosingGoods}},
    {F::CostOfSales, 1, {{kClosingMaterials, kLabourEnd}}, {}},
    {F::CostOfSales, 1, {{kPower, kResearch}}, {}},
    {F::CostOfSales, 1, {{kManufacturingSlot677, kOverheadEnd}}, {}},
    {F::CostOfSales, 1, {{kOpeningGoods, kPurchaseReturns}}, {}},
    {F::SellingAndAdmin, 1, {{kOfficersPay, kVehicleExpenses}}, {}},
    {F::SellingAndAdmin, 1, {{kGasoline, kBeforeManagementFees}}, {}},
    {F::SellingAndAdmin, 1, {{kExpensesSlotsStart, kManagementFees}}, {}},
    {F::MiscLessInterest, 1, {}, {kMiscExpenses}},
    {F::MiscLessInterest, -1, {}, {kInterestReceived}},
    {F::PriorPeriodGain, 1, {}, {kPriorPeriodGain}},
    {F::Dividends, 1, {}, {kDividendsReceived}},
    {F::Slot814, 1, {}, {kNonOperatingIncomeSlot814}},
    {F::PurchaseDiscounts, 1, {}, {kPurchaseDiscounts}},
    {F::OtherGains, 1, {}, {kCode334, kCode340}},
    {F::DisposalLoss, 1, {}, {kDisposalLoss}},
    {F::Code344, 1, {}, {kCode344}},
    {F::MiscLosses, 1, {}, {kMiscLosses}},
    {F::Code327, 1, {}, {kCode327}},
    {F::OtherCharges, 1, {}, {kManufacturingTravel, kCode328}},
    {F::Code301, 1, {}, {kCode301}},
    {F::ProfitBroughtForward, 1, {}, {kProfitBroughtForward}},
    {F::InterimDividend, 1, {}, {kInterimDividend}},
    {F::OfficersBonuses, 1, {}, {kOfficersBonuses}},
    {F::ReserveWithdrawal, 1, {}, {kReserveWithdrawal}},
    {F::ReserveTransfers, 1, {}, {kReserveTransfers}},
    {F::LegalReserve, 1, {}, {kLegalReserve}},
};

// The SQL condition of a sum, built from the fixed codes above only.
QString conditionOf(const FigureSum& s) {
    QStringList parts;
    for (const chart::Range& r : s.ranges)
        parts << QStringLiteral("K.KOCODE BETWEEN %1 AND %2")
                     .arg(chart::sqlCode(r.first), chart::sqlCode(r.last));
    if (s.codes.size() == 1) {
        parts << QStringLiteral("K.KOCODE = %1").arg(chart::sqlCode(s.codes.front()));
    } else if (!s.codes.empty()) {
        QStringList quoted;
        for (chart::Code c : s.codes) quoted << chart::sqlCode(c);
        parts << QStringLiteral("K.KOCODE IN (%1)").arg(quoted.join(QStringLiteral(", ")));
    }
    return parts.join(QStringLiteral(" OR "));
}

}  // namespace

bool set_hyouji_table(const QString& cid, YearEndFigures& figures, const QString& month) {
    if (!gcnKaikei) return false;
    // Every sum in one pass over the month's totals.
    QStringList sums;
    for (const FigureSum& s : kFigureSums)
        sums << QStringLiteral(
                    "COALESCE(SUM(CASE WHEN (%1) THEN CASE WHEN K.TAIKBN = '0' THEN M.KRRUI - M.KSRUI"
                    " ELSE M.KSRUI - M.KRRUI END ELSE 0 END), 0)")
                    .arg(conditionOf(s));
    const auto row = gcnKaikei->queryOne(
        QStringLiteral("SELECT %1 FROM T_TUKIKAN M JOIN T_KANJO K ON K.KOCODE = M.KANKOCODE"
                       " WHERE M.CID = ? AND M.DATEYM = ?")
            .arg(sums.join(QStringLiteral(", "))),
        {cid, month});
    if (!row || row->size() != static_cast<int>(std::size(kFigureSums))) return false;
    YearEndFigures& f = figures;
    for (int i = 0; i < row->size(); ++i) {
        const Currency sum = row->currency(i);
        f[kFigureSums[i].figure] += kFigureSums[i].sign > 0 ? sum : -sum;
    }
    f[F::NetSales] = f[F::Sales] - f[F::SalesDeductions];
    f[F::GrossAmount] = f[F::NetSales] - f[F::Unset6] - f[F::IncomeTaxes] - f[F::Unset9] - f[F::Unset10] +
                        f[F::Unset11] + f[F::Unset12] + f[F::Unset13];
    f[F::OperatingResult] = f[F::GrossAmount] + f[F::Unset15] - f[F::CostOfSales] - f[F::SellingAndAdmin] -
                            f[F::MiscLessInterest] - f[F::Unset19];
    f[F::NonOperatingIncome] =
        f[F::PriorPeriodGain] + f[F::Dividends] + f[F::Slot814] + f[F::PurchaseDiscounts];
    f[F::NonOperatingExpenses] = f[F::DisposalLoss] + f[F::Code344] + f[F::MiscLosses] + f[F::Code327];
    f[F::OrdinaryResult] = f[F::OperatingResult] + f[F::Unset21] + f[F::Unset22] + f[F::Unset23] +
                           f[F::NonOperatingIncome] + f[F::OtherGains] - f[F::NonOperatingExpenses] -
                           f[F::OtherCharges];
    f[F::ResultBeforeCarry] = f[F::OrdinaryResult] - f[F::Code301] - f[F::Unset41] + f[F::Unset42];
    f[F::Unappropriated] =
        f[F::ResultBeforeCarry] + f[F::ProfitBroughtForward] + f[F::Unset45] + f[F::Unset46];
    f[F::AfterAppropriation] = f[F::Unappropriated] - f[F::InterimDividend] - f[F::OfficersBonuses] -
                               f[F::Unset50] - f[F::Unset51] - f[F::Unset52] - f[F::Unset53] - f[F::Unset54] -
                               f[F::Unset55] - f[F::ReserveWithdrawal];
    f[F::CarriedForward] = f[F::AfterAppropriation] - f[F::ReserveTransfers] - f[F::LegalReserve] -
                           f[F::Unset60] - f[F::Unset61] - f[F::Unset62];
    if (f[F::CarriedForward] < Currency()) f[F::Loss] = -f[F::CarriedForward];
    return true;
}

void SetYearCloseFailureForTest(const QString& step) { gFailStep = step; }

bool save_now_data(const QString& cid, const QString& sym, const QString& eym, const QString& kimatu,
                   QString& step) {
    if (!gcnKaikei) {
        step = QStringLiteral("connection");
        return false;
    }
    platform::Connection& cn = *gcnKaikei;
    auto run = [&](const char* name, const QString& sql, const platform::Params& params = {}) {
        step = QString::fromLatin1(name);
        if (gFailStep == step) return false;
        return cn.exec(sql, params);
    };
    for (const char* t : {"BT_KANJO", "BT_COMP_MAIN", "BT_SIWAKE", "BT_SI_MEISAI", "BT_DAY_INPUT",
                          "BT_SI_PATTERN", "BT_DAY_TORAN", "BT_KISYUZAN", "BT_HOJOKAMOKU", "BT_TEKIYO",
                          "BT_TUKISIME", "BT_KESANSYO"})
        if (!run("save", QStringLiteral("DELETE FROM %1 WHERE CID = ?").arg(QLatin1String(t)), {cid}))
            return false;
    const QString kanjoColumns = columnsOf(cn, QStringLiteral("T_KANJO"));
    if (kanjoColumns.isEmpty() ||
        !run("save", QStringLiteral("INSERT INTO BT_KANJO (CID, %1) SELECT ?, %1 FROM T_KANJO").arg(kanjoColumns),
             {cid}))
        return false;
    for (const char* t : kCopied) {
        const QString table = QLatin1String(t);
        const QString columns = columnsOf(cn, table);
        if (columns.isEmpty() ||
            !run("save", QStringLiteral("INSERT INTO BT_%1 (%2) SELECT %2 FROM %3 WHERE CID = ?")
                             .arg(table.mid(2), columns, table),
                 {cid}))
            return false;
    }
    if (!run("save", QStringLiteral("DELETE FROM T_KESANSYO WHERE CID = ?"), {cid})) return false;

    // The closing balances of the last month (sub-account totals too).
    step = QStringLiteral("summation");
    if (gFailStep == step || !msum_main(cid, sym, eym, true)) return false;

    // The year's statement figures.
    step = QStringLiteral("figures");
    YearEndFigures figures{};
    if (gFailStep == step || !set_hyouji_table(cid, figures, eym)) return false;
    WriterRow row(WriteBKesansyoTable);
    row.set("CID", cid).set("KESANDAY", kimatu);
    for (int n = 1; n <= 64; ++n) row.set(QStringLiteral("KOMOKU%1").arg(n), figures[size_t(n - 1)]);
    return WriteRow(row, QStringLiteral("T_KESANSYO"));
}

bool update_kisyuzan_data(const QString& cid, const QString& eym, std::optional<double> rate, QString& step) {
    step = QStringLiteral("opening balances");
    if (!gcnKaikei || gFailStep == step) return false;
    platform::Connection& cn = *gcnKaikei;
    // The balance of an account of the kept chart BT_KANJO in month ?2.
    const QString closing = QStringLiteral(
        "(SELECT CASE WHEN B.TAIKBN = '0' THEN M.KRRUI - M.KSRUI ELSE M.KSRUI - M.KRRUI END"
        " FROM T_TUKIKAN M JOIN BT_KANJO B ON B.CID = ?1 AND B.KOCODE = M.KANKOCODE"
        " WHERE M.CID = ?1 AND M.DATEYM = ?2 AND M.KANKOCODE = %1)");
    const QString carried =
        QStringLiteral(
            " AND B.SIYOU = 'Y' AND B.SYORIKBN = '0' AND B.KOCODE BETWEEN %1 AND %2 AND B.KOCODE <> %3")
            .arg(sqlCode(kCarriedBalances.first), sqlCode(kCarriedBalances.last),
                 sqlCode(kProfitBroughtForward));
    if (!cn.exec(QStringLiteral("UPDATE T_KANJO AS K SET KISYUZAN = COALESCE(CASE WHEN K.KOCODE = %3"
                                " THEN %1 ELSE %2 END, 0)")
                     .arg(closing.arg(sqlCode(kUnappropriatedProfit)),
                          closing.arg(QStringLiteral("K.KOCODE") + carried), sqlCode(kProfitBroughtForward)),
                 {cid, eym}))
        return false;
    // A sole proprietor's year closes into the capital (元入金, 154): the new
    // capital is the old one plus the year's result (353, which holds any
    // profit brought forward) plus the contributions (事業主借, 155) less the
    // drawings (事業主貸, 107), which, like the profit brought forward, start
    // the new year at zero. A corporation carries its result into 171.
    const auto kind = cn.scalar(QStringLiteral("SELECT GKBN FROM T_COMP_MAIN WHERE CID = ?"), {cid});
    if (!kind) return false;
    if (kind->toString().trimmed() != QStringLiteral("1")) {
        const QString balance = QStringLiteral(
            "COALESCE((SELECT CASE WHEN B.TAIKBN = '0' THEN M.KRRUI - M.KSRUI ELSE M.KSRUI - M.KRRUI END"
            " FROM T_TUKIKAN M JOIN BT_KANJO B ON B.CID = ?1 AND B.KOCODE = M.KANKOCODE"
            " WHERE M.CID = ?1 AND M.DATEYM = ?2 AND M.KANKOCODE = %1), 0)");
        if (!cn.exec(
                QStringLiteral("UPDATE T_KANJO SET KISYUZAN = %1 + %2 + %3 - %4 WHERE KOCODE = %5")
                    .arg(balance.arg(sqlCode(kOwnerCapital)), balance.arg(sqlCode(kUnappropriatedProfit)),
                         balance.arg(sqlCode(kOwnerContributions)), balance.arg(sqlCode(kOwnerDrawings)),
                         sqlCode(kOwnerCapital)),
                {cid, eym}) ||
            !cn.exec(QStringLiteral("UPDATE T_KANJO SET KISYUZAN = 0 WHERE KOCODE IN (%1)")
                         .arg(sqlCodes({kOwnerDrawings, kOwnerContributions, kProfitBroughtForward}))))
            return false;
    }
    const QString kisyuzan = QStringLiteral(
        "KISYUZAN = COALESCE((SELECT K.KISYUZAN FROM T_KANJO K WHERE K.KOCODE = T_KISYUZAN.KOCODE), 0)");
    if (rate)
        return cn.exec(QStringLiteral("UPDATE T_KISYUZAN SET RATE = ?2, %1 WHERE CID = ?1").arg(kisyuzan),
                       {cid, *rate});
    return cn.exec(QStringLiteral("UPDATE T_KISYUZAN SET %1 WHERE CID = ?").arg(kisyuzan), {cid});
}

bool update_kisyuzan_hojo(const QString& cid, const QString& eym, QString& step) {
    step = QStringLiteral("sub-account balances");
    if (!gcnKaikei || gFailStep == step) return false;
    // A sole proprietor's drawings and contributions start at zero, their
    // sub-accounts too.
    const auto kind = gcnKaikei->scalar(QStringLiteral("SELECT GKBN FROM T_COMP_MAIN WHERE CID = ?"), {cid});
    if (!kind) return false;
    const QString reset = kind->toString().trimmed() == QStringLiteral("1")
                              ? QString()
                              : QStringLiteral(" AND B.KOCODE NOT IN (%1)")
                                    .arg(sqlCodes({kOwnerDrawings, kOwnerContributions}));
    return gcnKaikei->exec(
        QStringLiteral("UPDATE T_HOJOKAMOKU AS H SET KISYUZAN = COALESCE((SELECT CASE WHEN"
                       " B.TAIKBN = '0' THEN M.KRRUI - M.KSRUI ELSE M.KSRUI - M.KRRUI END"
                       " FROM T_TUKIHOJO M JOIN BT_KANJO B ON B.CID = ?1 AND B.KOCODE = M.KANKOCODE"
                       " WHERE M.CID = ?1 AND M.DATEYM = ?2 AND M.KANKOCODE = H.KANKOCODE"
                       " AND M.HOCODE = H.HOKOCODE AND B.KOCODE BETWEEN %2 AND %3%1), 0)"
                       " WHERE H.CID = ?1")
            .arg(reset, sqlCode(kCarriedBalances.first), sqlCode(kCarriedBalances.last)),
        {cid, eym});
}

YearCloseResult CloseFiscalYear(double rate) {
    YearCloseResult result;
    if (!gcnKaikei) {
        result.failedStep = QStringLiteral("connection");
        return result;
    }
    platform::Connection& cn = *gcnKaikei;
    const QString cid = gstrCID;
    const PeriodRead company = CurrentPeriodOf(cid);
    if (!company.period) {
        result.failedStep = QStringLiteral("company");
        return result;
    }
    const QString kisyu = company.period->kisyu, kimatu = company.period->kimatu;
    const QDate end = QDate::fromString(kimatu, QStringLiteral("yyyy/MM/dd"));
    if (!end.isValid() || kisyu.size() < 7) {
        result.failedStep = QStringLiteral("company");
        return result;
    }
    const QString sym = kisyu.left(7), eym = kimatu.left(7);
    const QDate newStart = end.addDays(1);
    const QDate newEnd = newStart.addYears(1).addDays(-1);
    const QString fmt = QStringLiteral("yyyy/MM/dd");

    platform::Transaction tx(cn);
    if (!tx.started()) {
        result.failedStep = QStringLiteral("begin");
        return result;
    }
    QString step;
    auto run = [&](const char* name, const QString& sql, const platform::Params& params = {}) {
        step = QString::fromLatin1(name);
        if (gFailStep == step) return false;
        return cn.exec(sql, params);
    };
    auto fail = [&] {
        tx.rollback();
        result.failedStep = step;
        return result;
    };

    // The year kept in the previous-year tables, with its figures.
    if (!save_now_data(cid, sym, eym, kimatu, step)) return fail();

    if (!update_kisyuzan_data(cid, eym, rate, step) || !update_kisyuzan_hojo(cid, eym, step)) return fail();

    // The next period.
    const QString nk = newStart.toString(fmt), ne = newEnd.toString(fmt);
    const platform::Params period{cid, nk, ne, nk.left(7), newEnd.addMonths(3).toString(fmt), pdate(newStart),
                                  pdate(newEnd)};
    for (const char* t : {"WK_COMPANY", "T_COMP_MAIN"})
        if (!run("company",
                 QStringLiteral("UPDATE %1 SET KISYU = ?2, KIMATU = ?3, NENDOSU = NENDOSU + 1,"
                                " KISYUM = ?4, SIINLDAY = ?5, PKISYU = ?6, PKIMATU = ?7 WHERE CID = ?1")
                     .arg(QLatin1String(t)),
                 period) ||
            cn.changes() != 1)
            return fail();

    // The closed year's rows. Lines go with their voucher; a line without a
    // voucher goes by its own day. The journal lines' secondary indexes are
    // dropped for the delete and built again after it: removing most of the
    // table's rows from each index one at a time costs several times what
    // building the indexes afresh from the rows left does. Their definitions
    // are the database's own; the drop rolls back with the rest on failure.
    step = QStringLiteral("delete");
    const auto indexes = cn.query(
        QStringLiteral("SELECT name, sql FROM sqlite_master WHERE type = 'index' AND tbl_name = 'T_SI_MEISAI'"
                       " AND sql IS NOT NULL ORDER BY name"));
    if (!indexes) return fail();
    for (const platform::Row& index : *indexes) {
        QString name = index.text(0);
        name.replace(QLatin1Char('"'), QLatin1String("\"\""));
        if (!run("delete", QStringLiteral("DROP INDEX \"%1\"").arg(name))) return fail();
    }
    if (!run("delete", QStringLiteral("DELETE FROM T_SI_MEISAI WHERE CID = ?1 AND (DENCODE IN (SELECT DENCODE"
                                      " FROM T_SIWAKE WHERE CID = ?1 AND DENDAY <= ?2) OR (SIDAY <= ?2 AND"
                                      " DENCODE NOT IN (SELECT DENCODE FROM T_SIWAKE WHERE CID = ?1)))"),
             {cid, kimatu}))
        return fail();
    for (const platform::Row& index : *indexes)
        if (!run("rebuild indexes", index.text(1))) return fail();
    if (!run("delete", QStringLiteral("DELETE FROM T_SIWAKE WHERE CID = ? AND DENDAY <= ?"), {cid, kimatu}) ||
        !run("delete", QStringLiteral("DELETE FROM T_DAY_TORAN WHERE CID = ? AND DATEYM < ?"), {cid, eym}) ||
        !run("delete", QStringLiteral("DELETE FROM T_TUKIKAN WHERE CID = ?"), {cid}) ||
        !run("delete", QStringLiteral("DELETE FROM T_TUKIHOJO WHERE CID = ?"), {cid}))
        return fail();
    // The closing month: a close at the month's end removes it; a close in the
    // middle zeroes only the days up to the closing day.
    if (end.day() == end.daysInMonth()) {
        if (!run("delete", QStringLiteral("DELETE FROM T_DAY_TORAN WHERE CID = ? AND DATEYM = ?"), {cid, eym}))
            return fail();
    } else {
        QStringList sets;
        for (int d = 1; d <= end.day(); ++d) sets << QStringLiteral("KIN%1 = 0").arg(d);
        if (!run("delete", QStringLiteral("UPDATE T_DAY_TORAN SET %1 WHERE CID = ? AND DATEYM = ?")
                               .arg(sets.join(QStringLiteral(", "))),
                 {cid, eym}))
            return fail();
    }

    step = QStringLiteral("month list");
    if (gFailStep == step || !SetDayInputData(cid, nk.left(7), ne.left(7)) ||
        !SetTukisimeData(cid, nk.left(7), ne.left(7)))
        return fail();

    // Remaining vouchers renumbered in their order; two passes keep the keys
    // unique on the way.
    if (!run("renumber", QStringLiteral("DROP TABLE IF EXISTS temp.YEARCLOSE_MAP")) ||
        !run("renumber", QStringLiteral("CREATE TEMP TABLE YEARCLOSE_MAP (OLD TEXT PRIMARY KEY, NEW TEXT)")) ||
        !run("renumber", QStringLiteral("INSERT INTO temp.YEARCLOSE_MAP SELECT DENCODE, printf('%05d',"
                                        " ROW_NUMBER() OVER (ORDER BY DENCODE)) FROM T_SIWAKE WHERE CID = ?"),
             {cid}) ||
        !run("renumber", QStringLiteral("UPDATE T_SI_MEISAI SET DENCODE = '#' || (SELECT NEW FROM"
                                        " temp.YEARCLOSE_MAP WHERE OLD = DENCODE) WHERE CID = ? AND DENCODE IN"
                                        " (SELECT OLD FROM temp.YEARCLOSE_MAP)"),
             {cid}) ||
        !run("renumber", QStringLiteral("UPDATE T_SIWAKE SET DENCODE = '#' || (SELECT NEW FROM temp.YEARCLOSE_MAP"
                                        " WHERE OLD = DENCODE) WHERE CID = ?"),
             {cid}) ||
        !run("renumber", QStringLiteral("UPDATE T_SIWAKE SET DENCODE = substr(DENCODE, 2), DENNO ="
                                        " substr(DENCODE, 2) WHERE CID = ? AND DENCODE LIKE '#%'"),
             {cid}) ||
        !run("renumber", QStringLiteral("UPDATE T_SI_MEISAI SET DENCODE = substr(DENCODE, 2) WHERE CID = ?"
                                        " AND DENCODE LIKE '#%'"),
             {cid}) ||
        !run("renumber", QStringLiteral("DROP TABLE temp.YEARCLOSE_MAP")))
        return fail();

    step = QStringLiteral("commit");
    if (!tx.commit()) {
        result.failedStep = step;
        return result;
    }
    result.ok = true;
    return result;
}

YearEndPeriod ReadYearEndPeriod() {
    YearEndPeriod p;
    if (!gcnKaikei) return p;
    const PeriodRead read = CurrentPeriodOf(gstrCID);
    if (!read.ok) return p;
    p.ok = true;
    if (!read.period) return p;
    p.found = true;
    p.kisyu = read.period->kisyu;
    p.kimatu = read.period->kimatu;
    p.gkbn = read.period->gkbn;
    p.nendosu = read.period->nendosu;
    return p;
}

bool YearEndAsksRate() {
    if (!gcnKaikei) return false;
    const auto v =
        gcnKaikei->scalar(QStringLiteral("SELECT KANCNG FROM T_COMP_MAIN WHERE CID = ?"), {gstrCID});
    return v && v->toString().trimmed() == QStringLiteral("1");
}

QString YearCloseStepText(const QString& step) {
    static const QHash<QString, QString> texts = {
        {QStringLiteral("connection"), QStringLiteral("データベースへの接続")},
        {QStringLiteral("company"), QStringLiteral("会社情報の更新")},
        {QStringLiteral("begin"), QStringLiteral("更新の開始")},
        {QStringLiteral("save"), QStringLiteral("本年度データの保存")},
        {QStringLiteral("summation"), QStringLiteral("データ集計")},
        {QStringLiteral("figures"), QStringLiteral("決算書データの作成")},
        {QStringLiteral("opening balances"), QStringLiteral("期首残高の更新")},
        {QStringLiteral("sub-account balances"), QStringLiteral("補助科目の期首残高の更新")},
        {QStringLiteral("delete"), QStringLiteral("前年度データの削除")},
        {QStringLiteral("rebuild indexes"), QStringLiteral("前年度データの削除")},
        {QStringLiteral("month list"), QStringLiteral("月次データの作成")},
        {QStringLiteral("renumber"), QStringLiteral("伝票番号の振り直し")},
        {QStringLiteral("commit"), QStringLiteral("更新の確定")},
    };
    return texts.value(step, step);
}

bool set_hyouji_table(YearEndFigures& figures, const QString& month) {
    return set_hyouji_table(gstrCID, figures, month);
}
