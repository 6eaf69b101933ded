// The company period and the month status on a copy of the shipped database:
// the month list and its labels, the month-status rebuild, the fiscal label,
// ResetCompanyData, the flag updates and the summation's choice of months,
// with the failures that must make the caller roll back.

#include <QtTest>
#include <memory>

#include "app/common/globals.h"
#include "ledger/monthstatus.h"
#include "ledger/period.h"
#include "platform/clock.h"
#include "platform/connection.h"
#include "platform/msgbox.h"
#include "support/testenv.h"

using platform::MsgIcon;
using platform::ScriptedMsgBox;

namespace {

const QString kCid = QStringLiteral("51");

QStringList column(const QString& sql, const QVariantList& params = {}) {
    QStringList out;
    const auto rows = gcnKaikei->query(sql, params);
    if (!rows) return {QStringLiteral("<query failed>")};
    for (const auto& r : *rows) {
        QStringList cells;
        for (int i = 0; i < r.size(); ++i) cells << r.text(i);
        out << cells.join(QLatin1Char('|'));
    }
    return out;
}

QStringList dayInput() {
    return column(QStringLiteral("SELECT INYM, OUTYM FROM T_DAY_INPUT WHERE CID = ? ORDER BY INYM"), {kCid});
}

QStringList tukisime() {
    return column(QStringLiteral("SELECT DATEYM, SYORIFLG, SYORIFLGH, SYORIDAY FROM T_TUKISIME WHERE CID = ? "
                                 "ORDER BY DATEYM"),
                  {kCid});
}

QStringList months(const QString& from, int count) {
    QStringList out;
    QDate d = QDate::fromString(from + QStringLiteral("/01"), QStringLiteral("yyyy/MM/dd"));
    for (int i = 0; i < count; ++i, d = d.addMonths(1)) out << d.toString(QStringLiteral("yyyy/MM"));
    return out;
}

void addCompany(const QString& cid, const QString& gkbn, int nendosu, const QString& kisyu,
                const QString& kimatu) {
    QVERIFY(
        gcnKaikei->exec(QStringLiteral("INSERT INTO T_COMP_MAIN (CID, COMPANY, KISYU, KIMATU, GKBN, NENDOSU) "
                                       "VALUES (?, ?, ?, ?, ?, ?)"),
                        {cid, QStringLiteral("テスト商店"), kisyu, kimatu, gkbn, nendosu}));
}

}  // namespace

class TestPeriod : public QObject {
    Q_OBJECT

private slots:
    void initTestCase() { testenv::isolate(); }

    void init() {
        db_ = testenv::ShippedDb::open();
        QVERIFY(db_);
        // Each test writes inside one transaction, as the engine's callers do.
        tx_.emplace(db_->connection());
        gstrCID = kCid;
        gstrNendo.clear();
        gstrCallForm.clear();
    }

    void cleanup() {
        tx_.reset();
        db_.reset();
    }

    // ---- month list

    void monthList_data() {
        QTest::addColumn<QString>("first");
        QTest::addColumn<QString>("last");
        QTest::addColumn<QStringList>("expected");
        QTest::newRow("April to March")
            << "2003/04"
            << "2004/03" << QStringList{"2003/04|2003年 4月", "2003/05|2003年 5月", "2003/06|2003年 6月",
                                        "2003/07|2003年 7月", "2003/08|2003年 8月", "2003/09|2003年 9月",
                                        "2003/10|2003年10月", "2003/11|2003年11月", "2003/12|2003年12月",
                                        "2004/01|2004年 1月", "2004/02|2004年 2月", "2004/03|2004年 3月"};
        QTest::newRow("shorter period")
            << "2009/10"
            << "2009/12" << QStringList{"2009/10|2009年10月", "2009/11|2009年11月", "2009/12|2009年12月"};
        QTest::newRow("first after last") << "2005/06"
                                          << "2005/01" << QStringList{"2005/06|2005年 6月"};
    }
    void monthList() {
        QFETCH(QString, first);
        QFETCH(QString, last);
        QFETCH(QStringList, expected);
        ScriptedMsgBox box;
        QVERIFY(SetDayInputData(first, last));
        QCOMPARE(dayInput(), expected);
        QCOMPARE(box.count(), 0);
    }

