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
// The font files are mapped, not read, and parsed once per process: a PDF
// pays only for the subset of the glyphs it uses.
//
// Coordinates are device pixels at the resolution given, y downwards, like a
// QPainter on a QPdfWriter of that resolution.
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
#include <functional>
#include <memory>
#include <string>
#include <vector>

namespace platform::report {

class PdfFile {
public:
    struct Face;

    // faceFile names the font file of a family (empty when there is none).
    PdfFile(QIODevice& out, double dpi, std::function<QString(const QString&)> faceFile);
    ~PdfFile();
    PdfFile(const PdfFile&) = delete;
    PdfFile& operator=(const PdfFile&) = delete;

    void setInfo(const QString& title, const QString& creator);

    // Starts the next page (the first one too) of the given size in points.
    void newPage(QSizeF pagePt);

    void line(QPointF a, QPointF b, double widthPx, const QColor& color);
    void fillRect(const QRectF& r, const QColor& color);

    // The face of a family, or nullptr when it has no usable font file.
    Face* face(const QString& family);
    // One line of text, its baseline starting at `at`. sizePx is the font's
    // pixel size, hscale condenses it horizontally, spacing is the QFont's
    // letter spacing (percent when `percentSpacing`, else pixels). Bold is
    // drawn as a face without a bold style is emboldened. Returns false when
    // a character is not in the face.
    bool text(Face* face, double sizePx, bool bold, bool percentSpacing, double spacing, QPointF at,
              double hscale, const QString& s);

    // Finishes the file. Returns false when writing failed.
    bool finish();

private:
    void finishPage();

    int newObject();
    void beginObject(int id);
    void write(const QByteArray& bytes);
    void write(const std::string& bytes);
    void writeStream(int id, const QByteArray& data, const QByteArray& extraDict = QByteArray());
    void writeFace(Face& f);

    QIODevice& out_;
    double scale_;  // points per pixel
    std::function<QString(const QString&)> faceFile_;
    QString title_, creator_;
    qint64 written_ = 0;
    bool ok_ = true;
    std::vector<qint64> offsets_;  // by object number; 0 = not written yet
    std::vector<int> pages_;
    QSizeF pageSize_;
    bool inPage_ = false;
    std::string content_;
    // Graphics and text state of the current page, to set only what changes.
    QColor stroke_, fill_;
    double lineWidth_ = -1;
    Face* textFace_ = nullptr;
    double textSize_ = -1;
    QHash<QString, Face*> byFamily_;
    std::vector<std::unique_ptr<Face>> faces_;
};

}  // namespace platform::report
