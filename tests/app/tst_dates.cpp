// Date normalisation and the Japanese era conversions.

#include "app/common/dates.h"
#include "platform/clock.h"
#include "support/testenv.h"

#include <QtTest>

#include <unicode/calendar.h>
#include <unicode/dtfmtsym.h>
#include <unicode/gregocal.h>
#include <unicode/smpdtfmt.h>
#include <unicode/timezone.h>

#include <memory>

namespace {

QString fromIcu(const icu::UnicodeString& s) {
    return QString::fromUtf16(reinterpret_cast<const char16_t*>(s.getBuffer()), s.length());
}

// ICU's Japanese calendar, as an independent source of each day's era.
class IcuJapaneseCalendar {
public:
    IcuJapaneseCalendar() {
        UErrorCode status = U_ZERO_ERROR;
        const icu::Locale locale("ja_JP@calendar=japanese");
        japanese_.reset(icu::Calendar::createInstance(icu::TimeZone::getGMT()->clone(), locale, status));
        gregorian_ = std::make_unique<icu::GregorianCalendar>(*icu::TimeZone::getGMT(), status);
        format_ = std::make_unique<icu::SimpleDateFormat>(icu::UnicodeString(u"GGGG"), locale, status);
        ok_ = U_SUCCESS(status) && japanese_ && QByteArray(japanese_->getType()) == "japanese";
        if (ok_) eras_ = format_->getDateFormatSymbols()->getEras(eraCount_);
    }
    bool ok() const { return ok_ && eras_ != nullptr; }

    // The era name and era year of a Gregorian date.
    std::pair<QString, int> eraOf(const QDate& date) {
        UErrorCode status = U_ZERO_ERROR;
        gregorian_->clear();
        gregorian_->set(date.year(), date.month() - 1, date.day());
        japanese_->setTime(gregorian_->getTime(status), status);
        const int era = japanese_->get(UCAL_ERA, status);
        const int year = japanese_->get(UCAL_YEAR, status);
        if (U_FAILURE(status) || era < 0 || era >= eraCount_) return {QString(), 0};
        return {fromIcu(eras_[era]), year};
    }

private:
    std::unique_ptr<icu::Calendar> japanese_;
    std::unique_ptr<icu::GregorianCalendar> gregorian_;
    std::unique_ptr<icu::SimpleDateFormat> format_;
    const icu::UnicodeString* eras_ = nullptr;
    int32_t eraCount_ = 0;
    bool ok_ = false;
};

}  // namespace

class TestDates : public QObject {
    Q_OBJECT

private slots:
    void initTestCase() {
        testenv::isolate();
        platform::Clock::setFixed(QDate(2024, 6, 15));
    }
    void cleanupTestCase() { platform::Clock::reset(); }

    void formatDateString_data() {
        QTest::addColumn<QString>("typed");
        QTest::addColumn<QString>("expected");
        QTest::newRow("slashed yyyy/mm/dd") << "2003/04/01" << "2003/04/01";
        QTest::newRow("2003/4/1 is six digits yymmdd") << "2003/4/1" << "2020/03/31";
        QTest::newRow("yy/mm/dd") << "03/04/01" << "2003/04/01";
        QTest::newRow("99 is 1999") << "99/04/01" << "1999/04/01";
        QTest::newRow("70 is this century") << "70/04/01" << "2070/04/01";
        QTest::newRow("71 is 1971") << "71/04/01" << "1971/04/01";
        QTest::newRow("Feb 30 common year") << "2003/02/30" << "2003/02/28";
        QTest::newRow("Feb 30 leap year") << "2004/02/30" << "2004/02/29";
        QTest::newRow("month 13") << "2003/13/01" << "2003/12/01";
        QTest::newRow("month and day 00") << "2003/00/00" << "2003/01/01";
        QTest::newRow("four digits") << "1234" << "";
        QTest::newRow("empty") << "" << "";
        QTest::newRow("five digits, one-digit day") << "03041" << "2003/04/01";
        QTest::newRow("seven digits, one-digit day") << "2003041" << "2003/04/01";
        QTest::newRow("digits past the eighth ignored") << "2003/04/0199" << "2003/04/01";
        QTest::newRow("kanji separators") << "2003年04月01日" << "2003/04/01";
        QTest::newRow("full-width digits dropped") << "２０03/04/01" << "2003/04/01";
        QTest::newRow("day 31 of a 30-day month") << "20030631" << "2003/06/30";
    }
    void formatDateString() {
        QFETCH(QString, typed);
        QFETCH(QString, expected);
        QCOMPARE(FormatDateString(typed), expected);
    }

    // Two-digit years up to 70 take the century of today's date.
    void formatDateStringCenturyFromClock() {
        platform::FixedClock clock(QDate(2105, 1, 1));
        QCOMPARE(FormatDateString(QStringLiteral("03/04/01")), QStringLiteral("2103/04/01"));
        QCOMPARE(FormatDateString(QStringLiteral("71/04/01")), QStringLiteral("1971/04/01"));
    }

