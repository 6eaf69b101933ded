#include "ledger/kesansyo.h"

#include <QStringList>

#include "app/common/globals.h"
#include "app/common/values.h"
#include "ledger/msum.h"
#include "ledger/printwork.h"
#include "ledger/rowwriters.h"
#include "platform/clock.h"
#include "platform/connection.h"
#include "platform/msgbox.h"
#include "ledger/accountbalances.h"

namespace {

using C = AccountCondition;

void showAccessError(const QString& proc) {
    platform::MsgBox::show(gstrSoftName,
                           QStringLiteral("データアクセス中にエラーが発生しました(%1)。").arg(proc),
                           platform::MsgIcon::Warning);
}

// The deduction's limits by the first calendar year of returns they apply
// to, latest first: electronic, paper, other.
struct DeductionLimits {
    int fromYear;
    qint64 electronic, paper, other;
};
const DeductionLimits kDeductionLimits[] = {
    {2020, 650000, 550000, 100000},
    {0, 650000, 650000, 100000},
};

// One term of a line of the profit and loss statement: the balances of the
// accounts meeting the condition, added or subtracted.
struct PlTerm {
    int line;
    int sign;
    AccountCondition condition;
};

const std::vector<PlTerm>& profitTerms() {
    static const std::vector<PlTerm> terms = [] {
        std::vector<PlTerm> t = {
            // Sales with the other income: miscellaneous income, the
            // correction of earlier years' profit and reserves taken back.
            {1, 1, C::between("511", "516").orIn({"517", "518", "813", "855", "872"})},
            {1, -1, C::between("521", "524")},
            {2, 1, C::is("611")},
            // Purchases and the cost of manufactured goods: the labour,
            // overhead and outside-work totals (by internal code), the
            // materials less their discounts, the change of work in process,
            // less purchase returns, discounts and the closing materials.
            {3, 1, C::between("550", "552").orCodes({"238", "214", "240"})},
            {3, 1, C::in({"621", "622"})},
            {3, -1, C::is("626")},
            {3, 1, C::is("681")},
            {3, -1, C::is("682")},
            {3, -1, C::between("615", "616").orIn({"624"})},
            {5, 1, C::is("617")},
            {20, 1, C::between("712", "715")},
            {22, 1, C::in({"821", "822"})},
            {23, 1, C::in({"747", "731"})},
            {26, 1, C::in({"734", "738"})},
            // Miscellaneous: the form has no line for the other losses and
            // taxes, so they count here.
            {31, 1, C::between("751", "755").orIn({"760", "742", "823", "824", "864", "871", "874", "875", "876"})},
            {34, 1, C::is("851")},
            {35, 1, C::in({"811", "812", "814", "815"})},
            {38, 1, C::is("711")},
            {39, 1, C::is("736")},
            {40, 1, C::is("873")},
            {41, 1, C::is("737")},
        };
        const std::pair<int, const char*> single[] = {
            {8, "726"},  {9, "719"},  {10, "725"}, {11, "722"}, {12, "724"}, {13, "718"}, {14, "727"},
            {15, "733"}, {16, "732"}, {17, "728"}, {18, "735"}, {19, "717"}, {21, "744"}, {24, "746"},
            {25, "729"}, {27, "739"}, {28, "741"}, {29, "716"}, {30, "743"}};
        for (const auto& [line, km] : single) t.push_back({line, 1, C::is(QString::fromLatin1(km))});
        return t;
    }();
    return terms;
}

Currency sumOf(const std::array<Currency, 127>& a, int from, int to) {
    Currency s;
    for (int i = from; i <= to; ++i) s += a[i];
    return s;
}

// Fills a name slot with the chart's name of an account number.
bool nameSlot(KesansyoRow& row, int slot, const QString& kmcode) {
    const auto name = AccountNameOfNumber(kmcode);
    if (!name) {
        showAccessError(QStringLiteral("get_kamokuName"));
        return false;
    }
    row.names[slot] = *name;
    return true;
}

// The company's fiscal period from WK_COMPANY.
struct Period {
    QString kisyu;    // "yyyy/mm/dd"
    QString kimatu;   // "yyyy/mm/dd"
    QString firstYM;  // "yyyy/mm"
    QString closeYM;  // "yyyy/mm"
    QString openYM;   // "yyyy/00"
};

bool readPeriod(Period& p) {
    const auto row = gcnKaikei->queryOne(QStringLiteral("SELECT KISYU, KIMATU FROM WK_COMPANY"));
    if (!row || row->size() == 0) return false;
    p.kisyu = Trim(row->text(0));
    p.kimatu = Trim(row->text(1));
    if (p.kisyu.size() < 7 || p.kimatu.size() < 7) return false;
    p.firstYM = p.kisyu.left(7);
    p.closeYM = p.kimatu.left(7);
    p.openYM = p.kisyu.left(4) + QStringLiteral("/00");
    return true;
}

// The steps both builds share: the period, the summation of the year.
bool prepare(Period& period) {
    if (!gcnKaikei || !readPeriod(period)) {
        showAccessError(QStringLiteral("print_data"));
        return false;
    }
    if (!msum_main(period.firstYM, period.closeYM, false)) {
        platform::MsgBox::show(gstrSoftName, QStringLiteral("月次集計異常終了"));
        return false;
    }
    return true;
}

// Writes the row and the header in one transaction.
bool writeRow(const KesansyoRow& row, const QString& komoku6, const QString& komoku7 = QString()) {
    // KOMOKU1..126 the amounts, KOMOKU127..156 the names, as the row numbers them.
    WriterRow values(WriteKesansyoTable);
    for (int i = 1; i <= 126; ++i) values.set(QStringLiteral("KOMOKU%1").arg(i), row.amounts[size_t(i)]);
    for (int i = 127; i <= 156; ++i) values.set(QStringLiteral("KOMOKU%1").arg(i), row.names[size_t(i)]);
    platform::Transaction tx(*gcnKaikei);
    if (!tx.started() || !gcnKaikei->exec(QStringLiteral("DELETE FROM P_KESANSYO"))) {
        showAccessError(QStringLiteral("print_data"));
        return false;
    }
    if (!WriteRow(values, QStringLiteral("P_KESANSYO"))) return false;
    if (!WritePrintHeader(komoku6, komoku7)) return false;
    if (!tx.commit()) {
        showAccessError(QStringLiteral("print_data"));
        return false;
    }
    return true;
}

QString todayText() {
    return platform::Clock::today().toString(QStringLiteral("yyyy/MM/dd"));
}

}  // namespace

