#include "platform/reportpaint.h"

#include <QBuffer>
#include <QColor>
#include <QFile>
#include <QFont>
#include <QFontDatabase>
#include <QFontMetricsF>
#include <QGuiApplication>
#include <QHash>
#include <QPageLayout>
#include <QPageSize>
#include <QPainter>
#include <QPdfWriter>
#include <QPen>
#include <QRawFont>
#include <QSaveFile>
#include <algorithm>
#include <cmath>
#include <deque>
#include <functional>
#include <map>
#include <utility>

#include "platform/pdffile.h"

namespace platform::report {

namespace {

const QString kGothic = QStringLiteral("IPAexGothic");
const QString kMincho = QStringLiteral("IPAexMincho");

// ------------------------------------------------------------------ geometry
// Everything is laid out in millimetres; the canvas turns them into device
// pixels. Pagination depends on these sizes only, never on the device, so a
// document has the same pages on paper, in the preview and in a PDF.

constexpr double kMarginSide = 15.0;
constexpr double kMarginTop = 12.0;
constexpr double kMarginBottom = 12.0;
constexpr double kTitleHeight = 11.0;
constexpr double kTitleGap = 2.5;
constexpr double kPeriodHeight = 6.0;
constexpr double kInfoLineHeight = 5.5;
constexpr double kHeaderGap = 2.5;
constexpr double kTableHeadHeight = 8.0;
constexpr double kRowHeight = 6.4;
constexpr double kFooterHeight = 8.0;
constexpr double kCellPadding = 1.4;

constexpr double kTitlePt = 17.0;
constexpr double kPeriodPt = 10.5;
constexpr double kCompanyPt = 11.0;
constexpr double kItemPt = 9.5;
constexpr double kHeadPt = 9.0;
constexpr double kBodyPt = 9.0;
constexpr double kFooterPt = 8.5;

struct Geometry {
    double pageW = 0, pageH = 0;
    double left = kMarginSide, right = kMarginSide;
    double headerTop = kMarginTop;
    double headerBottom = 0;  // where the table (or form) starts
    double bodyTop = 0;       // first row, under the column captions
    double bodyBottom = 0;    // last usable line above the footer
    int rowsPerPage = 1;

