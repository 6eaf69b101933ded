#include "platform/cp932.h"

#include <iconv.h>

#include <cerrno>

namespace platform::cp932 {

namespace {

// An iconv conversion descriptor. Opening one costs far more than a
// conversion, so encode() keeps one per thread and resets its state before
// every use.
class Iconv {
public:
    Iconv(const char* to, const char* from) : cd_(iconv_open(to, from)) {}
    ~Iconv() {
        if (valid()) iconv_close(cd_);
    }
    Iconv(const Iconv&) = delete;
    Iconv& operator=(const Iconv&) = delete;
    bool valid() const { return cd_ != reinterpret_cast<iconv_t>(-1); }
    iconv_t get() const { return cd_; }

private:
    iconv_t cd_;
};

Iconv& encoder() {
    thread_local Iconv cd("CP932", "UTF-8");
    return cd;
}

// QString code units of the UTF-8 text: a four-byte sequence is a surrogate
// pair (two units), every other sequence one unit.
int utf16Units(const char* utf8, size_t bytes) {
    int units = 0;
    for (size_t i = 0; i < bytes; ++i) {
        const auto b = static_cast<unsigned char>(utf8[i]);
        if ((b & 0xC0) == 0x80) continue;
        units += b >= 0xF0 ? 2 : 1;
    }
    return units;
}

// Position of the first surrogate that is not half of a pair, or -1.
qsizetype firstLoneSurrogate(const QString& text) {
    const QChar* p = text.constData();
    const qsizetype n = text.size();
    for (qsizetype i = 0; i < n; ++i) {
        if (!p[i].isSurrogate()) continue;
        if (p[i].isHighSurrogate() && i + 1 < n && p[i + 1].isLowSurrogate()) {
            ++i;
            continue;
        }
        return i;
    }
    return -1;
}

// Code units of the character starting at pos: 2 for a surrogate pair, else 1.
int charLength(const QString& text, int pos) {
    return text[pos].isHighSurrogate() && pos + 1 < text.size() && text[pos + 1].isLowSurrogate() ? 2 : 1;
}

// Converts one character (UTF-8) to CP932; empty when it has no CP932 form.
std::optional<QByteArray> encodeChar(iconv_t cd, const QByteArray& utf8) {
    iconv(cd, nullptr, nullptr, nullptr, nullptr);
    char out[16];
    char* in = const_cast<char*>(utf8.constData());
    size_t inLeft = size_t(utf8.size());
    char* o = out;
    size_t outLeft = sizeof out;
    if (iconv(cd, &in, &inLeft, &o, &outLeft) == size_t(-1) || inLeft != 0) return std::nullopt;
    return QByteArray(out, int(o - out));
}

// CP932 bytes of the character of len code units at pos; nullopt when it has
// no CP932 form. A lone surrogate has none (Qt's UTF-8 conversion would turn
// it into "?" and hide it).
std::optional<QByteArray> encodeAt(iconv_t cd, const QString& text, int pos, int len) {
    if (len == 1 && text[pos].isSurrogate()) return std::nullopt;
    return encodeChar(cd, text.mid(pos, len).toUtf8());
}

}  // namespace

QString EncodeResult::message() const {
    if (ok) return QString();
    return QStringLiteral("「%1」はShift-JIS(CP932)で表せない文字です。").arg(badCharacter);
}

EncodeResult encode(const QString& text) {
    EncodeResult result;
    Iconv& cd = encoder();
    if (!cd.valid()) {
        result.ok = false;
        return result;
    }
    // A lone surrogate has no CP932 form, but Qt's UTF-8 conversion would
    // turn it into a replacement that hides it: the text before it is
    // converted alone, so an earlier offending character is named first.
    const qsizetype lone = firstLoneSurrogate(text);
    if (lone >= 0) {
        result = encode(text.left(lone));
        if (result.ok) {
            result.ok = false;
            result.badPosition = int(lone);
            result.badCharacter = text.mid(lone, 1);
            result.bytes.clear();
        }
        return result;
    }
    // The whole text in one call; the offending character is looked for only
    // when the call fails.
    const QByteArray utf8 = text.toUtf8();
    result.bytes.resize(utf8.size() + 16);  // CP932 never takes more bytes than UTF-8
    char* in = const_cast<char*>(utf8.constData());
    size_t inLeft = size_t(utf8.size());
    char* out = result.bytes.data();
    size_t outLeft = size_t(result.bytes.size());
    iconv(cd.get(), nullptr, nullptr, nullptr, nullptr);
    if (iconv(cd.get(), &in, &inLeft, &out, &outLeft) != size_t(-1) && inLeft == 0) {
        result.bytes.truncate(int(out - result.bytes.constData()));
        return result;
    }
    const int pos = utf16Units(utf8.constData(), size_t(in - utf8.constData()));
    result.ok = false;
    result.badPosition = pos;
    result.badCharacter = pos < text.size() ? text.mid(pos, charLength(text, pos)) : QString();
    result.bytes.clear();
    return result;
}

bool appendFromUtf8(QByteArrayView utf8, QByteArray& out) {
    Iconv& cd = encoder();
    if (!cd.valid()) return false;
    const qsizetype start = out.size();
    out.resize(start + utf8.size() + 16);  // CP932 never takes more bytes than UTF-8
    char* in = const_cast<char*>(utf8.data());
    size_t inLeft = size_t(utf8.size());
    char* o = out.data() + start;
    size_t outLeft = size_t(out.size() - start);
    iconv(cd.get(), nullptr, nullptr, nullptr, nullptr);
    const bool ok = iconv(cd.get(), &in, &inLeft, &o, &outLeft) != size_t(-1) && inLeft == 0;
    out.truncate(ok ? o - out.constData() : start);
    return ok;
}

std::optional<QString> decode(const QByteArray& bytes) {
    Iconv cd("UTF-8", "CP932");
    if (!cd.valid()) return std::nullopt;
    QByteArray out;
    out.resize(bytes.size() * 3 + 4);
    char* in = const_cast<char*>(bytes.constData());
    size_t inLeft = size_t(bytes.size());
    char* o = out.data();
    size_t outLeft = size_t(out.size());
    if (iconv(cd.get(), &in, &inLeft, &o, &outLeft) == size_t(-1)) return std::nullopt;
    out.resize(int(o - out.data()));
    return QString::fromUtf8(out);
}

Decoder::Decoder() : cd_(iconv_open("UTF-16LE", "CP932")) {}

Decoder::~Decoder() {
    if (cd_ != reinterpret_cast<void*>(-1)) iconv_close(static_cast<iconv_t>(cd_));
}

bool Decoder::decode(QByteArrayView bytes, QString& out) {
    const qsizetype n = bytes.size();
    // Every CP932 character is one UTF-16 unit, so the text never has more
    // units than the bytes.
    out.resize(n);
    char16_t* o = reinterpret_cast<char16_t*>(out.data());
    const auto* in = reinterpret_cast<const unsigned char*>(bytes.data());
    // ASCII, the usual case, is the same code in CP932 (0x5C included).
    qsizetype i = 0;
    while (i < n && in[i] < 0x80) {
        o[i] = in[i];
        ++i;
    }
    if (i == n) return true;
    if (cd_ == reinterpret_cast<void*>(-1)) return false;
    out.resize(i + 2 * (n - i));  // room to spare for the converter
    o = reinterpret_cast<char16_t*>(out.data());
    const auto cd = static_cast<iconv_t>(cd_);
    iconv(cd, nullptr, nullptr, nullptr, nullptr);
    char* src = const_cast<char*>(bytes.data()) + i;
    size_t srcLeft = size_t(n - i);
    char* dst = reinterpret_cast<char*>(o + i);
    size_t dstLeft = size_t(n - i) * 4;
    if (iconv(cd, &src, &srcLeft, &dst, &dstLeft) == size_t(-1) || srcLeft != 0) return false;
    out.truncate(qsizetype(reinterpret_cast<char16_t*>(dst) - o));
    return true;
}

int byteLength(const QString& text) {
    Iconv& cd = encoder();
    int total = 0;
    int pos = 0;
    while (pos < text.size()) {
        const int len = charLength(text, pos);
        const ushort u = text[pos].unicode();
        if (len == 1 && u < 0x80) {
            total += 1;
        } else if (auto b = cd.valid() ? encodeAt(cd.get(), text, pos, len) : std::nullopt) {
            total += int(b->size());
        } else {
            total += 2;
        }
        pos += len;
    }
    return total;
}

bool canEncode(const QString& text) { return encode(text).ok; }

}  // namespace platform::cp932
