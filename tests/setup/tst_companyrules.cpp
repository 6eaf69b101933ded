// The fiscal-period rules and the company input check as plain functions:
// the period end, the derived dates, the date link on leaving the start date
// and check_input_data with its order of steps, messages, corrections and
// focus.

#include <QtTest>

#include "ledger/companyrules.h"

namespace M = CompanyMessages;

namespace {

CompanyCheckInput validInput() {
    CompanyCheckInput in;
    in.name = QStringLiteral("山田商店");
    in.nendo = QStringLiteral("1");
    in.start = QStringLiteral("2003/04/01");
    in.closing = QStringLiteral("2004/03/31");
    return in;
}

}  // namespace

class TestCompanyRules : public QObject {
    Q_OBJECT

private slots:
    void periodEnd_data() {
        QTest::addColumn<QString>("start");
        QTest::addColumn<QString>("end");
        QTest::addColumn<QString>("yearLater");
        QTest::newRow("April start") << "2003/04/01"
                                     << "2004/03/31"
                                     << "2004/04/01";
        QTest::newRow("calendar year") << "2004/01/01"
                                       << "2004/12/31"
                                       << "2005/01/01";
        QTest::newRow("29 February") << "2004/02/29"
                                     << "2005/02/27"
                                     << "2005/02/28";
        QTest::newRow("ends on a leap day") << "2003/03/01"
                                            << "2004/02/29"
                                            << "2004/03/01";
        QTest::newRow("mid-month") << "2003/04/15"
                                   << "2004/04/14"
                                   << "2004/04/15";
        QTest::newRow("empty box") << ""
                                   << ""
                                   << "";
        QTest::newRow("no such day") << "2003/02/30"
                                     << ""
                                     << "";
    }
    void periodEnd() {
        QFETCH(QString, start);
        QFETCH(QString, end);
        QFETCH(QString, yearLater);
        QCOMPARE(PeriodEnd(start), end);
        QCOMPARE(OneYearLater(start), yearLater);
    }

    void derivedDates_data() {
        QTest::addColumn<QString>("closing");
        QTest::addColumn<QString>("inputLimit");
        QTest::addColumn<QString>("printed");
        QTest::newRow("31st into a 30-day month") << "2004/03/31"
                                                  << "2004/06/30"
                                                  << "2004年03月31日";
        QTest::newRow("into February") << "2004/11/30"
                                       << "2005/02/28"
                                       << "2004年11月30日";
        QTest::newRow("into a leap February") << "2003/11/30"
                                              << "2004/02/29"
                                              << "2003年11月30日";
        QTest::newRow("day kept, new year") << "2004/12/31"
                                            << "2005/03/31"
                                            << "2004年12月31日";
        QTest::newRow("empty") << ""
                               << ""
                               << "";
    }
    void derivedDates() {
        QFETCH(QString, closing);
        QFETCH(QString, inputLimit);
        QFETCH(QString, printed);
        QCOMPARE(InputLimitDay(closing), inputLimit);
        QCOMPARE(KanjiDate(closing), printed);
    }

    void calendarMonths() {
        QCOMPARE(PeriodCalendarMonths(QStringLiteral("2003/04/01"), QStringLiteral("2004/03/31")), 12);
        QCOMPARE(PeriodCalendarMonths(QStringLiteral("2003/04/15"), QStringLiteral("2004/04/14")), 13);
        QCOMPARE(PeriodCalendarMonths(QStringLiteral("2003/10/01"), QStringLiteral("2003/10/01")), 1);
        QCOMPARE(PeriodStartMonth(QStringLiteral("2003/04/01")), QStringLiteral("2003/04"));
    }