    double contentW() const { return pageW - left - right; }
};

QSizeF a4Mm(Orientation o) {
    const QSizeF s = QPageSize(QPageSize::A4).size(QPageSize::Millimeter);
    return o == Orientation::Landscape ? s.transposed() : s;
}

int infoLines(const Document& doc) {
    if (doc.companyName.isEmpty() && doc.headerItems.empty()) return 0;
    return std::max<int>(1, int(doc.headerItems.size()));
}

double headerHeight(const Document& doc) {
    double h = kTitleHeight + kTitleGap;
    if (!doc.period.isEmpty()) h += kPeriodHeight;
    h += infoLines(doc) * kInfoLineHeight;
    return h + kHeaderGap;
}

Geometry geometryFor(const Document& doc, QSizeF pageMm) {
    Geometry g;
    g.pageW = pageMm.width();
    g.pageH = pageMm.height();
    g.headerBottom = g.headerTop + headerHeight(doc);
    g.bodyTop = g.headerBottom + kTableHeadHeight;
    g.bodyBottom = g.pageH - kMarginBottom - kFooterHeight;
    g.rowsPerPage = std::max(1, int(std::floor((g.bodyBottom - g.bodyTop) / kRowHeight + 1e-6)));
    return g;
}

// ---------------------------------------------------------------- pagination

// A line points at a row of the table or at one the pagination made (a
// heading, a sum), kept in the Pagination's own rows.
struct Line {
    const Row* row = nullptr;
    int group = 0;
};

using Page = std::vector<Line>;

struct Pagination {
    std::deque<Row> made;  // stays put while rows are added
    std::vector<Page> pages;
};

std::vector<Currency> sumsOf(const Table& t, const std::vector<const Row*>& rows) {
    std::vector<Currency> sums(t.columns.size());
    for (const Row* r : rows) {
        if (r->kind != RowKind::Detail) continue;
        for (size_t c = 0; c < t.columns.size() && c < r->cells.size(); ++c) {
            if (t.columns[c].summed && r->cells[c].isAmount()) sums[c] += r->cells[c].amount();
        }
    }
    return sums;
}

Row sumRow(const Table& t, RowKind kind, const QString& caption, const std::vector<Currency>& sums) {
    Row r;
    r.kind = kind;
    r.bold = true;
    r.cells.resize(t.columns.size());
    for (size_t c = 0; c < t.columns.size(); ++c) {
        if (t.columns[c].summed) r.cells[c] = Cell(sums[c]);
    }
    if (t.captionColumn >= 0 && size_t(t.captionColumn) < r.cells.size())
        r.cells[t.captionColumn] = Cell(caption);
    return r;
}

// The table as one sequence of lines: group headings, rows, subtotals, total.
std::vector<Line> flatten(const Table& t, std::deque<Row>& made) {
    std::vector<Line> lines;
    std::vector<const Row*> all;
    for (int g = 0; g < int(t.groups.size()); ++g) {
        const Group& group = t.groups[g];
        if (!group.heading.isEmpty()) lines.push_back({&made.emplace_back(Row::heading(group.heading)), g});
        std::vector<const Row*> rows;
        for (const Row& r : group.rows) {
            lines.push_back({&r, g});
            rows.push_back(&r);
            all.push_back(&r);
        }
        if (!t.subtotalCaption.isEmpty()) {
            made.push_back(sumRow(t, RowKind::Subtotal, t.subtotalCaption, sumsOf(t, rows)));
            lines.push_back({&made.back(), g});
        }
    }
    if (!t.totalCaption.isEmpty()) {
        made.push_back(sumRow(t, RowKind::Total, t.totalCaption, sumsOf(t, all)));
        lines.push_back({&made.back(), int(t.groups.size())});
    }
    return lines;
}

Pagination paginate(const Table& t, int rowsPerPage) {
    Pagination result;
    const std::vector<Line> lines = flatten(t, result.made);
    std::vector<Page>& pages = result.pages;
    pages.resize(1);
    for (size_t i = 0; i < lines.size(); ++i) {
        const Line& line = lines[i];
        Page* page = &pages.back();
        const bool groupStart =
            i > 0 && line.group != lines[i - 1].group && line.group < int(t.groups.size());
        const bool heading = line.row->kind == RowKind::Heading;
        // A heading never stays alone at the foot of a page.
        const bool orphan = heading && int(page->size()) == rowsPerPage - 1 && i + 1 < lines.size();
        const bool full = int(page->size()) >= rowsPerPage;
        if (!page->empty() && ((groupStart && t.pageBreakBetweenGroups) || full || orphan)) {
            pages.emplace_back();
            page = &pages.back();
            // A group that goes on over the page break repeats its heading.
            const bool midGroup = !groupStart && line.group < int(t.groups.size());
            if (midGroup && !heading && !t.groups[line.group].heading.isEmpty()) {
                result.made.push_back(Row::heading(t.groups[line.group].heading + QStringLiteral("（続き）")));
                page->push_back({&result.made.back(), line.group});
            }
        }
        page->push_back(line);
    }
    return result;
}

int totalPages(const Document& doc, const Geometry& g) {
    int n = doc.hasTable() ? int(paginate(doc.table, g.rowsPerPage).pages.size()) : 0;
    n += int(doc.formPages.size());
    return std::max(1, n);
}

// -------------------------------------------------------------------- canvas

Qt::Alignment qtAlign(Align a) {
    switch (a) {
        case Align::Left:
            return Qt::AlignLeft;
        case Align::Center:
            return Qt::AlignHCenter;
        case Align::Right:
            return Qt::AlignRight;
    }
    return Qt::AlignLeft;
}

// Draws in millimetres on a device of any resolution: through a painter, or
// straight into a PDF file (then d is only asked for the font metrics, so the
// layout is the one a painter on a PDF writer of that resolution gets).
class Canvas {
public:
    Canvas(QPainter& p, QPaintDevice& d) : p_(&p), d_(d), pxPerMm_(d.logicalDpiX() / 25.4) {}
    Canvas(PdfFile& pdf, QPaintDevice& d) : pdf_(&pdf), d_(d), pxPerMm_(d.logicalDpiX() / 25.4) {}

