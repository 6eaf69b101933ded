#pragma once
// A small PDF writer for the report engine: pages of lines, filled rectangles
// and single lines of text in embedded TrueType faces.
//
// QPdfWriter positions every glyph with its own operator and opens a graphics
// state per text, which makes a long book (thousands of pages) take many
// seconds to write. This writer draws a text as one string of glyph ids that
// the embedded widths position, keeps the graphics state between drawings and
// embeds each face once, reduced to the glyphs used (glyph ids kept), with a
// map back to the characters so the text can be searched and extracted.
// The font files are mapped, not read, and parsed once per process (and per
// thread that draws): a PDF pays only for the subset of the glyphs it uses.
//
// Coordinates are device pixels at the resolution given, y downwards, like a
// QPainter on a QPdfWriter of that resolution.
//
// A page is drawn into a content (PdfContent) of its own: on the calling
// thread (newPage, reopenPage and the drawing calls of PdfFile), or on one of
// a few drawing threads while the caller goes on (addPage, drawOver). The
// contents are compressed off the calling thread and written in page order;
// the glyphs each one used join the embedded subsets in that order, so the
// file is the same whichever thread drew a page.
//
// A text needing something this writer does not do (a face without its font
// file, a character the face lacks) makes text() return false; the caller
// then writes the document with QPdfWriter instead.

#include <QByteArray>
#include <QColor>
#include <QHash>
#include <QIODevice>
#include <QPointF>
#include <QRectF>
#include <QSizeF>
#include <QString>
#include <deque>
#include <functional>
#include <future>
#include <memory>
#include <mutex>
#include <optional>
#include <string>
#include <vector>

namespace platform::report {

struct PdfFontFile;
class PdfFile;

// The content stream of one page (or of the part drawn over a page later),
// with the graphics and text state it has set, so that only what changes is
// set again, and the glyphs its texts use. A content belongs to one thread at
// a time: the pages of a document can be drawn each into its own content on
// other threads while the file is written (PdfFile::addPage).
class PdfContent {
public:
    struct Face;
    PdfContent() = default;
    PdfContent(const PdfContent&) = delete;
    PdfContent& operator=(const PdfContent&) = delete;

    void line(QPointF a, QPointF b, double widthPx, const QColor& color);
    void fillRect(const QRectF& r, const QColor& color);
    // One line of text, its baseline starting at `at`. sizePx is the font's
    // pixel size, hscale condenses it horizontally, spacing is the QFont's
    // letter spacing (percent when `percentSpacing`, else pixels). Bold is
    // drawn as a face without a bold style is emboldened. Returns false when
    // a character is not in the face.
    bool text(Face* face, double sizePx, bool bold, bool percentSpacing, double spacing, QPointF at,
              double hscale, const QString& s);

private:
    friend class PdfFile;
    // A glyph drawn for the first time in this content, with the character
    // it stands for.
    struct Used {
        Face* face;
        quint32 id;
        char32_t c;
    };
    // Starts empty with the initial state; a new page (pagePt set) also gets
    // the transformation from pixels to points.
    void begin(double scale, const QSizeF* pagePt);
    // Closes the text object the last texts are in.
    void endText();
    PdfFontFile* fileOf(Face* f);

    std::string data_;
    std::vector<Used> used_;
    std::vector<std::vector<quint64>> seen_;  // by face resource: the glyph ids in used_
    std::vector<PdfFontFile*> files_;         // by face resource: this thread's font file
    bool failed_ = false;
    QColor stroke_, fill_;
    double lineWidth_ = -1;
    Face* textFace_ = nullptr;
    double textSize_ = -1;
    bool inText_ = false;
};

class PdfFile {
public:
    using Face = PdfContent::Face;

    // faceFile names the font file of a family (empty when there is none).
    PdfFile(QIODevice& out, double dpi, std::function<QString(const QString&)> faceFile);
    ~PdfFile();
    PdfFile(const PdfFile&) = delete;
    PdfFile& operator=(const PdfFile&) = delete;

    void setInfo(const QString& title, const QString& creator);