    void formatMonth_data() {
        QTest::addColumn<QString>("month");
        QTest::addColumn<QString>("expected");
        QTest::newRow("empty") << "" << "";
        QTest::newRow("blanks") << "  " << "";
        QTest::newRow("0") << "0" << "01";
        QTest::newRow("negative") << "-3" << "01";
        QTest::newRow("15") << "15" << "12";
        QTest::newRow("one digit padded") << "3" << "03";
        QTest::newRow("12") << "12" << "12";
        QTest::newRow("not a number") << "ab" << "01";
    }
    void formatMonth() {
        QFETCH(QString, month);
        QFETCH(QString, expected);
        const QString before = month;
        QCOMPARE(FormatMonth(month), expected);
        QCOMPARE(month, before);
    }

    void formatDay_data() {
        QTest::addColumn<QString>("year");
        QTest::addColumn<QString>("month");
        QTest::addColumn<QString>("day");
        QTest::addColumn<QString>("expected");
        QTest::addColumn<QString>("dayAfter");
        QTest::newRow("April 31") << "2003" << "04" << "31" << "30" << "30";
        QTest::newRow("Feb 31, 2000 leap") << "2000" << "02" << "31" << "29" << "29";
        QTest::newRow("Feb 31, 1900 not leap") << "1900" << "02" << "31" << "28" << "28";
        QTest::newRow("Feb 29, 2003") << "2003" << "02" << "29" << "28" << "28";
        QTest::newRow("Feb 29, 2004 kept") << "2004" << "02" << "29" << "29" << "29";
        QTest::newRow("Dec 31 kept") << "2003" << "12" << "31" << "31" << "31";
        QTest::newRow("day 0") << "2003" << "01" << "0" << "01" << "01";
        QTest::newRow("one digit not clamped stays") << "2003" << "04" << "4" << "04" << "4";
        QTest::newRow("month out of range has 30 days") << "2003" << "13" << "31" << "30" << "30";
    }
    void formatDay() {
        QFETCH(QString, year);
        QFETCH(QString, month);
        QFETCH(QString, day);
        QFETCH(QString, expected);
        QFETCH(QString, dayAfter);
        QCOMPARE(FormatDay(year, month, day), expected);
        QCOMPARE(day, dayAfter);
    }

    void isLeapYear_data() {
        QTest::addColumn<int>("year");
        QTest::addColumn<bool>("leap");
        QTest::newRow("2000") << 2000 << true;
        QTest::newRow("1900") << 1900 << false;
        QTest::newRow("2004") << 2004 << true;
        QTest::newRow("2003") << 2003 << false;
        QTest::newRow("2100") << 2100 << false;
        QTest::newRow("2400") << 2400 << true;
    }
    void isLeapYear() {
        QFETCH(int, year);
        QFETCH(bool, leap);
        QCOMPARE(IsLeapYear(year), leap);
    }

    void seirekiToWareki_data() {
        QTest::addColumn<QString>("date");
        QTest::addColumn<int>("mode");
        QTest::addColumn<QString>("expected");
        QTest::addColumn<QString>("era");
        const QString untouched = QStringLiteral("(untouched)");
        QTest::newRow("mode 2") << "2003/04/01" << 2 << "15年04月01日" << "平成";
        QTest::newRow("mode 1") << "2003/04/01" << 1 << "15/04/01" << "平成";
        QTest::newRow("mode 0") << "2003/04/01" << 0 << "150401" << "平成";
        QTest::newRow("yyyymmdd") << "20030401" << 1 << "15/04/01" << "平成";
        QTest::newRow("blanks around") << "  2003/04/01  " << 1 << "15/04/01" << "平成";
        QTest::newRow("yymmdd 91 is 1991") << "910401" << 1 << "03/04/01" << "平成";
        QTest::newRow("yymmdd 90 is 2090") << "900401" << 1 << "72/04/01" << "令和";
        QTest::newRow("1989/01/01 is still Showa") << "1989/01/01" << 1 << "64/01/01" << "昭和";
        QTest::newRow("1989/01/07 last Showa day") << "1989/01/07" << 1 << "64/01/07" << "昭和";
        QTest::newRow("1989/01/08 first Heisei day") << "1989/01/08" << 1 << "01/01/08" << "平成";
        QTest::newRow("1988/12/31") << "1988/12/31" << 1 << "63/12/31" << "昭和";
        QTest::newRow("2019/04/30 last Heisei day") << "2019/04/30" << 1 << "31/04/30" << "平成";
        QTest::newRow("2019/05/01 first Reiwa day") << "2019/05/01" << 1 << "01/05/01" << "令和";
        QTest::newRow("2020/01/01") << "2020/01/01" << 0 << "020101" << "令和";
        QTest::newRow("1912/01/01 still Meiji") << "1912/01/01" << 1 << "45/01/01" << "明治";
        QTest::newRow("1912/07/29 last Meiji day") << "1912/07/29" << 1 << "45/07/29" << "明治";
        QTest::newRow("1912/07/30 first Taisho day") << "1912/07/30" << 1 << "01/07/30" << "大正";
        QTest::newRow("1926/01/01 still Taisho") << "1926/01/01" << 1 << "15/01/01" << "大正";
        QTest::newRow("1926/12/24 last Taisho day") << "1926/12/24" << 1 << "15/12/24" << "大正";
        QTest::newRow("1926/12/25 first Showa day") << "1926/12/25" << 1 << "01/12/25" << "昭和";
        QTest::newRow("month and day as they stand") << "2003/13/45" << 1 << "15/13/45" << "平成";
        QTest::newRow("unknown mode writes the era") << "2003/04/01" << 3 << "" << "平成";
        QTest::newRow("empty") << "" << 1 << "" << untouched;
        QTest::newRow("blanks") << "   " << 1 << "" << untouched;
        QTest::newRow("no date form") << "2003041" << 1 << "" << untouched;
    }
    void seirekiToWareki() {
        QFETCH(QString, date);
        QFETCH(int, mode);
        QFETCH(QString, expected);
        QFETCH(QString, era);
        QString eraName = QStringLiteral("(untouched)");
        QCOMPARE(SeirekiToWareki(date, eraName, mode), expected);
        QCOMPARE(eraName, era);
    }

