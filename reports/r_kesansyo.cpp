#include "reports/r_kesansyo.h"

#include <QStringList>
#include <optional>
#include <vector>

#include "app/common/values.h"
#include "ledger/period.h"
#include "ledger/printwork.h"
#include "platform/currency.h"
#include "reports/reportcommon.h"

namespace reports {

using namespace platform::report;

namespace {

// The one row of P_KESANSYO: amounts 1-126, names 127-156.
struct Kesansyo {
    std::vector<Currency> amounts = std::vector<Currency>(127);
    std::vector<QString> names = std::vector<QString>(157);
};

std::optional<Kesansyo> readKesansyo(platform::Connection& cn) {
    QStringList columns;
    for (int i = 1; i <= 156; ++i) columns << QStringLiteral("KOMOKU%1").arg(i);
    const auto row = cn.queryOne(QStringLiteral("SELECT %1 FROM P_KESANSYO").arg(columns.join(QLatin1Char(','))));
    if (!row) return std::nullopt;
    Kesansyo k;
    if (row->size() == 0) return k;
    for (int i = 1; i <= 126; ++i) k.amounts[i] = row->currency(i - 1);
    for (int i = 127; i <= 156; ++i) k.names[i] = Trim(row->text(i - 1));
    return k;
}

// One line of a ruled block: a heading across the block, or a numbered line
// with up to two amounts.
struct FormLineSpec {
    QString number;
    QString caption;
    std::vector<std::optional<Currency>> amounts;
    bool heading = false;
    bool bold = false;
};

struct Block {
    double x = 0, y = 0;
    double numberW = 8, captionW = 40;
    std::vector<double> amountW;       // one width per amount column
    std::vector<QString> amountHeads;  // their captions
    double rowH = 7;
    double pt = 8.5;
};

void addText(FormPage& page, double x, double y, double w, double h, const QString& text, double pt, Align a,
             bool bold = false) {
    if (text.isEmpty()) return;
    page.texts.push_back({QRectF(x + 1.2, y, w - 2.4, h), text, pt, a, bold, false});
}

// Draws a block: a shaded caption row, then one ruled row per line.
void drawBlock(FormPage& page, const Block& b, const std::vector<FormLineSpec>& lines) {
    double width = b.numberW + b.captionW;
    for (double w : b.amountW) width += w;
    const double head = b.rowH;
    page.boxes.push_back({QRectF(b.x, b.y, width, head), 0.5, true});
    addText(page, b.x, b.y, b.numberW + b.captionW, head, QStringLiteral("科　　目"), b.pt, Align::Center, true);
    double ax = b.x + b.numberW + b.captionW;
    for (size_t i = 0; i < b.amountW.size(); ++i) {
        addText(page, ax, b.y, b.amountW[i], head, b.amountHeads[i], b.pt, Align::Center, true);
        ax += b.amountW[i];
    }
    double y = b.y + head;
    for (const FormLineSpec& l : lines) {
        if (l.heading) {
            page.boxes.push_back({QRectF(b.x, y, width, b.rowH), 0.3, true});
            addText(page, b.x, y, width, b.rowH, l.caption, b.pt, Align::Left, true);
            y += b.rowH;
            continue;
        }
        page.lines.push_back({b.x, y + b.rowH, b.x + width, y + b.rowH, 0.3});
        addText(page, b.x, y, b.numberW, b.rowH, l.number, b.pt - 0.5, Align::Center);
        addText(page, b.x + b.numberW, y, b.captionW, b.rowH, l.caption, b.pt, Align::Left, l.bold);
        double x = b.x + b.numberW + b.captionW;
        for (size_t i = 0; i < b.amountW.size(); ++i) {
            if (i < l.amounts.size() && l.amounts[i])
                addText(page, x, y, b.amountW[i], b.rowH, l.amounts[i]->toDisplay(), b.pt, Align::Right, l.bold);
            x += b.amountW[i];
        }
        y += b.rowH;
    }
    // Frame and column rules.
    page.boxes.push_back({QRectF(b.x, b.y, width, y - b.y), 0.8, false});
    double x = b.x + b.numberW;
    page.lines.push_back({x, b.y + head, x, y, 0.3});
    x += b.captionW;
    for (double w : b.amountW) {
        page.lines.push_back({x, b.y, x, y, 0.3});
        x += w;
    }
}

FormLineSpec heading(const QString& caption) {
    FormLineSpec l;
    l.caption = caption;
    l.heading = true;
    return l;
}

// A free line shows the account's name; a free line without one stays blank.
QString captionOf(const Kesansyo& k, int nameSlot, const QString& fixed) {
    return nameSlot > 0 ? k.names[nameSlot] : fixed;
}

}  // namespace

bool BuildRPsKesan1(platform::Connection& cn, Document& doc) {
    const auto company = ReadCompanyHeader(cn);
    if (!company) return false;
    const auto items = ReadPrintKomoku(cn);
    if (!items) return false;
    const auto k = readKesansyo(cn);
    if (!k) return false;
    const PeriodRead period = CurrentPeriod(cn);
    if (!period.ok) return false;

    doc.title = QStringLiteral("損益計算書");
    doc.orientation = Orientation::Landscape;
    doc.companyName = company->name;
    const QString from = Trim(items->komoku7);
    const QString to = period.period ? PrintEraDate(period.period->kimatu) : QString();
    if (!from.isEmpty() || !to.isEmpty()) doc.period = QStringLiteral("自 %1　至 %2").arg(from, to);
    const QString written = Trim(items->komoku6);
    if (!written.isEmpty()) doc.headerItems.push_back({QStringLiteral("作成日"), written});

    struct Spec {
        int line;
        const char* caption;
        int nameSlot;
        const char* headingBefore;
    };
    const auto lineOf = [&](const Spec& s) {
        FormLineSpec l;
        l.number = QString::number(s.line);
        l.caption = captionOf(*k, s.nameSlot, QString::fromUtf8(s.caption));
        l.amounts = {k->amounts[s.line]};
        l.bold = s.line == 7 || s.line == 32 || s.line == 33 || s.line == 43 || s.line == 45;
        return l;
    };
    const std::vector<std::vector<Spec>> columns = {
        {{1, "売上(収入)金額(雑収入を含む)", 0, nullptr},
         {2, "期首商品(製品)棚卸高", 0, "売上原価"},
         {3, "仕入金額(製品製造原価)", 0, nullptr},
         {4, "小計(②+③)", 0, nullptr},
         {5, "期末商品(製品)棚卸高", 0, nullptr},
         {6, "差引原価(④-⑤)", 0, nullptr},
         {7, "差引金額(①-⑥)", 0, nullptr},
         {8, "租税公課", 0, "経費"},
         {9, "荷造運賃", 0, nullptr},
         {10, "水道光熱費", 0, nullptr},
         {11, "旅費交通費", 0, nullptr},
         {12, "通信費", 0, nullptr},
         {13, "広告宣伝費", 0, nullptr},
         {14, "接待交際費", 0, nullptr},
         {15, "損害保険料", 0, nullptr}},
        {{16, "修繕費", 0, "経費(続き)"},
         {17, "消耗品費", 0, nullptr},
         {18, "減価償却費", 0, nullptr},
         {19, "福利厚生費", 0, nullptr},
         {20, "給料賃金", 0, nullptr},
         {21, "外注工賃", 0, nullptr},
         {22, "利子割引料", 0, nullptr},
         {23, "地代家賃", 0, nullptr},
         {24, "貸倒金", 0, nullptr},
         {25, "", 127, nullptr},
         {26, "", 128, nullptr},
         {27, "", 129, nullptr},
         {28, "", 130, nullptr},
         {29, "", 131, nullptr},
         {30, "", 132, nullptr},
         {31, "雑費", 0, nullptr},
         {32, "計", 0, nullptr}},
        {{33, "差引金額(⑦-㉜)", 0, nullptr},
         {34, "貸倒引当金", 0, "各種引当金・準備金等　繰戻額等"},
         {35, "", 133, nullptr},
         {36, "", 134, nullptr},
         {37, "計", 0, nullptr},
         {38, "専従者給与", 0, "繰入額等"},
         {39, "貸倒引当金", 0, nullptr},
         {40, "", 135, nullptr},
         {41, "", 136, nullptr},
         {42, "計", 0, nullptr},
         {43, "青色申告特別控除前の所得金額", 0, nullptr},
         {44, "青色申告特別控除額", 0, nullptr},
         {45, "所得金額(㊸-㊹)", 0, nullptr}},
    };
    FormPage page;
    const double top = 44.0;
    const double blockW = 86.0, gap = 4.5;
    for (size_t c = 0; c < columns.size(); ++c) {
        std::vector<FormLineSpec> lines;
        for (const Spec& s : columns[c]) {
            if (s.headingBefore) lines.push_back(heading(QString::fromUtf8(s.headingBefore)));
            lines.push_back(lineOf(s));
        }
        Block b;
        b.x = 15.0 + c * (blockW + gap);
        b.y = top;
        b.numberW = 8;
        b.captionW = 46;
        b.amountW = {32};
        b.amountHeads = {QStringLiteral("金額(円)")};
        b.rowH = 7.2;
        drawBlock(page, b, lines);
    }
    doc.formPages.push_back(page);
    return true;
}

bool BuildRTsKesan(platform::Connection& cn, Document& doc) {
    const auto company = ReadCompanyHeader(cn);
    if (!company) return false;
    const auto items = ReadPrintKomoku(cn);
    if (!items) return false;
    const auto k = readKesansyo(cn);
    if (!k) return false;

    doc.title = QStringLiteral("貸借対照表");
    doc.orientation = Orientation::Landscape;
    doc.companyName = company->name;
    const QString closing = Trim(items->komoku6);
    if (!closing.isEmpty()) doc.period = closing + QStringLiteral("現在");

    struct Spec {
        int line;
        const char* caption;
        int nameSlot;
    };
    const auto twoColumns = [&](const std::vector<Spec>& specs) {
        std::vector<FormLineSpec> out;
        for (const Spec& s : specs) {
            FormLineSpec l;
            l.caption = captionOf(*k, s.nameSlot, QString::fromUtf8(s.caption));
            l.amounts = {k->amounts[s.line], k->amounts[s.line + 50]};
            l.bold = s.line == 25 || s.line == 50;
            out.push_back(l);
        }
        return out;
    };
    const std::vector<Spec> assets = {
        {1, "現金", 0},         {2, "当座預金", 0},     {3, "定期預金", 0},     {4, "その他の預金", 0},
        {5, "受取手形", 0},     {6, "売掛金", 0},       {7, "有価証券", 0},     {8, "棚卸資産", 0},
        {9, "前払金", 0},       {10, "貸付金", 0},      {11, "建物", 0},        {12, "建物附属設備", 0},
        {13, "機械装置", 0},    {14, "車両運搬具", 0},  {15, "工具器具備品", 0}, {16, "土地", 0},
        {17, "", 127},          {18, "", 128},          {19, "", 129},          {20, "", 130},
        {21, "", 131},          {22, "", 132},          {23, "", 133},          {24, "事業主貸", 0},
        {25, "合計", 0}};
    const std::vector<Spec> liabilities = {
        {26, "支払手形", 0},    {27, "買掛金", 0},      {28, "借入金", 0},      {29, "未払金", 0},
        {30, "前受金", 0},      {31, "預り金", 0},      {32, "", 134},          {33, "", 135},
        {34, "", 136},          {35, "", 137},          {36, "", 138},          {37, "", 139},
        {38, "", 140},          {39, "貸倒引当金", 0},  {40, "", 141},          {41, "", 142},
        {42, "", 143},          {43, "", 144},          {44, "", 145},          {45, "", 146},
        {46, "", 147},          {47, "事業主借", 0},    {48, "元入金", 0},
        {49, "青色申告特別控除前の所得金額", 0},        {50, "合計", 0}};
    std::vector<FormLineSpec> assetLines = twoColumns(assets);
    std::vector<FormLineSpec> liabilityLines = twoColumns(liabilities);

    struct MSpec {
        int slot;
        const char* caption;
        int nameSlot;
    };
    const std::vector<MSpec> making = {
        {101, "期首原材料棚卸高", 0}, {102, "原材料仕入高", 0}, {103, "小計", 0},
        {104, "期末原材料棚卸高", 0}, {105, "差引原材料費", 0}, {106, "労務費", 0},
        {107, "外注工賃", 0},         {108, "電力費", 0},       {109, "水道光熱費", 0},
        {110, "修繕費", 0},           {111, "減価償却費", 0},   {112, "", 148},
        {113, "", 149},               {114, "", 150},           {115, "", 151},
        {116, "", 152},               {117, "", 153},           {118, "", 154},
        {119, "", 155},               {120, "雑費", 0},         {121, "計", 0},
        {122, "総製造費", 0},         {123, "期首半製品・仕掛品棚卸高", 0}, {124, "小計", 0},
        {125, "期末半製品・仕掛品棚卸高", 0}, {126, "製品製造原価", 0}};
    std::vector<FormLineSpec> makingLines;
    for (const MSpec& m : making) {
        FormLineSpec l;
        l.number = QString::number(m.slot - 100);
        l.caption = captionOf(*k, m.nameSlot, QString::fromUtf8(m.caption));
        l.amounts = {k->amounts[m.slot]};
        l.bold = m.slot == 122 || m.slot == 126;
        makingLines.push_back(l);
    }

    FormPage page;
    const double top = 48.0, rowH = 5.1, pt = 7.8;
    const QStringList heads = {QStringLiteral("期首"), QStringLiteral("期末")};
    page.texts.push_back({QRectF(15, top - 6, 180, 5.5), QStringLiteral("資産の部　／　負債・資本の部"), 9, Align::Left,
                          true, false});
    page.texts.push_back({QRectF(200, top - 6, 82, 5.5), QStringLiteral("製造原価の計算"), 9, Align::Left, true,
                          false});
    Block a;
    a.x = 15;
    a.y = top;
    a.numberW = 0.01;
    a.captionW = 38;
    a.amountW = {25, 25};
    a.amountHeads = {heads[0], heads[1]};
    a.rowH = rowH;
    a.pt = pt;
    drawBlock(page, a, assetLines);
    Block l = a;
    l.x = 15 + 88 + 4;
    l.captionW = 38;
    drawBlock(page, l, liabilityLines);
    Block m;
    m.x = 15 + 2 * 92;
    m.y = top;
    m.numberW = 6;
    m.captionW = 44;
    m.amountW = {33};
    m.amountHeads = {QStringLiteral("金額(円)")};
    m.rowH = rowH;
    m.pt = pt;
    drawBlock(page, m, makingLines);
    doc.formPages.push_back(page);
    return true;
}

}  // namespace reports
