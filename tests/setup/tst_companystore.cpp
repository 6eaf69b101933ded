// The company master's writing side on a copy of the shipped database: the
// company limit and the id of a new company, the insert with its derived
// columns, the update, the cascade delete over every company table and its
// rollback, the period lock, and the refresh of the current company when the
// company screen closes.

#include <QtTest>
#include <memory>

#include "app/common/globals.h"
#include "ledger/company.h"
#include "ledger/companystore.h"
#include "ledger/period.h"
#include "platform/clock.h"
#include "platform/connection.h"
#include "platform/msgbox.h"
#include "support/currentcompany.h"
#include "support/testenv.h"

using platform::ScriptedMsgBox;

namespace {

QString scalarText(const QString& sql, const QVariantList& params = {}) {
    const auto v = gcnKaikei->scalar(sql, params);
    return v ? v->toString() : QStringLiteral("<query failed>");
}

QStringList rowsOf(const QString& sql, const QVariantList& params = {}) {
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

// Every table with a company column, MT_KANJO aside (the template's CID only
// records the company it last seeded).
QStringList tablesWithCid() {
    QStringList out;
    for (const QString& table : rowsOf(QStringLiteral("SELECT name FROM sqlite_master WHERE type = 'table' "
                                                      "AND name <> 'MT_KANJO' ORDER BY name"))) {
        const QString has = scalarText(
            QStringLiteral("SELECT count(*) FROM pragma_table_info(?) WHERE name = 'CID'"), {table});
        if (has == QStringLiteral("1")) out << table;
    }
    return out;
}

// Inserts a row holding only what the table requires: the company id, and
// `key` in every other required text column.
void insertMinimalRow(const QString& table, const QString& cid, const QString& key) {
    QStringList names;
    QVariantList values;
    const auto columns = gcnKaikei->query(QStringLiteral("SELECT name, type, \"notnull\", dflt_value "
                                                         "FROM pragma_table_info(?)"),
                                          {table});
    QVERIFY(columns);
    for (const auto& c : *columns) {
        const QString name = c.text(0);
        if (name == QStringLiteral("CID")) {
            names << name;
            values << cid;
        } else if (c.integer(2) == 1 && c.isNull(3)) {
            names << name;
            values << (c.text(1) == QStringLiteral("TEXT") ? QVariant(key) : QVariant(0));
        }
    }
    QStringList marks;
    for (int i = 0; i < names.size(); ++i) marks << QStringLiteral("?");
    QVERIFY2(gcnKaikei->exec(QStringLiteral("INSERT INTO %1 (%2) VALUES (%3)")
                                 .arg(table, names.join(QLatin1Char(',')), marks.join(QLatin1Char(','))),
                             values),
             qPrintable(table + QStringLiteral(": ") + gcnKaikei->lastError().text()));
}

int rowsOfCompany(const QString& table, const QString& cid) {
    return scalarText(QStringLiteral("SELECT count(*) FROM %1 WHERE CID = ?").arg(table), {cid}).toInt();
}

CompanyRecord corporation(const QString& cid) {
    CompanyRecord r;
    r.cid = cid;
    r.company = QStringLiteral("O'Brien 商事");
    r.cfkn = QStringLiteral("オブライエンショウジ");
    r.zip = QStringLiteral("100-0001");
    r.adrstdhk = QStringLiteral("東京都");
    r.adrs1 = QStringLiteral("千代田区1-1");
    r.adrs2 = QStringLiteral("'ビル' 3F");
    r.tel = QStringLiteral("03-1234-5678");
    r.fax = QStringLiteral("03-1234-5679");
    r.tyaku = QStringLiteral("代表取締役");
    r.tname = QStringLiteral("山田太郎");
    r.tfkn = QStringLiteral("ヤマダタロウ");
    r.fullYear = true;
    r.kisyu = QStringLiteral("2003/04/01");
    r.kimatu = QStringLiteral("2004/03/31");
    r.corporation = true;
    r.rateOn = true;
    r.nendosu = QStringLiteral("12");
    r.seturitu = QStringLiteral("1990/05/01");
    r.sihon = Currency::fromYen(10000);
    r.rate = Currency::fromText(QStringLiteral("1.2345"));
    return r;
}

const char* const kRowColumns =
    "CID, COMPANY, CFKN, ZIP, ADRSTDHK, ADRS1, ADRS2, TEL, FAX, TYAKU, TNAME, TFKN, NOMAL, KISYU, KIMATU, "
    "GKBN, "
    "STKBN, KANCNG, NENDOSU, PKISYU, PKIMATU, KISYUM, SETURITU, SIHON, SIINLDAY, AICODE, RATE";

QString storedRow(const QString& table, const QString& cid) {
    return rowsOf(QStringLiteral("SELECT %1 FROM %2 WHERE CID = ?").arg(QLatin1String(kRowColumns), table),
                  {cid})
        .join(QStringLiteral("\n"));
}

}  // namespace

class TestCompanyStore : public QObject {
    Q_OBJECT

private slots:
    void initTestCase() { testenv::isolate(); }

