#include "ledger/monthlystatements.h"

#include <QStringList>

#include "app/common/globals.h"
#include "ledger/chartcodes.h"
#include "ledger/ksum.h"
#include "ledger/msum.h"
#include "ledger/printwork.h"
#include "ledger/rowwriters.h"
#include "platform/connection.h"
#include "platform/msgbox.h"

namespace {

const QString kMeisai = QStringLiteral("T_TOTAL_MEISAI");
const QString kTotal1 = QStringLiteral("T_TOTAL1");

enum class Statement { ProfitAndLoss, BalanceSheet };

void showAccessError(const QString& proc) {
    platform::MsgBox::show(gstrSoftName,
                           QStringLiteral("データアクセス中にエラーが発生しました(%1)。").arg(proc),
                           platform::MsgIcon::Warning);
}

void showNoData() {
    platform::MsgBox::show(gstrSoftName, QStringLiteral("該当データがありません。"),
                           platform::MsgIcon::Warning);
}

// Layout lines: the places of headings and total lines on each statement, in
// the order the profit and loss statement writes them.
const QStringList& profitAndLossLayoutCodes() {
    using namespace chart;
    static const QStringList codes = {kProfitAndLossHeading,
                                      kNetSales,
                                      kCostOfSalesHeading,
                                      kCostOfManufacturing,
                                      kCostOfSales,
                                      kGrossProfit,
                                      kSellingAndAdminTotal,
                                      kOperatingProfit,
                                      kNonOperatingHeading,
                                      kNonOperatingIncomeTotal,
                                      kNonOperatingExpensesTotal,
                                      kOrdinaryProfit,
                                      kExtraordinaryGainsTotal,
                                      kExtraordinaryLossesTotal,
                                      kProfitBeforeTax,
                                      kNetProfit,
                                      kUnappropriatedProfit};
    return codes;
}
const QStringList& balanceSheetLayoutCodes() {
    using namespace chart;
    static const QStringList codes = {kCashAndDepositsTotal,
                                      kCurrentAssetsTotal,
                                      kFixedAssetsHeading,
                                      kTangibleFixedAssetsTotal,
                                      kIntangibleFixedAssetsTotal,
                                      kInvestmentsTotal,
                                      kFixedAssetsTotal,
                                      kAssetsTotal,
                                      kLiabilitiesTotal,
                                      kRetainedEarningsTotal,
                                      kCapitalTotal,
                                      kLiabilitiesAndCapitalTotal};
    return codes;
}

// The name a work row carries in KMNAME.
QString workRowName(Statement statement, const QString& kanname, const QString& code, const QString& kind,
                    const QString& fromCode) {
    QString name = kanname;
    const bool total = kind == QStringLiteral("1");
    if (statement == Statement::ProfitAndLoss) {
        if (total) name = QStringLiteral("【") + name + QStringLiteral("】");
        return name;
    }
    // The balance sheet prints the profit lines 348 and 353 under their plain
    // names; the profit of the period reads as part of the line above it.
    if (total && code != QLatin1String(chart::kNetProfit) &&
        code != QLatin1String(chart::kUnappropriatedProfit))
        name = QStringLiteral("【") + name + QStringLiteral("】");
    if (fromCode == QLatin1String(chart::kNetProfit))
        name = QStringLiteral("(うち") + name + QStringLiteral(")");
    return name;
}

bool setDataToQuery1(Statement statement, const QString& table, const QString& fromCode,
                     const QString& toCode, const QString& kind, const QString& chosenYM) {
    const QString proc = QStringLiteral("set_data_to_query1");
    if (!gcnKaikei) {
        showAccessError(proc);
        return false;
    }
    const auto rows = gcnKaikei->query(
        QStringLiteral("SELECT T.KANKOCODE, T.DATEYM, T.KRTOTAL, T.KSTOTAL, T.KRRUI, T.KSRUI, K.KMCODE,"
                       " K.KANNAME, K.TAIKBN, K.PCODE1, K.PCODE2, K.PCODE3, K.KAIPAGE"
                       " FROM T_TUKIKAN T JOIN T_KANJO K ON T.KANKOCODE = K.KOCODE"
                       " WHERE T.CID = ? AND T.KANKOCODE BETWEEN ? AND ? AND T.DATEYM = ? AND K.SYORIKBN = ?"
                       " ORDER BY T.KANKOCODE"),
        {gstrCID, fromCode, toCode, chosenYM, kind});
    if (!rows) {
        showAccessError(proc);
        return false;
    }
    if (rows->empty()) {
        // A company without a profit brought forward still gets its statement.
        if (statement == Statement::ProfitAndLoss && fromCode == QLatin1String(chart::kProfitBroughtForward))
            return true;
        showNoData();
        return false;
    }
    for (const platform::Row& r : *rows) {
        const QString code = r.text("KANKOCODE");
        const StatementAmounts a =
            StatementRowAmounts(r.text("TAIKBN"), r.currency("KRRUI"), r.currency("KSRUI"),
                                r.currency("KRTOTAL"), r.currency("KSTOTAL"));
        WriterRow values(WriteTotalMeisaiTable);
        values.set("CID", gstrCID)
            .set("KOCODE", code)
            .set("KMCODE", r.text("KMCODE"))
            .set("PCODE1", r.text("PCODE1"))
            .set("PCODE2", r.text("PCODE2"))
            .set("PCODE3", r.text("PCODE3"))
            .set("KAIPAGE", r.text("KAIPAGE"))
            .set("KMNAME", workRowName(statement, r.text("KANNAME"), code, kind, fromCode))
            .set("MAEKURI", a.maekuri)
            .set("KRTOTAL", a.krtotal)
            .set("KSTOTAL", a.kstotal)
            .set("ZAN", a.zan);
        if (!WriteRow(values, table)) {
            showAccessError(proc);
            return false;
        }
    }
    return true;
}

// One layout line per code that the chart has, in the order of the list.
bool setDataToQuery2(const QStringList& layoutCodes) {
    const QString proc = QStringLiteral("set_data_to_query2");
    if (!gcnKaikei) {
        showAccessError(proc);
        return false;
    }
    for (const QString& code : layoutCodes) {
        const auto chart = gcnKaikei->queryOne(
            QStringLiteral("SELECT KOCODE, PCODE1, PCODE2, PCODE3, KAIPAGE FROM T_KANJO WHERE KOCODE = ?"),
            {code});
        if (!chart) {
            showAccessError(proc);
            return false;
        }
        if (chart->size() == 0) continue;
        WriterRow values(WriteTotalMeisaiTable);
        values.set("CID", gstrCID)
            .set("KOCODE", chart->text("KOCODE"))
            .set("PCODE1", chart->text("PCODE1"))
            .set("PCODE2", chart->text("PCODE2"))
            .set("PCODE3", chart->text("PCODE3"))
            .set("KAIPAGE", chart->text("KAIPAGE"));
        for (const char* amount : {"MAEKURI", "KRTOTAL", "KSTOTAL", "ZAN"}) values.set(amount, Currency());
        if (!WriteRow(values, kMeisai)) {
            showAccessError(proc);
            return false;
        }
    }
    return true;
}

// Runs the clean-up statements of a build; the first failure ends it with the
// build's own message.
bool runStatements(const QStringList& statements) {
    for (const QString& sql : statements) {
        if (!gcnKaikei->exec(sql)) {
            showAccessError(QStringLiteral("print_data"));
            return false;
        }
    }
    return true;
}

// Runs fill() inside one transaction over the work tables: committed when it
// returns true, rolled back otherwise.
template <typename Fill>
bool inWorkTransaction(Fill fill) {
    platform::Transaction tx(*gcnKaikei);
    if (!tx.started()) {
        showAccessError(QStringLiteral("print_data"));
        return false;
    }
    if (!fill()) return false;
    if (!tx.commit()) {
        showAccessError(QStringLiteral("print_data"));
        return false;
    }
    return true;
}

QString headerMonth(const StatementMonth& month) {
    return month.label + QStringLiteral("度");
}

}  // namespace

