// Benchmark of the PDF writer (platform/pdffile.*) against cairo's PDF surface.
//
//   pdfwriter_bench [N] [--repeat R] [--keep DIR]   (default: N = 100000, R = 3)
//
// A company-year of N journal lines (bench/gen_company_year.h), its general
// ledger over every account as a report document, then the median wall and
// processor time of
//   - one page:  writePdf of a one-page document (the ledger's first rows):
//                the fixed cost of any PDF, the first one of the process shown
//                apart;
//   - writePdf:  the whole ledger laid out and written by the own writer;
//   - own:       the ledger's pages drawn again onto the own writer;
//   - cairo:     the same pages drawn onto cairo's PDF surface, the text in the
//                same font files through cairo's FreeType faces (and once more
//                with the glyphs alone, without their characters).
//
// "own" and "cairo" draw from one recording of the pages, read back from the
// PDF writePdf wrote (its content streams are the writer's own simple dialect:
// lines, filled rectangles, texts as glyph ids), so both get exactly the same
// lines, rectangles and glyphs at the same places and neither pays for the
// layout. writePdf = layout + own; with cairo it would be layout + cairo.
//
// The text layers (pdftotext -layout, NFKC) of the own and the cairo PDF of
// the one-page document and of the ledger's first pages are compared.
// --keep DIR keeps the PDFs written.

#include <cairo-ft.h>
#include <cairo-pdf.h>
#include <cairo.h>
#include <ft2build.h>
#include <sys/resource.h>
#include <time.h>
#include <zlib.h>
#include FT_FREETYPE_H
#include FT_ADVANCES_H

#include <QApplication>
#include <QBuffer>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QHash>
#include <QProcess>
#include <QRegularExpression>
#include <QTemporaryDir>
#include <algorithm>
#include <chrono>
#include <clocale>
#include <cstdio>
#include <functional>
#include <map>
#include <optional>
#include <vector>

#include "app/common/globals.h"
#include "bench/gen_company_year.h"
#include "ledger/ledgerbooks.h"
#include "ledger/msum.h"
#include "ledger/printwork.h"
#include "platform/connection.h"
#include "platform/msgbox.h"
#include "platform/pdffile.h"
#include "platform/reportpaint.h"
#include "reports/allreports.h"
#include "reports/reportregistry.h"

