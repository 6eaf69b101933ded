#include "platform/cp932.h"

#include <iconv.h>

#include <cerrno>

namespace platform::cp932 {

namespace {

// One conversion descriptor per call: iconv descriptors keep state.
class Iconv {
public:
    Iconv(const char* to, const char* from) : cd_(iconv_open(to, from)) {}
    ~Iconv() {
        if (valid()) iconv_close(cd_);
    }
    bool valid() const { return cd_ != reinterpret_cast<iconv_t>(-1); }
    iconv_t get() const { return cd_; }

private:
    iconv_t cd_;
};

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
    Iconv cd("CP932", "UTF-8");
    if (!cd.valid()) {
        result.ok = false;
        return result;
    }
    result.bytes.reserve(text.size() * 2);
    int pos = 0;
    while (pos < text.size()) {
        // Walk by code point so a surrogate pair (e.g. 𠮷) is one character.
        const int len = charLength(text, pos);
        const QString ch = text.mid(pos, len);
        const ushort u = ch[0].unicode();
        if (len == 1 && u < 0x80) {
            result.bytes.append(char(u));
        } else if (auto b = encodeAt(cd.get(), text, pos, len)) {
            result.bytes.append(*b);
        } else {
            result.ok = false;
            result.badCharacter = ch;
            result.badPosition = pos;
            result.bytes.clear();
            return result;
        }
        pos += len;
    }
    return result;
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

int byteLength(const QString& text) {
    Iconv cd("CP932", "UTF-8");
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