Currency DeductionLimit(DeductionCase which, int returnYear) {
    for (const DeductionLimits& l : kDeductionLimits) {
        if (returnYear < l.fromYear) continue;
        switch (which) {
            case DeductionCase::Electronic:
                return Currency::fromYen(l.electronic);
            case DeductionCase::Paper:
                return Currency::fromYen(l.paper);
            case DeductionCase::Other:
                return Currency::fromYen(l.other);
        }
    }
    return Currency();
}

DeductionBoxes BlueReturnDeduction(Currency realEstateIncome, Currency income, DeductionCase which,
                                   int returnYear) {
    DeductionBoxes b;
    b.k1 = realEstateIncome < Currency() ? Currency() : realEstateIncome;
    b.k2 = income < Currency() ? Currency() : income;
    const Currency limit = DeductionLimit(which, returnYear);
    const Currency realEstatePart = b.k1 < limit ? b.k1 : limit;
    const Currency rest = limit - realEstatePart;
    const Currency deduction = b.k2 < rest ? b.k2 : rest;
    switch (which) {
        case DeductionCase::Electronic:
            b.k3 = realEstatePart;
            b.k4 = deduction;
            break;
        case DeductionCase::Paper:
            b.k7 = realEstatePart;
            b.k8 = deduction;
            break;
        case DeductionCase::Other:
            b.k5 = realEstatePart;
            b.k6 = deduction;
            break;
    }
    return b;
}

Currency DeductionOf(const DeductionBoxes& boxes, DeductionCase which) {
    switch (which) {
        case DeductionCase::Electronic:
            return boxes.k4;
        case DeductionCase::Paper:
            return boxes.k8;
        case DeductionCase::Other:
            break;
    }
    return boxes.k6;
}

bool IsFixedAssetSaleAccount(const QString& kmcode) {
    return kmcode == QStringLiteral("853") || kmcode == QStringLiteral("862");
}

int TaxReturnLineOf(const QString& kmcode, const QString& kocode) {
    for (const PlTerm& t : profitTerms()) {
        if (t.condition.matches(kmcode, kocode)) return t.line;
    }
    return 0;
}

