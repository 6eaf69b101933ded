// The general and subsidiary ledger builds: their balances against balances
// worked out independently from a generated year, and the columns, order and
// failure behaviour of their work tables on small fixtures; the ledger
// reports' reading of the work tables into report rows.

#include <QtTest>

#include "ledger/ledgerbooks.h"
#include "ledgerfixture.h"
#include "ledgeroracle.h"
#include "platform/msgbox.h"
#include "reports/r_ledgers.h"

using namespace ledgerfixture;

class TestLedgerBuilds : public QObject {
    Q_OBJECT

    std::unique_ptr<Company> co_;

    platform::Connection& cn() { return co_->cn(); }
    qint64 count(const QString& sql, const platform::Params& p = {}) { return co_->count(sql, p); }

    // One journal line on the voucher of its day (made when missing).
    bool post(const QString& day, const QString& voucher, const QString& lineNo, const QString& drKm,
              const QString& drSub, const QString& crKm, const QString& crSub, qint64 amount) {
        if (!cn().exec(QStringLiteral("INSERT OR IGNORE INTO T_SIWAKE VALUES ('51', ?, ?, ?, ?, '1', 0, 0, 0)"),
                       {voucher, voucher, day, day}))
            return false;
        JLine l;
        l.day = day;
        l.voucher = voucher;
        l.lineNo = lineNo;
        l.dr = co_->ko(drKm);
        l.drSub = drSub;
        l.cr = co_->ko(crKm);
        l.crSub = crSub;
        l.amount = amount;
        Year year(*co_);
        return year.insert(l) && UpdateTukiSimebi(QStringLiteral("Kanjo"), QStringLiteral("0"),
                                                  QStringLiteral("2010/00"), QStringLiteral("2011/03"));
    }

    bool sub(const QString& km, const QString& hoko, const QString& code, const QString& name, qint64 opening) {
        return cn().exec(QStringLiteral("INSERT INTO T_HOJOKAMOKU VALUES ('51', ?, ?, ?, ?, ?)"),
                         {co_->ko(km), hoko, code, name, yen(opening)});
    }

    // A report's table as lines: "# heading" per group, then each row's cells
    // joined by "|", amounts as their count of 1/10,000 yen.
    static QStringList rendered(const platform::report::Document& doc) {
        QStringList out;
        for (const auto& g : doc.table.groups) {
            out << QStringLiteral("# ") + g.heading;
            for (const auto& row : g.rows) {
                QStringList cells;
                for (const auto& c : row.cells)
                    cells << (c.isAmount() ? QString::number(c.amount().raw()) : c.text());
                out << cells.join(QLatin1Char('|'));
            }
        }
        return out;
    }

    QStringList column(const QString& sql, const platform::Params& params = {}) {
        QStringList out;
        const auto rows = cn().query(sql, params);
        if (rows)
            for (const auto& r : *rows) out << r.text(0);
        return out;
    }

private slots:
    void initTestCase() { testenv::isolate(); }

    void init() {
        co_ = std::make_unique<Company>();
        QVERIFY(co_->open());
    }

    void cleanup() { co_.reset(); }