    void monthListStopsAfterTwelveMonths() {
        QVERIFY(SetDayInputData(QStringLiteral("2003/04"), QStringLiteral("2005/03")));
        const QStringList rows = dayInput();
        QCOMPARE(rows.size(), 12);
        QCOMPARE(rows.last(), QStringLiteral("2004/03|2004年 3月"));
    }

    // A list that already starts with the first month stays as it is, even
    // when its end differs; another company's list is never touched.
    void monthListKeptWhenFirstMonthMatches() {
        QVERIFY(SetDayInputData(QStringLiteral("2003/04"), QStringLiteral("2004/03")));
        gstrCID = QStringLiteral("52");
        QVERIFY(SetDayInputData(QStringLiteral("2010/01"), QStringLiteral("2010/12")));
        gstrCID = kCid;
        QVERIFY(SetDayInputData(QStringLiteral("2003/04"), QStringLiteral("2003/06")));
        QCOMPARE(dayInput().size(), 12);
        QVERIFY(SetDayInputData(QStringLiteral("2003/05"), QStringLiteral("2003/06")));
        QCOMPARE(dayInput(), (QStringList{"2003/05|2003年 5月", "2003/06|2003年 6月"}));
        QCOMPARE(column(QStringLiteral("SELECT count(*) FROM T_DAY_INPUT WHERE CID = '52'")),
                 QStringList{"12"});
    }

    // A failed row write must reach the caller, which rolls everything back.
    void monthListRowWriteFailureReturnsFalse() {
        QVERIFY(gcnKaikei->exec(QStringLiteral(
            "CREATE TEMP TRIGGER fail_month BEFORE INSERT ON T_DAY_INPUT WHEN NEW.INYM = '2003/07' "
            "BEGIN SELECT RAISE(ABORT, 'forced'); END")));
        ScriptedMsgBox box;
        QVERIFY(!SetDayInputData(QStringLiteral("2003/04"), QStringLiteral("2004/03")));
        QCOMPARE(box.count(), 1);
        QCOMPARE(
            box.last().text,
            QStringLiteral(
                "日付入力用マスタ( T_DAY_INPUT )のアクセス中にエラーが発生しました(WriteDayInputTable)。"));
        QCOMPARE(dayInput().size(), 3);  // no month after the failed one
    }

    void monthListRejectsAMonthThatIsNoDate() {
        ScriptedMsgBox box;
        QVERIFY(!SetDayInputData(QStringLiteral("2003/13"), QStringLiteral("2004/03")));
        QCOMPARE(box.count(), 1);
        QCOMPARE(box.last().title, gstrSoftName);
        QCOMPARE(box.last().icon, MsgIcon::Warning);
        QCOMPARE(box.last().text,
                 QStringLiteral("日付入力用データのアクセス中にエラーが発生した(SetDayInputData)。"));
    }

    // ---- month status

    void monthStatusRebuild() {
        platform::FixedClock clock(QDate(2009, 5, 20));
        QVERIFY(SetTukisimeData(QStringLiteral("2009/04"), QStringLiteral("2010/03")));
        QStringList expected{QStringLiteral("2009/00|0|0|2009/05/20")};
        for (const QString& m : months(QStringLiteral("2009/04"), 12))
            expected << m + QStringLiteral("|0|0|2009/05/20");
        QCOMPARE(tukisime(), expected);
        QCOMPARE(column(QStringLiteral("SELECT DATEYM FROM T_TUKISIMECHECK WHERE CID = ?"), {kCid}),
                 QStringList{"2009/00"});

        // A second call for the same period marks every month again.
        QVERIFY(UpdateTukiSimebi(QStringLiteral("Kanjo"), QStringLiteral("1"), QStringLiteral("2009/00"),
                                 QStringLiteral("2009/06")));
        QVERIFY(gcnKaikei->exec(QStringLiteral("UPDATE T_TUKISIMECHECK SET DATEYM = '2009/06' WHERE CID = ?"),
                                {kCid}));
        QVERIFY(SetTukisimeData(QStringLiteral("2009/04"), QStringLiteral("2010/03")));
        QCOMPARE(tukisime(), expected);
        QCOMPARE(column(QStringLiteral("SELECT DATEYM FROM T_TUKISIMECHECK WHERE CID = ?"), {kCid}),
                 QStringList{"2009/00"});
    }

