#include "ledger/tukisyusi.h"

#include <QStringList>
#include <array>
#include <utility>

#include "app/common/dates.h"
#include "app/common/globals.h"
#include "app/common/values.h"
#include "ledger/chartcodes.h"
#include "ledger/msum.h"
#include "ledger/period.h"
#include "ledger/printwork.h"
#include "ledger/rowwriters.h"
#include "platform/connection.h"
#include "platform/msgbox.h"

namespace {

void showAccessError(const QString& proc) {
    platform::MsgBox::show(gstrSoftName,
                           QStringLiteral("データアクセス中にエラーが発生しました(%1)。").arg(proc),
                           platform::MsgIcon::Warning);
}

// The account numbers a line or a summary row adds up: the numbers listed and
// those in the ranges (both ends included, compared as text).
struct Selection {
    QStringList numbers;
    std::vector<std::pair<QString, QString>> ranges;
};

Selection is(const char* number) {
    return {{QString::fromLatin1(number)}, {}};
}
Selection in(std::initializer_list<const char*> numbers) {
    Selection s;
    for (const char* n : numbers) s.numbers << QString::fromLatin1(n);
    return s;
}
Selection between(const char* from, const char* to) {
    return {{}, {{QString::fromLatin1(from), QString::fromLatin1(to)}}};
}

// The expense lines 01 to 24. Lines without a name of their own are named
// after the chart's account of their first number.
struct Line {
    const char* name;  // nullptr: the chart's name of numbers.numbers[0]
    const char* suffix;
    Selection selection;
};

const std::vector<Line>& lines() {
    using namespace chart::number;
    static const std::vector<Line> all = {
        {"租税公課", "", is(kTaxesAndDues)},
        {"荷造運賃", "", is(kPackingAndFreight)},
        {"水道光熱費", "", in({kUtilities, kFuel})},
        {"旅費交通費", "", is(kTravel)},
        {"通　信　費", "", is(kCommunication)},
        {"広告宣伝費", "", is(kAdvertising)},
        {"接待交際費", "経", is(kEntertainment)},
        {"損害保険料", "", is(kInsurance)},
        {"修　繕　費", "", is(kRepairs)},
        {"消耗品費", "", is(kSuppliesExpense)},
        {"福利厚生費", "", is(kWelfare)},
        {"給料賃金", "", between(kSalaries, kCasualWages)},
        {"外注賃金", "", is(kOutsideLabour)},
        {"利子割引料", "", in({kInterestPaid, kBillDiscountLoss})},
        {"地代家賃", "", is(kRent)},
        {"貸　倒　金", "", is(kBadDebts)},
        {"専従者給与", "費", is(kFamilyEmployeeSalaries)},
        {nullptr, "", is(kStatutoryWelfare)},
        {nullptr, "", is(kOfficeSupplies)},
        {nullptr, "", is(kLeases)},
        {nullptr, "", in({kVehicleExpenses, kGasoline})},
        {nullptr, "", in({kMeetings, kFees})},
        {nullptr, "", is(kDepreciation)},
        {"雑　　　費", "",
         in({kMiscExpenses, kMembershipFees, kBooks, kTraining, kProfessionalFees, kExpensesSlot754,
             kManagementFees})},
    };
    return all;
}

// Summary rows A (income), B (purchases) and C (manufacturing costs).
const std::array<Selection, 3>& summaryRows() {
    using namespace chart::number;
    static const std::array<Selection, 3> rows = {
        in({kSales, kProductSales, kServiceRevenue, kOwnConsumption, kProcessingIncome, kCommissionIncome,
            kOtherSales, kSalesSlot518, kMiscIncome, kSalesDiscounts, kSalesReturns, kSalesRebates,
            kSalesDeductionSlot524}),
        in({kPurchases, kPurchasesSlot551, kPurchaseCharges, kUnusedNumber553, kUnusedNumber554,
            kUnusedNumber555, kMaterialPurchases, kPurchaseAllowances, kPurchaseReturns, kMaterialDiscounts}),
        Selection{{kOutsideWork, kManufacturingOfficeSupplies, kManufacturingFees, kManufacturingSlot677,
                   kManufacturingMisc},
                  {{kWages, kManufacturingWelfare},
                   {kPower, kManufacturingTaxes},
                   {kManufacturingTravel, kResearch}}},
    };
    return rows;
}

// Twelve month columns and the total.
using Amounts = std::array<Currency, 13>;

int monthNumber(const QString& ym) {
    return ym.left(4).toInt() * 12 + ym.mid(5, 2).toInt() - 1;
}

// The month amounts of one selection: column = months from the fiscal start
// month, for the months fromYM to toYM. Only posting accounts (SYORIKBN "0")
// count; a month without rows stays 0.
std::optional<Amounts> monthAmounts(const Selection& selection, const QString& kisyuYM,
                                    const TukisyusiRange& range) {
    QStringList terms;
    platform::Params params{gstrCID, range.fromYM, range.toYM};
    if (!selection.numbers.isEmpty()) {
        QStringList marks;
        for (const QString& n : selection.numbers) {
            marks << QStringLiteral("?");
            params << n;
        }
        terms << QStringLiteral("K.KMCODE IN (%1)").arg(marks.join(QStringLiteral(", ")));
    }
    for (const auto& [from, to] : selection.ranges) {
        terms << QStringLiteral("K.KMCODE BETWEEN ? AND ?");
        params << from << to;
    }
    const auto rows = gcnKaikei->query(
        QStringLiteral("SELECT T.DATEYM,"
                       " SUM(CASE WHEN K.TAIKBN = '0' THEN T.KRTOTAL - T.KSTOTAL ELSE T.KSTOTAL - T.KRTOTAL END)"
                       " FROM T_TUKIKAN T JOIN T_KANJO K ON T.KANKOCODE = K.KOCODE"
                       " WHERE T.CID = ? AND T.DATEYM BETWEEN ? AND ? AND K.SYORIKBN = '0' AND (%1)"
                       " GROUP BY T.DATEYM")
            .arg(terms.join(QStringLiteral(" OR "))),
        params);
    if (!rows) return std::nullopt;
    Amounts amounts{};
    const int start = monthNumber(kisyuYM);
    for (const platform::Row& r : *rows) {
        const QString ym = r.text(0);
        // The opening pseudo-month "yyyy/00" sorts inside a range that starts
        // in January; it is no month of the table.
        if (ym.size() != 7 || ym.mid(5, 2) == QStringLiteral("00")) continue;
        const int column = monthNumber(ym) - start;
        if (column < 0 || column >= 12) continue;
        amounts[column] += r.currency(1);
        amounts[12] += r.currency(1);
    }
    return amounts;
}

// The chart's name of an account number; empty when there is none.
QString accountName(const QString& number) {
    const auto row = gcnKaikei->queryOne(
        QStringLiteral("SELECT KANNAME FROM T_KANJO WHERE KMCODE = ? AND SYORIKBN = '0' ORDER BY KOCODE LIMIT 1"),
        {number});
    if (!row) {
        platform::MsgBox::show(gstrSoftName,
                               QStringLiteral("T_KANJOテーブルのアクセス中にエラーが発生しました(get_kamoku_name)。"),
                               platform::MsgIcon::Warning);
        return QString();
    }
    return row->size() > 0 ? Trim(row->text(0)) : QString();
}

bool writeLine(const QString& number, const QString& name, const QString& suffix, const Amounts& amounts) {
    WriterRow v(WriteTukisyusiTable);
    v.set("PRTIDNO", number).set("PRTNAME", name).set("PRTJUN", suffix);
    for (int i = 0; i < 13; ++i) v.set(QStringLiteral("KIN%1").arg(i + 1), amounts[size_t(i)]);
    return WriteRow(v, QStringLiteral("P_TUKISYUSI"));
}

bool fill(const TukisyusiRange& range) {
    if (!gcnKaikei->exec(QStringLiteral("DELETE FROM P_TUKISYUSI_HEAD")) ||
        !gcnKaikei->exec(QStringLiteral("DELETE FROM P_TUKISYUSI"))) {
        showAccessError(QStringLiteral("set_hyouji_table"));
        return false;
    }
    const PeriodRead period = CurrentPeriod();
    if (!period.period || period.period->kisyu.size() < 7) {
        showAccessError(QStringLiteral("set_hyouji_table"));
        return false;
    }
    const QString kisyu = period.period->kisyu;
    const QString kisyuYM = kisyu.left(7);

    // The head: KOMOKU1 the era, KOMOKU2..13 the month labels, then four runs
    // of 13 amounts (KOMOKU14.. the summary rows, KOMOKU53.. the differences).
    const auto komoku = [](int n) { return QStringLiteral("KOMOKU%1").arg(n); };
    WriterRow head(WriteTukisyusiHeadTable);
    QString era;
    head.set("KOMOKU1", SeirekiToWareki(kisyu, era, 1).left(2));
    const int startMonth = kisyu.mid(5, 2).toInt();
    for (int i = 0; i < 12; ++i) head.set(komoku(2 + i), TukisyusiMonthLabel((startMonth - 1 + i) % 12 + 1));

    std::array<Amounts, 3> summary{};
    for (size_t row = 0; row < summaryRows().size(); ++row) {
        const auto amounts = monthAmounts(summaryRows()[row], kisyuYM, range);
        if (!amounts) {
            showAccessError(QStringLiteral("set_data_head"));
            return false;
        }
        summary[row] = *amounts;
    }

    Amounts total{};
    int number = 0;
    for (const Line& line : lines()) {
        ++number;
        const auto amounts = monthAmounts(line.selection, kisyuYM, range);
        if (!amounts) {
            showAccessError(QStringLiteral("set_data_meisai"));
            return false;
        }
        for (int i = 0; i < 13; ++i) total[i] += (*amounts)[i];
        const QString name =
            line.name ? QString::fromUtf8(line.name) : accountName(line.selection.numbers.value(0));
        if (!writeLine(QStringLiteral("%1").arg(number, 2, 10, QLatin1Char('0')), name,
                       QString::fromUtf8(line.suffix), *amounts))
            return false;
    }
    if (!writeLine(QStringLiteral("25"), QStringLiteral("計"), QString(), total)) return false;

    for (int i = 0; i < 13; ++i) {
        const Currency difference = summary[0][i] - summary[1][i] - summary[2][i] - total[i];
        head.set(komoku(14 + i), summary[0][size_t(i)]);
        head.set(komoku(27 + i), summary[1][size_t(i)]);
        head.set(komoku(40 + i), summary[2][size_t(i)]);
        head.set(komoku(53 + i), difference);
    }
    return WriteRow(head, QStringLiteral("P_TUKISYUSI_HEAD"));
}

}  // namespace