    // Every account's rows start at its balance brought forward and run to
    // the balance worked out from the opening balances and the lines: for a
    // range from the first month, from a middle month, and from a month
    // without any line (December) or in which an account has no totals (725,
    // 313 move in two months and one).
    void generalLedgerOracle_data() {
        QTest::addColumn<QString>("fromYM");
        QTest::addColumn<QString>("toYM");
        QTest::newRow("whole year") << "2010/04" << "2011/03";
        QTest::newRow("from a middle month") << "2010/09" << "2011/03";
        QTest::newRow("from the empty month") << "2010/12" << "2011/02";
        QTest::newRow("one month") << "2010/06" << "2010/06";
    }
    void generalLedgerOracle() {
        QFETCH(QString, fromYM);
        QFETCH(QString, toYM);
        Year year(*co_);
        QVERIFY(year.generate());
        platform::ScriptedMsgBox box;
        QVERIFY(PrintSokanjo(range(fromYM, toYM)));
        QCOMPARE(box.count(), 0);

        for (const char* km : {"101", "121", "166", "171", "312", "313", "511", "550", "712", "725", "747"}) {
            const QString ko = co_->ko(QString::fromLatin1(km));
            const auto e = year.expected(ko, QString(), fromYM, toYM);
            const bool listed = e.broughtForward != 0 || !e.running.isEmpty();
            QCOMPARE(zans(cn(), QStringLiteral("T_SKANMT_OUT"), QStringLiteral("KANKOCODE = ?"), {ko}),
                     listed ? expectedZans(e, true) : QString());
        }
        // Nothing else has lines; the lines are in date order per account.
        QCOMPARE(count(QStringLiteral("SELECT COUNT(*) FROM T_SKANMT_OUT WHERE DENNO <> '0'")),
                 count(QStringLiteral("SELECT 2 * COUNT(*) FROM T_SI_MEISAI WHERE CID = '51' AND DATEYM"
                                      " BETWEEN ? AND ?"),
                       {fromYM, toYM}));
        QCOMPARE(count(QStringLiteral(
                     "SELECT COUNT(*) FROM T_SKANMT_OUT A JOIN T_SKANMT_OUT B ON B.rowid = A.rowid + 1"
                     " AND B.KANKOCODE = A.KANKOCODE AND A.DENNO <> '0' WHERE B.SIDAY < A.SIDAY")),
                 qint64(0));
    }

