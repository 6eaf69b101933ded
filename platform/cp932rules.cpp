#include "platform/cp932rules.h"

#include "platform/cp932.h"

#include <vector>

namespace platform {

namespace {

// Characters that CP932 writes as the code of a look-alike, which reads back
// as that look-alike: the character is stored as the twin.
struct Twin {
    char16_t from;
    char16_t to;
};
constexpr Twin kTwins[] = {
    {0x00A2, 0xFFE0},  // ¢ -> ￠
    {0x00A3, 0xFFE1},  // £ -> ￡
    {0x00AC, 0xFFE2},  // ¬ -> ￢
    {0x2014, 0x2015},  // — -> ―
    {0x2016, 0x2225},  // ‖ -> ∥
    {0x2212, 0xFF0D},  // − -> －
    {0x301C, 0xFF5E},  // 〜 -> ～
};

// Characters that CP932 writes as an ASCII byte of another meaning.
struct Collapsing {
    char16_t from;
    const char* suggestion;  // the full-width character to use instead
};
constexpr Collapsing kCollapsing[] = {
    {0x00A5, "￥"},  // ¥ -> "\"
    {0x203E, "￣"},  // ‾ -> "~"
};

std::optional<char16_t> twinOf(char16_t c) {
    for (const Twin& t : kTwins) {
        if (t.from == c) return t.to;
    }
    return std::nullopt;
}

const Collapsing* collapsing(char16_t c) {
    for (const Collapsing& k : kCollapsing) {
        if (k.from == c) return &k;
    }
    return nullptr;
}

int charLength(const QString& text, int pos) {
    return text[pos].isHighSurrogate() && pos + 1 < text.size() && text[pos + 1].isLowSurrogate() ? 2 : 1;
}

QString codeOf(const QString& character) {
    const char32_t cp = character.size() == 2 ? QChar::surrogateToUcs4(character[0], character[1])
                                              : char32_t(character[0].unicode());
    return QStringLiteral("U+") + QString::number(uint(cp), 16).toUpper().rightJustified(4, QLatin1Char('0'));
}

}  // namespace

bool survivesCp932(const QString& character) {
    if (character.isEmpty()) return true;
    const char16_t u = character[0].unicode();
    if (character.size() == 1 && u < 0x80) return true;
    if (character.size() == 1 && (twinOf(u) || collapsing(u))) return false;
    return cp932::canEncode(character);
}

std::optional<TextRefusal> refusedCharacter(const QString& text) {
    int pos = 0;
    while (pos < text.size()) {
        const int len = charLength(text, pos);
        const QString ch = text.mid(pos, len);
        const char16_t u = ch[0].unicode();
        pos += len;
        if (len == 1 && u >= 0x20 && u < 0x7F) continue;
        if (len == 1 && (u < 0x20 || u == 0x7F)) {
            return TextRefusal{ch, QStringLiteral("タブや改行などの制御文字(%1)は入力できません。").arg(codeOf(ch))};
        }
        if (len == 1 && twinOf(u)) continue;  // stored as its twin
        const Collapsing* c = len == 1 ? collapsing(u) : nullptr;
        if (!c && survivesCp932(ch)) continue;
        QString message = QStringLiteral("「%1」(%2)はShift-JIS(CP932)で表せない文字のため入力できません。")
                              .arg(ch, codeOf(ch));
        if (c) message += QStringLiteral("全角の「%1」をお使いください。").arg(QString::fromUtf8(c->suggestion));
        return TextRefusal{ch, message};
    }
    return std::nullopt;
}

bool turnsAsciiInCp932(QChar c) {
    return collapsing(c.unicode()) != nullptr;
}

bool containsCharTurningAscii(QByteArrayView utf8) {
    // Each of them is two or more bytes in UTF-8, all at or above 0x80.
    static const std::vector<QByteArray> forms = [] {
        std::vector<QByteArray> f;
        for (const Collapsing& k : kCollapsing) f.push_back(QString(QChar(k.from)).toUtf8());
        return f;
    }();
    for (const QByteArray& f : forms) {
        if (utf8.contains(f)) return true;
    }
    return false;
}

QString cp932Form(const QString& text) {
    QString out = text;
    for (QChar& c : out) {
        if (const auto t = twinOf(c.unicode())) c = QChar(*t);
    }
    return out;
}

}  // namespace platform