    // Leaving the start-date box.
    void linkClosingDate_data() {
        QTest::addColumn<bool>("fullYear");
        QTest::addColumn<QString>("start");
        QTest::addColumn<QString>("closing");
        QTest::addColumn<QString>("message");
        QTest::addColumn<QString>("closingAfter");
        QTest::addColumn<bool>("enable");
        QTest::newRow("通常 sets E(S)") << true << "2003/04/01"
                                        << "" << M::Linked << "2004/03/31" << true;
        QTest::newRow("通常 unchanged, message again") << true << "2003/04/01"
                                                       << "2004/03/31" << M::Linked << "2004/03/31" << true;
        QTest::newRow("通常 leap start") << true << "2004/02/29"
                                         << "" << M::Linked << "2005/02/27" << true;
        QTest::newRow("empty start") << true << ""
                                     << "2004/03/31" << M::StartRequired << "2004/03/31" << false;
        QTest::newRow("期中 inside") << false << "2003/10/01"
                                     << "2004/03/31"
                                     << ""
                                     << "2004/03/31" << true;
        QTest::newRow("期中 last day") << false << "2003/10/01"
                                       << "2004/09/30"
                                       << ""
                                       << "2004/09/30" << true;
        QTest::newRow("期中 one year on") << false << "2003/10/01"
                                          << "2004/10/01" << M::ClosingYearOrMore << "2004/09/30" << true;
        QTest::newRow("期中 before start") << false << "2003/10/01"
                                           << "2003/09/30" << M::ClosingBeforeStart << "2003/10/01" << true;
        QTest::newRow("期中 one-day period") << false << "2003/10/01"
                                             << "2003/10/01"
                                             << ""
                                             << "2003/10/01" << true;
        QTest::newRow("期中 empty closing stays") << false << "2003/10/01"
                                                  << ""
                                                  << ""
                                                  << "" << true;
        QTest::newRow("half-typed start") << true << "2003/02/30"
                                          << "2004/03/31"
                                          << ""
                                          << "2004/03/31" << false;
    }
    void linkClosingDate() {
        QFETCH(bool, fullYear);
        QFETCH(QString, start);
        QFETCH(QString, closing);
        QFETCH(QString, message);
        QFETCH(QString, closingAfter);
        QFETCH(bool, enable);
        const ClosingDateLink link = LinkClosingDate(fullYear, start, closing);
        QCOMPARE(link.message, message);
        QCOMPARE(link.closing, closingAfter);
        QCOMPARE(link.enableSave, enable);
    }