namespace {

using Clock = std::chrono::steady_clock;

double cpuMs() {
    timespec t{};
    clock_gettime(CLOCK_PROCESS_CPUTIME_ID, &t);
    return t.tv_sec * 1e3 + t.tv_nsec / 1e6;
}

// Wall and processor time of one run, in ms: on a busy machine the processor
// time is the steadier figure.
struct Times {
    double wall = 0, cpu = 0;
};

Times timeMs(const std::function<bool()>& work, bool* ok) {
    const auto start = Clock::now();
    const double cpu = cpuMs();
    *ok = work() && *ok;
    return {std::chrono::duration<double, std::milli>(Clock::now() - start).count(), cpuMs() - cpu};
}

Times median(int repeat, const std::function<bool()>& work, bool* ok) {
    std::vector<double> wall, cpu;
    for (int i = 0; i < repeat; ++i) {
        const Times t = timeMs(work, ok);
        wall.push_back(t.wall);
        cpu.push_back(t.cpu);
    }
    std::sort(wall.begin(), wall.end());
    std::sort(cpu.begin(), cpu.end());
    return {wall[wall.size() / 2], cpu[cpu.size() / 2]};
}

// The font files of the report faces, as the report engine finds them.
QString faceFile(const QString& family) {
    const QStringList files =
        family == QStringLiteral("IPAexMincho")
            ? QStringList{QStringLiteral("/usr/share/fonts/opentype/ipaexfont-mincho/ipaexm.ttf"),
                          QStringLiteral("/usr/share/fonts/truetype/fonts-japanese-mincho.ttf")}
            : QStringList{QStringLiteral("/usr/share/fonts/opentype/ipaexfont-gothic/ipaexg.ttf"),
                          QStringLiteral("/usr/share/fonts/truetype/fonts-japanese-gothic.ttf")};
    for (const QString& f : files) {
        if (QFile::exists(f)) return f;
    }
    return QString();
}

// ------------------------------------------------------------ the recording

struct Rgb {
    double r = 0, g = 0, b = 0;
};

struct Op {
    enum Kind { Page, Line, Rect, Text } kind = Page;
    double v[6] = {};  // page: w h; line: x1 y1 x2 y2 width; rect: x y w h; text: hscale x y size
    Rgb color;
    int face = 0;       // text: index into Recording::faces
    bool bold = false;  // text: drawn again as an emboldening copy
    bool copy = false;  // text: the emboldening copy (no text of its own)
    std::vector<unsigned> glyphs;
    std::vector<double> extra;  // text: added advance after each glyph, thousandths of the size
};

struct RecordedFace {
    QString family;
    std::map<unsigned, QString> chars;  // glyph id -> the characters it stands for
};

struct Recording {
    double pxPerPt = 1;  // device pixels per point
    std::vector<RecordedFace> faces;
    std::vector<Op> ops;
    int pages = 0;
};

QByteArray inflate(const QByteArray& in) {
    QByteArray out;
    z_stream z{};
    if (inflateInit(&z) != Z_OK) return out;
    z.next_in = reinterpret_cast<Bytef*>(const_cast<char*>(in.data()));
    z.avail_in = uInt(in.size());
    char buf[65536];
    int rc = Z_OK;
    while (rc == Z_OK) {
        z.next_out = reinterpret_cast<Bytef*>(buf);
        z.avail_out = sizeof buf;
        rc = ::inflate(&z, Z_NO_FLUSH);
        out.append(buf, qsizetype(sizeof buf - z.avail_out));
    }
    inflateEnd(&z);
    return out;
}

// The objects of a PDF the own writer wrote, by number, through its xref table.
struct PdfObjects {
    QByteArray file;
    std::vector<qsizetype> offsets;

