#include "platform/pdffile.h"

#include <QFile>
#include <QRawFont>
#include <algorithm>
#include <charconv>
#include <chrono>
#include <cmath>
#include <map>
#include <set>

namespace platform::report {

namespace {

// ------------------------------------------------------------ number output

// A number with two decimals at most, without trailing zeros.
void appendNumber(std::string& out, double v) {
    long long hundredths = std::llround(v * 100);
    if (hundredths < 0) {
        out += '-';
        hundredths = -hundredths;
    }
    char buf[32];
    auto [end, ec] = std::to_chars(buf, buf + sizeof buf, hundredths / 100);
    out.append(buf, end);
    const int fraction = int(hundredths % 100);
    if (fraction == 0) return;
    out += '.';
    out += char('0' + fraction / 10);
    if (fraction % 10) out += char('0' + fraction % 10);
}

void appendNumbers(std::string& out, std::initializer_list<double> values) {
    for (double v : values) {
        appendNumber(out, v);
        out += ' ';
    }
}

void appendHex4(std::string& out, unsigned v) {
    static const char digits[] = "0123456789ABCDEF";
    const char hex[4] = {digits[(v >> 12) & 15], digits[(v >> 8) & 15], digits[(v >> 4) & 15], digits[v & 15]};
    out.append(hex, 4);
}

void appendColor(std::string& out, const QColor& c, const char* op) {
    appendNumbers(out, {c.redF(), c.greenF(), c.blueF()});
    out += op;
    out += '\n';
}

// A text string of the document information, as UTF-16BE with its mark.
QByteArray infoText(const QString& s) {
    std::string out = "<FEFF";
    for (QChar c : s) appendHex4(out, c.unicode());
    out += '>';
    return QByteArray::fromStdString(out);
}

QByteArray compressed(const QByteArray& data, int level) {
    // qCompress puts the length in front of a zlib stream: FlateDecode reads the stream.
    return qCompress(data, level).mid(4);
}

// ------------------------------------------------------------- font tables

quint16 u16(const QByteArray& b, qsizetype at) {
    if (at < 0 || at + 2 > b.size()) return 0;
    return quint16((uchar(b[at]) << 8) | uchar(b[at + 1]));
}
qint16 s16(const QByteArray& b, qsizetype at) {
    return qint16(u16(b, at));
}
quint32 u32(const QByteArray& b, qsizetype at) {
    return (quint32(u16(b, at)) << 16) | u16(b, at + 2);
}
void put16(QByteArray& b, qsizetype at, quint16 v) {
    b[at] = char(v >> 8);
    b[at + 1] = char(v & 0xFF);
}
void add16(QByteArray& b, quint16 v) {
    b.append(char(v >> 8));
    b.append(char(v & 0xFF));
}
void add32(QByteArray& b, quint32 v) {
    add16(b, quint16(v >> 16));
    add16(b, quint16(v & 0xFFFF));
}

quint32 tableChecksum(const QByteArray& t) {
    quint32 sum = 0;
    for (qsizetype i = 0; i < t.size(); i += 4) {
        quint32 v = 0;
        for (int k = 0; k < 4; ++k) v = (v << 8) | (i + k < t.size() ? uchar(t[i + k]) : 0);
        sum += v;
    }
    return sum;
}

// A font file as the faces use it: mapped rather than read, its tables views
// into the mapping, parsed once and kept for the life of the process (every
// PDF draws in the same two faces), with the glyphs of the characters looked
// up so far. One per thread and file: the character lookup is a Qt font
// engine, which stays in the thread that made it.
struct FontFile {
    QFile file;
    QByteArray data;  // the mapping, not copied
    QHash<QByteArray, QByteArray> tables;  // views into data
    QRawFont raw;                          // character to glyph lookup
    int unitsPerEm = 1000;
    int numGlyphs = 0;
    int numHMetrics = 0;
    bool longLoca = false;
    double emboldening = 0;  // offset of the bold copy, per pixel of size
    struct Glyph {
        quint32 id = 0;
        double width = 0;  // in thousandths of the font size
    };
    std::vector<Glyph> bmp;  // by code point; id 0 with width -1: not looked up yet
    QHash<char32_t, Glyph> others;

