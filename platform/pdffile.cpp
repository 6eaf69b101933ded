#include "platform/pdffile.h"

#include <fcntl.h>

#include <QFile>
#include <QFileDevice>
#include <QRawFont>
#include <QThread>
#include <algorithm>
#include <charconv>
#include <chrono>
#include <cmath>
#include <condition_variable>
#include <libdeflate.h>
#include <map>
#include <set>
#include <thread>

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

// Glyph ids as a string of two bytes each, most significant first: half as
// long as hex digits. The bytes a string gives a meaning to are escaped; a
// carriage return too, which a reader would take for a line end.
void appendGlyphString(std::string& out, const quint32* ids, size_t n) {
    out += '(';
    for (size_t i = 0; i < n; ++i) {
        for (const char b : {char(ids[i] >> 8), char(ids[i] & 0xFF)}) {
            if (b == '(' || b == ')' || b == '\\') {
                out += '\\';
                out += b;
            } else if (b == '\r') {
                out += "\\r";
            } else {
                out += b;
            }
        }
    }
    out += ')';
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

}  // namespace

// A font file as the faces use it: mapped rather than read, its tables views
// into the mapping, parsed once and kept for the life of the process (every
// PDF draws in the same two faces), with the glyphs of the characters looked
// up so far. One per thread and file: the character lookup is a Qt font
// engine, which stays in the thread that made it.
struct PdfFontFile {
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
    static PdfFontFile* get(const QString& path) {
        // Never freed: the mappings and Qt font engines stay until the process
        // ends, and are not torn down after the application object.
        thread_local auto* files = new QHash<QString, PdfFontFile*>;
        if (PdfFontFile* f = files->value(path)) return f;
        auto f = std::make_unique<PdfFontFile>();
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

namespace {

// Threads that draw pages (PdfFile::addPage) and compress contents, one
// fewer than the processor has (at least one): the thread that builds the
// report and writes the file has work of its own. Made once and kept for
// the life of the process, like the font files each of them loads.
class DrawingPool {
public:
    static DrawingPool& get() {
        static auto* pool = new DrawingPool;  // never freed: its threads wait to the end
        return *pool;
    }
    int size() const { return size_; }
    void run(std::function<void(int)> task) {
        {
            std::lock_guard lock(mutex_);
            tasks_.push_back(std::move(task));
        }
        ready_.notify_one();
    }

private:
    DrawingPool() : size_(std::max(1, QThread::idealThreadCount() - 1)) {
        for (int i = 0; i < size_; ++i) std::thread([this, i] { work(i); }).detach();
    }
    void work(int worker) {
        for (;;) {
            std::function<void(int)> task;
            {
                std::unique_lock lock(mutex_);
                ready_.wait(lock, [this] { return !tasks_.empty(); });
                task = std::move(tasks_.front());
                tasks_.pop_front();
            }
            task(worker);
        }
    }
    const int size_;
    std::mutex mutex_;
    std::condition_variable ready_;
    std::deque<std::function<void(int)>> tasks_;
};

// A page's content as a zlib stream (FlateDecode), by the fast whole-buffer
// compressor at its fastest level: deflate takes most of the time a page
// costs. One compressor per thread, kept.
QByteArray deflated(const std::string& content) {
    struct Compressor {
        libdeflate_compressor* c = libdeflate_alloc_compressor(1);
        ~Compressor() { libdeflate_free_compressor(c); }
    };
    thread_local Compressor compressor;
    if (compressor.c) {
        QByteArray out(qsizetype(libdeflate_zlib_compress_bound(compressor.c, content.size())), Qt::Uninitialized);
        const size_t n =
            libdeflate_zlib_compress(compressor.c, content.data(), content.size(), out.data(), size_t(out.size()));
        if (n > 0) {
            out.truncate(qsizetype(n));
            return out;
        }
    }
    // qCompress puts the length in front of a zlib stream.
    return qCompress(reinterpret_cast<const uchar*>(content.data()), qsizetype(content.size()), 1).mid(4);
}

}  // namespace

// A face of one PDF: its font file and the glyphs used, which go into the
// document's embedded subset. The glyphs are looked up in each thread's own
// copy of the font file (PdfContent::fileOf); `file` serves the tables.
struct PdfContent::Face {
    using Glyph = PdfFontFile::Glyph;
    QString name;  // PostScript-style name without spaces
    QString path;
    PdfFontFile* file = nullptr;
    std::map<quint32, QString> used;  // glyph id -> the characters it stands for
    std::vector<bool> seen;           // by glyph id: in `used` already
    int resource = 0;                 // /F<n>
    int objectId = 0;                 // the Type0 font object

    double advance(quint32 id) const { return file->advance(id); }

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

// ------------------------------------------------------------------ content

void PdfContent::begin(double scale, const QSizeF* pagePt) {
    data_.clear();
    data_.reserve(64 * 1024);
    used_.clear();
    for (std::vector<quint64>& bits : seen_) std::fill(bits.begin(), bits.end(), 0);
    failed_ = false;
    inText_ = false;
    stroke_ = fill_ = QColor();
    lineWidth_ = -1;
    textFace_ = nullptr;
    textSize_ = -1;
    if (pagePt) {
        // Pixels to points, y downwards from the top; lines end flat.
        appendNumbers(data_, {scale, 0, 0, -scale, 0, pagePt->height()});
        data_ += "cm\n0 J\n";
    }
}

PdfFontFile* PdfContent::fileOf(Face* f) {
    const size_t k = size_t(f->resource);
    if (k >= files_.size()) {
        files_.resize(k + 1, nullptr);
        seen_.resize(k + 1);
    }
    if (!files_[k]) {
        // The face's file as loaded by this thread: its character lookup is
        // a Qt font engine of the thread that made it.
        files_[k] = PdfFontFile::get(f->path);
        if (files_[k]) seen_[k].assign(size_t(files_[k]->numGlyphs) / 64 + 1, 0);
    }
    return files_[k];
}

void PdfContent::endText() {
    if (!inText_) return;
    data_ += "ET\n";
    inText_ = false;
}

void PdfContent::line(QPointF a, QPointF b, double widthPx, const QColor& color) {
    endText();
    if (color != stroke_) {
        appendColor(data_, color, "RG");
        stroke_ = color;
    }
    if (widthPx != lineWidth_) {
        appendNumber(data_, widthPx);
        data_ += " w\n";
        lineWidth_ = widthPx;
    }
    appendNumbers(data_, {a.x(), a.y()});
    data_ += "m ";
    appendNumbers(data_, {b.x(), b.y()});
    data_ += "l S\n";
}

void PdfContent::fillRect(const QRectF& r, const QColor& color) {
    endText();
    if (color != fill_) {
        appendColor(data_, color, "rg");
        fill_ = color;
    }
    appendNumbers(data_, {r.x(), r.y(), r.width(), r.height()});
    data_ += "re f\n";
}

bool PdfContent::text(Face* f, double sizePx, bool bold, bool percentSpacing, double spacing, QPointF at,
                      double hscale, const QString& s) {
    PdfFontFile* file = f ? fileOf(f) : nullptr;
    if (!file) {
        failed_ = true;
        return false;
    }
    // The glyphs first: a character the face lacks leaves the page untouched.
    thread_local std::vector<const Face::Glyph*> glyphs;
    thread_local std::vector<quint32> ids;
    thread_local std::vector<char32_t> chars;
    glyphs.clear();
    ids.clear();
    chars.clear();
    for (qsizetype i = 0; i < s.size(); ++i) {
        char32_t c = s[i].unicode();
        if (QChar::isHighSurrogate(c) && i + 1 < s.size() && s[i + 1].isLowSurrogate()) {
            c = QChar::surrogateToUcs4(s[i].unicode(), s[i + 1].unicode());
            ++i;
        }
        const Face::Glyph* g = c < 0x20 ? nullptr : file->glyph(c);
        if (!g) {
            failed_ = true;
            return false;
        }
        glyphs.push_back(g);
        ids.push_back(g->id);
        chars.push_back(c);
    }
    if (glyphs.empty()) return true;
    std::vector<quint64>& seen = seen_[size_t(f->resource)];
    for (size_t i = 0; i < glyphs.size(); ++i) {
        const quint32 id = glyphs[i]->id;  // below numGlyphs: glyph() checked it
        quint64& word = seen[id / 64];
        const quint64 bit = quint64(1) << (id % 64);
        if (word & bit) continue;
        word |= bit;
        used_.push_back({f, id, chars[i]});
    }

    if (fill_ != QColor(Qt::black)) {
        data_ += "0 g\n";
        fill_ = Qt::black;
    }
    // Texts one after the other share a text object.
    if (!inText_) {
        data_ += "BT\n";
        inText_ = true;
    }
    if (f != textFace_ || sizePx != textSize_) {
        data_ += "/F" + std::to_string(f->resource) + ' ';
        appendNumber(data_, sizePx);
        data_ += " Tf\n";
        textFace_ = f;
        textSize_ = sizePx;
    }
    const bool spaced = spacing != 0 && !(percentSpacing && spacing == 100);
    auto draw = [&](double x) {
        // Placed by its whole matrix: placing it from the text before (Td)
        // moves the text layer's columns.
        if (hscale == 1)
            data_ += "1 0 0 -1 ";
        else
            appendNumbers(data_, {hscale, 0, 0, -1});
        appendNumbers(data_, {x, at.y()});
        data_ += "Tm ";
        if (!spaced) {
            appendGlyphString(data_, ids.data(), ids.size());
            data_ += " Tj\n";
            return;
        }
        // Letter spacing: every glyph moves on by the extra space.
        data_ += '[';
        for (size_t i = 0; i < glyphs.size(); ++i) {
            const Face::Glyph* g = glyphs[i];
            appendGlyphString(data_, &ids[i], 1);
            data_ += ' ';
            const double extra = percentSpacing ? g->width * (spacing - 100) / 100.0 : spacing * 1000.0 / sizePx;
            appendNumber(data_, -extra);
            data_ += ' ';
        }
        data_ += "] TJ\n";
    };
    draw(at.x());
    if (bold) {
        // A face without a bold style is emboldened by drawing the text again
        // half a stroke to the left; the copy is marked as no text, so the
        // text reads once.
        data_ += "/Span << /ActualText <> >> BDC\n";
        draw(at.x() - file->emboldening * sizePx);
        data_ += "EMC\n";
    }
    return true;
}

// --------------------------------------------------------------------- file

PdfFile::PdfFile(QIODevice& out, double dpi, std::function<QString(const QString&)> faceFile)
    : out_(out), scale_(72.0 / dpi), faceFile_(std::move(faceFile)) {
    offsets_.assign(4, 0);  // 1 catalogue, 2 page tree, 3 resources
    write(QByteArray("%PDF-1.4\n%\xE2\xE3\xCF\xD3\n"));
    workerContents_.resize(size_t(drawingThreads()));
    for (auto& c : workerContents_) c = std::make_unique<PdfContent>();
}

PdfFile::~PdfFile() {
    // A file given up midway: the drawings and compressions still running end first.
    waitForPages();
}

int PdfFile::drawingThreads() {
    return DrawingPool::get().size();
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
    startWriteback();
}

void PdfFile::write(const std::string& bytes) {
    if (!ok_) return;
    if (out_.write(bytes.data(), qint64(bytes.size())) != qint64(bytes.size())) ok_ = false;
    written_ += qint64(bytes.size());
    startWriteback();
}

void PdfFile::startWriteback() {
    constexpr qint64 kStep = qint64(1) << 20;
    if (written_ - writebackFrom_ < kStep) return;
    const qint64 from = writebackFrom_;
    writebackFrom_ = written_;  // tried once, whatever comes of it
    auto* file = qobject_cast<QFileDevice*>(&out_);
    if (!file || file->handle() < 0 || !file->flush()) return;
    // Only a hint: should it fail, the final sync does the writing.
    (void)sync_file_range(file->handle(), from, written_ - from, SYNC_FILE_RANGE_WRITE);
}

void PdfFile::writeStream(int id, const QByteArray& data, const QByteArray& extraDict) {
    beginObject(id);
    write("<< /Length " + QByteArray::number(data.size()) + " /Filter /FlateDecode" + extraDict + " >>\nstream\n");
    write(data);
    write(QByteArray("\nendstream\nendobj\n"));
}

void PdfFile::newPage(QSizeF pagePt) {
    finishPage();
    inPage_ = true;
    reopened_ = -1;
    pages_.push_back({pagePt, 0, 0});
    current_.begin(scale_, &pagePt);
}

void PdfFile::reopenPage(int index) {
    finishPage();
    if (index < 0 || index >= int(pages_.size())) return;
    // The page's streams run as one: its transformation and line caps hold;
    // colours, line width and font are set again as the drawing needs them.
    inPage_ = true;
    reopened_ = index;
    current_.begin(scale_, nullptr);
}

void PdfFile::addPage(QSizeF pagePt, std::function<void(PdfContent&, int)> draw) {
    finishPage();
    const int contents = newObject();
    pages_.push_back({pagePt, contents, 0});
    addJob({contents, pagePt, std::move(draw)});
}

void PdfFile::drawOver(int from, int to, std::function<void(PdfContent&, int, int)> draw) {
    finishPage();
    auto shared = std::make_shared<std::function<void(PdfContent&, int, int)>>(std::move(draw));
    for (int i = std::max(0, from); i < std::min(to, int(pages_.size())); ++i) {
        const int contents = newObject();
        pages_[size_t(i)].more = contents;
        addJob({contents, std::nullopt, [shared, i](PdfContent& c, int worker) { (*shared)(c, i, worker); }});
    }
    submitJobs();
}

namespace {
constexpr size_t kJobsPerThread = 8;  // pages handed to a drawing thread at a time
}

void PdfFile::addJob(Job job) {
    jobs_.push_back(std::move(job));
    if (jobs_.size() >= kJobsPerThread) submitJobs();
}

void PdfFile::submitJobs() {
    if (jobs_.empty()) return;
    struct Work {
        std::vector<Job> jobs;
        std::promise<std::vector<Drawn>> done;
    };
    auto work = std::make_shared<Work>();
    work->jobs = std::move(jobs_);
    jobs_.clear();
    PendingStream pending;
    for (const Job& j : work->jobs) pending.ids.push_back(j.id);
    pending.drawn = work->done.get_future();
    // The jobs (and the page's rows they hold) are freed by this thread, which
    // made them: freeing them on another one contends for the allocator.
    pending.jobs = work;
    pending_.push_back(std::move(pending));
    DrawingPool::get().run([this, work = std::move(work)](int worker) mutable {
        std::promise<std::vector<Drawn>> done = std::move(work->done);
        try {
            std::vector<Drawn> drawn;
            PdfContent& c = *workerContents_[size_t(worker)];
            for (Job& j : work->jobs) {
                c.begin(scale_, j.pagePt ? &*j.pagePt : nullptr);
                j.draw(c, worker);
                c.endText();
                drawn.push_back({deflated(c.data_), std::move(c.used_), c.failed_});
            }
            work.reset();
            done.set_value(std::move(drawn));
        } catch (...) {
            work.reset();
            done.set_exception(std::current_exception());
        }
    });
    writePending(false);
}

void PdfFile::finishPage() {
    if (!inPage_) return;
    inPage_ = false;
    submitJobs();  // the pages before this one go first
    const int contents = newObject();
    if (reopened_ >= 0)
        pages_[size_t(reopened_)].more = contents;
    else
        pages_.back().contents = contents;
    reopened_ = -1;
    current_.endText();
    Drawn drawn{QByteArray(), std::move(current_.used_), current_.failed_};
    current_.used_.clear();
    PendingStream pending;
    pending.ids.push_back(contents);
    constexpr size_t kSmall = 2048;
    if (current_.data_.size() <= kSmall) {
        // A small content (a footer) is compressed at once: cheaper than
        // handing it to another thread.
        drawn.data = deflated(current_.data_);
        std::promise<std::vector<Drawn>> done;
        pending.drawn = done.get_future();
        std::vector<Drawn> one;
        one.push_back(std::move(drawn));
        done.set_value(std::move(one));
        pending_.push_back(std::move(pending));
    } else {
        // Deflate takes a good part of writing a page: it runs on another
        // thread while the next pages are drawn.
        auto done = std::make_shared<std::promise<std::vector<Drawn>>>();
        pending.drawn = done->get_future();
        pending_.push_back(std::move(pending));
        DrawingPool::get().run(
            [done, content = std::make_shared<std::string>(std::move(current_.data_)),
             drawn = std::make_shared<Drawn>(std::move(drawn))](int) {
                try {
                    drawn->data = deflated(*content);
                    std::vector<Drawn> one;
                    one.push_back(std::move(*drawn));
                    done->set_value(std::move(one));
                } catch (...) {
                    done->set_exception(std::current_exception());
                }
            });
    }
    current_.data_ = std::string();
    writePending(false);
}

void PdfFile::waitForPages() {
    submitJobs();
    for (PendingStream& p : pending_) p.drawn.wait();
}

void PdfFile::writePending(bool all) {
    if (all) submitJobs();
    // Enough pages ahead to keep every drawing thread busy, few enough that
    // a long book never waits in memory.
    const size_t inFlight = 2 * size_t(drawingThreads()) + 2;
    while (!pending_.empty()) {
        PendingStream& next = pending_.front();
        const bool ready = next.drawn.wait_for(std::chrono::seconds(0)) == std::future_status::ready;
        if (!all && !ready && pending_.size() <= inFlight) break;
        const std::vector<Drawn> drawn = next.drawn.get();
        for (size_t k = 0; k < drawn.size() && k < next.ids.size(); ++k) {
            const Drawn& d = drawn[k];
            if (d.failed) unsupported_ = true;
            // The glyphs in the order of the pages, as if drawn one by one:
            // the first character drawn with a glyph is the one it reads as.
            for (const PdfContent::Used& u : d.used) {
                Face& f = *u.face;
                if (f.seen.empty()) f.seen.assign(size_t(f.file->numGlyphs), false);
                if (f.seen[u.id]) continue;
                f.seen[u.id] = true;
                f.used.emplace(u.id, QString::fromUcs4(&u.c, 1));
            }
            writeStream(next.ids[k], d.data);
        }
        pending_.pop_front();
    }
}

PdfFile::Face* PdfFile::face(const QString& family) {
    std::lock_guard lock(facesMutex_);
    auto it = byFamily_.find(family);
    if (it != byFamily_.end()) return it.value();
    Face* result = nullptr;
    const QString path = faceFile_ ? faceFile_(family) : QString();
    if (!path.isEmpty()) {
        auto f = std::make_unique<Face>();
        f->path = path;
        f->file = PdfFontFile::get(path);
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
    if (unsupported_) return false;
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