    void monthStatusPeriodEdges_data() {
        QTest::addColumn<QString>("start");
        QTest::addColumn<QString>("end");
        QTest::addColumn<QStringList>("expected");
        QTest::newRow("longer than a year")
            << "2003/04"
            << "2005/03" << (QStringList{"2003/00"} + months(QStringLiteral("2003/04"), 12));
        QTest::newRow("end before start") << "2003/04"
                                          << "2003/01" << QStringList{"2003/00", "2003/04"};
        QTest::newRow("calendar year")
            << "2003/01"
            << "2003/12" << (QStringList{"2003/00"} + months(QStringLiteral("2003/01"), 12));
    }
    void monthStatusPeriodEdges() {
        QFETCH(QString, start);
        QFETCH(QString, end);
        QFETCH(QStringList, expected);
        QVERIFY(SetTukisimeData(start, end));
        QCOMPARE(
            column(QStringLiteral("SELECT DATEYM FROM T_TUKISIME WHERE CID = ? ORDER BY DATEYM"), {kCid}),
            expected);
    }

    void monthStatusRowWriteFailureReturnsFalse() {
        QVERIFY(gcnKaikei->exec(QStringLiteral(
            "CREATE TEMP TRIGGER fail_status BEFORE INSERT ON T_TUKISIME WHEN NEW.DATEYM = '2009/08' "
            "BEGIN SELECT RAISE(ABORT, 'forced'); END")));
        ScriptedMsgBox box;
        QVERIFY(!SetTukisimeData(QStringLiteral("2009/04"), QStringLiteral("2010/03")));
        QCOMPARE(box.count(), 1);
        QCOMPARE(box.last().text,
                 QStringLiteral(
                     "月次締データ( T_TUKISIME )のアクセス中にエラーが発生しました(WriteTukisimeTable)。"));
    }

    void monthStatusFailureMessage() {
        QVERIFY(gcnKaikei->exec(QStringLiteral("DROP TABLE T_TUKISIMECHECK")));
        ScriptedMsgBox box;
        QVERIFY(!SetTukisimeData(QStringLiteral("2009/04"), QStringLiteral("2010/03")));
        QCOMPARE(box.count(), 1);
        QCOMPARE(box.last().text,
                 QStringLiteral("月次締用データのアクセス中にエラーが発生した(SetTukisimeData)。"));
    }

    void flagUpdates_data() {
        QTest::addColumn<QString>("kind");
        QTest::addColumn<QString>("from");
        QTest::addColumn<QString>("to");
        QTest::addColumn<QString>("expectedFlags");  // SYORIFLG/SYORIFLGH of 2009/00, /04, /05, /06
        QTest::newRow("Kanjo sets the account flag") << "Kanjo"
                                                     << "2009/04"
                                                     << "2009/05"
                                                     << "00 10 10 00";
        QTest::newRow("lower case sets the sub-account flag") << "kanjo"
                                                              << "2009/04"
                                                              << "2009/05"
                                                              << "00 01 01 00";
        QTest::newRow("Hojo sets the sub-account flag") << "Hojo"
                                                        << "2009/00"
                                                        << "2009/04"
                                                        << "01 01 00 00";
        QTest::newRow("outside the period") << "Kanjo"
                                            << "2011/01"
                                            << "2011/03"
                                            << "00 00 00 00";
    }
    void flagUpdates() {
        QFETCH(QString, kind);
        QFETCH(QString, from);
        QFETCH(QString, to);
        QFETCH(QString, expectedFlags);
        QVERIFY(SetTukisimeData(QStringLiteral("2009/04"), QStringLiteral("2010/03")));
        platform::FixedClock clock(QDate(2009, 7, 1));
        ScriptedMsgBox box;
        QVERIFY(UpdateTukiSimebi(kind, QStringLiteral("1"), from, to));
        QCOMPARE(box.count(), 0);
        const QStringList flags =
            column(QStringLiteral("SELECT SYORIFLG || SYORIFLGH FROM T_TUKISIME WHERE CID = ? "
                                  "AND DATEYM <= '2009/06' ORDER BY DATEYM"),
                   {kCid});
        QCOMPARE(flags.join(QLatin1Char(' ')), expectedFlags);
        const QStringList stamped =
            column(QStringLiteral("SELECT DATEYM FROM T_TUKISIME WHERE CID = ? AND SYORIDAY = '2009/07/01' "
                                  "ORDER BY DATEYM"),
                   {kCid});
        QCOMPARE(stamped.isEmpty(), expectedFlags == QStringLiteral("00 00 00 00"));
    }