    bool load(const QString& path) {
        file.setFileName(path);
        if (!file.open(QIODevice::ReadOnly)) return false;
        const qint64 size = file.size();
        uchar* map = size > 0 ? file.map(0, size) : nullptr;
        if (map)
            data = QByteArray::fromRawData(reinterpret_cast<const char*>(map), qsizetype(size));
        else
            data = file.readAll();  // a file that cannot be mapped is read
        if (data.size() < 12 || u32(data, 0) == 0x74746366) return false;  // no collections
        const int count = u16(data, 4);
        for (int i = 0; i < count; ++i) {
            const qsizetype entry = 12 + 16 * qsizetype(i);
            const quint32 offset = u32(data, entry + 8), length = u32(data, entry + 12);
            if (qsizetype(offset) + qsizetype(length) > data.size()) return false;
            tables.insert(data.mid(entry, 4), QByteArray::fromRawData(data.constData() + offset, length));
        }
        for (const char* tag : {"head", "hhea", "maxp", "hmtx", "loca", "glyf"}) {
            if (!tables.contains(tag)) return false;  // TrueType outlines only
        }
        const QByteArray head = tables.value("head");
        unitsPerEm = std::max<int>(16, u16(head, 18));
        longLoca = s16(head, 50) == 1;
        numGlyphs = u16(tables.value("maxp"), 4);
        numHMetrics = std::max<int>(1, u16(tables.value("hhea"), 34));
        raw = QRawFont(data, unitsPerEm, QFont::PreferNoHinting);
        if (!raw.isValid()) return false;
        bmp.assign(0x10000, Glyph{0, -1});
        // Half the underline's thickness, per pixel of size.
        const QByteArray post = tables.value("post");
        const int thickness = post.size() >= 12 ? s16(post, 10) : 0;
        emboldening = thickness > 0 ? 0.5 * thickness / unitsPerEm : 0.025;
        return true;
    }

    // The font file at path, loaded on first use; nullptr when it is not a
    // usable TrueType file.
    static FontFile* get(const QString& path) {
        // Never freed: the mappings and Qt font engines stay until the process
        // ends, and are not torn down after the application object.
        thread_local auto* files = new QHash<QString, FontFile*>;
        if (FontFile* f = files->value(path)) return f;
        auto f = std::make_unique<FontFile>();
        if (!f->load(path)) return nullptr;
        files->insert(path, f.get());
        return f.release();
    }

    double advance(quint32 id) const {
        const QByteArray& hmtx = tables.find("hmtx").value();
        const int k = int(std::min<quint32>(id, quint32(numHMetrics - 1)));
        return u16(hmtx, 4 * qsizetype(k)) * 1000.0 / unitsPerEm;
    }

    const Glyph* glyph(char32_t c) {
        Glyph* g = nullptr;
        if (c < 0x10000) {
            g = &bmp[c];
        } else {
            auto it = others.find(c);
            if (it == others.end()) it = others.insert(c, Glyph{0, -1});
            g = &it.value();
        }
        if (g->width < 0) {
            const QString s = QString::fromUcs4(&c, 1);
            quint32 id = 0;
            int n = 1;
            if (!raw.glyphIndexesForChars(s.constData(), s.size(), &id, &n) || n != 1) id = 0;
            g->id = id;
            g->width = advance(id);
        }
        if (g->id == 0 || g->id >= quint32(numGlyphs)) return nullptr;
        return g;
    }
};

}  // namespace

// A face of one PDF: its font file and the glyphs used, which go into the
// document's embedded subset.
struct PdfFile::Face {
    using Glyph = FontFile::Glyph;
    QString name;  // PostScript-style name without spaces
    FontFile* file = nullptr;
    std::map<quint32, QString> used;  // glyph id -> the characters it stands for
    std::vector<bool> seen;           // by glyph id: in `used` already
    int resource = 0;                 // /F<n>
    int objectId = 0;                 // the Type0 font object