namespace sonekikeisan {

bool set_data_to_query1(const QString& table, const QString& fromCode, const QString& toCode,
                        const QString& kind, const QString& chosenYM) {
    return setDataToQuery1(Statement::ProfitAndLoss, table, fromCode, toCode, kind, chosenYM);
}

bool set_data_to_query2() {
    return setDataToQuery2(profitAndLossLayoutCodes());
}

bool update_data() {
    if (!gcnKaikei) {
        showAccessError(QStringLiteral("update_data"));
        return false;
    }
    // The month's figure of a result line is the signed sum of its groups,
    // as its balance is: the balance less the amount brought forward. It is
    // shown on the line's own side (debit for the costs 245 and 260, credit
    // for the others), a negative figure on the other side; 0 gives 0 and 0.
    using namespace chart;
    const QString debitLines = sqlCodes({kCostOfManufacturing, kCostOfSales});
    const bool ok = gcnKaikei->exec(
        QStringLiteral("UPDATE T_TOTAL1 SET"
                       " KRTOTAL = CASE WHEN KOCODE IN (%1)"
                       "   THEN CASE WHEN ZAN > MAEKURI THEN ZAN - MAEKURI ELSE 0 END"
                       "   ELSE CASE WHEN ZAN < MAEKURI THEN MAEKURI - ZAN ELSE 0 END END,"
                       " KSTOTAL = CASE WHEN KOCODE IN (%1)"
                       "   THEN CASE WHEN ZAN < MAEKURI THEN MAEKURI - ZAN ELSE 0 END"
                       "   ELSE CASE WHEN ZAN > MAEKURI THEN ZAN - MAEKURI ELSE 0 END END"
                       " WHERE KOCODE IN (%2)")
            .arg(debitLines,
                 sqlCodes({kNetSales, kCostOfManufacturing, kCostOfSales, kGrossProfit, kOperatingProfit,
                           kOrdinaryProfit, kProfitBeforeTax, kNetProfit, kUnappropriatedProfit})));
    if (!ok) {
        showAccessError(QStringLiteral("update_data"));
        return false;
    }
    return true;
}

}  // namespace sonekikeisan

