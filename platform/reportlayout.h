#pragma once
// The layout vocabulary of the report engine.
//
// A report is a Document: plain values (no database handles, no callbacks), so a
// document built from the work tables is a snapshot of them. Refilling the tables
// afterwards never changes a document that a preview window still shows.
//
// A Document holds
//   - the page header printed on every page: title, company name, period, and a
//     list of header items ("label  value");
//   - a Table: columns (caption, relative width, alignment, summed or not) and
//     groups of rows; the engine adds group subtotals and a grand total when
//     their captions are set, and can start every group on a new page;
//   - optional FormPages: free positioned texts and ruled lines in millimetres,
//     for fixed forms that are not lists (printed after the table pages).
// The engine (reportpaint.h) lays it out on A4 in the document's orientation,
// with page numbers in the footer.

#include <QRectF>
#include <QString>
#include <memory>
#include <optional>
#include <utility>
#include <vector>

#include "platform/currency.h"

namespace platform::report {

enum class Orientation { Portrait, Landscape };
enum class Align { Left, Center, Right };

// One table cell: a text, an amount (shown with thousands separators), or blank.
class Cell {
public:
    Cell() = default;
    Cell(const QString& text) : text_(text) {}                  // NOLINT(google-explicit-constructor)
    Cell(QString&& text) : text_(std::move(text)) {}            // NOLINT(google-explicit-constructor)
    Cell(const char* utf8) : text_(QString::fromUtf8(utf8)) {}  // NOLINT(google-explicit-constructor)
    Cell(Currency amount) : amount_(amount) {}                  // NOLINT(google-explicit-constructor)

    bool isAmount() const { return amount_.has_value(); }
    bool isBlank() const { return !amount_ && text_.isEmpty(); }
    Currency amount() const { return amount_.value_or(Currency()); }
    const QString& text() const { return text_; }

private:
    QString text_;
    std::optional<Currency> amount_;
};

struct Column {
    QString caption;
    // Relative width: the columns share the table width in proportion.
    double width = 1.0;
    // Alignment of the cells; amounts are right-aligned whatever this says.
    Align align = Align::Left;
    // Summed into the group subtotals and the grand total.
    bool summed = false;
    // Shows an amount of zero as a blank cell.
    bool blankZero = false;
    // Decimals of amounts: -1 shows as many as the amount has (none for whole yen).
    int decimals = -1;
};

enum class RowKind {
    Detail,    // an ordinary line
    Heading,   // one text across the whole table (a class or section heading)
    Subtotal,  // bold, ruled above
    Total,     // bold, double-ruled above
};

struct Row {
    RowKind kind = RowKind::Detail;
    // One cell per column (missing cells are blank). A Heading uses only text.
    std::vector<Cell> cells;
    QString text;
    // Indentation of the cell in the table's caption column (the name column), in
    // steps of one full-width character.
    int indent = 0;
    bool bold = false;

    static Row detail(std::vector<Cell> cells, int indent = 0) {
        Row r;
        r.cells = std::move(cells);
        r.indent = indent;
        return r;
    }
    static Row heading(const QString& text) {
        Row r;
        r.kind = RowKind::Heading;
        r.text = text;
        r.bold = true;
        return r;
    }
};

struct Group {
    // Printed as a heading line at the start of the group, and again with "（続き）"
    // at the top of a page on which the group goes on. Empty: no heading.
    QString heading;
    std::vector<Row> rows;
};

// Takes a table's groups and rows as a builder adds them, in place of the
// table keeping them: a PDF is then laid out and written while the rows are
// read (reportpaint.h, writePdfWhileBuilding).
class TableSink {
public:
    virtual ~TableSink() = default;
    virtual void group(const QString& heading) = 0;
    virtual void row(Row&& row) = 0;
};

struct Table {
    std::vector<Column> columns;
    std::vector<Group> groups;
    // Every group after the first starts on a new page.
    bool pageBreakBetweenGroups = false;
    // Non-empty: a subtotal line after each group, summing the summed columns of
    // its detail rows, with this caption in the caption column.
    QString subtotalCaption;
    // Non-empty: a grand total line at the end, summing every detail row.
    QString totalCaption;
    // The name column: it carries the subtotal and total captions and the
    // indentation of rows.
    int captionColumn = 0;

    // Set while the table streams: addRow and addGroup hand their rows and
    // groups to it and `groups` stays empty. The columns, captions and the
    // document's header are set before the first row is added.
    TableSink* sink = nullptr;

    // Adds a detail row to the last group (creating a group without heading).
    void addRow(Row row);
    // Starts a new group.
    void addGroup(const QString& heading);
    int rowCount() const;
};

struct HeaderItem {
    QString label;
    QString value;
};

// Free positioned content of a fixed form, in millimetres from the page's top left.
struct FormText {
    QRectF rectMm;
    QString text;
    double pointSize = 9.0;
    Align align = Align::Left;
    bool bold = false;
    bool mincho = false;  // the Mincho face (titles of formal forms), else Gothic
};

struct FormLine {
    double x1 = 0, y1 = 0, x2 = 0, y2 = 0;  // millimetres
    double widthPt = 0.5;
};

struct FormBox {
    QRectF rectMm;
    double widthPt = 0.5;
    bool shaded = false;
};

struct FormPage {
    std::vector<FormText> texts;
    std::vector<FormLine> lines;
    std::vector<FormBox> boxes;
    // Draws the common page header (title, company, period, items) above the form.
    bool withPageHeader = true;
};

struct Document {
    // The report's name ("R_KANJO_LISTH"), used for the document and window name.
    QString name;
    QString title;
    Orientation orientation = Orientation::Portrait;
    QString companyName;
    // The period line under the title ("2010年 4月度", "自 … 至 …"); empty: none.
    QString period;
    std::vector<HeaderItem> headerItems;
    Table table;
    std::vector<FormPage> formPages;
    // Memory that texts of the rows refer to without owning it
    // (QString::fromRawData), kept as long as the document or a copy of it.
    std::vector<std::shared_ptr<const void>> storage;

    bool hasTable() const { return !table.columns.empty(); }
};

}  // namespace platform::report