    double advance(quint32 id) const { return file->advance(id); }
    const Glyph* glyph(char32_t c) { return file->glyph(c); }

    QByteArray glyphData(quint32 id) const {
        const QByteArray& loca = file->tables.find("loca").value();
        const bool longLoca = file->longLoca;
        const qsizetype from = longLoca ? u32(loca, 4 * qsizetype(id)) : 2 * qsizetype(u16(loca, 2 * qsizetype(id)));
        const qsizetype to =
            longLoca ? u32(loca, 4 * qsizetype(id + 1)) : 2 * qsizetype(u16(loca, 2 * qsizetype(id + 1)));
        const QByteArray& glyf = file->tables.find("glyf").value();
        if (to <= from || to > glyf.size()) return QByteArray();
        return glyf.mid(from, to - from);
    }

    // The font file reduced to the glyphs used (and the parts of composite
    // glyphs), keeping their ids; glyphs past the last one used are cut off.
    QByteArray subset() const {
        const QHash<QByteArray, QByteArray>& tables = file->tables;
        const int numGlyphs = file->numGlyphs, numHMetrics = file->numHMetrics;
        std::set<quint32> keep{0};
        std::vector<quint32> todo;
        for (const auto& u : used) todo.push_back(u.first);
        while (!todo.empty()) {
            const quint32 id = todo.back();
            todo.pop_back();
            if (id >= quint32(numGlyphs) || !keep.insert(id).second) continue;
            const QByteArray g = glyphData(id);
            if (g.size() < 10 || s16(g, 0) >= 0) continue;
            // A composite glyph: follow its components.
            qsizetype at = 10;
            for (;;) {
                const quint16 flags = u16(g, at);
                todo.push_back(u16(g, at + 2));
                at += 4 + ((flags & 0x1) ? 4 : 2);
                if (flags & 0x8) at += 2;
                else if (flags & 0x40) at += 4;
                else if (flags & 0x80) at += 8;
                if (!(flags & 0x20) || at >= g.size()) break;
            }
        }
        const quint32 count = *keep.rbegin() + 1;
        QByteArray glyf, loca;
        for (quint32 id = 0; id < count; ++id) {
            add32(loca, quint32(glyf.size()));
            if (keep.count(id)) {
                glyf += glyphData(id);
                while (glyf.size() % 4) glyf.append('\0');
            }
        }
        add32(loca, quint32(glyf.size()));

        QByteArray head = tables["head"];
        put16(head, 8, 0);  // checksum adjustment: not kept up to date
        put16(head, 10, 0);
        put16(head, 50, 1);
        QByteArray maxp = tables["maxp"];
        put16(maxp, 4, quint16(count));
        QByteArray hhea = tables["hhea"];
        const quint32 metrics = std::min<quint32>(quint32(numHMetrics), count);
        put16(hhea, 34, quint16(metrics));
        const QByteArray& oldHmtx = tables["hmtx"];
        QByteArray hmtx = oldHmtx.left(4 * qsizetype(metrics));
        for (quint32 id = metrics; id < count; ++id) {
            const qsizetype at = 4 * qsizetype(numHMetrics) + 2 * qsizetype(id - quint32(numHMetrics));
            hmtx += at + 2 <= oldHmtx.size() ? oldHmtx.mid(at, 2) : QByteArray(2, '\0');
        }

        std::vector<std::pair<QByteArray, QByteArray>> out{
            {"glyf", glyf}, {"head", head}, {"hhea", hhea}, {"hmtx", hmtx}, {"loca", loca}, {"maxp", maxp}};
        for (const char* tag : {"cvt ", "fpgm", "prep"}) {
            if (tables.contains(tag)) out.emplace_back(tag, tables[tag]);
        }
        std::sort(out.begin(), out.end());
        const quint16 n = quint16(out.size());
        quint16 power = 1, log = 0;
        while (power * 2 <= n) {
            power *= 2;
            ++log;
        }
        QByteArray file;
        add32(file, 0x00010000);
        add16(file, n);
        add16(file, quint16(power * 16));
        add16(file, log);
        add16(file, quint16(n * 16 - power * 16));
        quint32 offset = 12 + 16 * n;
        for (const auto& [tag, data] : out) {
            file += tag;
            add32(file, tableChecksum(data));
            add32(file, offset);
            add32(file, quint32(data.size()));
            offset += (quint32(data.size()) + 3) & ~3u;
        }
        for (const auto& [tag, data] : out) {
            file += data;
            while (file.size() % 4) file.append('\0');
        }
        return file;
    }
};

PdfFile::PdfFile(QIODevice& out, double dpi, std::function<QString(const QString&)> faceFile)
    : out_(out), scale_(72.0 / dpi), faceFile_(std::move(faceFile)) {
    offsets_.assign(4, 0);  // 1 catalogue, 2 page tree, 3 resources
    write(QByteArray("%PDF-1.4\n%\xE2\xE3\xCF\xD3\n"));
}

PdfFile::~PdfFile() {
    // A file given up midway: the compressions still running end first.
    for (PendingStream& p : pending_) p.data.wait();
}

void PdfFile::setInfo(const QString& title, const QString& creator) {
    title_ = title;
    creator_ = creator;
}

int PdfFile::newObject() {
    offsets_.push_back(0);
    return int(offsets_.size()) - 1;
}

void PdfFile::beginObject(int id) {
    offsets_[size_t(id)] = written_;
    write(QByteArray::number(id) + " 0 obj\n");
}

void PdfFile::write(const QByteArray& bytes) {
    if (!ok_) return;
    if (out_.write(bytes) != bytes.size()) ok_ = false;
    written_ += bytes.size();
}

void PdfFile::write(const std::string& bytes) {
    if (!ok_) return;
    if (out_.write(bytes.data(), qint64(bytes.size())) != qint64(bytes.size())) ok_ = false;
    written_ += qint64(bytes.size());
}

void PdfFile::writeStream(int id, const QByteArray& data, const QByteArray& extraDict) {
    beginObject(id);
    write("<< /Length " + QByteArray::number(data.size()) + " /Filter /FlateDecode" + extraDict + " >>\nstream\n");
    write(data);
    write(QByteArray("\nendstream\nendobj\n"));
}

void PdfFile::resetState() {
    content_.clear();
    content_.reserve(64 * 1024);
    stroke_ = fill_ = QColor();
    lineWidth_ = -1;
    textFace_ = nullptr;
    textSize_ = -1;
}

void PdfFile::newPage(QSizeF pagePt) {
    finishPage();
    inPage_ = true;
    reopened_ = -1;
    pageSize_ = pagePt;
    resetState();
    // Pixels to points, y downwards from the top; lines end flat.
    appendNumbers(content_, {scale_, 0, 0, -scale_, 0, pagePt.height()});
    content_ += "cm\n0 J\n";
}

void PdfFile::reopenPage(int index) {
    finishPage();
    if (index < 0 || index >= int(pages_.size())) return;
    // The page's streams run as one: its transformation and line caps hold;
    // colours, line width and font are set again as the drawing needs them.
    inPage_ = true;
    reopened_ = index;
    resetState();
}

void PdfFile::finishPage() {
    if (!inPage_) return;
    inPage_ = false;
    const int contents = newObject();
    // Deflate takes a good part of writing a page: it runs on another
    // thread while the next pages are drawn.
    pending_.push_back({contents, std::async(std::launch::async, [content = std::move(content_)] {
                            return qCompress(reinterpret_cast<const uchar*>(content.data()),
                                             qsizetype(content.size()), 1)
                                .mid(4);
                        })});
    content_ = std::string();
    writePending(false);
    if (reopened_ >= 0)
        pages_[size_t(reopened_)].more = contents;
    else
        pages_.push_back({pageSize_, contents, 0});
    reopened_ = -1;
}

void PdfFile::writePending(bool all) {
    constexpr size_t kInFlight = 4;
    while (!pending_.empty()) {
        PendingStream& next = pending_.front();
        const bool ready = next.data.wait_for(std::chrono::seconds(0)) == std::future_status::ready;
        if (!all && !ready && pending_.size() <= kInFlight) break;
        writeStream(next.id, next.data.get());
        pending_.pop_front();
    }
}

void PdfFile::line(QPointF a, QPointF b, double widthPx, const QColor& color) {
    if (color != stroke_) {
        appendColor(content_, color, "RG");
        stroke_ = color;
    }
    if (widthPx != lineWidth_) {
        appendNumber(content_, widthPx);
        content_ += " w\n";
        lineWidth_ = widthPx;
    }
    appendNumbers(content_, {a.x(), a.y()});
    content_ += "m ";
    appendNumbers(content_, {b.x(), b.y()});
    content_ += "l S\n";
}

void PdfFile::fillRect(const QRectF& r, const QColor& color) {
    if (color != fill_) {
        appendColor(content_, color, "rg");
        fill_ = color;
    }
    appendNumbers(content_, {r.x(), r.y(), r.width(), r.height()});
    content_ += "re f\n";
}

PdfFile::Face* PdfFile::face(const QString& family) {
    auto it = byFamily_.find(family);
    if (it != byFamily_.end()) return it.value();
    Face* result = nullptr;
    const QString path = faceFile_ ? faceFile_(family) : QString();
    if (!path.isEmpty()) {
        auto f = std::make_unique<Face>();
        f->file = FontFile::get(path);
        if (f->file) {
            for (QChar c : family) {
                if (c.isLetterOrNumber() && c.unicode() < 128) f->name += c;
            }
            if (f->name.isEmpty()) f->name = QStringLiteral("Face");
            f->resource = int(faces_.size()) + 1;
            result = f.get();
            faces_.push_back(std::move(f));
        }
    }
    byFamily_.insert(family, result);
    return result;
}

bool PdfFile::text(Face* f, double sizePx, bool bold, bool percentSpacing, double spacing, QPointF at,
                   double hscale, const QString& s) {
    if (!f) return false;
    // The glyphs first: a character the face lacks leaves the page untouched.
    thread_local std::vector<const Face::Glyph*> glyphs;
    thread_local std::vector<char32_t> chars;
    glyphs.clear();
    chars.clear();
    for (qsizetype i = 0; i < s.size(); ++i) {
        char32_t c = s[i].unicode();
        if (QChar::isHighSurrogate(c) && i + 1 < s.size() && s[i + 1].isLowSurrogate()) {
            c = QChar::surrogateToUcs4(s[i].unicode(), s[i + 1].unicode());
            ++i;
        }
        if (c < 0x20) return false;
        const Face::Glyph* g = f->glyph(c);
        if (!g) return false;
        glyphs.push_back(g);
        chars.push_back(c);
    }
    if (glyphs.empty()) return true;
    if (f->seen.empty()) f->seen.assign(size_t(f->file->numGlyphs), false);
    for (size_t i = 0; i < glyphs.size(); ++i) {
        const quint32 id = glyphs[i]->id;  // below numGlyphs: glyph() checked it
        if (f->seen[id]) continue;
        f->seen[id] = true;
        f->used.emplace(id, QString::fromUcs4(&chars[i], 1));
    }

    if (fill_ != QColor(Qt::black)) {
        content_ += "0 g\n";
        fill_ = Qt::black;
    }
    content_ += "BT\n";
    if (f != textFace_ || sizePx != textSize_) {
        content_ += "/F" + std::to_string(f->resource) + ' ';
        appendNumber(content_, sizePx);
        content_ += " Tf\n";
        textFace_ = f;
        textSize_ = sizePx;
    }
    const bool spaced = spacing != 0 && !(percentSpacing && spacing == 100);
    auto draw = [&](double x) {
        appendNumbers(content_, {hscale, 0, 0, -1, x, at.y()});
        content_ += "Tm ";
        if (!spaced) {
            content_ += '<';
            for (const Face::Glyph* g : glyphs) appendHex4(content_, g->id);
            content_ += "> Tj\n";
            return;
        }
        // Letter spacing: every glyph moves on by the extra space.
        content_ += '[';
        for (const Face::Glyph* g : glyphs) {
            content_ += '<';
            appendHex4(content_, g->id);
            content_ += "> ";
            const double extra = percentSpacing ? g->width * (spacing - 100) / 100.0 : spacing * 1000.0 / sizePx;
            appendNumber(content_, -extra);
            content_ += ' ';
        }
        content_ += "] TJ\n";
    };
    draw(at.x());
    if (bold) {
        // A face without a bold style is emboldened by drawing the text again
        // half a stroke to the left; the copy is marked as no text, so the
        // text reads once.
        content_ += "/Span << /ActualText <> >> BDC\n";
        draw(at.x() - f->file->emboldening * sizePx);
        content_ += "EMC\n";
    }
    content_ += "ET\n";
    return true;
}

void PdfFile::writeFace(Face& f) {
    // A tag naming this subset: six capitals from the glyphs it holds.
    size_t hash = f.used.size();
    for (const auto& u : f.used) hash = hash * 31 + u.first;
    QByteArray name;
    for (int i = 0; i < 6; ++i) {
        name.append(char('A' + hash % 26));
        hash /= 26;
    }
    name += '+' + f.name.toLatin1();

    const int descendant = newObject(), descriptor = newObject(), file = newObject(), toUnicode = newObject();

    beginObject(f.objectId);
    write("<< /Type /Font /Subtype /Type0 /BaseFont /" + name + " /Encoding /Identity-H /DescendantFonts [" +
          QByteArray::number(descendant) + " 0 R] /ToUnicode " + QByteArray::number(toUnicode) +
          " 0 R >>\nendobj\n");

    std::string widths;
    quint32 last = 0;
    bool open = false;
    for (const auto& u : f.used) {
        if (!open || u.first != last + 1) {
            if (open) widths += "]\n";
            widths += std::to_string(u.first) + " [";
            open = true;
        } else {
            widths += ' ';
        }
        appendNumber(widths, f.advance(u.first));
        last = u.first;
    }
    if (open) widths += ']';
    beginObject(descendant);
    write("<< /Type /Font /Subtype /CIDFontType2 /BaseFont /" + name +
          " /CIDSystemInfo << /Registry (Adobe) /Ordering (Identity) /Supplement 0 >> /FontDescriptor " +
          QByteArray::number(descriptor) + " 0 R /CIDToGIDMap /Identity /DW 1000 /W [");
    write(widths);
    write(QByteArray("] >>\nendobj\n"));

    const QByteArray head = f.file->tables.value("head");
    const QByteArray hhea = f.file->tables.value("hhea");
    const double unit = 1000.0 / f.file->unitsPerEm;
    std::string descr = "<< /Type /FontDescriptor /FontName /" + name.toStdString() + " /Flags 4 /FontBBox [";
    appendNumbers(descr, {s16(head, 36) * unit, s16(head, 38) * unit, s16(head, 40) * unit, s16(head, 42) * unit});
    descr += "] /ItalicAngle 0 /Ascent ";
    appendNumber(descr, s16(hhea, 4) * unit);
    descr += " /Descent ";
    appendNumber(descr, s16(hhea, 6) * unit);
    descr += " /CapHeight ";
    appendNumber(descr, s16(hhea, 4) * unit);
    descr += " /StemV 80 /FontFile2 " + std::to_string(file) + " 0 R >>\nendobj\n";
    beginObject(descriptor);
    write(descr);

    const QByteArray font = f.subset();
    writeStream(file, compressed(font, 6), " /Length1 " + QByteArray::number(font.size()));

    std::string cmap =
        "/CIDInit /ProcSet findresource begin\n12 dict begin\nbegincmap\n"
        "/CIDSystemInfo << /Registry (Adobe) /Ordering (UCS) /Supplement 0 >> def\n"
        "/CMapName /Adobe-Identity-UCS def\n/CMapType 2 def\n"
        "1 begincodespacerange\n<0000> <FFFF>\nendcodespacerange\n";
    auto it = f.used.begin();
    while (it != f.used.end()) {
        std::string block;
        int n = 0;
        for (; it != f.used.end() && n < 100; ++it, ++n) {
            block += '<';
            appendHex4(block, it->first);
            block += "> <";
            for (QChar c : it->second) appendHex4(block, c.unicode());
            block += ">\n";
        }
        cmap += std::to_string(n) + " beginbfchar\n" + block + "endbfchar\n";
    }
    cmap += "endcmap\nCMapName currentdict /CMap defineresource pop\nend\nend\n";
    writeStream(toUnicode, compressed(QByteArray::fromStdString(cmap), 6));
}

bool PdfFile::finish() {
    finishPage();
    writePending(true);
    QByteArray fonts;
    for (auto& f : faces_) {
        if (f->used.empty()) continue;
        f->objectId = newObject();
        fonts += " /F" + QByteArray::number(f->resource) + ' ' + QByteArray::number(f->objectId) + " 0 R";
    }
    for (auto& f : faces_) {
        if (!f->used.empty()) writeFace(*f);
    }
    beginObject(3);
    write("<< /Font <<" + fonts + " >> /ProcSet [/PDF /Text] >>\nendobj\n");

    std::string kids;
    for (const Page& p : pages_) {
        const int page = newObject();
        beginObject(page);
        std::string dict = "<< /Type /Page /Parent 2 0 R /Resources 3 0 R /MediaBox [0 0 ";
        appendNumbers(dict, {p.size.width(), p.size.height()});
        dict += "] /Contents ";
        if (p.more)
            dict += '[' + std::to_string(p.contents) + " 0 R " + std::to_string(p.more) + " 0 R]";
        else
            dict += std::to_string(p.contents) + " 0 R";
        dict += " >>\nendobj\n";
        write(dict);
        kids += std::to_string(page) + " 0 R ";
    }
    beginObject(2);
    write("<< /Type /Pages /Kids [" + kids + "] /Count " + std::to_string(pages_.size()) + " >>\nendobj\n");
    beginObject(1);
    write(QByteArray("<< /Type /Catalog /Pages 2 0 R >>\nendobj\n"));
    const int info = newObject();
    beginObject(info);
    write("<< /Title " + infoText(title_) + " /Creator " + infoText(creator_) + " >>\nendobj\n");

    const qint64 xref = written_;
    std::string table = "xref\n0 " + std::to_string(offsets_.size()) + "\n0000000000 65535 f \n";
    for (size_t i = 1; i < offsets_.size(); ++i) {
        char line[24];
        std::snprintf(line, sizeof line, "%010lld 00000 n \n", static_cast<long long>(offsets_[i]));
        table += line;
    }
    table += "trailer\n<< /Size " + std::to_string(offsets_.size()) + " /Root 1 0 R /Info " +
             std::to_string(info) + " 0 R >>\nstartxref\n" + std::to_string(xref) + "\n%%EOF\n";
    write(table);
    return ok_;
}

}  // namespace platform::report