namespace taisyakutaisyo {

bool set_data_to_query1(const QString& table, const QString& fromCode, const QString& toCode,
                        const QString& kind, const QString& chosenYM) {
    return setDataToQuery1(Statement::BalanceSheet, table, fromCode, toCode, kind, chosenYM);
}

bool set_data_to_query2() {
    return setDataToQuery2(balanceSheetLayoutCodes());
}

}  // namespace taisyakutaisyo

bool BuildSonekiKeisan(const StatementMonth& month) {
    if (!gcnKaikei) {
        showAccessError(QStringLiteral("print_data"));
        return false;
    }
    // The summation shows its own message when it fails.
    if (!msum_main(month.firstYM, month.chosenYM, false)) return false;

    const QString ym = month.chosenYM;
    const QString one = QStringLiteral("1");
    const QString zero = QStringLiteral("0");
    return inWorkTransaction([&] {
        using namespace sonekikeisan;
        using namespace chart;
        return runStatements({QStringLiteral("DELETE FROM T_TOTAL_MEISAI")}) &&
               set_data_to_query1(kMeisai, kProfitAndLoss.first, kProfitAndLoss.last, zero, ym) &&
               set_data_to_query1(kMeisai, kProfitBroughtForward, kProfitBroughtForward, zero, ym) &&
               set_data_to_query2() && runStatements({QStringLiteral("DELETE FROM T_TOTAL1")}) &&
               set_data_to_query1(kTotal1, kProfitAndLossResults.first, kProfitAndLossResults.last, one,
                                  ym) &&
               ksum_syukei(QStringLiteral("損益計算書")) && update_data() &&
               runStatements({
                   // The manufacturing lines feed line 245 only and belong to the
                   // manufacturing cost report.
                   QStringLiteral("DELETE FROM T_TOTAL_MEISAI WHERE KOCODE BETWEEN %1 AND %2")
                       .arg(sqlCode(kManufacturing.first), sqlCode(kManufacturing.last)),
                   QStringLiteral("DELETE FROM T_TOTAL1 WHERE KOCODE BETWEEN %1 AND %2")
                       .arg(sqlCode(kManufacturing.first), sqlCode(kManufacturing.last)),
                   // The profit brought forward prints just below the profit of the period.
                   QStringLiteral(
                       "UPDATE T_TOTAL_MEISAI SET KAIPAGE = '3', PCODE1 = '1975' WHERE KOCODE = %1")
                       .arg(sqlCode(kProfitBroughtForward)),
                   // Account lines without any amount go; layout lines (no name) stay.
                   QStringLiteral(
                       "DELETE FROM T_TOTAL_MEISAI WHERE MAEKURI = 0 AND KRTOTAL = 0 AND KSTOTAL = 0"
                       " AND ZAN = 0 AND KMNAME <> ''"),
                   // The intermediate subtotals of the roll-up are not printed.
                   QStringLiteral("DELETE FROM T_TOTAL_MEISAI WHERE KOCODE IN (%1)")
                       .arg(sqlCodes({kMaterialsSubtotal, kCostOfSalesSubtotal})),
                   QStringLiteral("DELETE FROM T_TOTAL1 WHERE KOCODE IN (%1)")
                       .arg(sqlCodes({kMaterialsSubtotal, kCostOfSalesSubtotal})),
               }) &&
               WritePrintHeader(headerMonth(month));
    });
}