    // Both builds against their plain-SQL versions (ledgeroracle.h): every
    // column, and the rows in the order the books read them (the general
    // ledger by account number, the subsidiary ledger as written), over
    // ranges of months and of account numbers. The whole year is read in one
    // pass over the journal, a single month through the month index; the
    // narrow account ranges leave out sub-accounts' own accounts and the
    // other sides of transfers. Account numbers with blanks around them are
    // ordered as trimmed: one shares its number with another account, one
    // with a leading blank comes in only where the range starts at a blank.
    // The general ledger's report reads its rows as written: that sequence
    // is the one ordered by the stored account number.
    void buildsMatchPlainSql_data() {
        QTest::addColumn<QString>("fromYM");
        QTest::addColumn<QString>("toYM");
        QTest::addColumn<QString>("fromKm");
        QTest::addColumn<QString>("toKm");
        QTest::newRow("whole year") << "2010/04" << "2011/03" << "100" << "999";
        QTest::newRow("from a middle month") << "2010/09" << "2011/03" << "100" << "999";
        QTest::newRow("one month") << "2010/06" << "2010/06" << "100" << "999";
        QTest::newRow("the empty month") << "2010/12" << "2010/12" << "100" << "999";
        QTest::newRow("accounts 150-599") << "2010/04" << "2011/03" << "150" << "599";
        QTest::newRow("accounts 100-130") << "2010/07" << "2011/01" << "100" << "130";
        QTest::newRow("from a blank") << "2010/04" << "2011/03" << " " << "999";
    }
    void buildsMatchPlainSql() {
        QFETCH(QString, fromYM);
        QFETCH(QString, toYM);
        QFETCH(QString, fromKm);
        QFETCH(QString, toKm);
        Year year(*co_);
        QVERIFY(year.generate());
        // A sub-account whose account is gone still names its lines.
        QVERIFY(sub(QStringLiteral("171"), QStringLiteral("05"), QStringLiteral("Z9"), QStringLiteral("旧口座"), 0));
        QVERIFY(post("2010/07/20", "00900", "001", "101", "", "171", "05", 250));
        QVERIFY(cn().exec(QStringLiteral("UPDATE T_SI_MEISAI SET KRAICODE = '998' WHERE DENCODE = '00900'")));
        QVERIFY(cn().exec(QStringLiteral("UPDATE T_HOJOKAMOKU SET KANKOCODE = '998' WHERE HOCODE = 'Z9'")));
        QVERIFY(cn().exec(QStringLiteral("UPDATE T_KANJO SET KMCODE = '121 ' WHERE KOCODE = ?"),
                          {co_->ko(QStringLiteral("747"))}));
        QVERIFY(cn().exec(QStringLiteral("UPDATE T_KANJO SET KMCODE = ' 72' WHERE KOCODE = ?"),
                          {co_->ko(QStringLiteral("712"))}));
        const LedgerRange r = range(fromYM, toYM, fromKm, toKm);
        platform::ScriptedMsgBox box;
        QVERIFY(PrintSokanjo(r) && PrintMotokanjo(r));
        QCOMPARE(box.count(), 0);
        const platform::Params params{QStringLiteral("51"), r.firstYM.left(4) + QStringLiteral("/00"), fromYM, toYM,
                                      fromKm, toKm};
        const QStringList general = column(
            QStringLiteral("SELECT quote(KANKOCODE) || '|' || quote(SIDAY) || '|' || quote(DENNO) || '|' ||"
                           " quote(DENMENO) || '|' || JUN || '|' || quote(KMCODE) || '|' || quote(KMNAME) || '|' ||"
                           " quote(AICODE) || '|' || quote(AIHOCODE) || '|' || quote(AINAME) || '|' ||"
                           " quote(AIHONAME) || '|' || quote(TEKIYO) || '|' || KRKIN || '|' || KSKIN || '|' || ZAN"
                           " FROM T_SKANMT_OUT ORDER BY rowid"));
        QVERIFY(!general.isEmpty());
        QCOMPARE(general, column(QString::fromUtf8(ledgeroracle::kGeneralLedger), params));
        QCOMPARE(column(QStringLiteral("SELECT rowid FROM T_SKANMT_OUT ORDER BY KMCODE, rowid")),
                 column(QStringLiteral("SELECT rowid FROM T_SKANMT_OUT ORDER BY rowid")));

        QVERIFY(cn().exec(QStringLiteral("CREATE TEMP TABLE ORACLE_SUB AS SELECT * FROM T_SKANSUBMT_OUT WHERE 0")));
        QVERIFY(cn().exec(QString::fromUtf8(ledgeroracle::kSubsidiarySelection) +
                              QString::fromUtf8(ledgeroracle::kSubsidiaryLedger),
                          params));
        const auto subsidiary = [&](const QString& table) {
            return column(QStringLiteral("SELECT quote(KANKOCODE) || '|' || quote(SIDAY) || '|' || quote(DENNO) || '|'"
                                         " || quote(DENMENO) || '|' || JUN || '|' || quote(KMCODE) || '|' ||"
                                         " quote(HOCODE) || '|' || quote(KMNAME) || '|' || quote(HONAME) || '|' ||"
                                         " quote(AICODE) || '|' || quote(AIHOCODE) || '|' || quote(AINAME) || '|' ||"
                                         " quote(AIHONAME) || '|' || quote(TEKIYO) || '|' || KRKIN || '|' || KSKIN"
                                         " || '|' || ZAN FROM %1 ORDER BY rowid")
                              .arg(table));
        };
        QVERIFY(!subsidiary(QStringLiteral("ORACLE_SUB")).isEmpty());
        QCOMPARE(subsidiary(QStringLiteral("T_SKANSUBMT_OUT")), subsidiary(QStringLiteral("ORACLE_SUB")));
    }

    // The same for every named sub-account, with the whole chart as range.
    void subsidiaryLedgerOracle_data() { generalLedgerOracle_data(); }
    void subsidiaryLedgerOracle() {
        QFETCH(QString, fromYM);
        QFETCH(QString, toYM);
        Year year(*co_);
        QVERIFY(year.generate());
        platform::ScriptedMsgBox box;
        QVERIFY(PrintSokanjo(range(fromYM, toYM), true));
        QVERIFY(PrintMotokanjo(range(fromYM, toYM)));
        QCOMPARE(box.count(), 0);
        for (const Sub& s : kSubs) {
            const QString code = QString::fromLatin1(s.code);
            const QString actual =
                zans(cn(), QStringLiteral("T_SKANSUBMT_OUT"), QStringLiteral("HOCODE = ?"), {code});
            if (QString::fromUtf8(s.name).isEmpty()) {
                QCOMPARE(actual, QString());
                continue;
            }
            const auto e = year.expected(co_->ko(QString::fromLatin1(s.km)), QString::fromLatin1(s.hoko), fromYM,
                                         toYM);
            const bool listed = e.broughtForward != 0 || !e.running.isEmpty();
            QCOMPARE(actual, listed ? expectedZans(e, true) : QString());
        }
    }