std::array<Currency, 44> TaxReturnProfitLines(const AccountBalances& b) {
    std::array<Currency, 44> l{};
    for (const PlTerm& t : profitTerms()) {
        const Currency sum = b.sum(t.condition);
        l[t.line] += t.sign > 0 ? sum : -sum;
    }
    l[4] = l[2] + l[3];
    l[6] = l[4] - l[5];
    l[7] = l[1] - l[6];
    for (int i = 8; i <= 31; ++i) l[32] += l[i];
    l[33] = l[7] - l[32];
    l[37] = l[34] + l[35] + l[36];
    l[42] = l[38] + l[39] + l[40] + l[41];
    l[43] = l[33] + l[37] - l[42];
    return l;
}

namespace kesansyo {

bool ProfitAndLossRow(const AccountBalances& closing, const DeductionBoxes& boxes, DeductionCase which,
                      KesansyoRow& row) {
    row = KesansyoRow{};
    const auto lines = TaxReturnProfitLines(closing);
    for (int i = 1; i <= 43; ++i) row.amounts[i] = lines[i];
    row.amounts[44] = DeductionOf(boxes, which);
    row.amounts[45] = row.amounts[43] - row.amounts[44];
    const std::pair<int, const char*> names[] = {{127, "729"}, {128, "734"}, {129, "739"}, {130, "741"},
                                                 {131, "716"}, {132, "743"}, {133, "811"}, {135, "873"},
                                                 {136, "737"}};
    for (const auto& [slot, km] : names) {
        if (!nameSlot(row, slot, QString::fromLatin1(km))) return false;
    }
    return true;
}

bool BalanceSheetRow(const AccountBalances& opening, const AccountBalances& closing, KesansyoRow& row) {
    row = KesansyoRow{};
    auto& a = row.amounts;
    struct BsLine {
        int line;
        C condition;
        bool withOpening;
        int nameSlot;
        const char* nameOf;
    };
    // Accounts 317 (notes borrowed) and 320 (overdraft) are borrowings: they
    // count on line 28 only.
    const BsLine lines[] = {
        {1, C::between("101", "102"), true, 0, nullptr},
        {2, C::between("111", "113"), true, 0, nullptr},
        {3, C::in({"151", "141", "155"}), true, 0, nullptr},
        {4, C::in({"121", "122", "123", "131", "135"}), true, 0, nullptr},
        {5, C::is("165"), true, 0, nullptr},
        {6, C::in({"166", "164", "168", "169"}), true, 0, nullptr},
        {7, C::is("167"), true, 0, nullptr},
        {8, C::between("171", "175"), true, 0, nullptr},
        {9, C::in({"181", "184", "185", "187", "186", "910", "912"}), true, 0, nullptr},
        {10, C::is("182"), true, 0, nullptr},
        {11, C::is("211"), true, 0, nullptr},
        {12, C::in({"212", "213"}), true, 0, nullptr},
        {13, C::is("214"), true, 0, nullptr},
        {14, C::is("215"), true, 0, nullptr},
        {15, C::is("216"), true, 0, nullptr},
        {16, C::is("221"), true, 0, nullptr},
        {17, C::is("222"), true, 127, "222"},
        {18, C::is("224"), true, 128, "224"},
        {19, C::is("252"), true, 129, "252"},
        {20, C::is("253"), true, 130, "253"},
        {21, C::is("254"), true, 131, "254"},
        {22, C::between("232", "235"), true, 132, "232"},
        {23, C::between("241", "249"), true, 133, "242"},
        {24, C::is("251"), false, 0, nullptr},  // the year's own, below
        {26, C::is("311"), true, 0, nullptr},
        {27, C::is("312"), true, 0, nullptr},
        {28, C::in({"313", "352", "317", "320"}), true, 0, nullptr},
        {29, C::is("314"), true, 0, nullptr},
        {30, C::is("315"), true, 0, nullptr},
        {31, C::in({"316", "354"}), true, 0, nullptr},
        {32, C::is("323"), true, 134, "323"},
        {33, C::is("324"), true, 135, "324"},
        {34, C::is("328"), true, 136, "328"},
        {35, C::is("353"), true, 137, "353"},
        {36, C::is("325"), true, 138, "325"},
        {37, C::is("327"), true, 139, "327"},
        {39, C::is("199"), true, 0, nullptr},
        {40, C::is("911"), true, 141, "911"},
        {41, C::is("913"), true, 142, "913"},
        {42, C::is("411"), true, 143, "411"},
        {43, C::in({"421", "422"}), true, 144, "421"},
        {44, C::in({"431", "433", "441"}), true, 145, "431"},
        {47, C::is("413"), false, 0, nullptr},  // the year's own, below
        {48, C::is("412"), false, 0, nullptr},
    };
    for (const BsLine& l : lines) {
        if (l.withOpening) a[l.line] = opening.sum(l.condition);
        a[l.line + 50] = closing.sum(l.condition);
        if (l.nameOf && !nameSlot(row, l.nameSlot, QString::fromLatin1(l.nameOf))) return false;
    }
    // The proprietor's drawings and contributions of the year: a balance the
    // accounts bring into the year belongs to the opening capital. The loss
    // and the gain on selling fixed assets, which line 43 leaves out, count
    // with them.
    a[74] -= opening.sum(C::is("251"));
    a[74] += closing.sum(C::is("862"));
    a[97] -= opening.sum(C::is("413"));
    a[97] += closing.sum(C::is("853"));
    // The closing income: line 43 of the profit and loss statement, with its sign.
    a[99] = TaxReturnProfitLines(closing)[43];
    a[25] = sumOf(a, 1, 24);
    a[75] = sumOf(a, 51, 74);
    a[50] = sumOf(a, 26, 49);
    a[100] = sumOf(a, 76, 99);
    // The opening capital balances the opening column. The closing capital is
    // the opening capital moved by what the year added to the capital
    // account, so an opening balance of the account is not counted twice.
    a[48] = a[25] - a[50];
    const Currency capitalMoved = a[98] - opening.sum(C::is("412"));
    a[100] += a[48] - a[98] + capitalMoved;
    a[98] = a[48] + capitalMoved;
    a[50] += a[48];

    // The manufacturing cost lines at the closing month.
    const auto c = [&](const C& cond) { return closing.sum(cond); };
    a[101] = c(C::is("621"));
    // Purchases of materials net of their discounts.
    a[102] = c(C::is("622")) - c(C::is("626"));
    a[103] = a[101] + a[102];
    a[104] = c(C::is("624"));
    a[105] = a[103] - a[104];
    a[106] = c(C::between("631", "636"));
    const std::pair<int, const char*> single[] = {{107, "641"}, {108, "651"}, {109, "652"}, {110, "654"},
                                                  {111, "663"}, {112, "653"}, {113, "655"}, {114, "656"},
                                                  {115, "657"}, {116, "658"}, {117, "661"}, {118, "662"},
                                                  {119, "664"}};
    for (const auto& [slot, km] : single) {
        a[slot] = c(C::is(QString::fromLatin1(km)));
        if (slot >= 112 && !nameSlot(row, slot + 36, QString::fromLatin1(km))) return false;
    }
    a[120] = c(C::between("675", "677").orIn({"680"}));
    a[121] = sumOf(a, 107, 120);
    a[122] = a[105] + a[106] + a[121];
    a[123] = c(C::is("681"));
    a[124] = a[122] + a[123];
    a[125] = c(C::is("682"));
    a[126] = a[124] - a[125];
    return true;
}

}  // namespace kesansyo