    bool read(const QString& path) {
        QFile f(path);
        if (!f.open(QIODevice::ReadOnly)) return false;
        file = f.readAll();
        const qsizetype sx = file.lastIndexOf("startxref\n");
        if (sx < 0) return false;
        qsizetype at = file.mid(sx + 10, 20).split('\n').value(0).toLongLong();
        at = file.indexOf('\n', at) + 1;  // "xref"
        const qsizetype eol = file.indexOf('\n', at);
        const int count = file.mid(at, eol - at).split(' ').value(1).toInt();
        at = eol + 1;
        offsets.assign(size_t(count), 0);
        for (int i = 0; i < count; ++i, at += 20) offsets[size_t(i)] = file.mid(at, 10).toLongLong();
        return count > 0;
    }
    QByteArray dict(int id) const {
        const qsizetype from = offsets.at(size_t(id));
        return file.mid(from, file.indexOf("endobj", from) - from);
    }
    QByteArray stream(int id) const {
        const qsizetype from = offsets.at(size_t(id));
        const qsizetype start = file.indexOf("stream\n", from) + 7;
        const QByteArray d = file.mid(from, start - from);
        const qsizetype len = d.mid(d.indexOf("/Length ") + 8, 12).split(' ').value(0).toLongLong();
        return inflate(file.mid(start, len));
    }
};

int refAfter(const QByteArray& d, const QByteArray& key) {
    const qsizetype at = d.indexOf(key);
    return at < 0 ? 0 : d.mid(at + key.size(), 12).trimmed().split(' ').value(0).toInt();
}

// Tokens of a content stream: numbers, names, <hex> strings, [ ] and << >>, operators.
struct Lexer {
    const QByteArray& s;
    qsizetype at = 0;
    bool next(QByteArray& tok) {
        while (at < s.size() && std::isspace(uchar(s[at]))) ++at;
        if (at >= s.size()) return false;
        const qsizetype from = at;
        const char c = s[at];
        if (c == '<' && at + 1 < s.size() && s[at + 1] == '<') {
            at += 2;
        } else if (c == '>' && at + 1 < s.size() && s[at + 1] == '>') {
            at += 2;
        } else if (c == '<') {
            at = s.indexOf('>', at) + 1;
        } else if (c == '(') {
            // A string of bytes: up to the bracket that closes it.
            int depth = 0;
            for (; at < s.size(); ++at) {
                if (s[at] == '\\') {
                    ++at;
                } else if (s[at] == '(') {
                    ++depth;
                } else if (s[at] == ')' && --depth == 0) {
                    ++at;
                    break;
                }
            }
        } else if (c == '[' || c == ']') {
            ++at;
        } else {
            ++at;
            while (at < s.size() && !std::isspace(uchar(s[at])) && !strchr("[]<>/", s[at])) ++at;
        }
        tok = s.mid(from, at - from);
        return true;
    }
};

// The glyph ids of a string token: hex digits or bytes, two to a glyph.
std::vector<unsigned> stringGlyphs(const QByteArray& tok) {
    std::vector<unsigned> g;
    if (tok.startsWith('<')) {
        for (qsizetype i = 1; i + 4 <= tok.size() - 1; i += 4) g.push_back(tok.mid(i, 4).toUInt(nullptr, 16));
        return g;
    }
    QByteArray bytes;
    for (qsizetype i = 1; i + 1 < tok.size(); ++i) {
        char b = tok[i];
        if (b == '\\' && i + 2 < tok.size()) {
            b = tok[++i];
            if (b == 'r') b = '\r';
            else if (b == 'n') b = '\n';
        }
        bytes += b;
    }
    for (qsizetype i = 0; i + 1 < bytes.size(); i += 2) g.push_back((uchar(bytes[i]) << 8) | uchar(bytes[i + 1]));
    return g;
}

std::optional<Recording> record(const QString& path) {
    PdfObjects pdf;
    if (!pdf.read(path)) return std::nullopt;
    Recording rec;
    // Fonts: /Fn -> face, with the characters of every glyph from its ToUnicode map.
    QHash<QByteArray, int> fontByName;
    const QByteArray resources = pdf.dict(3);
    for (int n = 1;; ++n) {
        const QByteArray key = "/F" + QByteArray::number(n) + ' ';
        const int obj = refAfter(resources, key);
        if (obj == 0) break;
        const QByteArray font = pdf.dict(obj);
        const qsizetype plus = font.indexOf('+');
        RecordedFace face;
        face.family = QString::fromLatin1(font.mid(plus + 1, font.indexOf(' ', plus) - plus - 1));
        const QByteArray cmap = pdf.stream(refAfter(font, "/ToUnicode "));
        for (const QByteArray& line : cmap.split('\n')) {
            if (line.size() < 13 || line[0] != '<' || line[5] != '>') continue;
            const unsigned id = line.mid(1, 4).toUInt(nullptr, 16);
            const QByteArray hex = line.mid(8, line.lastIndexOf('>') - 8);
            QString chars;
            for (qsizetype i = 0; i + 4 <= hex.size(); i += 4) chars += QChar(hex.mid(i, 4).toUShort(nullptr, 16));
            face.chars[id] = chars;
        }
        fontByName.insert(key.trimmed(), int(rec.faces.size()));
        rec.faces.push_back(std::move(face));
    }
    // Pages in the order of the page tree.
    const QByteArray tree = pdf.dict(2);
    const QByteArray kids = tree.mid(tree.indexOf('[') + 1, tree.indexOf(']') - tree.indexOf('[') - 1);
    const QList<QByteArray> parts = kids.simplified().split(' ');
    for (qsizetype k = 0; k + 2 < parts.size(); k += 3) {
        const QByteArray page = pdf.dict(parts[k].toInt());
        const QByteArray box = page.mid(page.indexOf("/MediaBox [") + 11);
        const QList<QByteArray> dims = box.left(box.indexOf(']')).simplified().split(' ');
        Op p;
        p.kind = Op::Page;
        p.v[0] = dims.value(2).toDouble();
        p.v[1] = dims.value(3).toDouble();
        rec.ops.push_back(p);
        ++rec.pages;

        // A page's content is one stream or an array of them (the page-number
        // footer is added as a second stream once the page count is known).
        QByteArray content;
        const qsizetype at = page.indexOf("/Contents ") + 10;
        if (page.at(at) == '[') {
            const QList<QByteArray> refs = page.mid(at + 1, page.indexOf(']', at) - at - 1).simplified().split(' ');
            for (qsizetype r = 0; r + 2 < refs.size(); r += 3) content += pdf.stream(refs[r].toInt()) + '\n';
        } else {
            content = pdf.stream(refAfter(page, "/Contents "));
        }
        Lexer lex{content};
        QByteArray tok;
        std::vector<QByteArray> args;
        Rgb stroke, fill;
        double width = 1, size = 0;
        int face = 0;
        bool inSpan = false, inArray = false;
        double mx = 0, my = 0;
        Op* lastText = nullptr;
        Op text;
        while (lex.next(tok)) {
            const char c = tok[0];
            if (tok == "[") {
                inArray = true;
                text.glyphs.clear();
                text.extra.clear();
                continue;
            }
            if (tok == "]") {
                inArray = false;
                continue;
            }
            if (inArray) {
                if (c == '<' || c == '(') {
                    for (unsigned g : stringGlyphs(tok)) {
                        text.glyphs.push_back(g);
                        text.extra.push_back(0);
                    }
                } else if (!text.extra.empty()) {
                    text.extra.back() = -tok.toDouble();
                }
                continue;
            }
            if (std::isdigit(uchar(c)) || c == '-' || c == '.' || c == '/' || c == '<' || c == '(') {
                args.push_back(tok);
                continue;
            }
            auto num = [&](size_t i) { return args.at(i).toDouble(); };
            if (tok == "cm") {
                rec.pxPerPt = 1 / num(0);
            } else if (tok == "RG") {
                stroke = {num(0), num(1), num(2)};
            } else if (tok == "rg") {
                fill = {num(0), num(1), num(2)};
            } else if (tok == "g") {
                fill = {num(0), num(0), num(0)};
            } else if (tok == "w") {
                width = num(0);
            } else if (tok == "m") {
                mx = num(0);
                my = num(1);
            } else if (tok == "l") {
                Op o;
                o.kind = Op::Line;
                o.v[0] = mx, o.v[1] = my, o.v[2] = num(0), o.v[3] = num(1), o.v[4] = width;
                o.color = stroke;
                rec.ops.push_back(o);
            } else if (tok == "re") {
                Op o;
                o.kind = Op::Rect;
                for (int i = 0; i < 4; ++i) o.v[i] = num(size_t(i));
                o.color = fill;
                rec.ops.push_back(o);
            } else if (tok == "Tf") {
                face = fontByName.value(args.at(0));
                size = num(1);
            } else if (tok == "Tm") {
                text = Op{};
                text.kind = Op::Text;
                text.v[0] = num(0), text.v[1] = num(4), text.v[2] = num(5), text.v[3] = size;
                text.face = face;
            } else if (tok == "Tj" || tok == "TJ") {
                if (tok == "Tj") {
                    text.glyphs = stringGlyphs(args.at(0));
                    text.extra.assign(text.glyphs.size(), 0);
                }
                text.copy = inSpan;
                if (inSpan && lastText) lastText->bold = true;
                rec.ops.push_back(text);
                lastText = inSpan ? nullptr : &rec.ops.back();
            } else if (tok == "BDC") {
                inSpan = true;
            } else if (tok == "EMC") {
                inSpan = false;
            }
            // S, f, BT, ET, J: nothing to record.
            args.clear();
        }
    }
    return rec;
}

// -------------------------------------------------------------- replaying

// The pages onto the own writer, through its public calls.
bool replayOwn(const Recording& rec, QIODevice& out) {
    platform::report::PdfFile pdf(out, 72.0 * rec.pxPerPt, faceFile);
    pdf.setInfo(QStringLiteral("総勘定元帳"), QStringLiteral("Ralvek"));
    std::vector<platform::report::PdfFile::Face*> faces;
    for (const RecordedFace& f : rec.faces) faces.push_back(pdf.face(f.family));
    QString s;
    for (const Op& o : rec.ops) {
        switch (o.kind) {
            case Op::Page:
                pdf.newPage(QSizeF(o.v[0], o.v[1]));
                break;
            case Op::Line:
                pdf.line(QPointF(o.v[0], o.v[1]), QPointF(o.v[2], o.v[3]), o.v[4],
                         QColor::fromRgbF(float(o.color.r), float(o.color.g), float(o.color.b)));
                break;
            case Op::Rect:
                pdf.fillRect(QRectF(o.v[0], o.v[1], o.v[2], o.v[3]),
                             QColor::fromRgbF(float(o.color.r), float(o.color.g), float(o.color.b)));
                break;
            case Op::Text: {
                if (o.copy) break;
                const RecordedFace& f = rec.faces[size_t(o.face)];
                s.clear();
                double spacing = 0;
                for (size_t i = 0; i < o.glyphs.size(); ++i) {
                    auto it = f.chars.find(o.glyphs[i]);
                    if (it != f.chars.end()) s += it->second;
                    spacing += o.extra[i];
                }
                spacing = o.glyphs.empty() ? 0 : spacing / double(o.glyphs.size()) * o.v[3] / 1000;
                if (!pdf.text(faces[size_t(o.face)], o.v[3], o.bold, false, spacing, QPointF(o.v[1], o.v[2]),
                              o.v[0], s))
                    return false;
                break;
            }
        }
    }
    return pdf.finish();
}

struct CairoFace {
    FT_Face ft = nullptr;
    cairo_font_face_t* face = nullptr;
    std::vector<double> advance;  // by glyph id, in thousandths of the size
    std::vector<std::string> utf8;
};

// The pages onto cairo's PDF surface: a FreeType face per font file, the
// glyphs placed by their advances, each glyph's characters given with it so
// cairo's subset carries the text (withText false: the glyphs alone, to see
// what the text costs).
bool replayCairo(const Recording& rec, FT_Library lib, const QString& path, bool withText = true) {
    std::vector<CairoFace> faces(rec.faces.size());
    bool ok = true;
    for (size_t i = 0; i < faces.size(); ++i) {
        CairoFace& f = faces[i];
        if (FT_New_Face(lib, QFile::encodeName(faceFile(rec.faces[i].family)).constData(), 0, &f.ft)) return false;
        f.face = cairo_ft_font_face_create_for_ft_face(f.ft, FT_LOAD_NO_HINTING);
        f.advance.assign(size_t(f.ft->num_glyphs), -1);
        f.utf8.assign(size_t(f.ft->num_glyphs), std::string());
        for (const auto& [id, chars] : rec.faces[i].chars) {
            if (id < f.utf8.size()) f.utf8[id] = chars.toStdString();
        }
    }
    cairo_surface_t* surface = cairo_pdf_surface_create(QFile::encodeName(path).constData(), 595, 842);
    cairo_pdf_surface_set_metadata(surface, CAIRO_PDF_METADATA_TITLE, "総勘定元帳");
    cairo_pdf_surface_set_metadata(surface, CAIRO_PDF_METADATA_CREATOR, "Ralvek");
    cairo_t* cr = cairo_create(surface);
    cairo_set_line_cap(cr, CAIRO_LINE_CAP_BUTT);
    const double ptPerPx = 1 / rec.pxPerPt;
    bool first = true;
    std::vector<cairo_glyph_t> glyphs;
    std::vector<cairo_text_cluster_t> clusters;
    std::string utf8;
    // The source is set only when the colour changes, as a drawing through
    // cairo would keep it.
    Rgb source{-1, -1, -1};
    auto setSource = [&](const Rgb& c) {
        if (c.r == source.r && c.g == source.g && c.b == source.b) return;
        cairo_set_source_rgb(cr, c.r, c.g, c.b);
        source = c;
    };
    cairo_font_face_t* font = nullptr;
    cairo_matrix_t fontMatrix{};
    for (const Op& o : rec.ops) {
        switch (o.kind) {
            case Op::Page:
                if (!first) cairo_show_page(cr);
                first = false;
                cairo_pdf_surface_set_size(surface, o.v[0], o.v[1]);
                cairo_identity_matrix(cr);
                cairo_scale(cr, ptPerPx, ptPerPx);
                break;
            case Op::Line:
                setSource(o.color);
                cairo_set_line_width(cr, o.v[4]);
                cairo_move_to(cr, o.v[0], o.v[1]);
                cairo_line_to(cr, o.v[2], o.v[3]);
                cairo_stroke(cr);
                break;
            case Op::Rect:
                setSource(o.color);
                cairo_rectangle(cr, o.v[0], o.v[1], o.v[2], o.v[3]);
                cairo_fill(cr);
                break;
            case Op::Text: {
                CairoFace& f = faces[size_t(o.face)];
                const double size = o.v[3], hscale = o.v[0];
                setSource(Rgb{});
                if (font != f.face) {
                    cairo_set_font_face(cr, f.face);
                    font = f.face;
                    fontMatrix = cairo_matrix_t{};
                }
                if (fontMatrix.xx != size * hscale || fontMatrix.yy != size) {
                    cairo_matrix_init_scale(&fontMatrix, size * hscale, size);
                    cairo_set_font_matrix(cr, &fontMatrix);
                }
                glyphs.clear();
                clusters.clear();
                utf8.clear();
                double x = o.v[1];
                for (size_t i = 0; i < o.glyphs.size(); ++i) {
                    const unsigned id = o.glyphs[i];
                    if (id >= f.advance.size()) return false;
                    double& adv = f.advance[id];
                    if (adv < 0) {
                        FT_Fixed a = 0;
                        FT_Get_Advance(f.ft, id, FT_LOAD_NO_SCALE, &a);
                        adv = a * 1000.0 / f.ft->units_per_EM;
                    }
                    glyphs.push_back({id, x, o.v[2]});
                    x += (adv + o.extra[i]) * size * hscale / 1000;
                    const std::string& chars = f.utf8[id];
                    utf8 += chars;
                    clusters.push_back({int(chars.size()), 1});
                }
                if (o.copy || !withText)
                    cairo_show_glyphs(cr, glyphs.data(), int(glyphs.size()));
                else
                    cairo_show_text_glyphs(cr, utf8.data(), int(utf8.size()), glyphs.data(), int(glyphs.size()),
                                           clusters.data(), int(clusters.size()), cairo_text_cluster_flags_t(0));
                break;
            }
        }
    }
    cairo_destroy(cr);
    cairo_surface_finish(surface);
    ok = cairo_surface_status(surface) == CAIRO_STATUS_SUCCESS;
    cairo_surface_destroy(surface);
    for (CairoFace& f : faces) {
        cairo_font_face_destroy(f.face);
        FT_Done_Face(f.ft);
    }
    return ok;
}

QString pdfText(const QString& path, int lastPage = 0) {
    QStringList args{QStringLiteral("-layout")};
    if (lastPage > 0) args << QStringLiteral("-l") << QString::number(lastPage);
    args << path << QStringLiteral("-");
    QProcess p;
    p.start(QStringLiteral("pdftotext"), args);
    p.waitForFinished(600000);
    return QString::fromUtf8(p.readAllStandardOutput()).normalized(QString::NormalizationForm_KC);
}

// Compares the text layers: line by line, and (as the PDF tests do where
// spacing does not matter) with every white space removed, since
// pdftotext -layout places words by the fonts' metrics, which the two writers
// embed differently. Only a difference in the squeezed text fails.
bool sameText(const QString& a, const QString& b, const char* what, int lastPage = 0) {
    const QString ta = pdfText(a, lastPage), tb = pdfText(b, lastPage);
    const QStringList x = ta.split(QLatin1Char('\n')), y = tb.split(QLatin1Char('\n'));
    int differing = 0;
    qsizetype first = -1;
    for (qsizetype i = 0; i < std::max(x.size(), y.size()); ++i) {
        if (x.value(i) == y.value(i)) continue;
        ++differing;
        if (first < 0) first = i;
    }
    auto squeezed = [](QString s) { return s.remove(QRegularExpression(QStringLiteral("\\s"))); };
    const bool same = squeezed(ta) == squeezed(tb);
    std::printf("text layer of %s: %s without white space; %d of %lld lines differ in spacing\n", what,
                same ? "identical" : "DIFFERENT", differing, static_cast<long long>(x.size()));
    if (first >= 0)
        std::printf("  first at line %lld:\n  own:   %s\n  other: %s\n", static_cast<long long>(first + 1),
                    qPrintable(x.value(first)), qPrintable(y.value(first)));
    return same;
}

double mb(const QString& path) {
    return QFileInfo(path).size() / 1048576.0;
}

}  // namespace