    // Two accounts that share an account number keep their own lines and
    // balances: postings are matched by the internal code.
    void sharedAccountNumber() {
        QVERIFY(cn().exec(QStringLiteral("UPDATE T_KANJO SET KISYUZAN = 1000 * 10000 WHERE KMCODE = '101'")));
        QVERIFY(post("2010/05/10", "00001", "001", "747", "", "101", "", 300));
        QVERIFY(post("2010/05/11", "00002", "001", "121", "", "101", "", 200));
        const QString rent = co_->ko(QStringLiteral("747"));
        QVERIFY(cn().exec(QStringLiteral("UPDATE T_KANJO SET KMCODE = '121' WHERE KOCODE = ?"), {rent}));
        platform::ScriptedMsgBox box;
        QVERIFY(PrintSokanjo(range(QStringLiteral("2010/04"), QStringLiteral("2011/03"))));
        QCOMPARE(zans(cn(), QStringLiteral("T_SKANMT_OUT"), QStringLiteral("KANKOCODE = ?"), {rent}),
                 QStringLiteral("bf:0 300"));
        QCOMPARE(zans(cn(), QStringLiteral("T_SKANMT_OUT"), QStringLiteral("KANKOCODE = ?"),
                      {co_->ko(QStringLiteral("121"))}),
                 QStringLiteral("bf:0 200"));
        QCOMPARE(zans(cn(), QStringLiteral("T_SKANMT_OUT"), QStringLiteral("KANKOCODE = ?"),
                      {co_->ko(QStringLiteral("101"))}),
                 QStringLiteral("bf:1000 700 500"));
        // Accounts sharing a number are written in descending internal code.
        QCOMPARE(column(QStringLiteral("SELECT KANKOCODE FROM T_SKANMT_OUT WHERE KMCODE = '121' AND DENNO = '0'"
                                       " ORDER BY rowid")),
                 QStringList({rent, co_->ko(QStringLiteral("121"))}));
    }

    // The columns of the rows: dates "yy.mm.dd", voucher numbers without
    // zeros, the counter account and sub-account, amount plus tax, a line
    // reaching the account only as tax account gives no row; accounts written
    // in account-number order; credit-normal accounts grow by credits.
    void generalLedgerRows() {
        QVERIFY(sub(QStringLiteral("121"), QStringLiteral("01"), QStringLiteral("B1"), QStringLiteral("みずほ銀行"), 0));
        QVERIFY(post("2010/05/10", "00012", "001", "121", "01", "511", "", 1000));
        JLine taxed{"2010/05/10", "00012", "002", co_->ko("550"), "", co_->ko("121"), "01", 400};
        Year year(*co_);
        QVERIFY(year.insert(taxed, 40, co_->ko("101")));
        platform::ScriptedMsgBox box;
        QVERIFY(PrintSokanjo(range(QStringLiteral("2010/04"), QStringLiteral("2011/03"))));
        QCOMPARE(box.count(), 0);
        QCOMPARE(column(QStringLiteral("SELECT KANKOCODE || ' ' || SIDAY || ' ' || DENNO || ' ' || DENMENO || ' '"
                                       " || JUN || ' ' || KMCODE || ' ' || AICODE || ' ' || AINAME || ' ' || AIHOCODE"
                                       " || ' ' || AIHONAME || ' ' || (KRKIN / 10000) || ' ' || (KSKIN / 10000) || ' '"
                                       " || (ZAN / 10000) FROM T_SKANMT_OUT ORDER BY rowid")),
                 QStringList({"012 00.01.01 0 0 0 121 0    0 0 0", "012 10.05.10 12 001 0 121 511 売上高   1000 0 1000",
                              "012 10.05.10 12 002 1 121 550 仕入高   0 400 600",
                              "180 00.01.01 0 0 0 511 0    0 0 0", "180 10.05.10 12 001 1 511 121 普通預金 B1 みずほ銀行 0 1000 1000",
                              "247 00.01.01 0 0 0 550 0    0 0 0", "247 10.05.10 12 002 0 550 121 普通預金 B1 みずほ銀行 440 0 440"}));
        QCOMPARE(count(QStringLiteral("SELECT COUNT(*) FROM T_SKANMT_OUT WHERE KMCODE = '101'")), qint64(0));
    }