    // ---- the summation's choice of months

    // After a rebuild and a summation for 2009/06 with nothing changed since.
    void monthsToSum_data() {
        QTest::addColumn<QString>("target");
        QTest::addColumn<bool>("subLedger");
        QTest::addColumn<int>("result");
        QTest::addColumn<QStringList>("list");
        QTest::newRow("last target") << "2009/06" << false << 0 << QStringList{};
        QTest::newRow("earlier target")
            << "2009/05" << false << 1 << QStringList{"2009/00", "2009/04", "2009/05"};
        QTest::newRow("later target") << "2009/07" << false << 1 << QStringList{"2009/07"};
        QTest::newRow("sub-account ledger") << "2009/06" << true << 0 << QStringList{"未処理"};
    }
    void monthsToSum() {
        QFETCH(QString, target);
        QFETCH(bool, subLedger);
        QFETCH(int, result);
        QFETCH(QStringList, list);
        QVERIFY(SetTukisimeData(QStringLiteral("2009/04"), QStringLiteral("2010/03")));
        QVERIFY(UpdateTukiSimebi(QStringLiteral("Kanjo"), QStringLiteral("1"), QStringLiteral("2009/00"),
                                 QStringLiteral("2009/06")));
        QVERIFY(gcnKaikei->exec(QStringLiteral("UPDATE T_TUKISIMECHECK SET DATEYM = '2009/06' WHERE CID = ?"),
                                {kCid}));

        QStringList got(13, QStringLiteral("old"));
        QCOMPARE(msum_check_tukisime(target, got, subLedger), result);
        QCOMPARE(got.size(), 13);
        for (int i = 0; i < 13; ++i) QCOMPARE(got[i], i < list.size() ? list[i] : QStringLiteral("old"));
    }

    // Without a record of the last target, every month up to T at every call.
    void monthsToSumWithoutLastTarget() {
        QVERIFY(SetTukisimeData(QStringLiteral("2009/04"), QStringLiteral("2010/03")));
        QVERIFY(UpdateTukiSimebi(QStringLiteral("Kanjo"), QStringLiteral("1"), QStringLiteral("2009/00"),
                                 QStringLiteral("2010/03")));
        QVERIFY(gcnKaikei->exec(QStringLiteral("DELETE FROM T_TUKISIMECHECK WHERE CID = ?"), {kCid}));
        QStringList got;
        QCOMPARE(msum_check_tukisime(QStringLiteral("2009/05"), got, false), 1);
        QCOMPARE(got.mid(0, 4), (QStringList{"2009/00", "2009/04", "2009/05", ""}));
    }

    void monthsToSumMoreThanThirteenIsAFailure() {
        QVERIFY(SetTukisimeData(QStringLiteral("2009/04"), QStringLiteral("2010/03")));
        QVERIFY(gcnKaikei->exec(QStringLiteral("INSERT INTO T_TUKISIME VALUES (?, '2008/12', '0', '0', '')"),
                                {kCid}));
        ScriptedMsgBox box;
        QStringList got;
        QCOMPARE(msum_check_tukisime(QStringLiteral("2010/03"), got, false), -1);
        QCOMPARE(box.count(), 1);
        QCOMPARE(box.last().text,
                 QStringLiteral("T_TUKISIMEテーブルのアクセス中にエラーが発生した(msum_check_tukisime)。"));
    }

    // ---- fiscal label and the company period