    // Starts the next page (the first one too) of the given size in points.
    void newPage(QSizeF pagePt);
    // Goes back to an earlier page (0 = the first) to draw over it: what is
    // drawn up to the next newPage, addPage, reopenPage or finish goes onto
    // that page, in its coordinates, after what it holds (a second content
    // stream). Lets a page be written before its footer, which needs the page
    // count, is known. Once per page.
    void reopenPage(int index);
    // Adds the next page, drawn by `draw` on one of the drawing threads into
    // a content of its own (worker: the thread's index, below
    // drawingThreads()), while the caller goes on; the pages are written in
    // order. draw must only use what stays unchanged until finish() or
    // waitForPages(), and a content only through its own methods.
    void addPage(QSizeF pagePt, std::function<void(PdfContent&, int worker)> draw);
    // Draws over the pages from `from` up to `to` (not included), as
    // reopenPage does, on the drawing threads: draw gets the index of the
    // page. The same terms as for addPage.
    void drawOver(int from, int to, std::function<void(PdfContent&, int page, int worker)> draw);
    // Waits until every page handed to addPage or drawOver and not written
    // yet is drawn.
    void waitForPages();
    static int drawingThreads();
    // The pages begun so far.
    int pageCount() const { return int(pages_.size()); }

    void line(QPointF a, QPointF b, double widthPx, const QColor& color) {
        current_.line(a, b, widthPx, color);
    }
    void fillRect(const QRectF& r, const QColor& color) { current_.fillRect(r, color); }
    bool text(Face* face, double sizePx, bool bold, bool percentSpacing, double spacing, QPointF at,
              double hscale, const QString& s) {
        return current_.text(face, sizePx, bold, percentSpacing, spacing, at, hscale, s);
    }
    // The content drawn into by line, fillRect and text.
    PdfContent& current() { return current_; }

    // The face of a family, or nullptr when it has no usable font file. May
    // be called from any thread.
    Face* face(const QString& family);

    // A text drawn so far had a character that is not in its face (that
    // page's drawing stopped there). Complete once the pages are written.
    bool unsupportedText() const { return unsupported_; }

    // Finishes the file. Returns false when writing failed or a text could
    // not be drawn (unsupportedText()).
    bool finish();

private:
    struct Drawn {
        QByteArray data;  // compressed
        std::vector<PdfContent::Used> used;
        bool failed = false;
    };
    // A content to draw on a drawing thread: a new page when pagePt is set,
    // else the part drawn over a page.
    struct Job {
        int id = 0;
        std::optional<QSizeF> pagePt;
        std::function<void(PdfContent&, int worker)> draw;
    };
    void finishPage();
    void addJob(Job job);
    // Hands the jobs gathered to a drawing thread.
    void submitJobs();
    // Writes the compressed page contents that are ready, in order; all of
    // them (waiting) when `all`, else waiting only while too many are pending.
    void writePending(bool all);

    int newObject();
    void beginObject(int id);
    void write(const QByteArray& bytes);
    void write(const std::string& bytes);
    // A file saved at the end (QSaveFile) is synced to disk then: the disk
    // starts on every megabyte written meanwhile, so that the final sync has
    // little left to wait for.
    void startWriteback();
    void writeStream(int id, const QByteArray& data, const QByteArray& extraDict = QByteArray());
    void writeFace(Face& f);

    QIODevice& out_;
    double scale_;  // points per pixel
    std::function<QString(const QString&)> faceFile_;
    QString title_, creator_;
    qint64 written_ = 0;
    qint64 writebackFrom_ = 0;  // bytes before it were handed to the disk
    bool ok_ = true;
    bool unsupported_ = false;
    std::vector<qint64> offsets_;  // by object number; 0 = not written yet
    struct Page {
        QSizeF size;
        int contents = 0;
        int more = 0;  // the content stream added by reopenPage, 0: none
    };
    std::vector<Page> pages_;  // the page objects are written at the end
    bool inPage_ = false;
    int reopened_ = -1;  // the page being drawn over, -1: a new page
    PdfContent current_;
    // Page contents being drawn or compressed beside the drawing of the next
    // pages, written in order as they are done.
    struct PendingStream {
        std::vector<int> ids;
        std::future<std::vector<Drawn>> drawn;
        std::shared_ptr<void> jobs;  // freed once written
    };
    // Pages are handed to the drawing threads a few at a time: waking a
    // thread costs about as much as drawing a page.
    std::vector<Job> jobs_;
    std::deque<PendingStream> pending_;
    // One content per drawing thread for addPage, made on first use.
    std::vector<std::unique_ptr<PdfContent>> workerContents_;
    std::mutex facesMutex_;
    QHash<QString, Face*> byFamily_;
    std::vector<std::unique_ptr<Face>> faces_;
};

}  // namespace platform::report