bool BuildTaisyakuTaisyo(const StatementMonth& month) {
    if (!gcnKaikei) {
        showAccessError(QStringLiteral("print_data"));
        return false;
    }
    if (!msum_main(month.firstYM, month.chosenYM, false)) {
        platform::MsgBox::show(gstrSoftName, QStringLiteral("月次集計異常終了"));
        return false;
    }

    const QString ym = month.chosenYM;
    const QString one = QStringLiteral("1");
    const QString zero = QStringLiteral("0");
    return inWorkTransaction([&] {
        using namespace taisyakutaisyo;
        using namespace chart;
        return runStatements({QStringLiteral("DELETE FROM T_TOTAL_MEISAI")}) &&
               set_data_to_query1(kMeisai, kBalanceSheet.first, kBalanceSheet.last, zero, ym) &&
               set_data_to_query1(kMeisai, kNetProfit, kNetProfit, one, ym) &&
               set_data_to_query1(kMeisai, kUnappropriatedProfit, kUnappropriatedProfit, one, ym) &&
               set_data_to_query2() && runStatements({QStringLiteral("DELETE FROM T_TOTAL1")}) &&
               set_data_to_query1(kTotal1, kBalanceSheet.first, kBalanceSheet.last, one, ym) &&
               ksum_syukei(QStringLiteral("貸借対照表")) &&
               runStatements({
                   // The unappropriated profit and, below it, the profit of the
                   // period take the place of the profit brought forward, which
                   // the unappropriated profit already holds.
                   QStringLiteral("UPDATE T_TOTAL_MEISAI SET KAIPAGE = '2', PCODE1 = '1480', PCODE2 = '2171'"
                                  " WHERE KOCODE = %1")
                       .arg(sqlCode(kUnappropriatedProfit)),
                   QStringLiteral("UPDATE T_TOTAL_MEISAI SET KAIPAGE = '2', PCODE1 = '1480', PCODE2 = '2172'"
                                  " WHERE KOCODE = %1")
                       .arg(sqlCode(kNetProfit)),
                   QStringLiteral("DELETE FROM T_TOTAL_MEISAI WHERE KOCODE = %1")
                       .arg(sqlCode(kProfitBroughtForward)),
               }) &&
               WritePrintHeader(headerMonth(month));
    });
}