    void checkInput_data() {
        QTest::addColumn<QString>("change");  // field=value;field=value
        QTest::addColumn<bool>("passed");
        QTest::addColumn<QStringList>("messages");
        QTest::addColumn<QString>("closingAfter");
        QTest::addColumn<int>("focus");
        const int none = int(CompanyField::None);
        QTest::newRow("valid 通常") << "" << true << QStringList() << "2004/03/31" << none;
        QTest::newRow("individual without name") << "name=" << false << QStringList{M::IndividualNameMissing}
                                                 << "2004/03/31" << int(CompanyField::Name);
        QTest::newRow("corporation, blanks only")
            << "name=   ;corp=1" << false << QStringList{M::CorporationNameMissing} << "2004/03/31"
            << int(CompanyField::Name);
        QTest::newRow("name checked first")
            << "name=;start=;closing=" << false << QStringList{M::IndividualNameMissing} << ""
            << int(CompanyField::Name);
        QTest::newRow("no period number")
            << "nendo= " << false << QStringList{M::NendoMissing} << "2004/03/31" << int(CompanyField::Nendo);
        QTest::newRow("no start") << "start=" << false << QStringList{M::StartMissing} << "2004/03/31"
                                  << int(CompanyField::Start);
        QTest::newRow("half-typed start") << "start=2003/04/__" << false << QStringList{M::StartInvalid}
                                          << "2004/03/31" << int(CompanyField::Start);
        QTest::newRow("no closing") << "closing=" << false << QStringList{M::ClosingMissing} << ""
                                    << int(CompanyField::Closing);
        QTest::newRow("no such closing day")
            << "closing=2004/02/30" << false << QStringList{M::ClosingInvalid} << "2004/02/30"
            << int(CompanyField::Closing);
        QTest::newRow("通常 corrected and saved")
            << "closing=2004/02/29" << true << QStringList{M::FullYearLinked} << "2004/03/31" << none;
        QTest::newRow("期中 inside") << "kichu=1;start=2003/10/01" << true << QStringList() << "2004/03/31"
                                     << none;
        QTest::newRow("期中 one day")
            << "kichu=1;start=2003/10/01;closing=2003/10/01" << true << QStringList() << "2003/10/01" << none;
        QTest::newRow("期中 up to E(S)")
            << "kichu=1;start=2003/10/01;closing=2004/09/30" << true << QStringList() << "2004/09/30" << none;
        QTest::newRow("期中 one year on")
            << "kichu=1;start=2003/10/01;closing=2004/10/01" << false << QStringList{M::ClosingYearOrMore}
            << "2004/09/30" << int(CompanyField::Closing);
        QTest::newRow("期中 before start")
            << "kichu=1;start=2003/10/01;closing=2003/09/30" << false << QStringList{M::ClosingBeforeStart}
            << "2003/10/01" << int(CompanyField::Start);
        QTest::newRow("通常 mid-month start spans 13 months")
            << "start=2003/04/15;closing=2004/04/14" << false << QStringList{M::FullYearMidMonth}
            << "2004/04/14" << int(CompanyField::Start);
        QTest::newRow("通常 leap-day start spans 13 months")
            << "start=2004/02/29;closing=2005/02/27" << false << QStringList{M::FullYearMidMonth}
            << "2005/02/27" << int(CompanyField::Start);
        QTest::newRow("期中 end in the 13th month")
            << "kichu=1;start=2003/10/15;closing=2004/10/01" << false
            << QStringList{M::ShortPeriodThirteenMonths} << "2004/10/01" << int(CompanyField::Closing);
        QTest::newRow("期中 mid-month start, 12 months")
            << "kichu=1;start=2003/10/15;closing=2004/09/30" << true << QStringList() << "2004/09/30" << none;
        QTest::newRow("rate on, 0") << "rateOn=1;rate=0" << false << QStringList{M::RateMissing}
                                    << "2004/03/31" << int(CompanyField::Rate);
        QTest::newRow("rate on, 0.0001")
            << "rateOn=1;rate=0.0001" << true << QStringList() << "2004/03/31" << none;
        QTest::newRow("rate off, 0") << "rate=0" << true << QStringList() << "2004/03/31" << none;
    }
    void checkInput() {
        QFETCH(QString, change);
        QFETCH(bool, passed);
        QFETCH(QStringList, messages);
        QFETCH(QString, closingAfter);
        QFETCH(int, focus);
        CompanyCheckInput in = validInput();
        for (const QString& item : change.split(QLatin1Char(';'), Qt::SkipEmptyParts)) {
            const QString key = item.section(QLatin1Char('='), 0, 0);
            const QString value = item.section(QLatin1Char('='), 1);
            if (key == QStringLiteral("name")) in.name = value;
            if (key == QStringLiteral("nendo")) in.nendo = value;
            if (key == QStringLiteral("start")) in.start = value;
            if (key == QStringLiteral("closing")) in.closing = value;
            if (key == QStringLiteral("corp")) in.corporation = true;
            if (key == QStringLiteral("kichu")) in.fullYear = false;
            if (key == QStringLiteral("rateOn")) in.rateOn = true;
            if (key == QStringLiteral("rate")) in.rate = Currency::fromText(value);
        }
        const CompanyCheckResult r = check_input_data(in);
        QCOMPARE(r.passed, passed);
        QCOMPARE(r.messages, messages);
        QCOMPARE(r.closing, closingAfter);
        QCOMPARE(int(r.focus), focus);
    }

    // A 期中 correction fails the press; the corrected date passes the next one.
    void correctedClosingPassesNextPress() {
        for (const QString& closing : {QStringLiteral("2003/09/30"), QStringLiteral("2005/01/01")}) {
            CompanyCheckInput in = validInput();
            in.fullYear = false;
            in.start = QStringLiteral("2003/10/01");
            in.closing = closing;
            const CompanyCheckResult first = check_input_data(in);
            QVERIFY(!first.passed);
            in.closing = first.closing;
            const CompanyCheckResult second = check_input_data(in);
            QVERIFY(second.passed);
            QVERIFY(second.messages.isEmpty());
        }
    }
};

QTEST_GUILESS_MAIN(TestCompanyRules)
#include "tst_companyrules.moc"