    // A text the PDF file could not draw (the document is then written by
    // QPdfWriter instead).
    bool failed() const { return failed_; }

    double px(double mm) const { return mm * pxPerMm_; }
    QRectF rect(double x, double y, double w, double h) const { return QRectF(px(x), px(y), px(w), px(h)); }

    QFont font(const QString& face, double pt, bool bold = false) const {
        QFont f(face);
        f.setPointSizeF(pt);
        f.setBold(bold);
        f.setHintingPreference(QFont::PreferNoHinting);
        f.setStyleStrategy(QFont::PreferOutline);
        return f;
    }

    double textWidthMm(const QString& s, const QFont& f) {
        const FontState& fs = state(f);
        return (pdf_ ? width(fs, s) : fs.metrics.horizontalAdvance(s)) / pxPerMm_;
    }

    void line(double x1, double y1, double x2, double y2, double widthPt, const QColor& color = Qt::black) {
        if (pdf_) {
            pdf_->line(QPointF(px(x1), px(y1)), QPointF(px(x2), px(y2)), widthPt * d_.logicalDpiX() / 72.0, color);
            return;
        }
        // Pens change rarely between rules: set one only when it differs.
        if (penState_ != PenState::Rule || widthPt != penWidthPt_ || color != penColor_) {
            QPen pen(color);
            pen.setWidthF(widthPt * d_.logicalDpiX() / 72.0);
            pen.setCapStyle(Qt::FlatCap);
            p_->setPen(pen);
            penState_ = PenState::Rule;
            penWidthPt_ = widthPt;
            penColor_ = color;
        }
        p_->drawLine(QPointF(px(x1), px(y1)), QPointF(px(x2), px(y2)));
    }

    void box(double x, double y, double w, double h, double widthPt) {
        line(x, y, x + w, y, widthPt);
        line(x + w, y, x + w, y + h, widthPt);
        line(x + w, y + h, x, y + h, widthPt);
        line(x, y + h, x, y, widthPt);
    }

    void fill(double x, double y, double w, double h, const QColor& color) {
        if (pdf_)
            pdf_->fillRect(rect(x, y, w, h), color);
        else
            p_->fillRect(rect(x, y, w, h), color);
    }

    // One line of text in a box, vertically centred. A text too wide for its box
    // is condensed (down to 60 %) and only then cut with an ellipsis, so names
    // stay readable in narrow columns.
    void text(double x, double y, double w, double h, const QString& s, const QFont& f, Align a) {
        if (s.isEmpty() || w <= 0 || failed_) return;
        const FontState& fs = use(f);
        if (p_ && penState_ != PenState::Text) {
            p_->setPen(Qt::black);
            penState_ = PenState::Text;
        }
        const QRectF r = rect(x, y, w, h);
        const QFontMetricsF& fm = fs.metrics;
        const double need = pdf_ ? width(fs, s) : fm.horizontalAdvance(s);
        const double baseline = r.top() + (r.height() - fm.height()) / 2 + fm.ascent();
        const Qt::Alignment align = qtAlign(a) | Qt::AlignVCenter;
        if (need <= r.width()) {
            // A line that fits is drawn at its baseline: much cheaper than a
            // formatted drawText, and the same placement.
            double left = r.left();
            if (a == Align::Right) left = r.right() - need;
            if (a == Align::Center) left = r.left() + (r.width() - need) / 2;
            if (pdf_)
                pdfText(fs, QPointF(left, baseline), 1.0, s);
            else
                p_->drawText(QPointF(left, baseline), s);
            return;
        }
        const double k = std::max(0.6, r.width() / need);
        const QString shown = need * k > r.width() ? fm.elidedText(s, Qt::ElideRight, r.width() / k) : s;
        if (pdf_) {
            // Placed in the condensed box as the painter places it.
            const double room = r.width() / k, used = fm.horizontalAdvance(shown);
            double left = 0;
            if (a == Align::Right) left = room - used;
            if (a == Align::Center) left = (room - used) / 2;
            pdfText(fs, QPointF(r.left() + k * left, baseline), k, shown);
            return;
        }
        p_->save();
        p_->translate(r.left(), r.top());
        p_->scale(k, 1.0);
        p_->drawText(QRectF(0, 0, r.width() / k, r.height()), align | Qt::TextSingleLine, shown);
        p_->restore();
    }

private:
    struct FontState {
        QFont font;
        QFontMetricsF metrics;
        PdfFile::Face* face = nullptr;  // in a PDF file
        double sizePx = 0;
        std::vector<double> advances;   // by character, -1 not measured yet
    };

