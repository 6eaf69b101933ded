#include "reports/r_tukisyusi.h"

#include "app/common/dates.h"
#include "app/common/values.h"
#include "ledger/period.h"
#include "reports/reportcommon.h"

namespace reports {

using namespace platform::report;

namespace {

// The form's geometry in millimetres (A4 landscape, below the page header).
constexpr double kLeft = 15.0;
constexpr double kTop = 41.0;
constexpr double kCaptionHeight = 7.0;
constexpr double kRowHeight = 4.8;
constexpr double kSideWidth = 6.0;
constexpr double kNoWidth = 7.0;
constexpr double kNameWidth = 33.0;
constexpr double kMonthWidth = 16.5;
constexpr double kTotalWidth = 27.0;
constexpr double kPad = 1.0;
constexpr double kPt = 8.0;

struct FormRow {
    QString side;
    QString number;
    QString name;
    std::vector<Currency> amounts;  // 12 months and the total
    bool bold = false;
    double ruleAbove = 0.25;  // line width in points
    bool doubleRule = false;
};

double monthX(int column) {
    return kLeft + kSideWidth + kNoWidth + kNameWidth + column * kMonthWidth;
}

double formWidth() {
    return kSideWidth + kNoWidth + kNameWidth + 12 * kMonthWidth + kTotalWidth;
}

void addText(FormPage& page, double x, double y, double w, const QString& text, Align align, bool bold) {
    if (text.isEmpty()) return;
    FormText t;
    t.rectMm = QRectF(x + kPad, y, w - 2 * kPad, kRowHeight);
    t.text = text;
    t.pointSize = kPt;
    t.align = align;
    t.bold = bold;
    page.texts.push_back(t);
}

FormPage formOf(const QStringList& labels, const std::vector<FormRow>& rows) {
    FormPage page;
    const double right = kLeft + formWidth();
    const double bottom = kTop + kCaptionHeight + rows.size() * kRowHeight;

    // Caption band.
    FormBox band;
    band.rectMm = QRectF(kLeft, kTop, formWidth(), kCaptionHeight);
    band.shaded = true;
    band.widthPt = 0.3;
    page.boxes.push_back(band);
    const auto caption = [&](double x, double w, const QString& text) {
        FormText t;
        t.rectMm = QRectF(x, kTop, w, kCaptionHeight);
        t.text = text;
        t.pointSize = kPt;
        t.align = Align::Center;
        t.bold = true;
        page.texts.push_back(t);
    };
    caption(kLeft + kSideWidth, kNoWidth, QStringLiteral("No."));
    caption(kLeft + kSideWidth + kNoWidth, kNameWidth, QStringLiteral("科　　目"));
    for (int m = 0; m < 12; ++m) caption(monthX(m), kMonthWidth, labels.value(m));
    caption(monthX(12), kTotalWidth, QStringLiteral("合　計"));

    double y = kTop + kCaptionHeight;
    for (const FormRow& r : rows) {
        page.lines.push_back({kLeft, y, right, y, r.ruleAbove});
        if (r.doubleRule) page.lines.push_back({kLeft, y + 0.6, right, y + 0.6, r.ruleAbove});
        addText(page, kLeft, y, kSideWidth, r.side, Align::Center, true);
        addText(page, kLeft + kSideWidth, y, kNoWidth, r.number, Align::Center, r.bold);
        addText(page, kLeft + kSideWidth + kNoWidth, y, kNameWidth, r.name, Align::Left, r.bold);
        for (int m = 0; m < 13 && m < int(r.amounts.size()); ++m) {
            addText(page, monthX(m), y, m == 12 ? kTotalWidth : kMonthWidth, r.amounts[m].toDisplay(),
                    Align::Right, r.bold);
        }
        y += kRowHeight;
    }
    // Column rules and the frame.
    for (double x : {kLeft + kSideWidth, kLeft + kSideWidth + kNoWidth})
        page.lines.push_back({x, kTop, x, bottom, 0.3});
    for (int m = 0; m <= 12; ++m) page.lines.push_back({monthX(m), kTop, monthX(m), bottom, m == 12 ? 0.6 : 0.3});
    FormBox frame;
    frame.rectMm = QRectF(kLeft, kTop, formWidth(), bottom - kTop);
    frame.widthPt = 0.9;
    page.boxes.push_back(frame);
    return page;
}

std::vector<Currency> headAmounts(const platform::Row& head, int first) {
    std::vector<Currency> out;
    for (int i = 0; i < 13; ++i) out.push_back(head.currency(first - 1 + i));
    return out;
}

}  // namespace

bool BuildTukisyusiReport(platform::Connection& cn, Document& doc) {
    const auto company = ReadCompanyHeader(cn);
    if (!company) return false;
    const PeriodRead period = CurrentPeriod(cn);
    if (!period.ok) return false;
    QStringList columns;
    for (int i = 1; i <= 65; ++i) columns << QStringLiteral("KOMOKU%1").arg(i);
    const auto head =
        cn.queryOne(QStringLiteral("SELECT %1 FROM P_TUKISYUSI_HEAD").arg(columns.join(QStringLiteral(", "))));
    if (!head) return false;
    const auto lines = cn.query(QStringLiteral(
        "SELECT PRTIDNO, PRTNAME, PRTJUN, KIN1, KIN2, KIN3, KIN4, KIN5, KIN6, KIN7, KIN8, KIN9, KIN10, KIN11,"
        " KIN12, KIN13 FROM P_TUKISYUSI ORDER BY PRTIDNO"));
    if (!lines) return false;

    doc.title = QStringLiteral("月別収支内訳書");
    doc.orientation = Orientation::Landscape;
    doc.companyName = company->name;
    if (head->size() > 0 && !Trim(head->text(0)).isEmpty()) {
        QString era;
        if (period.period) SeirekiToWareki(period.period->kisyu, era, 0);
        doc.period = era + Trim(head->text(0)) + QStringLiteral("年度");
    }

    QStringList labels;
    std::vector<FormRow> rows;
    if (head->size() > 0) {
        for (int i = 1; i <= 12; ++i) labels << Trim(head->text(i));
        rows.push_back({QString(), QString(), QStringLiteral("売上(収入)金額"), headAmounts(*head, 14)});
        rows.push_back({QString(), QString(), QStringLiteral("仕入金額"), headAmounts(*head, 27)});
        rows.push_back({QString(), QString(), QStringLiteral("製造原価"), headAmounts(*head, 40)});
    }
    for (const platform::Row& l : *lines) {
        FormRow r;
        r.side = Trim(l.text(2));
        r.number = Trim(l.text(0));
        r.name = Trim(l.text(1));
        for (int i = 3; i < 16; ++i) r.amounts.push_back(l.currency(i));
        if (rows.size() == 3) r.ruleAbove = 0.7;
        if (r.number == QStringLiteral("25")) {
            r.number.clear();
            r.bold = true;
            r.ruleAbove = 0.7;
        }
        rows.push_back(r);
    }
    if (head->size() > 0) {
        FormRow d{QString(), QString(), QStringLiteral("差引金額"), headAmounts(*head, 53), true, 0.5, true};
        rows.push_back(d);
    }
    doc.formPages.push_back(formOf(labels, rows));
    return true;
}

}  // namespace reports
