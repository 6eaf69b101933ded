#include "ledger/valuecheck.h"

#include <QDate>
#include <QFile>

#include "app/common/dates.h"
#include "platform/cp932.h"
#include "platform/cp932rules.h"
#include "platform/currency.h"

namespace valuecheck {

namespace {

bool isControl(char16_t u) { return u < 0x20 || u == 0x7F; }

bool isDigit(QChar c) { return c >= u'0' && c <= u'9'; }

// An optional "-", digits, and an optional "." with digits.
bool isPlainDecimal(QStringView text) {
    qsizetype i = text.startsWith(u'-') ? 1 : 0;
    const qsizetype intStart = i;
    while (i < text.size() && isDigit(text[i])) ++i;
    if (i == intStart) return false;
    if (i == text.size()) return true;
    if (text[i] != u'.') return false;
    const qsizetype fracStart = ++i;
    while (i < text.size() && isDigit(text[i])) ++i;
    return i > fracStart && i == text.size();
}

QString notANumber(QStringView text) {
    return QStringLiteral("「%1」は数値ではありません。").arg(Quote(text));
}

}  // namespace

QString Quote(QStringView value) {
    QString out;
    const bool cut = value.size() > kQuotedChars;
    qsizetype n = cut ? kQuotedChars : value.size();
    if (cut && value[n - 1].isHighSurrogate()) --n;  // never half a character
    out.reserve(n + 1);
    for (qsizetype i = 0; i < n; ++i) {
        const char16_t u = value[i].unicode();
        if (u < 0x20) out += QChar(char16_t(0x2400 + u));
        else if (u == 0x7F) out += QChar(char16_t(0x2421));
        else out += value[i];
    }
    if (cut) out += QChar(0x2026);
    return out;
}

QString CheckText(QStringView text, int maxBytes) {
    // One pass: control characters, the CP932 length (ASCII and half-width
    // kana one byte, every other character CP932 holds two) and whether the
    // text needs the full character check.
    qint64 bytes = 0;
    bool plain = true;
    for (const QChar c : text) {
        const char16_t u = c.unicode();
        if (isControl(u)) {
            return QStringLiteral("「%1」にタブや改行などの制御文字(U+%2)があります。")
                .arg(Quote(text))
                .arg(QString::number(uint(u), 16).toUpper().rightJustified(4, u'0'));
        }
        if (u < 0x80 || (u >= 0xFF61 && u <= 0xFF9F)) {
            bytes += 1;
        } else {
            plain = false;
            if (!c.isLowSurrogate()) bytes += 2;
        }
    }
    if (!plain) {
        const QString whole = text.toString();
        if (!platform::cp932::canEncode(whole) || std::any_of(whole.begin(), whole.end(), [](QChar c) {
                return platform::turnsAsciiInCp932(c);
            })) {
            const std::optional<platform::TextRefusal> refused = platform::refusedCharacter(whole);
            return QStringLiteral("「%1」: ").arg(Quote(text)) +
                   (refused ? refused->message
                            : QStringLiteral("Shift-JIS(CP932)で表せない文字があります。"));
        }
    }
    if (bytes > maxBytes) {
        return QStringLiteral("「%1」は%2バイトを超えています。").arg(Quote(text)).arg(maxBytes);
    }
    return QString();
}

QString CheckAmount(QStringView text, bool emptyAsZero) {
    if (text.isEmpty() && emptyAsZero) return QString();
    if (text.size() > 40 || !isPlainDecimal(text)) return notANumber(text);
    const qsizetype point = text.indexOf(u'.');
    if (point >= 0) {
        for (qsizetype i = point + 5; i < text.size(); ++i)
            if (text[i] != u'0') return QStringLiteral("金額「%1」の小数は4桁までです。").arg(Quote(text));
    }
    const std::optional<Currency> value = Currency::parse(text);
    if (!value) return CheckAmountValue(Currency::fromRaw(INT64_MAX), text);
    return CheckAmountValue(*value, text);
}

QString CheckAmountValue(Currency value, QStringView text) {
    const Currency limit = Currency::fromYen(Currency::kMaxEnteredYen);
    if (value > limit || value < -limit) {
        return QStringLiteral("金額「%1」は入力できる範囲(%2 から %3)を超えています。")
            .arg(Quote(text), (-limit).toDisplay(0), limit.toDisplay(0));
    }
    return QString();
}

QString CheckWholeNumber(QStringView text, bool emptyAsZero) {
    if (text.isEmpty() && emptyAsZero) return QString();
    const QString reason = CheckAmount(text, false);
    if (!reason.isEmpty()) return reason;
    const std::optional<Currency> value = Currency::parse(text);
    if (value->raw() % Currency::kScale != 0) return QStringLiteral("「%1」は整数ではありません。").arg(Quote(text));
    return QString();
}

QString CheckRate(QStringView text, bool emptyAsZero) {
    if (text.isEmpty() && emptyAsZero) return QString();
    if (text.size() > 40 || !isPlainDecimal(text)) return notANumber(text);
    return QString();
}

QString CheckDate(QStringView text) {
    QString digits;
    for (const QChar c : text)
        if (isDigit(c)) digits += c;
    if (digits.size() < 5) return QString();
    // The same reading as FormatDateString, without its clamping.
    const QString normalised = FormatDateString(text.toString());
    const int year = normalised.left(4).toInt();
    const bool longForm = digits.size() > 6;
    const int month = digits.mid(longForm ? 4 : 2, 2).toInt();
    const QString dayText = digits.mid(longForm ? 6 : 4, 2);
    const int day = dayText.toInt();
    if (!QDate(year, month, day).isValid() || year < 1) {
        return QStringLiteral("日付「%1」はない日です。").arg(Quote(text));
    }
    return QString();
}

QString CheckDay(QStringView text) {
    if (text.isEmpty()) return QString();
    if (text.size() != 10 || !QDate::fromString(text.toString(), QStringLiteral("yyyy/MM/dd")).isValid())
        return QStringLiteral("日付「%1」はない日です。").arg(Quote(text));
    return QString();
}

QString EraDay(const QString& eraName, int eraYear, int month, int day, QString* reason) {
    const QString western = EraDayToWestern(eraName, eraYear, month, day);
    if (western.isEmpty() && reason) {
        *reason = QStringLiteral("日付「%1%2年%3月%4日」はない日です。").arg(eraName).arg(eraYear).arg(month).arg(day);
    }
    return western;
}

QString RefusalText(const QString& heading, const QString& file, qint64 line, const QString& column,
                    const QString& reason) {
    QString text = heading + QStringLiteral("\r\n") + file;
    if (line > 0) text += QStringLiteral(" %1行目").arg(line);
    if (!column.isEmpty()) text += QLatin1Char(' ') + column;
    return text + QStringLiteral(": ") + reason;
}

BoundedRead ReadFileBounded(const QString& path, qint64 maxLineBytes, QByteArray& bytes, qint64* badLine) {
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly)) return BoundedRead::CannotOpen;
    bytes.clear();
    if (file.size() > 0 && file.size() < (qint64(1) << 30)) bytes.reserve(file.size());
    constexpr qint64 kChunk = 1 << 20;
    qint64 line = 1;
    qint64 lineLength = 0;
    for (;;) {
        const qsizetype start = bytes.size();
        bytes.resize(start + kChunk);
        const qint64 got = file.read(bytes.data() + start, kChunk);
        if (got < 0) return BoundedRead::CannotRead;
        bytes.resize(start + got);
        if (got == 0) break;
        for (qsizetype i = start; i < bytes.size(); ++i) {
            if (bytes[i] == '\n') {
                ++line;
                lineLength = 0;
            } else if (++lineLength > maxLineBytes) {
                if (badLine) *badLine = line;
                bytes.clear();
                return BoundedRead::LineTooLong;
            }
        }
    }
    return BoundedRead::Read;
}

QString LineTooLongReason(qint64 maxLineBytes) {
    return QStringLiteral("行が長すぎます(%1バイトを超えています)。").arg(maxLineBytes);
}

}  // namespace valuecheck