    // The width of a line of text: the sum of its characters' advances, which
    // is what the text layout gives for these faces (no kerning or ligatures),
    // without shaping the whole string for every cell.
    double width(const FontState& fs, const QString& s) {
        if (fs.font.letterSpacing() != 0) return fs.metrics.horizontalAdvance(s);
        auto& advances = const_cast<std::vector<double>&>(fs.advances);
        if (advances.empty()) advances.assign(0x10000, -1.0);
        double sum = 0;
        for (QChar c : s) {
            if (c.isSurrogate()) return fs.metrics.horizontalAdvance(s);
            double& a = advances[c.unicode()];
            if (a < 0) a = fs.metrics.horizontalAdvance(c);
            sum += a;
        }
        return sum;
    }

    void pdfText(const FontState& fs, QPointF at, double hscale, const QString& s) {
        const QFont& f = fs.font;
        if (!pdf_->text(fs.face, fs.sizePx, f.bold(), f.letterSpacingType() == QFont::PercentageSpacing,
                        f.letterSpacing(), at, hscale, s))
            failed_ = true;
    }
    enum class PenState { Unknown, Text, Rule };

    // Makes f the painter's font; metrics are kept per font for the whole
    // document, since building them again for every cell is costly.
    const FontState& use(const QFont& f) {
        const FontState& fs = state(f);
        if (p_ && &fs != painterFont_) {
            p_->setFont(f);
            painterFont_ = &fs;
        }
        return fs;
    }

    // The metrics (and PDF face) of a font, made once per document.
    const FontState& state(const QFont& f) {
        // Most texts come in the font of the text before.
        if (last_ && f == last_->font) return *last_;
        const QString key = f.key() + QString::number(f.letterSpacing());
        auto it = fonts_.find(key);
        if (it == fonts_.end()) {
            FontState fs{f, QFontMetricsF(f, &d_), nullptr, 0, {}};
            if (pdf_) {
                // The pixel size of the face the metrics come from.
                fs.face = pdf_->face(f.family());
                const QRawFont raw = QRawFont::fromFont(QFont(f, &d_));
                fs.sizePx = raw.isValid() ? raw.pixelSize() : f.pointSizeF() * d_.logicalDpiY() / 72.0;
            }
            it = fonts_.emplace(key, std::move(fs)).first;
        }
        last_ = &it->second;
        return it->second;
    }

