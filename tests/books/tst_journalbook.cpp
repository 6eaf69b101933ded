// The journal book without widgets: its voucher list, range check, work rows
// and header, and the report read back from a PDF. (Its screen:
// tst_journalbookscreen.)

#include <QRegularExpression>
#include <QTemporaryDir>
#include <QtTest>
#include <memory>

#include "journalfixture.h"
#include "ledger/journalbook.h"
#include "platform/msgbox.h"
#include "reports/prepareengine.h"
#include "reports/r_siwake_nikki.h"
#include "reports/reportregistry.h"
#include "statements/statementfixture.h"

using namespace journalfixture;
using platform::ScriptedMsgBox;

Q_DECLARE_METATYPE(JournalRange)

class TestJournalBook : public QObject {
    Q_OBJECT

    std::unique_ptr<fixture::Company> co_;
    FakeCompanyList companies_;

    QStringList workRows() {
        const auto rows = co_->cn().query(QStringLiteral(
            "SELECT CID, SIDAY, DENNO, DENMENO, KRKMCODE, KRHOCODE, KRKMNAME, KRHONAME, KRKIN,"
            " KSKMCODE, KSHOCODE, KSKMNAME, KSHONAME, KSKIN, TEKIYO FROM T_SIALL_OUT ORDER BY rowid"));
        QStringList out;
        for (const auto& r : rows.value_or(platform::Rows())) {
            QStringList v;
            for (int i = 0; i < r.size(); ++i)
                v << (i == 8 || i == 13 ? QString::number(r.currency(i).yen()) : r.text(i));
            out << v.join(QLatin1Char('|'));
        }
        return out;
    }

private slots:
    void initTestCase() {
        testenv::isolate();
        PrepareEngine();
        SetTheCompanyList(&companies_);
    }

    void init() {
        co_ = std::make_unique<fixture::Company>();
        QVERIFY(co_->open());
        QVERIFY(addSample(co_->cn()));
    }

    void cleanup() { co_.reset(); }

    void theListEndsWithTheClosingDay() {
        const auto list = ListJournalVouchers();
        QVERIFY(list);
        QStringList shown;
        for (const JournalVoucher& v : *list) shown << QStringLiteral("%1=%2").arg(v.denday).arg(v.denno);
        QCOMPARE(shown, (QStringList{"2010/04/01=1", "2010/04/02=2", "2010/11/15=12"}));
        QCOMPARE(JournalRangeOf((*list)[0], (*list)[2]).toVoucher, QStringLiteral("00012"));
    }
    // Voucher numbers lose their blanks and leading zeros ("0" when nothing
    // else is left); a date not written as yyyy/mm/dd prints empty.
    void printedNumbersAndDates_data() {
        QTest::addColumn<QString>("denno");
        QTest::addColumn<QString>("siday");
        QTest::addColumn<QString>("printed");
        QTest::newRow("plain") << "00001" << "2010/04/01" << "1|10.04.01";
        QTest::newRow("all zeros") << "00000" << "2010/04/01" << "0|10.04.01";
        QTest::newRow("blank after the number") << "00010 " << "2010/04/01" << "10|10.04.01";
        QTest::newRow("date without leading zeros") << "00001" << "2010/4/1" << "1|";
        QTest::newRow("date with dashes") << "00001" << "2010-04-01" << "1|";
    }
    void printedNumbersAndDates() {
        QFETCH(QString, denno);
        QFETCH(QString, siday);
        QFETCH(QString, printed);
        QVERIFY(co_->cn().exec(QStringLiteral("UPDATE T_SIWAKE SET DENNO = ? WHERE DENCODE = '00001'"), {denno}));
        QVERIFY(co_->cn().exec(
            QStringLiteral("UPDATE T_SI_MEISAI SET SIDAY = ? WHERE DENCODE = '00001' AND DENMENO = '001'"), {siday}));
        ScriptedMsgBox box;
        QVERIFY(BuildSiwakeNikki(range("00000", "00012", "2010/04/01", "2010/11/15")));
        QCOMPARE(box.count(), 0);
        const auto row = co_->cn().queryOne(QStringLiteral("SELECT DENNO || '|' || SIDAY FROM T_SIALL_OUT ORDER BY rowid"));
        QVERIFY(row && row->size() == 1);
        QCOMPARE(row->text(0), printed);
    }

