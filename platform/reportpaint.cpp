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
#include <array>
#include <atomic>
#include <cmath>
#include <deque>
#include <functional>
#include <memory>
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

// Lays a table out on pages as its groups and rows come, holding one page at
// a time: the table as one sequence of lines (group headings, rows,
// subtotals, the total) cut into pages of rowsPerPage lines. Every group
// after the first starts a page when the table asks for it; a heading never
// stays alone at the foot of a page; a group that goes on over a page break
// repeats its heading with "（続き）". Each finished page goes to onPage (a
// null onPage only counts the pages). A page is always made, even of a table
// without lines.
class Paginator : public TableSink {
public:
    // Gets the page's lines, which it may take.
    using PageFn = std::function<void(std::vector<Row>&)>;

    Paginator(const Table& t, int rowsPerPage, PageFn onPage)
        : t_(t),
          rowsPerPage_(rowsPerPage),
          onPage_(std::move(onPage)),
          groupSums_(t.columns.size()),
          totalSums_(t.columns.size()) {}

    void group(const QString& heading) override {
        closeGroup();
        ++groups_;
        heading_ = heading;
        std::fill(groupSums_.begin(), groupSums_.end(), Currency());
        if (!heading.isEmpty()) add(Row::heading(heading), false);
    }

    void row(Row&& r) override {
        if (groups_ == 0) group(QString());
        if (r.kind == RowKind::Detail) {
            for (size_t c = 0; c < t_.columns.size() && c < r.cells.size(); ++c) {
                if (t_.columns[c].summed && r.cells[c].isAmount()) {
                    groupSums_[c] += r.cells[c].amount();
                    totalSums_[c] += r.cells[c].amount();
                }
            }
        }
        add(std::move(r), false);
    }

    // The last group's subtotal, the total and the last page.
    void finish() {
        closeGroup();
        if (!t_.totalCaption.isEmpty()) add(sumRow(t_, RowKind::Total, t_.totalCaption, totalSums_), true);
        if (pending_) place(std::move(*pending_), false);
        pending_.reset();
        emitPage();
    }

    int pages() const { return pages_; }

private:
    struct Line {
        Row row;
        int group = 0;
        bool total = false;
        QString heading;  // of the line's group
    };

    void closeGroup() {
        if (groups_ > 0 && !t_.subtotalCaption.isEmpty())
            add(sumRow(t_, RowKind::Subtotal, t_.subtotalCaption, groupSums_), false);
    }

    // Lines are placed one behind: whether a heading is the last line
    // decides whether it may stand at the foot of a page.
    void add(Row&& r, bool total) {
        if (pending_) place(std::move(*pending_), true);
        pending_ = Line{std::move(r), groups_, total, total ? QString() : heading_};
    }

    void place(Line&& line, bool more) {
        const bool groupStart = placedAny_ && !line.total && line.group != lastGroup_;
        const bool heading = line.row.kind == RowKind::Heading;
        const bool orphan = heading && lines_ == rowsPerPage_ - 1 && more;
        const bool full = lines_ >= rowsPerPage_;
        if (lines_ > 0 && ((groupStart && t_.pageBreakBetweenGroups) || full || orphan)) {
            emitPage();
            const bool midGroup = !groupStart && !line.total;
            if (midGroup && !heading && !line.heading.isEmpty())
                push(Row::heading(line.heading + QStringLiteral("（続き）")));
        }
        lastGroup_ = line.group;
        placedAny_ = true;
        push(std::move(line.row));
    }

    void push(Row&& r) {
        ++lines_;
        if (onPage_) page_.push_back(std::move(r));
    }

    void emitPage() {
        ++pages_;
        if (onPage_) onPage_(page_);
        page_.clear();
        lines_ = 0;
    }

    const Table& t_;
    const int rowsPerPage_;
    PageFn onPage_;
    std::vector<Currency> groupSums_, totalSums_;
    int groups_ = 0;
    QString heading_;
    std::optional<Line> pending_;
    bool placedAny_ = false;
    int lastGroup_ = 0;
    std::vector<Row> page_;
    int lines_ = 0;
    int pages_ = 0;
};

// Hands a whole table to a paginator.
void feed(const Table& t, Paginator& p) {
    for (const Group& group : t.groups) {
        p.group(group.heading);
        for (const Row& r : group.rows) p.row(Row(r));
    }
    p.finish();
}

int tablePages(const Table& t, int rowsPerPage) {
    Paginator p(t, rowsPerPage, nullptr);
    feed(t, p);
    return p.pages();
}