    void warekiToSeireki_data() {
        QTest::addColumn<QString>("date");
        QTest::addColumn<QString>("era");
        QTest::addColumn<int>("mode");
        QTest::addColumn<QString>("expected");
        QTest::newRow("Heisei mode 1") << "15/04/01" << "平成" << 1 << "2003/04/01";
        QTest::newRow("Heisei mode 0") << "15/04/01" << "平成" << 0 << "20030401";
        QTest::newRow("Heisei mode 2") << "15/04/01" << "平成" << 2 << "2003年04月01日";
        QTest::newRow("YYMMDD") << "150401" << "平成" << 1 << "2003/04/01";
        QTest::newRow("blanks around") << "  15/04/01 " << "平成" << 1 << "2003/04/01";
        QTest::newRow("Reiwa") << "01/05/01" << "令和" << 1 << "2019/05/01";
        QTest::newRow("Showa") << "64/01/07" << "昭和" << 1 << "1989/01/07";
        QTest::newRow("Taisho") << "01/07/30" << "大正" << 1 << "1912/07/30";
        QTest::newRow("Meiji") << "45/07/29" << "明治" << 1 << "1912/07/29";
        QTest::newRow("unknown era keeps the era year") << "15/04/01" << "天保" << 1 << "15/04/01";
        QTest::newRow("empty field with separators") << "//" << "平成" << 1 << "";
        QTest::newRow("blank") << "   " << "平成" << 1 << "";
        QTest::newRow("unknown mode") << "15/04/01" << "平成" << 7 << "";
    }
    void warekiToSeireki() {
        QFETCH(QString, date);
        QFETCH(QString, era);
        QFETCH(int, mode);
        QFETCH(QString, expected);
        QCOMPARE(WarekiToSeireki(date, era, mode), expected);
    }

    // Every day from 1873 (when Japan took up the Gregorian calendar) to 2100:
    // era and era year agree with ICU's Japanese calendar, so every era's
    // first day and the days either side of it are right, and the era date
    // converts back to the same Western date.
    void erasAgreeWithIndependentCalendar() {
        IcuJapaneseCalendar icu;
        QVERIFY2(icu.ok(), "ICU Japanese calendar not available");
        QString previousEra;
        int eraChanges = 0;
        for (QDate d(1873, 1, 1); d <= QDate(2100, 12, 31); d = d.addDays(1)) {
            const QString western = d.toString(QStringLiteral("yyyy/MM/dd"));
            const auto [icuEra, icuYear] = icu.eraOf(d);
            QString era;
            const QString wareki = SeirekiToWareki(western, era, 1);
            const QString expected = QStringLiteral("%1/%2/%3")
                                         .arg(icuYear, 2, 10, QChar(u'0'))
                                         .arg(d.month(), 2, 10, QChar(u'0'))
                                         .arg(d.day(), 2, 10, QChar(u'0'));
            if (era != icuEra || wareki != expected) {
                QFAIL(qPrintable(
                    QStringLiteral("%1: %2 %3, ICU %4 %5").arg(western, era, wareki, icuEra, expected)));
            }
            if (WarekiToSeireki(wareki, era, 1) != western) {
                QFAIL(qPrintable(
                    QStringLiteral("%1 %2 does not convert back to %3").arg(era, wareki, western)));
            }
            if (!previousEra.isEmpty() && era != previousEra) ++eraChanges;
            previousEra = era;
        }
        QCOMPARE(eraChanges, 4);
    }
};

QTEST_GUILESS_MAIN(TestDates)
#include "tst_dates.moc"