    void init() {
        clock_ = std::make_unique<platform::FixedClock>(QDate(2003, 5, 10));
        db_ = testenv::ShippedDb::open();
        QVERIFY(db_);
        gstrCID = QStringLiteral("01");
        gstrNendo.clear();
        gstrSoftName = QStringLiteral("Ralvek");
    }

    void cleanup() {
        db_.reset();
        clock_.reset();
    }

    // ---- ids and the limit

    void newIdIsTheFirstFreeFrom51() {
        QCOMPARE(get_new_cid(), QStringLiteral("51"));
        for (const char* cid : {"51", "52", "54"})
            QVERIFY(InsertCompany(corporation(QString::fromLatin1(cid))));
        QCOMPARE(get_new_cid(), QStringLiteral("53"));
        QVERIFY(InsertCompany(corporation(get_new_cid())));
        QCOMPARE(get_new_cid(), QStringLiteral("55"));
        // A company deleted from the middle frees its id.
        QVERIFY(DeleteCompany(QStringLiteral("52")));
        QCOMPARE(get_new_cid(), QStringLiteral("52"));
    }

    void limitOf99Companies() {
        ScriptedMsgBox box;
        QVERIFY(kaisha_num_check());
        QCOMPARE(box.count(), 0);
        for (int id = 51; id <= 98; ++id) QVERIFY(InsertCompany(corporation(QString::number(id))));
        QVERIFY(kaisha_num_check());  // 98 companies
        QCOMPARE(get_new_cid(), QStringLiteral("99"));
        QVERIFY(InsertCompany(corporation(QStringLiteral("99"))));
        QCOMPARE(get_new_cid(), QStringLiteral("100"));
        QVERIFY(!kaisha_num_check());
        QCOMPARE(box.count(), 1);
        QCOMPARE(box.last().text,
                 QStringLiteral("会社情報の登録数は99個までです。これ以上は登録できません。"));
        QCOMPARE(box.last().icon, platform::MsgIcon::Warning);
        QCOMPARE(box.last().title, gstrSoftName);
    }

    // ---- insert and update

    void insertWritesEveryDerivedColumn() {
        QVERIFY(InsertCompany(corporation(QStringLiteral("51"))));
        QCOMPARE(
            storedRow(QStringLiteral("T_COMP_MAIN"), QStringLiteral("51")),
            QStringLiteral(
                "51|O'Brien 商事|オブライエンショウジ|100-0001|東京都|千代田区1-1|'ビル' 3F|"
                "03-1234-5678|03-1234-5679|代表取締役|山田太郎|ヤマダタロウ|0|2003/04/01|2004/03/31|1||"
                "1|12|2003年04月01日|2004年03月31日|2003/04|1990/05/01|100000000|2004/06/30|004|1.2345"));

        // An individual, 期中, without founding date, capital or rate.
        CompanyRecord r = corporation(QStringLiteral("52"));
        r.corporation = false;
        r.fullYear = false;
        r.rateOn = false;
        r.kisyu = QStringLiteral("2003/10/01");
        r.kimatu = QStringLiteral("2004/11/30");
        r.seturitu.clear();
        r.sihon = Currency();
        r.rate = Currency();
        r.company = QStringLiteral("  前後に空白  ");
        QVERIFY(InsertCompany(r));
        QCOMPARE(rowsOf(QStringLiteral("SELECT COMPANY, NOMAL, GKBN, KANCNG, SETURITU, SIHON, SIINLDAY, RATE "
                                       "FROM T_COMP_MAIN WHERE CID = '52'")),
                 QStringList{QStringLiteral("前後に空白|1|0|0||0|2005/02/28|0")});
    }