int totalPages(const Document& doc, const Geometry& g) {
    int n = doc.hasTable() ? tablePages(doc.table, g.rowsPerPage) : 0;
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

// A device that has only a resolution: the font metrics of a thread that
// draws pages of a PDF file, which leaves the writer's device to its own.
class ResolutionDevice : public QPaintDevice {
public:
    explicit ResolutionDevice(int dpi) : dpi_(dpi) {}
    QPaintEngine* paintEngine() const override { return nullptr; }

protected:
    int metric(PaintDeviceMetric m) const override {
        switch (m) {
            case PdmDpiX:
            case PdmDpiY:
            case PdmPhysicalDpiX:
            case PdmPhysicalDpiY:
                return dpi_;
            case PdmDevicePixelRatio:
                return 1;
            case PdmDevicePixelRatioScaled:
                return int(devicePixelRatioFScale());
            case PdmDepth:
                return 32;
            default:
                return 0;
        }
    }

private:
    int dpi_;
};

// Draws in millimetres on a device of any resolution: through a painter, or
// straight into a PDF file (then d is only asked for the font metrics, so the
// layout is the one a painter on a PDF writer of that resolution gets).
// A canvas belongs to one thread; into a PDF, it draws into the file's
// current content, or the one set by drawInto.
class Canvas {
public:
    Canvas(QPainter& p, QPaintDevice& d) : p_(&p), d_(d), pxPerMm_(d.logicalDpiX() / 25.4) {}
    Canvas(PdfFile& pdf, QPaintDevice& d) : pdf_(&pdf), d_(d), pxPerMm_(d.logicalDpiX() / 25.4) {}
    // Into a PDF file with metrics of its own, for a thread drawing pages.
    Canvas(PdfFile& pdf, int dpi)
        : pdf_(&pdf), own_(std::make_unique<ResolutionDevice>(dpi)), d_(*own_), pxPerMm_(d_.logicalDpiX() / 25.4) {}

    void drawInto(PdfContent* content) { content_ = content; }

    // The canvas of the calling thread for drawing pages of a PDF file into
    // content. Kept for the thread's life: the metrics of its fonts (made
    // once, measured as needed) serve every file; `document` names the file,
    // whose faces the canvas takes when it changes.
    static Canvas& ofThread(PdfFile& pdf, quint64 document, int dpi, PdfContent& content) {
        thread_local std::unique_ptr<Canvas> own;
        thread_local quint64 current = 0;
        if (!own || own->d_.logicalDpiX() != dpi) {
            own = std::make_unique<Canvas>(pdf, dpi);
        } else if (current != document) {
            own->pdf_ = &pdf;
            own->failed_ = false;
            for (FontState& fs : own->fonts_) fs.face = pdf.face(fs.font.family());
        }
        current = document;
        own->drawInto(&content);
        return *own;
    }

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
            out().line(QPointF(px(x1), px(y1)), QPointF(px(x2), px(y2)), widthPt * d_.logicalDpiX() / 72.0, color);
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
            out().fillRect(rect(x, y, w, h), color);
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
        const double baseline = r.top() + (r.height() - fs.height) / 2 + fs.ascent;
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
            // The width as the painter measures it; the sum of the advances
            // when the whole text is shown, measured above.
            const double room = r.width() / k,
                         used = shown.size() == s.size() ? need : fm.horizontalAdvance(shown);
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
        // The metrics' height and ascent: each asks the font database, which
        // is shared by every thread.
        double height = 0, ascent = 0;
        PdfFile::Face* face = nullptr;  // in a PDF file
        double sizePx = 0;
        // By character, in blocks of 256 made as needed; -1 not measured yet.
        std::vector<std::unique_ptr<std::array<double, 256>>> advances;
        // The last text measured in a letter-spaced font, and its width.
        QString spacedText;
        double spacedWidth = 0;
        bool spacedWidthValid = false;
    };

    // The width of a line of text: the sum of its characters' advances, which
    // is what the text layout gives for these faces (no kerning or ligatures),
    // without shaping the whole string for every cell.
    double width(const FontState& fs, const QString& s) {
        if (fs.font.letterSpacing() != 0) {
            // A spaced text (the title) comes again on every page: keep its width.
            auto& last = const_cast<FontState&>(fs);
            if (!last.spacedWidthValid || s != last.spacedText) {
                last.spacedText = s;
                last.spacedWidth = fs.metrics.horizontalAdvance(s);
                last.spacedWidthValid = true;
            }
            return last.spacedWidth;
        }
        auto& advances = const_cast<FontState&>(fs).advances;
        if (advances.empty()) advances.resize(256);
        double sum = 0;
        for (QChar c : s) {
            if (c.isSurrogate()) return fs.metrics.horizontalAdvance(s);
            auto& block = advances[c.unicode() >> 8];
            if (!block) {
                block = std::make_unique<std::array<double, 256>>();
                block->fill(-1.0);
            }
            double& a = (*block)[c.unicode() & 0xFF];
            if (a < 0) a = fs.metrics.horizontalAdvance(c);
            sum += a;
        }
        return sum;
    }

    void pdfText(const FontState& fs, QPointF at, double hscale, const QString& s) {
        const QFont& f = fs.font;
        if (!out().text(fs.face, fs.sizePx, f.bold(), f.letterSpacingType() == QFont::PercentageSpacing,
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
        // A handful of fonts: compared rather than keyed.
        auto it = std::find_if(fonts_.begin(), fonts_.end(), [&](const FontState& fs) { return fs.font == f; });
        if (it == fonts_.end()) {
            FontState fs{f, QFontMetricsF(f, &d_), 0, 0, nullptr, 0, {}, {}, 0, false};
            fs.height = fs.metrics.height();
            fs.ascent = fs.metrics.ascent();
            if (pdf_) {
                // The pixel size of the face the metrics come from.
                fs.face = pdf_->face(f.family());
                const QRawFont raw = QRawFont::fromFont(QFont(f, &d_));
                fs.sizePx = raw.isValid() ? raw.pixelSize() : f.pointSizeF() * d_.logicalDpiY() / 72.0;
            }
            fonts_.push_back(std::move(fs));
            it = std::prev(fonts_.end());
        }
        last_ = &*it;
        return *it;
    }

    PdfContent& out() { return content_ ? *content_ : pdf_->current(); }

    QPainter* p_ = nullptr;
    PdfFile* pdf_ = nullptr;
    PdfContent* content_ = nullptr;
    std::unique_ptr<QPaintDevice> own_;
    QPaintDevice& d_;
    bool failed_ = false;
    double pxPerMm_;
    std::deque<FontState> fonts_;  // stays put: the pointers below point into it
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

void drawTablePage(Canvas& c, const Table& t, const std::vector<Row>& page, const Geometry& g) {
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
    for (const Row& r : page) {
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
    const int pages = totalPages(doc, g);
    int number = 0;
    auto startPage = [&]() {
        newPage();
        ++number;
    };
    if (doc.hasTable()) {
        Paginator table(doc.table, g.rowsPerPage, [&](const std::vector<Row>& page) {
            startPage();
            drawPageHeader(c, doc, g);
            drawTablePage(c, doc.table, page, g);
            drawFooter(c, g, number, pages);
        });
        feed(doc.table, table);
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

constexpr int kPdfDpi = 600;

// Writes a document into a PDF file while it is built: the table's pages are
// drawn and written as its rows come, each page's footer once the page count
// is known at the end (drawn over the written page). The pages are cut here,
// one by one, and drawn on the file's drawing threads, each with a canvas of
// its own, from a copy of the header and columns taken before the first row.
class PdfPages : public TableSink {
public:
    PdfPages(Document& doc, Canvas& c, PdfFile& pdf, QPdfWriter& metrics)
        : doc_(doc), c_(c), pdf_(pdf), metrics_(metrics), serial_(nextSerial()) {}
    // The drawing threads use the copy of the header.
    ~PdfPages() override { pdf_.waitForPages(); }

    void group(const QString& heading) override { paginator().group(heading); }
    void row(Row&& r) override { paginator().row(std::move(r)); }

    void finish() {
        if (doc_.hasTable()) paginator().finish();
        if (!paginator_) setUp();
        const int tablePages = pdf_.pageCount();
        const int pages = std::max<int>(1, tablePages + int(doc_.formPages.size()));
        pdf_.drawOver(0, tablePages, [this, pages](PdfContent& content, int page, int worker) {
            drawFooter(canvas(worker, content), g_, page + 1, pages);
        });
        int number = tablePages;
        for (const FormPage& form : doc_.formPages) {
            pdf_.newPage(pagePt_);
            ++number;
            if (form.withPageHeader) drawPageHeader(c_, doc_, g_);
            drawFormPage(c_, form);
            drawFooter(c_, g_, number, pages);
        }
        if (number == 0) {  // nothing at all: one page with the header
            pdf_.newPage(pagePt_);
            drawPageHeader(c_, doc_, g_);
            drawFooter(c_, g_, 1, pages);
        }
    }

private:
    // Made at the first row: by then the builder has set the header and the
    // columns, which the page geometry and the sums depend on.
    Paginator& paginator() {
        if (!paginator_) {
            setUp();
            // The faces in the order a page uses them (the title first), so
            // that their numbers in the file do not depend on which thread
            // asks first.
            pdf_.face(kMincho);
            pdf_.face(kGothic);
            head_ = doc_;
            head_.table.sink = nullptr;
            head_.formPages.clear();
            paginator_.emplace(doc_.table, g_.rowsPerPage, [this](std::vector<Row>& page) {
                auto rows = std::make_shared<const std::vector<Row>>(std::move(page));
                pdf_.addPage(pagePt_, [this, rows](PdfContent& content, int worker) {
                    Canvas& c = canvas(worker, content);
                    drawPageHeader(c, head_, g_);
                    drawTablePage(c, head_.table, *rows, g_);
                });
            });
        }
        return *paginator_;
    }

    // The canvas of a drawing thread, drawing into content.
    Canvas& canvas(int, PdfContent& content) { return Canvas::ofThread(pdf_, serial_, kPdfDpi, content); }

    static quint64 nextSerial() {
        static std::atomic<quint64> serial{0};
        return ++serial;
    }

    // The page in the document's orientation, set by the builder.
    void setUp() {
        const QPageLayout layout = a4Layout(doc_.orientation);
        metrics_.setPageLayout(layout);
        pagePt_ = layout.fullRectPoints().size();
        g_ = geometryFor(doc_, layout.fullRect(QPageLayout::Millimeter).size());
    }

    Document& doc_;
    Canvas& c_;
    PdfFile& pdf_;
    QPdfWriter& metrics_;
    QSizeF pagePt_;
    Geometry g_;
    std::optional<Paginator> paginator_;
    Document head_;  // the header and the columns, for the drawing threads
    const quint64 serial_;  // tells the drawing threads' canvases this file from the ones before
};

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

bool writePdfWhileBuilding(Document& doc, const std::function<bool(Document&)>& build, const QString& path,
                           QString* error, bool* buildFailed) {
    ensureFonts();
    if (buildFailed) *buildFailed = false;
    QSaveFile file(path);
    if (!file.open(QIODevice::WriteOnly)) {
        if (error) *error = file.errorString();
        return false;
    }
    const Document start = doc;  // for building again
    bool unsupported = false, written = false;
    {
        // The layout's metrics come from a PDF writer of the same resolution
        // (never painted on), so the pages are the ones QPdfWriter would get.
        QBuffer unused;
        QPdfWriter metrics(&unused);
        metrics.setResolution(kPdfDpi);
        PdfFile pdf(file, kPdfDpi, faceFile);
        Canvas c(pdf, metrics);
        PdfPages pages(doc, c, pdf, metrics);
        doc.table.sink = &pages;
        const bool ok = build(doc);
        doc.table.sink = nullptr;
        if (!ok) {
            if (buildFailed) *buildFailed = true;
            file.cancelWriting();
            return false;
        }
        pdf.setInfo(doc.title, QGuiApplication::applicationDisplayName());
        pages.finish();
        unsupported = c.failed();
        written = !unsupported && pdf.finish();
        unsupported = unsupported || pdf.unsupportedText();
    }
    if (unsupported) {
        // A text the own writer cannot draw: the whole document through QPdfWriter.
        file.cancelWriting();
        doc = start;
        if (!build(doc)) {
            if (buildFailed) *buildFailed = true;
            return false;
        }
        return writePdfWithQt(doc, path, error);
    }
    if (!written || !file.commit()) {
        if (error) *error = file.errorString();
        return false;
    }
    return true;
}

bool writePdf(const Document& doc, const QString& path, QString* error) {
    // The header and the table's layout; the rows come through the builder.
    Document head;
    head.name = doc.name;
    head.title = doc.title;
    head.orientation = doc.orientation;
    head.companyName = doc.companyName;
    head.period = doc.period;
    head.headerItems = doc.headerItems;
    head.table.columns = doc.table.columns;
    head.table.pageBreakBetweenGroups = doc.table.pageBreakBetweenGroups;
    head.table.subtotalCaption = doc.table.subtotalCaption;
    head.table.totalCaption = doc.table.totalCaption;
    head.table.captionColumn = doc.table.captionColumn;
    return writePdfWhileBuilding(
        head,
        [&doc](Document& d) {
            for (const Group& group : doc.table.groups) {
                d.table.addGroup(group.heading);
                for (const Row& r : group.rows) d.table.addRow(r);
            }
            d.formPages = doc.formPages;
            return true;
        },
        path, error, nullptr);
}

QPageLayout a4Layout(Orientation o) {
    return QPageLayout(QPageSize(QPageSize::A4),
                       o == Orientation::Landscape ? QPageLayout::Landscape : QPageLayout::Portrait,
                       QMarginsF(0, 0, 0, 0), QPageLayout::Millimeter);
}

}  // namespace platform::report