    // One work row per journal line: names resolved per side, each sub-account
    // from its own account, a side "000" empty, an unknown account by its code.
    void theWorkRowsOfARange() {
        ScriptedMsgBox box;
        QVERIFY(BuildSiwakeNikki(range("00001", "00012", "2010/04/01", "2010/11/15")));
        QCOMPARE(box.count(), 0);
        QCOMPARE(workRows(),
                 (QStringList{
                     "51|10.04.01|1|001|121|B1|普通預金|みずほ銀行東京中央支店普通口座|10000|511||売上高||10000|"
                     "売上代金の振込東京中央支店普通口座入金分",
                     "51|10.04.01|1|002|166|T1|売掛金・未収入金・立替金等|甲商店|5000|511||売上高||5000|掛売上",
                     "51|10.04.01|1|003|101||現金||3000|511||売上高||3000|",
                     "51|10.11.15|12|001|||||0|511||売上高||7000|",
                     "51|10.11.15|12|002|9ZZ||科目なし||800|101||現金||800|",
                     "51|10.11.15|12|003|726||租税公課||2500|||||0|",
                 }));
        QCOMPARE(header(co_->cn()), (QStringList{"", "", "", "", "", "2010/04/01", "2010/11/15", "1", "12"}));

        // A second build replaces both tables.
        QVERIFY(BuildSiwakeNikki(range("00012", "00012", "2010/11/15", "2010/11/15")));
        QCOMPARE(workRows().size(), 3);
        QCOMPARE(header(co_->cn()).mid(5), (QStringList{"2010/11/15", "2010/11/15", "12", "12"}));
    }
    // Values stored with blanks (files of older versions) print without them:
    // chart and sub-account numbers and names, a line's sub-account code (a
    // blank one names none, even where a sub-account has an empty code), its
    // own columns. A sub-account whose stored code is padded is never found;
    // a padded account code is no account of the chart. A line dated apart
    // from its voucher prints its own date.
    void paddedValuesPrintTrimmed() {
        auto& cn = co_->cn();
        for (const char* sql : {
                 "UPDATE T_KANJO SET KMCODE = ' 121 ', KANNAME = '  普通預金 ' WHERE KOCODE = '012'",
                 "UPDATE T_KANJO SET KMCODE = NULL, KANNAME = NULL WHERE KOCODE = '286'",
                 "UPDATE T_HOJOKAMOKU SET HOCODE = 'B1  ', HONAME = ' みずほ ' WHERE KANKOCODE = '012'",
                 "INSERT INTO T_HOJOKAMOKU VALUES ('51', '004', '02 ', 'P2', '鍵に空白', 0),"
                 " ('51', '180', '', 'E0', '空の鍵', 0), ('51', '180', '03', ' E3', '  ', 0)",
                 "UPDATE T_SI_MEISAI SET KRHOKOCODE = ' 01 ', TEKIYO = ' 掛売上  ', SISYU = ' 1',"
                 " KRBUKBN = '00 ', KRTKBN = ' 5', KRTKOCODE = ' 000 ', KSBUKBN = '  ', KSTKBN = NULL"
                 " WHERE DENCODE = '00001' AND DENMENO = '002'",
                 "UPDATE T_SI_MEISAI SET KRHOKOCODE = '02', KSHOKOCODE = '   ' WHERE DENCODE = '00001' AND DENMENO = '003'",
                 "UPDATE T_SI_MEISAI SET KSHOKOCODE = '03 ', SIDAY = NULL WHERE DENCODE = '00012' AND DENMENO = '001'",
                 "UPDATE T_SI_MEISAI SET KRKOCODE = '004 ', KSHOKOCODE = '02 ', SIDAY = '2010/11/16'"
                 " WHERE DENCODE = '00012' AND DENMENO = '002'",
                 "UPDATE T_SI_MEISAI SET KSKOCODE = '000 ' WHERE DENCODE = '00012' AND DENMENO = '003'",
             })
            QVERIFY2(cn.exec(QString::fromUtf8(sql)), sql);
        QVERIFY(BuildSiwakeNikki(range("00001", "00012", "2010/04/01", "2010/11/15")));
        QCOMPARE(workRows(),
                 (QStringList{
                     "51|10.04.01|1|001|121|B1|普通預金|みずほ|10000|511||売上高||10000|"
                     "売上代金の振込東京中央支店普通口座入金分",
                     "51|10.04.01|1|002|166|T1|売掛金・未収入金・立替金等|甲商店|5000|511||売上高||5000|掛売上",
                     "51|10.04.01|1|003|101||現金||3000|511||売上高||3000|",
                     "51||12|001|||||0|511|E3|売上高||7000|",
                     "51|10.11.16|12|002|004||科目なし||800|101||現金||800|",
                     "51|10.11.15|12|003|||||2500|000||科目なし||0|",
                 }));
        const auto own = cn.query(QStringLiteral(
            "SELECT SISYU || '|' || KRBUKBN || '|' || KRTKBN || '|' || KRTKOCODE || '|' || KSBUKBN || '|'"
            " || KSTKBN FROM T_SIALL_OUT WHERE DENMENO = '002' ORDER BY rowid"));
        QVERIFY(own && own->size() == 2);
        QCOMPARE(own->at(0).text(0), QStringLiteral("1|00|5|000||"));
    }
    // A build that fails leaves the tables of the previous build.
    void aFailedBuildKeepsThePreviousOne() {
        QVERIFY(BuildSiwakeNikki(range("00001", "00012", "2010/04/01", "2010/11/15")));
        QVERIFY(co_->cn().exec(QStringLiteral("DROP TABLE T_PRINTKOMOKU")));
        ScriptedMsgBox box;
        QVERIFY(!BuildSiwakeNikki(range("00012", "00012", "2010/11/15", "2010/11/15")));
        QVERIFY(box.count() >= 1);
        QCOMPARE(workRows().size(), 6);
    }
    void theRangeCheck_data() {
        QTest::addColumn<JournalRange>("range");
        QTest::addColumn<QString>("message");
        const QString wrong =
            QStringLiteral("伝票番号か伝票日付の指定が間違っています。\r\nもう一度選択しなおしてください。");
        QTest::newRow("whole") << range("00001", "00012", "2010/04/01", "2010/11/15") << QString();
        QTest::newRow("one voucher") << range("00012", "00012", "2010/11/15", "2010/11/15") << QString();
        QTest::newRow("dates reversed") << range("00001", "00012", "2010/11/15", "2010/04/01") << wrong;
        QTest::newRow("vouchers reversed") << range("00012", "00001", "2010/04/01", "2010/11/15") << wrong;
        QTest::newRow("no line") << range("00002", "00002", "2010/04/02", "2010/04/02")
                                 << QStringLiteral("該当データがありません。");
        QTest::newRow("after the closing day")
            << range("00013", "00013", "2011/04/10", "2011/04/10") << QString();
    }
    void theRangeCheck() {
        QFETCH(JournalRange, range);
        QFETCH(QString, message);
        ScriptedMsgBox box;
        QCOMPARE(CheckJournalRange(range), message.isEmpty());
        QCOMPARE(box.count(), message.isEmpty() ? 0 : 1);
        if (!message.isEmpty()) {
            QCOMPARE(box.last().text, message);
            QCOMPARE(box.last().icon, platform::MsgIcon::Warning);
        }
    }
    // The printed journal book: names and amounts of the sample; a side without
    // an account prints nothing, not even an amount.
    void theReportReadBack() {
        QVERIFY(BuildSiwakeNikki(range("00001", "00012", "2010/04/01", "2010/11/15")));
        QTemporaryDir dir;
        const QString pdf = dir.filePath(QStringLiteral("siwake.pdf"));
        QVERIFY(WriteReportPdf(QStringLiteral("R_SIWAKE_NIKKI"), pdf));
        const QString text = fixture::pdfText(pdf);
        for (const char* piece : {"仕訳日記帳", "テスト商事株式会社", "(みずほ銀行東京中央支店普通口座)", "(甲商店)",
                                  "売上代金の振込東京中央支店普通口座入金分", "売掛金・未収入金・立替金等", "科目なし"})
            QVERIFY2(text.contains(QString::fromUtf8(piece)), piece);
        QCOMPARE(fixture::linesWith(text, {"2010/04/01", "2010/11/15"}).size(), 1);
        QVERIFY(text.contains(QRegularExpression(QStringLiteral("伝票番号\\s+1\\s+\\S\\s+12"))));
        const auto only = [&](const QString& pattern) {
            const QRegularExpression re(pattern, QRegularExpression::MultilineOption);
            return text.contains(re);
        };
        QVERIFY2(only(QStringLiteral("^\\s*001\\s+511\\s+売上高\\s+7,000\\s*$")), qPrintable(text));
        QVERIFY2(only(QStringLiteral("^\\s*003\\s+726\\s+租税公課\\s+2,500\\s*$")), qPrintable(text));
        // Voucher totals and the grand total of both sides.
        QVERIFY(only(QStringLiteral("伝票計\\s+18,000\\s+18,000")));
        QVERIFY(only(QStringLiteral("合計\\s+21,300\\s+25,800")));
    }
    // A journal longer than the report reads at a time: every line once and in
    // order, each voucher's heading once, a sub-account row under its line.
    void aLongJournalReadInOrder() {
        QVERIFY(BuildSiwakeNikki(range("00001", "00012", "2010/04/01", "2010/11/15")));
        constexpr int kLines = 1300;
        QVERIFY(co_->cn().exec(QStringLiteral("DELETE FROM T_SIALL_OUT")));
        QVERIFY(co_->cn().exec(
            QStringLiteral(
                "WITH RECURSIVE n(i) AS (SELECT 0 UNION ALL SELECT i + 1 FROM n WHERE i + 1 < ?)"
                " INSERT INTO T_SIALL_OUT (CID, SIDAY, DENNO, DENMENO, KRKMCODE, KRHOCODE, KRKMNAME, KRHONAME,"
                " KRKIN, KSKMCODE, KSHOCODE, KSKMNAME, KSHONAME, KSKIN, TEKIYO)"
                " SELECT '01', '10.04.01', CAST(i / 3 + 1 AS TEXT), printf('%03d', i % 3 + 1), '111', '', '現金',"
                " '', (i + 1) * 10000, '511', CASE WHEN i % 7 = 0 THEN '2' ELSE '' END, '売上高',"
                " CASE WHEN i % 7 = 0 THEN '甲' || i ELSE '' END, (i + 1) * 10000, 'T' || i FROM n"),
            {kLines}));
        // The texts are read from a copy that outlives the built document,
        // as a preview window's does.
        auto built = std::make_unique<platform::report::Document>();
        QVERIFY(reports::BuildSiwakeNikkiReport(co_->cn(), *built));
        const platform::report::Document doc = *built;
        built.reset();
        QCOMPARE(int(doc.table.groups.size()), (kLines + 2) / 3);
        int line = 0, subRows = 0;
        for (size_t g = 0; g < doc.table.groups.size(); ++g) {
            const platform::report::Group& group = doc.table.groups[g];
            QCOMPARE(group.heading, QStringLiteral("10.04.01　伝票番号 %1").arg(g + 1));
            for (const platform::report::Row& r : group.rows) {
                if (r.cells[0].isBlank()) {
                    QCOMPARE(r.cells[5].text(), QStringLiteral("(甲%1)").arg(line - 1));
                    ++subRows;
                    continue;
                }
                QCOMPARE(r.cells[0].text(), QStringLiteral("%1").arg(line % 3 + 1, 3, 10, QLatin1Char('0')));
                QCOMPARE(r.cells[3].amount().yen(), line + 1);
                QCOMPARE(r.cells[7].text(), QStringLiteral("T%1").arg(line));
                ++line;
            }
        }
        QCOMPARE(line, kLines);
        QCOMPARE(subRows, (kLines + 6) / 7);
    }};

QTEST_MAIN(TestJournalBook)
#include "tst_journalbook.moc"
