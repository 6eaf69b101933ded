#include "platform/currency.h"

#include <charconv>
#include <cmath>

namespace {

// Rounds n / d (d > 0) to the nearest integer, ties to even.
std::int64_t divRoundHalfEven(__int128 n, __int128 d) {
    if (d < 0) {
        n = -n;
        d = -d;
    }
    __int128 q = n / d;
    __int128 r = n % d;
    if (r < 0) {
        r = -r;
    }
    const __int128 twice = r * 2;
    if (twice > d || (twice == d && (q % 2 != 0))) {
        q += (n < 0) ? -1 : 1;
    }
    if (q > INT64_MAX || q < INT64_MIN) throw CurrencyOverflow();
    return static_cast<std::int64_t>(q);
}

int digitValue(QChar c) {
    const ushort u = c.unicode();
    if (u >= '0' && u <= '9') {
        return u - '0';
    }
    if (u >= 0xFF10 && u <= 0xFF19) {  // full-width digits
        return u - 0xFF10;
    }
    return -1;
}

bool isBlank(QChar c) { return c == u' ' || c == QChar(0x3000) || c == u'\t'; }

}  // namespace

std::optional<Currency> Currency::parse(QStringView text) {
    int i = 0;
    int end = text.size();
    while (i < end && isBlank(text[i])) ++i;
    while (end > i && isBlank(text[end - 1])) --end;
    if (i == end) {
        return std::nullopt;
    }
    bool negative = false;
    auto takeSign = [&] {
        if (i < end && (text[i] == u'-' || text[i] == QChar(0xFF0D) || text[i] == QChar(0x2212))) {
            negative = true;
            ++i;
        } else if (i < end && (text[i] == u'+' || text[i] == QChar(0xFF0B))) {
            ++i;
        }
    };
    takeSign();
    if (i < end && (text[i] == QChar(0x00A5) || text[i] == QChar(0xFFE5) || text[i] == u'\\')) {
        ++i;
        if (!negative) takeSign();
    }
    __int128 whole = 0;
    int digits = 0;
    bool sawDigit = false;
    for (; i < end; ++i) {
        const QChar c = text[i];
        const int d = digitValue(c);
        if (d >= 0) {
            whole = whole * 10 + d;
            sawDigit = true;
            if (++digits > 15) return std::nullopt;  // beyond what 64 bits hold at 1/10,000
        } else if ((c == u',' || c == QChar(0xFF0C)) && sawDigit) {
            continue;
        } else {
            break;
        }
    }
    __int128 frac = 0;
    int fracDigits = 0;
    int roundDigit = -1;
    if (i < end && (text[i] == u'.' || text[i] == QChar(0xFF0E))) {
        ++i;
        for (; i < end; ++i) {
            const int d = digitValue(text[i]);
            if (d < 0) break;
            sawDigit = true;
            if (fracDigits < 4) {
                frac = frac * 10 + d;
                ++fracDigits;
            } else if (roundDigit < 0) {
                roundDigit = d;
            }
        }
    }
    if (i != end || !sawDigit) {
        return std::nullopt;
    }
    while (fracDigits < 4) {
        frac *= 10;
        ++fracDigits;
    }
    __int128 raw = whole * kScale + frac;
    if (roundDigit >= 5) raw += 1;
    if (raw > INT64_MAX) return std::nullopt;
    return Currency(static_cast<std::int64_t>(negative ? -raw : raw));
}

QString CurrencyOverflow::message() {
    return QStringLiteral("金額の合計が扱える範囲を超えたため、処理を中止しました。");
}

void Currency::throwOverflow() { throw CurrencyOverflow(); }

Currency Currency::fromText(const QString& text) { return parse(text).value_or(Currency()); }

Currency Currency::fromVariant(const QVariant& v) {
    if (!v.isValid() || v.isNull()) return Currency();
    if (v.canConvert<Currency>() && v.metaType() == QMetaType::fromType<Currency>()) {
        return v.value<Currency>();
    }
    switch (v.metaType().id()) {
    case QMetaType::LongLong:
    case QMetaType::Int:
    case QMetaType::UInt:
    case QMetaType::ULongLong:
    case QMetaType::Long:
        return Currency(v.toLongLong());
    case QMetaType::Double:
        return Currency(std::llround(v.toDouble()));
    default:
        return fromText(v.toString());
    }
}

QString Currency::toText() const {
    const bool negative = raw_ < 0;
    const unsigned long long a = negative ? 0ULL - static_cast<unsigned long long>(raw_)
                                          : static_cast<unsigned long long>(raw_);
    QString s = QString::number(a / kScale);
    unsigned long long frac = a % kScale;
    if (frac != 0) {
        QString f = QString::number(frac).rightJustified(4, u'0');
        while (f.endsWith(u'0')) f.chop(1);
        s += u'.' + f;
    }
    return negative ? u'-' + s : s;
}