    // Within an account the lines run by day, voucher number (not the
    // voucher's internal code), line number, and debit side before credit
    // side, whatever order they were entered in.
    void linesInLedgerOrder() {
        QVERIFY(post("2010/05/10", "00001", "002", "101", "", "511", "", 40));
        QVERIFY(post("2010/05/10", "00001", "001", "101", "", "101", "", 30));
        QVERIFY(post("2010/05/10", "00002", "001", "101", "", "511", "", 20));
        QVERIFY(post("2010/05/09", "00003", "001", "511", "", "101", "", 10));
        QVERIFY(cn().exec(QStringLiteral("UPDATE T_SIWAKE SET DENNO = '00010' WHERE DENCODE = '00001'")));
        platform::ScriptedMsgBox box;
        QVERIFY(PrintSokanjo(range(QStringLiteral("2010/04"), QStringLiteral("2011/03"))));
        QCOMPARE(column(QStringLiteral("SELECT SIDAY || ' ' || DENNO || ' ' || DENMENO || ' ' || JUN || ' '"
                                       " || (ZAN / 10000) FROM T_SKANMT_OUT WHERE KANKOCODE = '%1' ORDER BY rowid")
                            .arg(co_->ko(QStringLiteral("101")))),
                 QStringList({"00.01.01 0 0 0 0", "10.05.09 3 001 1 -10", "10.05.10 2 001 0 10",
                              "10.05.10 10 001 0 40", "10.05.10 10 001 1 10", "10.05.10 10 002 0 50"}));
    }

    // A failing build leaves the previous rows and says so.
    void allOrNothing() {
        QVERIFY(sub(QStringLiteral("121"), QStringLiteral("01"), QStringLiteral("B1"), QStringLiteral("みずほ銀行"), 0));
        QVERIFY(post("2010/05/10", "00001", "001", "101", "", "121", "01", 1000));
        const LedgerRange r = range(QStringLiteral("2010/04"), QStringLiteral("2011/03"));
        QVERIFY(PrintSokanjo(r, true) && PrintMotokanjo(r));
        const QString before = zans(cn(), QStringLiteral("T_SKANMT_OUT"), QStringLiteral("1"), {}) + "|" +
                               zans(cn(), QStringLiteral("T_SKANSUBMT_OUT"), QStringLiteral("1"), {});
        QVERIFY(!before.startsWith('|') && !before.endsWith('|'));
        for (const char* table : {"T_SKANMT_OUT", "T_SKANSUBMT_OUT"})
            QVERIFY(cn().exec(QStringLiteral("CREATE TRIGGER FAIL_%1 BEFORE INSERT ON %1 WHEN NEW.DENNO <> '0'"
                                             " BEGIN SELECT RAISE(ABORT, 'refused'); END")
                                  .arg(QString::fromLatin1(table))));
        platform::ScriptedMsgBox box;
        QVERIFY(!PrintSokanjo(r, true));
        QVERIFY(!PrintMotokanjo(r));
        QCOMPARE(box.count(), 2);
        QVERIFY(box.shown()[0].text.endsWith(QStringLiteral("(PrintSokanjo)")));
        QVERIFY(box.shown()[1].text.endsWith(QStringLiteral("(PrintMotokanjo)")));
        QCOMPARE(zans(cn(), QStringLiteral("T_SKANMT_OUT"), QStringLiteral("1"), {}) + "|" +
                     zans(cn(), QStringLiteral("T_SKANSUBMT_OUT"), QStringLiteral("1"), {}),
                 before);
    }