    void fiscalLabel_data() {
        QTest::addColumn<QString>("gkbn");
        QTest::addColumn<int>("nendosu");
        QTest::addColumn<QString>("kisyu");
        QTest::addColumn<QString>("label");
        QTest::newRow("corporation") << "1" << 12 << "2003/04/01"
                                     << "第 12 期";
        QTest::newRow("corporation, first period") << "1" << 1 << "2003/04/01"
                                                   << "第 1 期";
        QTest::newRow("individual 2003/04") << "0" << 12 << "2003/04/01"
                                            << "平成15年度";
        QTest::newRow("individual 2003/01") << "0" << 1 << "2003/01/01"
                                            << "平成15年度";
        QTest::newRow("individual 2025") << "0" << 1 << "2025/01/01"
                                         << "令和07年度";
        QTest::newRow("last day of Heisei") << "0" << 1 << "2019/04/30"
                                            << "平成31年度";
        QTest::newRow("first day of Reiwa") << "0" << 1 << "2019/05/01"
                                            << "令和01年度";
    }
    void fiscalLabel() {
        QFETCH(QString, gkbn);
        QFETCH(int, nendosu);
        QFETCH(QString, kisyu);
        QFETCH(QString, label);
        QCOMPARE(NendoLabel(gkbn, nendosu, kisyu), label);
    }

    // The one read of the fiscal period: what the row holds, its months and
    // label, and one validity test; no row and an unreadable table apart.
    void currentPeriod_data() {
        QTest::addColumn<QString>("gkbn");
        QTest::addColumn<QString>("kisyu");
        QTest::addColumn<QString>("kimatu");
        QTest::addColumn<bool>("valid");
        QTest::addColumn<QString>("months");  // "firstYM closeYM openingYM"
        QTest::addColumn<QString>("label");
        QTest::newRow("individual") << "0"
                                    << "2003/04/01"
                                    << "2004/03/31" << true << "2003/04 2004/03 2003/00"
                                    << "平成15年度";
        QTest::newRow("corporation") << "1"
                                     << "2010/10/01"
                                     << "2011/09/30" << true << "2010/10 2011/09 2010/00"
                                     << "第 12 期";
        QTest::newRow("one day") << "1"
                                 << "2010/10/01"
                                 << "2010/10/01" << true << "2010/10 2010/10 2010/00"
                                 << "第 12 期";
        QTest::newRow("end before start") << "1"
                                          << "2010/10/01"
                                          << "2010/09/30" << false << "2010/10 2010/09 2010/00"
                                          << "第 12 期";
        QTest::newRow("no calendar day") << "1"
                                         << "2003/02/30"
                                         << "2004/01/31" << false << "2003/02 2004/01 2003/00"
                                         << "第 12 期";
        QTest::newRow("month only") << "1"
                                    << "2003/04"
                                    << "2004/03/31" << false << "2003/04 2004/03 2003/00"
                                    << "第 12 期";
    }
    void currentPeriod() {
        QFETCH(QString, gkbn);
        QFETCH(QString, kisyu);
        QFETCH(QString, kimatu);
        QFETCH(bool, valid);
        QFETCH(QString, months);
        QFETCH(QString, label);
        addCompany(kCid, gkbn, 12, kisyu, kimatu);
        QVERIFY(gcnKaikei->exec(QStringLiteral("DELETE FROM WK_COMPANY")));
        QVERIFY(gcnKaikei->exec(
            QStringLiteral("INSERT INTO WK_COMPANY SELECT * FROM T_COMP_MAIN WHERE CID = ?"), {kCid}));
        const PeriodRead read = CurrentPeriod();
        QVERIFY(read.ok);
        QVERIFY(read.period);
        QCOMPARE(read.period->cid, kCid);
        QCOMPARE(read.period->kisyu, kisyu);
        QCOMPARE(read.period->kimatu, kimatu);
        QCOMPARE(read.period->valid(), valid);
        QCOMPARE(read.validPeriod() != nullptr, valid);
        QCOMPARE(QStringList({read.period->firstYM(), read.period->closeYM(), read.period->openingYM()})
                     .join(QLatin1Char(' ')),
                 months);
        QCOMPARE(read.period->label(), label);
        QCOMPARE(CurrentNendoLabel().value_or(QStringLiteral("(no row)")), label);
    }