    void failedInsertReportsAndWritesNothing() {
        QVERIFY(InsertCompany(corporation(QStringLiteral("51"))));
        const QString before = storedRow(QStringLiteral("T_COMP_MAIN"), QStringLiteral("51"));
        ScriptedMsgBox box;
        CompanyRecord again = corporation(QStringLiteral("51"));
        again.company = QStringLiteral("別の会社");
        QVERIFY(!InsertCompany(again));
        QCOMPARE(box.count(), 1);
        QCOMPARE(box.last().text,
                 QStringLiteral("会社情報マスタ( T_COMP_MAIN )のアクセス中にエラーが発生しました"
                                "(WriteCompanyTable)。"));
        QCOMPARE(storedRow(QStringLiteral("T_COMP_MAIN"), QStringLiteral("51")), before);
    }

    void updateWritesAsTypedAndKeepsStkbn() {
        QVERIFY(InsertCompany(corporation(QStringLiteral("51"))));
        QVERIFY(gcnKaikei->exec(QStringLiteral("UPDATE T_COMP_MAIN SET STKBN = 'X' WHERE CID = '51'")));
        CompanyRecord r = corporation(QStringLiteral("51"));
        r.company = QStringLiteral(" 新'社名 ");
        r.tel = QStringLiteral("06-0000-0000");
        r.fullYear = false;
        r.kisyu = QStringLiteral("2003/10/01");
        r.kimatu = QStringLiteral("2004/03/31");
        r.corporation = false;
        r.rateOn = false;
        r.nendosu = QStringLiteral("3");
        r.seturitu.clear();
        r.sihon = Currency::fromYen(5);
        r.rate = Currency::fromText(QStringLiteral("0.0001"));
        QVERIFY(UpdateCompany(r));
        QCOMPARE(storedRow(QStringLiteral("T_COMP_MAIN"), QStringLiteral("51")),
                 QStringLiteral(
                     "51| 新'社名 |オブライエンショウジ|100-0001|東京都|千代田区1-1|'ビル' 3F|06-0000-0000|"
                     "03-1234-5679|代表取締役|山田太郎|ヤマダタロウ|1|2003/10/01|2004/03/31|0|X|0|3|"
                     "2003年10月01日|2004年03月31日|2003/10||50000|2004/06/30|004|0.0001"));
        // Other companies stay as they were.
        QCOMPARE(scalarText(QStringLiteral("SELECT COMPANY FROM T_COMP_MAIN WHERE CID = '01'")),
                 QStringLiteral("家計簿"));
    }

    void readCompanyBack() {
        QVERIFY(InsertCompany(corporation(QStringLiteral("51"))));
        CompanyRecord r;
        QCOMPARE(ReadCompany(QStringLiteral("51"), r), ReadResult::Found);
        const CompanyRecord w = corporation(QStringLiteral("51"));
        QCOMPARE(r.company, w.company);
        QCOMPARE(r.adrs2, w.adrs2);
        QCOMPARE(r.kisyu, w.kisyu);
        QCOMPARE(r.kimatu, w.kimatu);
        QCOMPARE(r.fullYear, true);
        QCOMPARE(r.corporation, true);
        QCOMPARE(r.rateOn, true);
        QCOMPARE(r.nendosu, QStringLiteral("12"));
        QCOMPARE(r.seturitu, w.seturitu);
        QCOMPARE(r.sihon, w.sihon);
        QCOMPARE(r.rate, w.rate);
        QCOMPARE(ReadCompany(QStringLiteral("77"), r), ReadResult::Missing);
    }

    // ---- the cascade delete