    // Sub-accounts of two accounts that share a code keep their own balances;
    // a transfer between two sub-accounts names the other one as counter, and
    // lines of two vouchers that share a line number are never paired.
    void subAccountsApart() {
        QVERIFY(sub(QStringLiteral("121"), QStringLiteral("01"), QStringLiteral("X1"), QStringLiteral("みずほ銀行"), 1000));
        QVERIFY(sub(QStringLiteral("166"), QStringLiteral("01"), QStringLiteral("X1"), QStringLiteral("さくら商店"), 0));
        QVERIFY(sub(QStringLiteral("312"), QStringLiteral("01"), QStringLiteral("S1"), QStringLiteral("丸山商事"), 0));
        QVERIFY(post("2010/05/10", "00001", "001", "101", "", "121", "01", 500));
        QVERIFY(post("2010/05/11", "00002", "001", "166", "01", "511", "", 800));
        QVERIFY(post("2010/05/12", "00003", "001", "121", "01", "166", "01", 300));
        QVERIFY(post("2010/05/13", "00004", "001", "550", "", "312", "01", 70));
        const LedgerRange r = range(QStringLiteral("2010/04"), QStringLiteral("2011/03"));
        platform::ScriptedMsgBox box;
        QVERIFY(PrintSokanjo(r, true) && PrintMotokanjo(r));
        QCOMPARE(box.count(), 0);
        QCOMPARE(column(QStringLiteral("SELECT HOCODE || ' ' || HONAME || ' ' || DENNO || ' ' || JUN || ' '"
                                       " || AICODE || ' ' || AIHOCODE || ' ' || AIHONAME || ' ' || (ZAN / 10000)"
                                       " FROM T_SKANSUBMT_OUT ORDER BY rowid")),
                 QStringList({"S1 丸山商事 0 0    0", "S1 丸山商事 4 0 312 S1 丸山商事 70",
                              "X1 みずほ銀行 0 0    1000", "X1 みずほ銀行 1 0 121 X1 みずほ銀行 500",
                              "X1 みずほ銀行 3 1 121 X1 さくら商店 800",
                              "X1 さくら商店 0 0    0", "X1 さくら商店 2 1 166 X1 さくら商店 800",
                              "X1 さくら商店 3 0 166 X1 みずほ銀行 500"}));
    }