// The calendar year of the return: the year the fiscal period ends in.
static int returnYearOf(const QString& kimatu) {
    return kimatu.left(4).toInt();
}

bool BuildKesanPS(DeductionBoxes& boxes, DeductionCase which) {
    Period period;
    if (!prepare(period)) return false;
    const auto closing = AccountBalances::read(period.closeYM);
    if (!closing) {
        showAccessError(QStringLiteral("search_table"));
        return false;
    }
    const Currency income = TaxReturnProfitLines(*closing)[43];
    const DeductionBoxes computed = BlueReturnDeduction(boxes.k1, income, which, returnYearOf(period.kimatu));
    KesansyoRow row;
    if (!kesansyo::ProfitAndLossRow(*closing, computed, which, row)) return false;
    if (!writeRow(row, PrintEraDate(todayText()), PrintEraDate(period.kisyu)))
        return false;
    boxes = computed;
    return true;
}

bool BuildKesanTS(DeductionBoxes& boxes, DeductionCase which) {
    Period period;
    if (!prepare(period)) return false;
    const auto opening = AccountBalances::read(period.openYM);
    const auto closing = AccountBalances::read(period.closeYM);
    if (!opening || !closing) {
        showAccessError(QStringLiteral("set_hyouji_table"));
        return false;
    }
    KesansyoRow row;
    if (!kesansyo::BalanceSheetRow(*opening, *closing, row)) return false;
    const DeductionBoxes computed =
        BlueReturnDeduction(boxes.k1, row.amounts[99], which, returnYearOf(period.kimatu));
    if (!writeRow(row, PrintEraDate(period.kimatu))) return false;
    boxes = computed;
    return true;
}