int main(int argc, char** argv) {
    QApplication app(argc, argv);
    std::setlocale(LC_CTYPE, "C.UTF-8");
    gstrSoftName = QStringLiteral("Ralvek");
    platform::MsgBox::setResponder([](const platform::MsgRequest& m) {
        std::fprintf(stderr, "message: %s\n", qPrintable(m.text));
        return int(platform::vbOK);
    });
    reports::RegisterAllReports();

    int lines = 100000, repeat = 3;
    QString keep;
    const QStringList args = app.arguments().mid(1);
    for (int i = 0; i < args.size(); ++i) {
        if (args[i] == QStringLiteral("--repeat") && i + 1 < args.size())
            repeat = std::max(1, args[++i].toInt());
        else if (args[i] == QStringLiteral("--keep") && i + 1 < args.size())
            keep = args[++i];
        else if (args[i].toInt() > 0)
            lines = args[i].toInt();
    }

    QTemporaryDir tmp;
    const QDir out(keep.isEmpty() ? tmp.path() : keep);
    if (!keep.isEmpty()) QDir().mkpath(keep);
    const QString path = tmp.filePath(QStringLiteral("Kaikei.mdb"));
    const QString shipped = QDir(QCoreApplication::applicationDirPath()).filePath(QStringLiteral("Kaikei.mdb"));
    if (!QFile::copy(shipped, path)) {
        std::fprintf(stderr, "cannot copy %s\n", qPrintable(shipped));
        return 1;
    }
    QFile(path).setPermissions(QFile::ReadOwner | QFile::WriteOwner);
    auto cn = platform::Connection::open(path);
    if (!cn) return 1;
    gcnKaikei = cn.get();
    bench::CompanyYearOptions options;
    options.lines = lines;
    gstrCID = options.cid;
    const auto year = bench::generateCompanyYear(*cn, options);
    if (!year || !cn->exec(QStringLiteral("INSERT INTO WK_COMPANY SELECT * FROM T_COMP_MAIN WHERE CID = ?"),
                           {gstrCID})) {
        std::fprintf(stderr, "generation failed: %s\n", qPrintable(cn->lastError().text()));
        return 1;
    }
    bool ok = msum_main(year->fromYM, year->toYM, false) &&
              WritePrintHeader(QStringLiteral("2009年 4月"), QStringLiteral("2010年 3月"));
    const LedgerRange range{year->fromYM, year->fromYM, year->toYM, QStringLiteral("000"), QStringLiteral("999")};
    ok = PrintSokanjo(range) && ok;
    std::optional<platform::report::Document> doc = BuildReport(QStringLiteral("R_KANJYOMOTOTYO"));
    if (!doc || doc->table.groups.empty()) {
        std::fprintf(stderr, "no ledger document\n");
        return 1;
    }

    // One page: the ledger's header and its first account's first rows.
    platform::report::Document onePage = *doc;
    onePage.table.groups.resize(1);
    if (onePage.table.groups[0].rows.size() > 25) onePage.table.groups[0].rows.resize(25);
    const QString onePdf = out.filePath(QStringLiteral("onepage.pdf"));
    const Times firstPdf = timeMs([&] { return platform::report::writePdf(onePage, onePdf); }, &ok);
    const Times onePageMs =
        median(std::max(repeat, 5), [&] { return platform::report::writePdf(onePage, onePdf); }, &ok);

    FT_Library lib = nullptr;
    if (FT_Init_FreeType(&lib)) return 1;
    const QString oneCairo = out.filePath(QStringLiteral("onepage-cairo.pdf"));
    const auto oneRec = record(onePdf);
    ok = oneRec && replayCairo(*oneRec, lib, oneCairo) && ok;
    const bool oneSame = ok && sameText(onePdf, oneCairo, "the one-page document");
    const Times oneCairoMs =
        oneRec ? median(std::max(repeat, 5), [&] { return replayCairo(*oneRec, lib, oneCairo); }, &ok) : Times{};

    // The whole ledger.
    const QString ownPdf = out.filePath(QStringLiteral("ledger.pdf"));
    const Times writing = median(repeat, [&] { return platform::report::writePdf(*doc, ownPdf); }, &ok);
    const auto rec = record(ownPdf);
    if (!rec) {
        std::fprintf(stderr, "cannot read back %s\n", qPrintable(ownPdf));
        return 1;
    }
    size_t texts = 0, glyphs = 0, rules = 0;
    for (const Op& o : rec->ops) {
        if (o.kind == Op::Text && !o.copy) ++texts, glyphs += o.glyphs.size();
        if (o.kind == Op::Line || o.kind == Op::Rect) ++rules;
    }
    const QString replayPdf = out.filePath(QStringLiteral("ledger-own.pdf"));
    const Times own = median(repeat, [&] {
        QFile f(replayPdf);
        return f.open(QIODevice::WriteOnly) && replayOwn(*rec, f);
    }, &ok);
    const QString cairoPdf = out.filePath(QStringLiteral("ledger-cairo.pdf"));
    const Times cairo = median(repeat, [&] { return replayCairo(*rec, lib, cairoPdf); }, &ok);
    const Times glyphsOnly = median(repeat, [&] { return replayCairo(*rec, lib, cairoPdf, false); }, &ok);
    ok = replayCairo(*rec, lib, cairoPdf) && ok;
    const bool ledgerSame = sameText(ownPdf, cairoPdf, "the ledger's first 20 pages", 20);
    const bool replaySame = sameText(ownPdf, replayPdf, "the own writer's replay, first 20 pages", 20);
    FT_Done_FreeType(lib);

    rusage usage{};
    getrusage(RUSAGE_SELF, &usage);
    std::printf("\ngeneral ledger of %d journal lines: %d pages, %zu texts, %zu glyphs, %zu lines and rectangles\n",
                lines, rec->pages, texts, glyphs, rules);
    std::printf("median of %d runs (one page: of %d), times in ms\n", repeat, std::max(repeat, 5));
    std::printf("%-34s %10s %10s %9s\n", "", "wall ms", "cpu ms", "MB");
    auto row = [](const char* what, Times t, const QString& file) {
        std::printf("%-34s %10.1f %10.1f %9.3f\n", what, t.wall, t.cpu, mb(file));
    };
    row("one page, first PDF of the process", firstPdf, onePdf);
    row("one page, writePdf", onePageMs, onePdf);
    row("one page, pages onto cairo", oneCairoMs, oneCairo);
    row("ledger, writePdf (layout + own)", writing, ownPdf);
    row("ledger, pages onto the own writer", own, replayPdf);
    row("ledger, pages onto cairo", cairo, cairoPdf);
    std::printf("%-34s %10.1f %10.1f\n", "ledger, cairo, glyphs without text", glyphsOnly.wall, glyphsOnly.cpu);
    std::printf("cairo / own writer: %.2f wall, %.2f cpu\n", cairo.wall / own.wall, cairo.cpu / own.cpu);
    std::printf("writePdf through cairo would take about %.0f ms wall (%.2f x), %.0f ms cpu (%.2f x)\n",
                writing.wall - own.wall + cairo.wall, (writing.wall - own.wall + cairo.wall) / writing.wall,
                writing.cpu - own.cpu + cairo.cpu, (writing.cpu - own.cpu + cairo.cpu) / writing.cpu);
    std::printf("peak rss %.1f MB%s\n", usage.ru_maxrss / 1024.0,
                ok && oneSame && ledgerSame && replaySame ? "" : "  FAILED");
    gcnKaikei = nullptr;
    return ok && oneSame && ledgerSame && replaySame ? 0 : 1;
}