    QPainter* p_ = nullptr;
    PdfFile* pdf_ = nullptr;
    QPaintDevice& d_;
    bool failed_ = false;
    double pxPerMm_;
    std::map<QString, FontState> fonts_;  // stays put: the pointers below point into it
    const FontState* last_ = nullptr;
    const FontState* painterFont_ = nullptr;
    PenState penState_ = PenState::Unknown;
    double penWidthPt_ = 0;
    QColor penColor_;
};

// --------------------------------------------------------------- page parts

void drawPageHeader(Canvas& c, const Document& doc, const Geometry& g) {
    double y = g.headerTop;
    // Title: centred, spaced out, over a double rule, as on printed business forms.
    QFont title = c.font(kMincho, kTitlePt, true);
    title.setLetterSpacing(QFont::PercentageSpacing, 125);
    const double titleW = std::min(g.contentW(), c.textWidthMm(doc.title, title) + 10.0);
    c.text(g.left, y, g.contentW(), kTitleHeight - 1.5, doc.title, title, Align::Center);
    const double ruleX = g.left + (g.contentW() - titleW) / 2;
    c.line(ruleX, y + kTitleHeight - 1.0, ruleX + titleW, y + kTitleHeight - 1.0, 0.8);
    c.line(ruleX, y + kTitleHeight - 0.2, ruleX + titleW, y + kTitleHeight - 0.2, 0.4);
    y += kTitleHeight + kTitleGap;

    if (!doc.period.isEmpty()) {
        c.text(g.left, y, g.contentW(), kPeriodHeight, doc.period, c.font(kMincho, kPeriodPt), Align::Center);
        y += kPeriodHeight;
    }

    const int lines = infoLines(doc);
    if (lines == 0) return;
    const double half = g.contentW() / 2;
    if (!doc.companyName.isEmpty()) {
        const QFont company = c.font(kGothic, kCompanyPt, true);
        c.text(g.left, y, half, kInfoLineHeight, doc.companyName, company, Align::Left);
        const double w = std::min(half, c.textWidthMm(doc.companyName, company) + 2.0);
        c.line(g.left, y + kInfoLineHeight, g.left + w, y + kInfoLineHeight, 0.4);
    }
    const QFont item = c.font(kGothic, kItemPt);
    for (size_t i = 0; i < doc.headerItems.size(); ++i) {
        const HeaderItem& h = doc.headerItems[i];
        const QString s = h.label.isEmpty() ? h.value : h.label + QStringLiteral("　") + h.value;
        c.text(g.left + half, y + i * kInfoLineHeight, half, kInfoLineHeight, s, item, Align::Right);
    }
}

void drawFooter(Canvas& c, const Geometry& g, int page, int pages) {
    const QString s = QStringLiteral("- %1 / %2 -").arg(page).arg(pages);
    c.text(g.left, g.pageH - kMarginBottom - kFooterHeight + 3.0, g.contentW(), kFooterHeight - 3.0, s,
           c.font(kGothic, kFooterPt), Align::Center);
}

std::vector<double> columnEdges(const Table& t, const Geometry& g) {
    double total = 0;
    for (const Column& col : t.columns) total += std::max(0.0, col.width);
    if (total <= 0) total = 1;
    std::vector<double> x{g.left};
    for (const Column& col : t.columns)
        x.push_back(x.back() + g.contentW() * std::max(0.0, col.width) / total);
    x.back() = g.left + g.contentW();
    return x;
}

QString cellText(const Column& col, const Cell& cell) {
    if (!cell.isAmount()) return cell.text();
    if (col.blankZero && cell.amount().isZero()) return QString();
    return cell.amount().toDisplay(col.decimals);
}

void drawTablePage(Canvas& c, const Table& t, const Page& page, const Geometry& g) {
    const std::vector<double> x = columnEdges(t, g);
    const double left = x.front(), right = x.back();
    const double top = g.headerBottom;

    // Column captions on a grey band.
    c.fill(left, top, right - left, kTableHeadHeight, QColor(0xE4, 0xE4, 0xE4));
    const QFont head = c.font(kGothic, kHeadPt, true);
    for (size_t i = 0; i < t.columns.size(); ++i) {
        c.text(x[i] + kCellPadding, top, x[i + 1] - x[i] - 2 * kCellPadding, kTableHeadHeight,
               t.columns[i].caption, head, Align::Center);
    }

    const QFont body = c.font(kGothic, kBodyPt);
    const QFont bold = c.font(kGothic, kBodyPt, true);
    const double em = c.textWidthMm(QStringLiteral("　"), body);
    double y = g.bodyTop;
    static const Cell blank;
    // The column rules run down each stretch of rows between headings, drawn
    // once per stretch rather than once per row.
    double stretchTop = -1;
    auto columnRules = [&] {
        if (stretchTop < 0) return;
        for (size_t i = 1; i + 1 < x.size(); ++i) c.line(x[i], stretchTop, x[i], y, 0.3);
        stretchTop = -1;
    };
    for (const Line& line : page) {
        const Row& r = *line.row;
        const QFont& f = r.bold ? bold : body;
        if (r.kind == RowKind::Heading) {
            columnRules();
            c.fill(left, y, right - left, kRowHeight, QColor(0xF2, 0xF2, 0xF2));
            c.text(left + kCellPadding + r.indent * em, y, right - left - 2 * kCellPadding, kRowHeight,
                   r.text, f, Align::Left);
        } else {
            if (stretchTop < 0) stretchTop = y;
            for (size_t i = 0; i < t.columns.size(); ++i) {
                const Column& col = t.columns[i];
                const Cell& cell = i < r.cells.size() ? r.cells[i] : blank;
                const double indent = int(i) == t.captionColumn && !cell.isAmount() ? r.indent * em : 0.0;
                const Align a = cell.isAmount() ? Align::Right : col.align;
                c.text(x[i] + kCellPadding + indent, y, x[i + 1] - x[i] - 2 * kCellPadding - indent,
                       kRowHeight, cellText(col, cell), f, a);
            }
        }
        // Rules above sums: single for a subtotal, double for the grand total.
        if (r.kind == RowKind::Subtotal) c.line(left, y, right, y, 0.7);
        if (r.kind == RowKind::Total) {
            c.line(left, y, right, y, 0.5);
            c.line(left, y + 0.6, right, y + 0.6, 0.5);
        }
        y += kRowHeight;
        c.line(left, y, right, y, 0.25, QColor(0x60, 0x60, 0x60));
    }
    columnRules();

    // Caption rules and the frame.
    for (size_t i = 1; i + 1 < x.size(); ++i) c.line(x[i], top, x[i], top + kTableHeadHeight, 0.3);
    c.line(left, g.bodyTop, right, g.bodyTop, 0.7);
    c.box(left, top, right - left, y - top, 0.9);
}

void drawFormPage(Canvas& c, const FormPage& form) {
    for (const FormBox& b : form.boxes) {
        if (b.shaded)
            c.fill(b.rectMm.x(), b.rectMm.y(), b.rectMm.width(), b.rectMm.height(), QColor(0xEE, 0xEE, 0xEE));
        c.box(b.rectMm.x(), b.rectMm.y(), b.rectMm.width(), b.rectMm.height(), b.widthPt);
    }
    for (const FormLine& l : form.lines) c.line(l.x1, l.y1, l.x2, l.y2, l.widthPt);
    for (const FormText& t : form.texts) {
        c.text(t.rectMm.x(), t.rectMm.y(), t.rectMm.width(), t.rectMm.height(), t.text,
               c.font(t.mincho ? kMincho : kGothic, t.pointSize, t.bold), t.align);
    }
}

// Draws every page of the document; newPage starts each one. Returns the page count.
int drawDocument(Canvas& c, const Document& doc, const Geometry& g, const std::function<void()>& newPage) {
    const Pagination pagination = doc.hasTable() ? paginate(doc.table, g.rowsPerPage) : Pagination{};
    const std::vector<Page>& tablePages = pagination.pages;
    const int pages = std::max<int>(1, int(tablePages.size() + doc.formPages.size()));
    int number = 0;
    auto startPage = [&]() {
        newPage();
        ++number;
    };
    for (const Page& page : tablePages) {
        startPage();
        drawPageHeader(c, doc, g);
        drawTablePage(c, doc.table, page, g);
        drawFooter(c, g, number, pages);
    }
    for (const FormPage& form : doc.formPages) {
        startPage();
        if (form.withPageHeader) drawPageHeader(c, doc, g);
        drawFormPage(c, form);
        drawFooter(c, g, number, pages);
    }
    if (number == 0) {  // nothing at all: one page with the header
        startPage();
        drawPageHeader(c, doc, g);
        drawFooter(c, g, number, pages);
    }
    return number;
}

struct FaceFiles {
    QString family;
    QStringList files;
};

// The font files of the two faces, where Debian's packages put them.
const std::vector<FaceFiles>& faceFiles() {
    static const std::vector<FaceFiles> faces{
        {kGothic,
         {QStringLiteral("/usr/share/fonts/opentype/ipaexfont-gothic/ipaexg.ttf"),
          QStringLiteral("/usr/share/fonts/truetype/fonts-japanese-gothic.ttf")}},
        {kMincho,
         {QStringLiteral("/usr/share/fonts/opentype/ipaexfont-mincho/ipaexm.ttf"),
          QStringLiteral("/usr/share/fonts/truetype/fonts-japanese-mincho.ttf")}},
    };
    return faces;
}

QString faceFile(const QString& family) {
    for (const FaceFiles& face : faceFiles()) {
        if (face.family != family) continue;
        for (const QString& file : face.files) {
            if (QFile::exists(file)) return file;
        }
    }
    return QString();
}

constexpr int kPdfDpi = 600;

// The document through QPdfWriter: for what the own writer cannot draw.
bool writePdfWithQt(const Document& doc, const QString& path, QString* error) {
    QSaveFile file(path);
    if (!file.open(QIODevice::WriteOnly)) {
        if (error) *error = file.errorString();
        return false;
    }
    {
        QPdfWriter writer(&file);
        writer.setResolution(kPdfDpi);
        writer.setPageLayout(a4Layout(doc.orientation));
        writer.setTitle(doc.title);
        writer.setCreator(QGuiApplication::applicationDisplayName());
        QPainter painter;
        if (!painter.begin(&writer)) {
            if (error) *error = QStringLiteral("PDF");
            file.cancelWriting();
            return false;
        }
        paint(doc, painter, writer);
        painter.end();
    }
    if (!file.commit()) {
        if (error) *error = file.errorString();
        return false;
    }
    return true;
}

}  // namespace

// ---------------------------------------------------------------- interface

void ensureFonts() {
    static bool done = false;
    if (done) return;
    done = true;
    const QStringList families = QFontDatabase::families();
    for (const FaceFiles& face : faceFiles()) {
        if (families.contains(face.family)) continue;
        for (const QString& file : face.files) {
            if (QFile::exists(file) && QFontDatabase::addApplicationFont(file) >= 0) break;
        }
    }
}

int paint(const Document& doc, QPainter& painter, QPagedPaintDevice& device) {
    ensureFonts();
    // The paper as the device describes it (the preview's page setup may have
    // turned it), measured exactly rather than from rounded pixel counts.
    const Geometry g = geometryFor(doc, device.pageLayout().fullRect(QPageLayout::Millimeter).size());
    Canvas c(painter, device);
    painter.setRenderHint(QPainter::Antialiasing, true);
    painter.setRenderHint(QPainter::TextAntialiasing, true);
    bool first = true;
    return drawDocument(c, doc, g, [&] {
        if (!first) device.newPage();
        first = false;
    });
}

int pageCount(const Document& doc) {
    return totalPages(doc, geometryFor(doc, a4Mm(doc.orientation)));
}

bool writePdf(const Document& doc, const QString& path, QString* error) {
    ensureFonts();
    QSaveFile file(path);
    if (!file.open(QIODevice::WriteOnly)) {
        if (error) *error = file.errorString();
        return false;
    }
    bool unsupported = false, written = false;
    {
        // The layout's metrics come from a PDF writer of the same resolution
        // (never painted on), so the pages are the ones QPdfWriter would get.
        QBuffer unused;
        QPdfWriter metrics(&unused);
        metrics.setResolution(kPdfDpi);
        const QPageLayout layout = a4Layout(doc.orientation);
        metrics.setPageLayout(layout);
        PdfFile pdf(file, kPdfDpi, faceFile);
        pdf.setInfo(doc.title, QGuiApplication::applicationDisplayName());
        Canvas c(pdf, metrics);
        const QSizeF pagePt = layout.fullRectPoints().size();
        drawDocument(c, doc, geometryFor(doc, layout.fullRect(QPageLayout::Millimeter).size()),
                     [&] { pdf.newPage(pagePt); });
        unsupported = c.failed();
        written = !unsupported && pdf.finish();
    }
    if (unsupported) {
        file.cancelWriting();
        return writePdfWithQt(doc, path, error);
    }
    if (!written || !file.commit()) {
        if (error) *error = file.errorString();
        return false;
    }
    return true;
}

QPageLayout a4Layout(Orientation o) {
    return QPageLayout(QPageSize(QPageSize::A4),
                       o == Orientation::Landscape ? QPageLayout::Landscape : QPageLayout::Portrait,
                       QMarginsF(0, 0, 0, 0), QPageLayout::Millimeter);
}

}  // namespace platform::report