    void deleteRemovesEveryRowOfTheCompany() {
        const QStringList tables = tablesWithCid();
        QVERIFY(tables.contains(QStringLiteral("BT_KANJO")));
        QVERIFY(tables.contains(QStringLiteral("T_KESANSYO")));
        // Every table the delete knows has a company column, and every such
        // table is known to it (WK_COMPANY is emptied whole).
        QStringList known = CompanyTables();
        known << QStringLiteral("WK_COMPANY");
        known.sort();
        QCOMPARE(known, tables);

        QVERIFY(gcnKaikei->exec(QStringLiteral("DELETE FROM WK_COMPANY")));
        QVERIFY(gcnKaikei->exec(QStringLiteral("DELETE FROM T_COMP_MAIN WHERE CID IN ('51', '52')")));
        for (const QString& table : tables) {
            insertMinimalRow(table, QStringLiteral("52"), QStringLiteral("a"));
            if (table != QStringLiteral("WK_COMPANY"))
                insertMinimalRow(table, QStringLiteral("53"), QStringLiteral("a"));
        }
        const QString chart =
            rowsOf(QStringLiteral("SELECT * FROM T_KANJO ORDER BY KOCODE")).join(QLatin1Char('\n'));
        const QString templ =
            rowsOf(QStringLiteral("SELECT * FROM MT_KANJO ORDER BY KOCODE")).join(QLatin1Char('\n'));

        QVERIFY(DeleteCompany(QStringLiteral("52")));
        QVERIFY(!gcnKaikei->inTransaction());
        for (const QString& table : tables) {
            QVERIFY2(rowsOfCompany(table, QStringLiteral("52")) == 0, qPrintable(table));
            if (table != QStringLiteral("WK_COMPANY")) {
                QVERIFY2(rowsOfCompany(table, QStringLiteral("53")) == 1, qPrintable(table));
            }
        }
        QCOMPARE(scalarText(QStringLiteral("SELECT count(*) FROM WK_COMPANY")), QStringLiteral("0"));
        QCOMPARE(rowsOf(QStringLiteral("SELECT * FROM T_KANJO ORDER BY KOCODE")).join(QLatin1Char('\n')),
                 chart);
        QCOMPARE(rowsOf(QStringLiteral("SELECT * FROM MT_KANJO ORDER BY KOCODE")).join(QLatin1Char('\n')),
                 templ);
    }

    // A failure at any step leaves every row where it was.
    void failedDeleteRollsBackEverything_data() {
        QTest::addColumn<QString>("table");
        QTest::newRow("first step") << "T_COMP_MAIN";
        QTest::newRow("journal lines") << "T_SI_MEISAI";
        QTest::newRow("last step") << "T_SIALL_OUT";
    }
    void failedDeleteRollsBackEverything() {
        QFETCH(QString, table);
        const QStringList tables = tablesWithCid();
        QVERIFY(gcnKaikei->exec(QStringLiteral("DELETE FROM T_COMP_MAIN WHERE CID = '52'")));
        for (const QString& t : tables) insertMinimalRow(t, QStringLiteral("52"), QStringLiteral("a"));
        QVERIFY(gcnKaikei->exec(
            QStringLiteral(
                "CREATE TEMP TRIGGER forced BEFORE DELETE ON %1 BEGIN SELECT RAISE(ABORT, 'forced'); END")
                .arg(table)));
        ScriptedMsgBox box;
        QVERIFY(!DeleteCompany(QStringLiteral("52")));
        QCOMPARE(box.count(), 0);  // the screen reports it
        QVERIFY(!gcnKaikei->inTransaction());
        for (const QString& t : tables) QVERIFY2(rowsOfCompany(t, QStringLiteral("52")) == 1, qPrintable(t));
    }

    // ---- the period lock

    void periodLockedByCashBalances() {
        insertVoucher(QStringLiteral("51"), QStringLiteral("00001"), 0, 0);
        insertVoucher(QStringLiteral("52"), QStringLiteral("00001"), 0, 500);
        QCOMPARE(PeriodLocked(QStringLiteral("51")), 0);
        QCOMPARE(PeriodLocked(QStringLiteral("52")), 1);
        insertVoucher(QStringLiteral("51"), QStringLiteral("00002"), -1, 0);
        QCOMPARE(PeriodLocked(QStringLiteral("51")), 1);
        QCOMPARE(PeriodLocked(QStringLiteral("60")), 0);
    }