    // The reports read the work tables as written: blanks around a stored
    // text are cut, NULL reads as empty, a text repeated with other blanks
    // reads the same, a brought-forward row shows its caption and balance
    // only; the general ledger starts a group where the account changes, the
    // subsidiary ledger at a brought-forward row, a new sub-account, or a new
    // own account of the same sub-account.
    void reportsReadWorkTables() {
        QVERIFY(cn().exec(QStringLiteral(
            "INSERT INTO T_SKANMT_OUT (KANKOCODE, SIDAY, DENNO, DENMENO, JUN, KMCODE, KMNAME, AICODE, AIHOCODE,"
            " AINAME, AIHONAME, TEKIYO, KRKIN, KSKIN, ZAN) VALUES"
            " ('004', '00.01.01', '0', '0', 0, ' 101', '現金 ', '0', '', '', '', '', 0, 0, 500),"
            " ('004', '10.04.01', '1', '001', 0, '101', '現金', '511 ', '', ' 売上高', '', ' 売上 ', 100, 0, 600),"
            " ('004', '10.04.01 ', ' 2', '001', 1, '101', '現金', '511', NULL, '売上高 ', NULL, '売上', 0, 50, 550),"
            " ('004', '10.04.02', '3', '002', 1, '101', '現金', '121', '01', '普通預金', ' 銀行', NULL, 0, 10, 540),"
            " ('004', '10.04.02', '4', '001', 1, '101', '現金', NULL, NULL, NULL, NULL, '  ', 0, 1, 539),"
            " ('012', '10.04.02', '3', '002', 0, '121', NULL, '101', '', '現金', '', 'x', 10, 0, 10)")));
        platform::report::Document general;
        QVERIFY(reports::BuildRKanjyoMotoTyo(cn(), general));
        QCOMPARE(rendered(general),
                 QStringList({"# 101 現金", "|||繰越残高|||500", "10.04.01|1|511 売上高|売上|100|0|600",
                              "10.04.01|2|511 売上高|売上|0|50|550", "10.04.02|3|121 普通預金／銀行||0|10|540",
                              "10.04.02|4|||0|1|539", "# 121", "10.04.02|3|101 現金|x|10|0|10"}));

        QVERIFY(cn().exec(QStringLiteral(
            "INSERT INTO T_SKANSUBMT_OUT (KANKOCODE, SIDAY, DENNO, DENMENO, JUN, KMCODE, HOCODE, KMNAME, HONAME,"
            " AICODE, AIHOCODE, AINAME, AIHONAME, TEKIYO, KRKIN, KSKIN, ZAN) VALUES"
            " ('004', '00.01.01', '0', '0', 0, '', 'B1', '', 'みずほ', '', '', '', '', '繰越残高', 0, 0, 70),"
            " ('004', '10.04.01', '1', '001', 0, '101', 'B1 ', '現金', 'みずほ ', '121', 'B1', '普通預金', 'みずほ',"
            "  '預入', 20, 0, 50),"
            " ('004', '10.04.03', '5', '001', 1, '101', 'B1', '現金 ', 'みずほ', '121 ', 'B1', ' 普通預金', NULL,"
            "  '預入', 0, 5, 55),"
            " ('247', '10.04.04', '6', '001', 0, '550', 'B1', '仕入高', 'みずほ', '166', 'B1', '買掛金', 'みずほ',"
            "  '', 7, 0, 0),"
            " ('004', '10.04.05', '7', '001', 0, '101', 'C2', '現金', 'さくら', '121', 'C2', '普通預金', '', 'y',"
            "  3, 0, 0)")));
        platform::report::Document subsidiary;
        QVERIFY(reports::BuildRHojoMotoTyo(cn(), subsidiary));
        QCOMPARE(rendered(subsidiary),
                 QStringList({"# B1 みずほ", "|||繰越残高|||70", "10.04.01|1|現金／普通預金 みずほ|預入|20|0|50",
                              "10.04.03|5|現金／普通預金|預入|0|5|55", "# B1 みずほ",
                              "10.04.04|6|仕入高／買掛金 みずほ||7|0|0", "# C2 さくら",
                              "10.04.05|7|現金／普通預金|y|3|0|0"}));
    }

    // A year of distinct descriptions reads each line's own, also past the
    // number of texts the reading keeps for reuse.
    void reportsReadManyDistinctTexts() {
        QVERIFY(cn().exec(QStringLiteral(
            "WITH RECURSIVE N(I) AS (SELECT 1 UNION ALL SELECT I + 1 FROM N WHERE I < 20000)"
            " INSERT INTO T_SKANMT_OUT (KANKOCODE, SIDAY, DENNO, DENMENO, JUN, KMCODE, KMNAME, AICODE, AIHOCODE,"
            " AINAME, AIHONAME, TEKIYO, KRKIN, KSKIN, ZAN)"
            " SELECT '004', '10.04.01', I, '001', 0, '101', '現金', I % 7, '', 'N' || (I % 7), '', 'D' || I, I, 0, 0"
            " FROM N")));
        platform::report::Document doc;
        QVERIFY(reports::BuildRKanjyoMotoTyo(cn(), doc));
        QCOMPARE(doc.table.groups.size(), size_t(1));
        const auto& rows = doc.table.groups.front().rows;
        QCOMPARE(rows.size(), size_t(20000));
        for (int i = 1; i <= 20000; ++i) {
            const auto& cells = rows[size_t(i - 1)].cells;
            const QString n = QString::number(i);
            if (cells[1].text() != n || cells[3].text() != QStringLiteral("D") + n ||
                cells[2].text() != QStringLiteral("%1 N%1").arg(i % 7))
                QFAIL(qPrintable(QStringLiteral("row %1").arg(i)));
        }
    }
};

QTEST_MAIN(TestLedgerBuilds)
#include "tst_ledgerbuilds.moc"
