#include "app/common/dates.h"

#include "app/common/values.h"
#include "platform/clock.h"

#include <QDate>

#include <array>
#include <tuple>

namespace {

// The numeric value of a piece of date text: optional blanks and sign, then
// half-width digits up to the first other character; no digits give 0.
int numericValue(const QString& text) {
    const QString t = Trim(text);
    int i = 0;
    bool negative = false;
    if (i < t.size() && (t[i] == u'-' || t[i] == u'+')) {
        negative = t[i] == u'-';
        ++i;
    }
    qint64 value = 0;
    for (; i < t.size() && t[i] >= u'0' && t[i] <= u'9'; ++i) {
        if (value < 1000000000) value = value * 10 + (t[i].unicode() - u'0');
    }
    return int(negative ? -value : value);
}

// At least two digits, as the pattern "0#" writes a number: 3 -> "03", 15 -> "15".
QString twoDigits(int value) {
    const QString digits =
        QString::number(value < 0 ? -qint64(value) : qint64(value)).rightJustified(2, u'0');
    return value < 0 ? u'-' + digits : digits;
}

QString joinByMode(const QString& year, const QString& month, const QString& day, int mode) {
    switch (mode) {
    case 0:
        return year + month + day;
    case 1:
        return year + u'/' + month + u'/' + day;
    case 2:
        return year + u'年' + month + u'月' + day + u'日';
    default:
        return QString();
    }
}

struct Era {
    const char16_t* name;
    int firstYear, firstMonth, firstDay;  // the era's first day
    int offset;                           // Western year = era year + offset
};

// Latest first. 明治 covers every date before 大正.
constexpr std::array<Era, 5> kEras{{
    {u"令和", 2019, 5, 1, 2018},
    {u"平成", 1989, 1, 8, 1988},
    {u"昭和", 1926, 12, 25, 1925},
    {u"大正", 1912, 7, 30, 1911},
    {u"明治", 0, 0, 0, 1867},
}};

const Era& eraOf(int year, int month, int day) {
    for (const Era& era : kEras) {
        if (std::tie(year, month, day) >= std::tie(era.firstYear, era.firstMonth, era.firstDay)) return era;
    }
    return kEras.back();
}

}  // namespace

QString FormatDateString(const QString& text) {
    QString digits;
    for (const QChar c : text) {
        if (c >= u'0' && c <= u'9') digits += c;
    }
    if (digits.size() < 5) return QString();

    QString year, month, day;
    if (digits.size() > 6) {
        year = digits.mid(0, 4);
        month = digits.mid(4, 2);
        day = digits.mid(6, 2);
    } else {
        const QString shortYear = digits.mid(0, 2);
        month = digits.mid(2, 2);
        day = digits.mid(4, 2);
        // 71..99 are the 1900s; 00..70 the century we are in.
        const QString century = numericValue(shortYear) > 70
                                    ? QStringLiteral("19")
                                    : QString::number(platform::Clock::today().year()).left(2);
        year = century + shortYear;
    }
    month = FormatMonth(month);
    day = FormatDay(year, month, day);
    return year + u'/' + month + u'/' + day;
}

QString FormatMonth(const QString& month) {
    if (Trim(month).isEmpty()) return QString();
    const int value = numericValue(month);
    if (value < 1) return QStringLiteral("01");
    if (value > 12) return QStringLiteral("12");
    return twoDigits(value);
}

QString FormatDay(const QString& year, const QString& month, QString& day) {
    const int value = numericValue(day);
    int lastDay;
    switch (numericValue(month)) {
    case 1:
    case 3:
    case 5:
    case 7:
    case 8:
    case 10:
    case 12:
        lastDay = 31;
        break;
    case 2:
        lastDay = IsLeapYear(numericValue(year)) ? 29 : 28;
        break;
    default:
        lastDay = 30;
        break;
    }
    if (value < 1) {
        day = QStringLiteral("01");
    } else if (value > lastDay) {
        day = twoDigits(lastDay);
    } else {
        return twoDigits(value);
    }
    return day;
}

bool IsLeapYear(int year) { return year % 400 == 0 || (year % 4 == 0 && year % 100 != 0); }

QString SeirekiToWareki(const QString& date, QString& eraName, int mode) {
    const QString t = Trim(date);
    QString year, month, day;
    switch (t.size()) {
    case 6: {
        const QString shortYear = t.mid(0, 2);
        year = (numericValue(shortYear) > 90 ? QStringLiteral("19") : QStringLiteral("20")) + shortYear;
        month = t.mid(2, 2);
        day = t.mid(4, 2);
        break;
    }
    case 8:
        year = t.mid(0, 4);
        month = t.mid(4, 2);
        day = t.mid(6, 2);
        break;
    case 10:
        year = t.mid(0, 4);
        month = t.mid(5, 2);
        day = t.mid(8, 2);
        break;
    default:
        // Blank, or no form a date is written in.
        return QString();
    }
    const int westernYear = numericValue(year);
    const Era& era = eraOf(westernYear, numericValue(month), numericValue(day));
    eraName = QString::fromUtf16(era.name);
    return joinByMode(twoDigits(westernYear - era.offset), month, day, mode);
}

QString WarekiToSeireki(const QString& date, const QString& eraName, int mode) {
    const QString t = Trim(date);
    if (t.isEmpty() || t == u"//") return QString();
    const QString eraYear = t.mid(0, 2);
    const QString month = t.size() == 6 ? t.mid(2, 2) : t.mid(3, 2);
    const QString day = t.size() == 6 ? t.mid(4, 2) : t.mid(6, 2);
    QString year = eraYear;
    for (const Era& era : kEras) {
        if (eraName == QString::fromUtf16(era.name)) {
            year = QString::number(numericValue(eraYear) + era.offset);
            break;
        }
    }
    return joinByMode(year, month, day, mode);
}

QString EraDayToWestern(const QString& eraName, int eraYear, int month, int day) {
    for (size_t i = 0; i < kEras.size(); ++i) {
        const Era& era = kEras[i];
        if (eraName != QString::fromUtf16(era.name)) continue;
        if (eraYear < 1 || eraYear > 9999) return QString();
        const QDate date(eraYear + era.offset, month, day);
        if (!date.isValid()) return QString();
        // 明治 counts from the first day of its first year.
        const QDate first = era.firstYear ? QDate(era.firstYear, era.firstMonth, era.firstDay)
                                          : QDate(era.offset + 1, 1, 1);
        if (date < first) return QString();
        if (i > 0) {
            const Era& next = kEras[i - 1];
            if (date >= QDate(next.firstYear, next.firstMonth, next.firstDay)) return QString();
        }
        return date.toString(QStringLiteral("yyyy/MM/dd"));
    }
    return QString();
}