    // ---- leaving the screen

    void onlyTheTelephoneKeepsTheDays() {
        makeCurrentWithDays();
        CompanyRecord r;
        QCOMPARE(ReadCompany(QStringLiteral("51"), r), ReadResult::Found);
        r.tel = QStringLiteral("099-999-9999");
        QVERIFY(UpdateCompany(r));
        QCOMPARE(scalarText(QStringLiteral("SELECT TEL FROM WK_COMPANY")), QStringLiteral("03-1234-5678"));
        ScriptedMsgBox box;
        QVERIFY(RefreshCurrentCompany());
        QCOMPARE(box.count(), 0);
        QCOMPARE(scalarText(QStringLiteral("SELECT TEL FROM WK_COMPANY")), QStringLiteral("099-999-9999"));
        for (const QString& t : PeriodJournalTables())
            QVERIFY2(rowsOfCompany(t, QStringLiteral("51")) > 0, qPrintable(t));
    }

    void movedStartDeletesTheDaysOfTheOldPeriod() {
        makeCurrentWithDays();
        CompanyRecord r;
        QCOMPARE(ReadCompany(QStringLiteral("51"), r), ReadResult::Found);
        r.kisyu = QStringLiteral("2003/07/01");
        r.kimatu = QStringLiteral("2004/06/30");
        r.corporation = false;
        QVERIFY(UpdateCompany(r));
        QVERIFY(RefreshCurrentCompany());
        for (const QString& t : PeriodJournalTables()) {
            QVERIFY2(rowsOfCompany(t, QStringLiteral("51")) == 0, qPrintable(t));
            QVERIFY2(rowsOfCompany(t, QStringLiteral("52")) > 0,
                     qPrintable(t));  // another company's days stay
        }
        QCOMPARE(scalarText(QStringLiteral("SELECT KISYU FROM WK_COMPANY")), QStringLiteral("2003/07/01"));
        QCOMPARE(CurrentNendoLabel().value_or(QStringLiteral("(no row)")), QStringLiteral("平成15年度"));
        QCOMPARE(scalarText(QStringLiteral(
                     "SELECT min(INYM) || '-' || max(INYM) FROM T_DAY_INPUT WHERE CID = '51'")),
                 QStringLiteral("2003/07-2004/06"));
        QCOMPARE(scalarText(QStringLiteral(
                     "SELECT min(DATEYM) || '-' || max(DATEYM) FROM T_TUKISIME WHERE CID = '51'")),
                 QStringLiteral("2003/00-2004/06"));
    }

    // Only the closing date moved: the days stay, the months follow.
    void movedClosingKeepsTheDays() {
        makeCurrentWithDays();
        CompanyRecord r;
        QCOMPARE(ReadCompany(QStringLiteral("51"), r), ReadResult::Found);
        r.fullYear = false;
        r.kimatu = QStringLiteral("2003/12/31");
        QVERIFY(UpdateCompany(r));
        QVERIFY(RefreshCurrentCompany());
        for (const QString& t : PeriodJournalTables())
            QVERIFY2(rowsOfCompany(t, QStringLiteral("51")) > 0, qPrintable(t));
        QCOMPARE(scalarText(QStringLiteral("SELECT KIMATU FROM WK_COMPANY")), QStringLiteral("2003/12/31"));
        QCOMPARE(scalarText(QStringLiteral("SELECT count(*) FROM T_TUKISIME WHERE CID = '51'")),
                 QStringLiteral("10"));
    }

    void rateAloneChangesNothing() {
        makeCurrentWithDays();
        const QString before = storedRow(QStringLiteral("WK_COMPANY"), QStringLiteral("51"));
        const QString nendo = CurrentNendoLabel().value_or(QStringLiteral("(no row)"));
        QVERIFY(gcnKaikei->exec(QStringLiteral("UPDATE T_COMP_MAIN SET RATE = 9.5 WHERE CID = '51'")));
        QVERIFY(RefreshCurrentCompany());
        QCOMPARE(storedRow(QStringLiteral("WK_COMPANY"), QStringLiteral("51")), before);
        QCOMPARE(CurrentNendoLabel().value_or(QStringLiteral("(no row)")), nendo);
    }