namespace {

// A count of whole yen with a comma between groups of three digits, '-'
// before a negative one: written into a buffer, without the strings of the
// general path (the books show hundreds of thousands of such amounts).
QString groupedWholeYen(std::uint64_t magnitude, bool negative) {
    char16_t buf[32];  // 20 digits, 6 commas, a sign
    int p = 32, digits = 0;
    do {
        if (digits > 0 && digits % 3 == 0) buf[--p] = u',';
        buf[--p] = char16_t(u'0' + magnitude % 10);
        magnitude /= 10;
        ++digits;
    } while (magnitude != 0);
    if (negative) buf[--p] = u'-';
    return QString(reinterpret_cast<const QChar*>(buf + p), 32 - p);
}

}  // namespace

QString Currency::toDisplay(int decimals) const {
    // Whole yen, the common case: as needed of a whole amount, or rounded to
    // no decimals (half away from zero), as the general path below.
    if (decimals < 0 && raw_ % kScale == 0)
        return groupedWholeYen(raw_ < 0 ? 0ULL - static_cast<std::uint64_t>(raw_ / kScale)
                                        : static_cast<std::uint64_t>(raw_ / kScale),
                               raw_ < 0);
    if (decimals == 0) {
        std::int64_t rounded = raw_ / kScale;
        const std::int64_t r = raw_ % kScale;
        if (r * 2 >= kScale) rounded += 1;
        if (r * 2 <= -kScale) rounded -= 1;
        return groupedWholeYen(rounded < 0 ? 0ULL - static_cast<std::uint64_t>(rounded)
                                           : static_cast<std::uint64_t>(rounded),
                               rounded < 0);
    }
    QString plain = toText();
    if (decimals >= 0 && decimals < 4) {
        std::int64_t unit = 1;
        for (int k = decimals; k < 4; ++k) unit *= 10;
        // half away from zero
        const std::int64_t q = raw_ / unit;
        const std::int64_t r = raw_ % unit;
        std::int64_t rounded = q;
        if (r * 2 >= unit) rounded += 1;
        if (r * 2 <= -unit) rounded -= 1;
        std::int64_t shown = 0;
        if (!__builtin_mul_overflow(rounded, unit, &shown)) {
            plain = Currency(shown).toText();
        } else {
            // Rounding carried past the largest amount: the rounded figure is
            // shown all the same, from its count of units.
            plain = QString::number(rounded < 0 ? -rounded : rounded);
            if (decimals > 0) plain.insert(plain.size() - decimals, u'.');
            if (rounded < 0) plain.prepend(u'-');
        }
    }
    const bool negative = plain.startsWith(u'-');
    QString body = negative ? plain.mid(1) : plain;
    QString intPart = body.section(u'.', 0, 0);
    QString fracPart = body.contains(u'.') ? body.section(u'.', 1, 1) : QString();
    for (int pos = intPart.size() - 3; pos > 0; pos -= 3) intPart.insert(pos, u',');
    if (decimals > 0) fracPart = fracPart.leftJustified(decimals, u'0').left(decimals);
    if (decimals == 0) fracPart.clear();
    QString out = intPart;
    if (!fracPart.isEmpty()) out += u'.' + fracPart;
    return negative ? u'-' + out : out;
}

Currency Currency::operator*(Currency o) const {
    return Currency(divRoundHalfEven(static_cast<__int128>(raw_) * o.raw_, kScale));
}

Currency Currency::operator/(Currency o) const {
    if (o.raw_ == 0) return Currency();
    return Currency(divRoundHalfEven(static_cast<__int128>(raw_) * kScale, o.raw_));
}

QString rateDecimalText(double rate) {
    if (!std::isfinite(rate)) return QStringLiteral("0");
    char buf[512];
    const float single = static_cast<float>(rate);
    const auto res = static_cast<double>(single) == rate
                         ? std::to_chars(buf, buf + sizeof buf, single, std::chars_format::fixed)
                         : std::to_chars(buf, buf + sizeof buf, rate, std::chars_format::fixed);
    if (res.ec != std::errc()) return QStringLiteral("0");
    QString text = QString::fromLatin1(buf, int(res.ptr - buf));
    if (text == QLatin1String("-0")) text = QStringLiteral("0");
    return text;
}

Currency Currency::timesRate(double rate) const {
    // Multiply exactly by the rate's decimal text.
    const QString text = rateDecimalText(rate);
    __int128 num = 0;
    __int128 den = 1;
    bool negative = false;
    bool afterPoint = false;
    for (const QChar c : text) {
        if (c == u'-') negative = true;
        else if (c == u'.') afterPoint = true;
        else if (c >= u'0' && c <= u'9') {
            if (num > (static_cast<__int128>(1) << 100)) break;  // far beyond any real rate
            num = num * 10 + (c.unicode() - u'0');
            if (afterPoint) den *= 10;
        }
    }
    if (negative) num = -num;
    __int128 product = 0;
    if (__builtin_mul_overflow(static_cast<__int128>(raw_), num, &product)) throw CurrencyOverflow();
    return Currency(divRoundHalfEven(product, den));
}

Currency Currency::roundedToYen() const {
    const std::int64_t q = raw_ / kScale;
    const std::int64_t r = raw_ % kScale;
    std::int64_t y = q;
    if (r * 2 >= kScale) y += 1;
    if (r * 2 <= -kScale) y -= 1;
    return fromYen(y);
}