    // Without a row the table was read and holds no period; without a readable
    // table (here: no connection) nothing was read.
    void currentPeriodMissing() {
        QVERIFY(gcnKaikei->exec(QStringLiteral("DELETE FROM WK_COMPANY")));
        const PeriodRead empty = CurrentPeriod();
        QVERIFY(empty.ok);
        QVERIFY(!empty.period);
        QVERIFY(!empty.validPeriod());
        QVERIFY(!CurrentNendoLabel());

        platform::Connection* const cn = gcnKaikei;
        gcnKaikei = nullptr;
        const PeriodRead unread = CurrentPeriod();
        gcnKaikei = cn;
        QVERIFY(!unread.ok);
        QVERIFY(!unread.period);
        QVERIFY(!unread.validPeriod());
    }

    void resetCompanyData() {
        platform::FixedClock clock(QDate(2003, 4, 2));
        addCompany(kCid, QStringLiteral("0"), 3, QStringLiteral("2003/04/01"), QStringLiteral("2004/03/31"));
        ScriptedMsgBox box;
        QVERIFY(ResetCompanyData(gstrCID));
        QCOMPARE(box.count(), 0);
        QCOMPARE(column(QStringLiteral("SELECT CID, COMPANY, KISYU FROM WK_COMPANY")),
                 QStringList{"51|テスト商店|2003/04/01"});
        QCOMPARE(CurrentNendoLabel().value_or(QStringLiteral("(no row)")), QStringLiteral("平成15年度"));
        QCOMPARE(dayInput().size(), 12);
        QCOMPARE(dayInput().first(), QStringLiteral("2003/04|2003年 4月"));
        QCOMPARE(tukisime().size(), 13);
        QCOMPARE(tukisime().first(), QStringLiteral("2003/00|0|0|2003/04/02"));
    }

    // An id without a company row empties WK_COMPANY and changes nothing else.
    void resetCompanyDataWithoutCompanyRow() {
        gstrCID = QStringLiteral("01");
        QVERIFY(ResetCompanyData(gstrCID));
        const QStringList monthsBefore =
            column(QStringLiteral("SELECT * FROM T_DAY_INPUT ORDER BY CID, INYM"));
        gstrCID = QStringLiteral("77");
        gstrNendo = QStringLiteral("平成12年度");
        ScriptedMsgBox box;
        QVERIFY(ResetCompanyData(gstrCID));
        QCOMPARE(box.count(), 0);
        QCOMPARE(column(QStringLiteral("SELECT count(*) FROM WK_COMPANY")), QStringList{"0"});
        QCOMPARE(gstrNendo, QStringLiteral("平成12年度"));
        QVERIFY(!CurrentNendoLabel());
        QCOMPARE(column(QStringLiteral("SELECT * FROM T_DAY_INPUT ORDER BY CID, INYM")), monthsBefore);
    }

    void resetCompanyDataPassesFailuresOn() {
        addCompany(kCid, QStringLiteral("1"), 5, QStringLiteral("2003/04/01"), QStringLiteral("2004/03/31"));
        QVERIFY(
            gcnKaikei->exec(QStringLiteral("CREATE TEMP TRIGGER fail_status BEFORE INSERT ON T_TUKISIME "
                                           "BEGIN SELECT RAISE(ABORT, 'forced'); END")));
        ScriptedMsgBox box;
        QVERIFY(!ResetCompanyData(gstrCID));
        QCOMPARE(box.count(), 1);
        QVERIFY(box.last().text.contains(QStringLiteral("WriteTukisimeTable")));

        QVERIFY(gcnKaikei->exec(QStringLiteral("DROP TABLE WK_COMPANY")));
        box.clear();
        QVERIFY(!ResetCompanyData(gstrCID));
        QCOMPARE(box.count(), 1);
        QCOMPARE(box.last().text,
                 QStringLiteral("データアクセス中にエラーが発生しました(ResetCompanyData)。"));
    }

private:
    std::unique_ptr<testenv::ShippedDb> db_;
    std::optional<platform::Transaction> tx_;
};

QTEST_GUILESS_MAIN(TestPeriod)
#include "tst_period.moc"