    // A failure while leaving the screen leaves the days, WK_COMPANY and the
    // fiscal label as they were.
    void failedRefreshRollsBack_data() {
        QTest::addColumn<QString>("trigger");
        QTest::addColumn<QString>("message");
        QTest::newRow("deleting the days") << "BEFORE DELETE ON T_TUKIHOJO"
                                           << "unload_form";
        QTest::newRow("month list") << "BEFORE INSERT ON T_DAY_INPUT"
                                    << "WriteDayInputTable";
    }
    void failedRefreshRollsBack() {
        QFETCH(QString, trigger);
        QFETCH(QString, message);
        makeCurrentWithDays();
        CompanyRecord r;
        QCOMPARE(ReadCompany(QStringLiteral("51"), r), ReadResult::Found);
        r.kisyu = QStringLiteral("2003/07/01");
        r.kimatu = QStringLiteral("2004/06/30");
        r.corporation = false;
        QVERIFY(UpdateCompany(r));
        const QString wk = storedRow(QStringLiteral("WK_COMPANY"), QStringLiteral("51"));
        const QString nendo = CurrentNendoLabel().value_or(QStringLiteral("(no row)"));
        QVERIFY(gcnKaikei->exec(
            QStringLiteral("CREATE TEMP TRIGGER forced %1 BEGIN SELECT RAISE(ABORT, 'forced'); END")
                .arg(trigger)));
        ScriptedMsgBox box;
        QVERIFY(!RefreshCurrentCompany());
        QCOMPARE(box.count(), 1);
        QVERIFY2(box.last().text.contains(message), qPrintable(box.last().text));
        QVERIFY(!gcnKaikei->inTransaction());
        for (const QString& t : PeriodJournalTables())
            QVERIFY2(rowsOfCompany(t, QStringLiteral("51")) > 0, qPrintable(t));
        QCOMPARE(storedRow(QStringLiteral("WK_COMPANY"), QStringLiteral("51")), wk);
        QCOMPARE(CurrentNendoLabel().value_or(QStringLiteral("(no row)")), nendo);
        QCOMPARE(scalarText(QStringLiteral("SELECT min(INYM) FROM T_DAY_INPUT WHERE CID = '51'")),
                 QStringLiteral("2003/04"));
    }

private:
    void insertVoucher(const QString& cid, const QString& dencode, qint64 before, qint64 after) {
        QVERIFY(gcnKaikei->exec(
            QStringLiteral("INSERT INTO T_SIWAKE (CID, DENCODE, DENNO, DENDAY, YDAYZAN, DAYZAN) "
                           "VALUES (?, ?, ?, '2003/04/01', ?, ?)"),
            {cid, dencode, dencode, QVariant::fromValue(Currency::fromYen(before)),
             QVariant::fromValue(Currency::fromYen(after))}));
    }

    // Company "51" current, with a voucher, a journal line, day amounts and
    // monthly totals; company "52" has the same.
    void makeCurrentWithDays() {
        QVERIFY(InsertCompany(corporation(QStringLiteral("51"))));
        QVERIFY(InsertCompany(corporation(QStringLiteral("52"))));
        for (const QString& cid : {QStringLiteral("51"), QStringLiteral("52")}) {
            for (const QString& t : PeriodJournalTables()) insertMinimalRow(t, cid, QStringLiteral("00001"));
        }
        ScriptedMsgBox box;
        QVERIFY(testenv::MakeCompanyCurrent(QStringLiteral("51")));
        QCOMPARE(box.count(), 0);
        QCOMPARE(CurrentNendoLabel().value_or(QStringLiteral("(no row)")), QStringLiteral("第 12 期"));
    }

    std::unique_ptr<platform::FixedClock> clock_;
    std::unique_ptr<testenv::ShippedDb> db_;
};

QTEST_GUILESS_MAIN(TestCompanyStore)
#include "tst_companystore.moc"