std::optional<TukisyusiSetup> LoadTukisyusiSetup() {
    if (!gcnKaikei) return std::nullopt;
    const PeriodRead period = CurrentPeriod();
    if (!period.period) return std::nullopt;
    const QString kisyu = period.period->kisyu;
    const QString kimatu = period.period->kimatu;
    const auto months = gcnKaikei->query(
        QStringLiteral("SELECT INYM, OUTYM FROM T_DAY_INPUT WHERE CID = ? ORDER BY INYM"), {gstrCID});
    if (!months) return std::nullopt;
    TukisyusiSetup setup;
    for (const platform::Row& r : *months) {
        if (r.text(0) > kimatu) break;
        setup.months.push_back({r.text(0), r.text(1)});
    }
    QString era;
    const QString eraDate = SeirekiToWareki(kisyu, era, 0);
    if (!eraDate.isEmpty()) setup.eraLabel = era + eraDate.left(2) + QStringLiteral("年度");
    return setup;
}

bool BuildTukibetu(const TukisyusiRange& range) {
    if (!gcnKaikei) {
        showAccessError(QStringLiteral("set_hyouji_table"));
        return false;
    }
    // The summation shows its own message when it fails.
    if (!msum_main(range.firstYM, range.toYM, false)) return false;
    platform::Transaction tx(*gcnKaikei);
    if (!tx.started()) {
        showAccessError(QStringLiteral("set_hyouji_table"));
        return false;
    }
    if (!fill(range)) return false;
    if (!tx.commit()) {
        showAccessError(QStringLiteral("set_hyouji_table"));
        return false;
    }
    return true;
}
