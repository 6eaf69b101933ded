// The shipped database's tables: every table the program uses exists with its
// columns in physical order, the kind of each column, the key, and number
// columns that never hold null; the previous-year, editing and staging twins
// match their tables; the backup catalogue names tables of the stated width.

#include <QRegularExpression>
#include <QtTest>
#include <map>
#include <memory>

#include "platform/connection.h"
#include "support/testenv.h"

using platform::Connection;

namespace {

// Column lists are written "NAME NAME:A ...": no suffix is text, ":A" an
// amount (INTEGER raw 1/10,000 yen), ":N" a whole number (INTEGER), ":R" a
// rate (REAL).
struct Layout {
    QString columns;
    QString key;  // primary key columns in key order; empty = no key
};

QString seq(const QString& prefix, int from, int to, const QString& suffix = QString()) {
    QStringList names;
    for (int i = from; i <= to; ++i) names << prefix + QString::number(i) + suffix;
    return names.join(u' ');
}

const QString kCompany =
    "CID COMPANY CFKN ZIP ADRSTDHK ADRS1 ADRS2 TEL FAX TYAKU TNAME TFKN NOMAL KISYU KIMATU GKBN STKBN KANCNG "
    "NENDOSU:N PKISYU PKIMATU KISYUM SETURITU SIHON:A SIINLDAY AICODE RATE:R";
const QString kKanjo =
    "KOCODE KMCODE KNBUN KANNAME SYORIKBN TAIKBN TOCODE BUNCODE NOCNG BUMONSET HOJOSET HOSETNO SIYOU PCODE1 "
    "PCODE2 PCODE3 KAIPAGE KISYUZAN:A AICODE DAIBUN TYUBUN SYOBUN JUN:N KISYUMKBN";
const QString kKisyuzan = "CID KOCODE KMCODE KANNAME KISYUZAN:A JUN:N SIYOU AICODE HOJOSET KISYUMKBN RATE:R";
const QString kHojo = "CID KANKOCODE HOKOCODE HOCODE HONAME KISYUZAN:A";
const QString kSiwake = "CID DENCODE DENNO DENDAY INDAY KESSAN YDAYZAN:A DAYZAN:A RATE:R";
const QString kMeisai =
    "DENCODE DENMENO CID SIDAY DATEYM SISYU "
    "KRKOCODE KRHOKOCODE KRBUKBN KRTKBN KRTKOCODE KRTRITU:R KRTKIN:A KRTKINNO:A KRKIN:A KRAICODE KRAIHOCODE "
    "KSKOCODE KSHOKOCODE KSBUKBN KSTKBN KSTKOCODE KSTRITU:R KSTKIN:A KSTKINNO:A KSKIN:A KSAICODE KSAIHOCODE "
    "TECODE TEKIYO ptcode";
const QString kToran = "CID KOCODE DATEYM KMCODE " + seq("KIN", 1, 31, ":A");
const QString kPattern = "CID KRCODE KSCODE SINAME TENAME SETID SETPT";
const QString kTekiyo = "CID TEKINO TENAME";
const QString kDayInput = "CID INYM OUTYM";
const QString kTukisime = "CID DATEYM SYORIFLG SYORIFLGH SYORIDAY";
const QString kTotal =
    "CID KOCODE KMCODE PCODE1 PCODE2 PCODE3 KAIPAGE KMNAME MAEKURI:A KRTOTAL:A KSTOTAL:A ZAN:A";
const QString kKesansyo = "CID " + seq("KOMOKU", 1, 64, ":A") + " KESANDAY";

// Every table of the shipped database.
const std::map<QString, Layout>& expectedTables() {
    static const std::map<QString, Layout> tables = {
        {"T_COMP_MAIN", {kCompany, "CID"}},
        {"WK_COMPANY", {kCompany, "CID"}},
        {"BT_COMP_MAIN", {kCompany, "CID"}},
        {"MT_KANJO", {"CID " + kKanjo, "KOCODE"}},
        {"T_KANJO", {kKanjo, "KOCODE"}},
        {"BT_KANJO", {"CID " + kKanjo, "CID KOCODE"}},
        {"T_KISYUZAN", {kKisyuzan, "CID KOCODE"}},
        {"BT_KISYUZAN", {kKisyuzan, "CID KOCODE"}},
        {"T_HOJOKAMOKU", {kHojo, "CID KANKOCODE HOKOCODE"}},
        {"BT_HOJOKAMOKU", {kHojo, "CID KANKOCODE HOKOCODE"}},
        {"T_SIWAKE", {kSiwake, "CID DENCODE"}},
        {"BT_SIWAKE", {kSiwake, "CID DENCODE"}},
        {"T_SI_MEISAI", {kMeisai, "CID DENCODE DENMENO"}},
        {"BT_SI_MEISAI", {kMeisai, "CID DENCODE DENMENO"}},
        {"T_SIMEISAI_FUKYU", {kMeisai, "CID DENCODE DENMENO"}},
        {"T_DAY_TORAN", {kToran, "CID KOCODE DATEYM"}},
        {"BT_DAY_TORAN", {kToran, "CID KOCODE DATEYM"}},
        {"T_SI_PATTERN", {kPattern, "CID KRCODE KSCODE"}},
        {"WK_SI_PATTERN", {kPattern, "CID KRCODE KSCODE"}},
        {"BT_SI_PATTERN", {kPattern, "CID KRCODE KSCODE"}},
        {"T_TEKIYO", {kTekiyo, "CID TEKINO"}},
        {"WK_TEKIYO", {kTekiyo, "CID TEKINO"}},
        {"BT_TEKIYO", {kTekiyo, "CID TEKINO"}},
        {"T_DAY_INPUT", {kDayInput, "CID INYM"}},
        {"BT_DAY_INPUT", {kDayInput, "CID INYM"}},
        {"T_TUKISIME", {kTukisime, "CID DATEYM"}},
        {"BT_TUKISIME", {kTukisime, "CID DATEYM"}},
        {"T_TUKISIMECHECK", {"CID DATEYM", "CID"}},
        {"T_TUKIKAN", {"CID KANKOCODE DATEYM KRTOTAL:A KSTOTAL:A KRRUI:A KSRUI:A", "CID KANKOCODE DATEYM"}},
        {"T_TUKIHOJO",
         {"CID KANKOCODE HOCODE DATEYM KRTOTAL:A KSTOTAL:A KRRUI:A KSRUI:A", "CID KANKOCODE HOCODE DATEYM"}},
        {"T_PRINTKOMOKU", {seq("KOMOKU", 1, 9), ""}},
        {"T_TOTAL_MEISAI", {kTotal, ""}},
        {"T_TOTAL1", {kTotal, ""}},
        {"T_SIALL_OUT",
         {"CID SIDAY DENNO DENMENO SISYU KRKMCODE KRHOCODE KRKMNAME KRHONAME KRBUKBN KRTKBN KRTKOCODE "
          "KRTKIN:A "
          "KRKIN:A KSKMCODE KSHOCODE KSKMNAME KSHONAME KSBUKBN KSTKBN KSTKOCODE KSTKIN:A KSKIN:A TEKIYO",
          ""}},
        {"T_SKANMT_OUT",
         {"KANKOCODE SIDAY DENNO DENMENO JUN:N KMCODE KMNAME AICODE AIHOCODE AINAME AIHONAME TEKIYO KRKIN:A "
          "KSKIN:A ZAN:A",
          ""}},
        {"T_SKANSUBMT_OUT",
         {"KANKOCODE SIDAY DENNO DENMENO JUN:N KMCODE HOCODE KMNAME HONAME AICODE AIHOCODE AINAME AIHONAME "
          "TEKIYO KRKIN:A KSKIN:A ZAN:A",
          ""}},
        {"P_TUKISYUSI", {"PRTIDNO PRTNAME PRTJUN " + seq("KIN", 1, 13, ":A"), ""}},
        {"P_TUKISYUSI_HEAD", {seq("KOMOKU", 1, 13) + ' ' + seq("KOMOKU", 14, 65, ":A"), ""}},
        {"P_KESANSYO", {seq("KOMOKU", 1, 126, ":A") + ' ' + seq("KOMOKU", 127, 156), ""}},
        {"WK_KANJO_PRINT",
         {"DAICODE DAINAME TYUCODE TYUNAME SYOCODE SYONAME KMCODE KMNAME TAIKBN HOJOSET KISYUZAN:A AICODE "
          "AINAME "
          "DAIBUN TYUBUN JUN:N KISYUMKBN",
          ""}},
        {"T_KESANSYO", {kKesansyo, "CID"}},
        {"BT_KESANSYO", {kKesansyo, "CID"}},
        {"T_BACKUP", {"SEQNO:N TEXTNAME FLPNO:N KEISIKI", "SEQNO"}},
        {"T_MOJICHG", {"JAPANESE CHINESE SEQNO:N", "SEQNO"}},
    };
    return tables;
}

QString declaredKind(const QString& type) {
    if (type == "TEXT") return QString();
    if (type == "INTEGER") return QStringLiteral(":I");
    if (type == "REAL") return QStringLiteral(":R");
    return ':' + type;
}

// Amount and whole-number columns are both INTEGER in the database.
QString storedForm(const QString& layout) {
    QString s = layout;
    return s.replace(":A", ":I").replace(":N", ":I");
}

}  // namespace

class TestSchema : public QObject {
    Q_OBJECT

private:
    std::unique_ptr<testenv::DbCopy> db_;
    std::unique_ptr<Connection> cn_;

    // "NAME:kind" per column in physical order, as stored.
    QStringList columnsOf(const QString& table) {
        QStringList out;
        const auto rows = cn_->query("SELECT name, type FROM pragma_table_info(?) ORDER BY cid", {table});
        if (!rows) return {"query failed: " + cn_->lastError().text()};
        for (const auto& r : *rows) out << r.text(0) + declaredKind(r.text(1));
        return out;
    }
    QStringList keyOf(const QString& table) {
        QStringList out;
        const auto rows =
            cn_->query("SELECT name FROM pragma_table_info(?) WHERE pk > 0 ORDER BY pk", {table});
        if (!rows) return {"query failed"};
        for (const auto& r : *rows) out << r.text(0);
        return out;
    }
    // Everything the database knows about a column but its name: kind,
    // NOT NULL, default, place in the key.
    QStringList fullDescription(const QString& table, int skipLeading) {
        QStringList out;
        const auto rows = cn_->query(
            "SELECT name, type, \"notnull\", ifnull(dflt_value, 'null'), pk FROM pragma_table_info(?) ORDER "
            "BY cid",
            {table});
        if (!rows) return {"query failed"};
        for (size_t i = size_t(skipLeading); i < rows->size(); ++i) {
            const auto& r = (*rows)[i];
            out << QStringList{r.text(0), r.text(1), r.text(2), r.text(3), r.text(4)}.join(u'|');
        }
        return out;
    }

private slots:
    void initTestCase() {
        testenv::isolate();
        db_ = testenv::copyShippedDatabase();
        platform::DbError error;
        cn_ = Connection::open(db_->path, &error);
        QVERIFY2(cn_, qPrintable(error.text()));
    }

    // The database holds exactly the program's tables: nothing missing, and no
    // table that no part of the program knows.
    void everyTableExists() {
        QStringList expected;
        for (const auto& [name, layout] : expectedTables()) expected << name;
        const auto rows = cn_->query(
            "SELECT name FROM sqlite_master WHERE type = 'table' AND name NOT LIKE 'sqlite%' ORDER BY name");
        QVERIFY(rows);
        QStringList actual;
        for (const auto& r : *rows) actual << r.text(0);
        expected.sort();
        actual.sort();
        QCOMPARE(actual, expected);
    }

    void columnsAndKey_data() {
        QTest::addColumn<QString>("table");
        QTest::addColumn<QString>("columns");
        QTest::addColumn<QString>("key");
        for (const auto& [name, layout] : expectedTables()) {
            QTest::newRow(qPrintable(name)) << name << layout.columns << layout.key;
        }
    }
    // Names in physical order (case included: ptcode is lower case), the kind
    // of every column and the key columns in key order.
    void columnsAndKey() {
        QFETCH(QString, table);
        QFETCH(QString, columns);
        QFETCH(QString, key);
        QCOMPARE(columnsOf(table), storedForm(columns).split(u' '));
        QCOMPARE(keyOf(table), key.isEmpty() ? QStringList() : key.split(u' '));
    }

    void numberColumnsDefaultToZero_data() { columnsAndKey_data(); }
    // Number columns never hold null: an insert that leaves them out stores 0.
    void numberColumnsDefaultToZero() {
        QFETCH(QString, table);
        const auto rows = cn_->query(
            "SELECT name, \"notnull\", dflt_value FROM pragma_table_info(?) WHERE type IN ('INTEGER', "
            "'REAL') "
            "AND pk = 0",
            {table});
        QVERIFY(rows);
        for (const auto& r : *rows) {
            QVERIFY2(r.integer(1) == 1 && r.text(2) == "0", qPrintable(table + '.' + r.text(0)));
        }
    }

    void twinsMatchTheirTables_data() {
        QTest::addColumn<QString>("twin");
        QTest::addColumn<QString>("table");
        QTest::addColumn<int>("leadingCid");  // BT_KANJO and MT_KANJO add CID in front
        const QList<std::tuple<const char*, const char*, int>> twins = {
            {"WK_COMPANY", "T_COMP_MAIN", 0},     {"BT_COMP_MAIN", "T_COMP_MAIN", 0},
            {"BT_KANJO", "T_KANJO", 1},           {"BT_KISYUZAN", "T_KISYUZAN", 0},
            {"BT_HOJOKAMOKU", "T_HOJOKAMOKU", 0}, {"BT_SIWAKE", "T_SIWAKE", 0},
            {"BT_SI_MEISAI", "T_SI_MEISAI", 0},   {"T_SIMEISAI_FUKYU", "T_SI_MEISAI", 0},
            {"BT_DAY_TORAN", "T_DAY_TORAN", 0},   {"WK_SI_PATTERN", "T_SI_PATTERN", 0},
            {"BT_SI_PATTERN", "T_SI_PATTERN", 0}, {"WK_TEKIYO", "T_TEKIYO", 0},
            {"BT_TEKIYO", "T_TEKIYO", 0},         {"BT_DAY_INPUT", "T_DAY_INPUT", 0},
            {"BT_TUKISIME", "T_TUKISIME", 0},     {"T_TOTAL1", "T_TOTAL_MEISAI", 0},
            {"BT_KESANSYO", "T_KESANSYO", 0},
        };
        for (const auto& [twin, table, lead] : twins) QTest::newRow(twin) << twin << table << lead;
    }
    // A twin receives whole rows of its table by position ("INSERT INTO x
    // SELECT * FROM y"), so it must match in every column property.
    void twinsMatchTheirTables() {
        QFETCH(QString, twin);
        QFETCH(QString, table);
        QFETCH(int, leadingCid);
        QStringList twinColumns = fullDescription(twin, leadingCid);
        QStringList tableColumns = fullDescription(table, 0);
        if (twin == "BT_KANJO") {
            // BT_KANJO's key is CID + KOCODE: KOCODE is its second key column.
            QCOMPARE(keyOf(twin), QStringList({"CID", "KOCODE"}));
            tableColumns[0].replace(QRegularExpression("\\|1$"), "|2");
        }
        QCOMPARE(twinColumns, tableColumns);
    }

    // MT_KANJO carries the 24 columns of T_KANJO under the same names and
    // kinds (its order is free; ours follows BT_KANJO).
    void templateChartHasTheWorkingChartsColumns() {
        QStringList mt = columnsOf("MT_KANJO");
        QCOMPARE(mt.takeFirst(), QStringLiteral("CID"));
        QCOMPARE(mt, columnsOf("T_KANJO"));
    }

    // The 23 backup files: order, file names, tables and values per line; the
    // count of values is the table's column count.
    void backupCatalogue() {
        const QStringList tables = {
            "T_KANJO",      "T_COMP_MAIN",   "T_SIWAKE",     "T_SI_MEISAI",  "T_DAY_INPUT",   "T_SI_PATTERN",
            "T_DAY_TORAN",  "T_KISYUZAN",    "T_HOJOKAMOKU", "T_TEKIYO",     "T_TUKISIME",    "BT_KANJO",
            "BT_COMP_MAIN", "BT_SIWAKE",     "BT_SI_MEISAI", "BT_DAY_INPUT", "BT_SI_PATTERN", "BT_DAY_TORAN",
            "BT_KISYUZAN",  "BT_HOJOKAMOKU", "BT_TEKIYO",    "BT_TUKISIME",  "BT_KESANSYO"};
        const QList<int> widths = {24, 27, 9,  31, 3, 7,  35, 11, 6, 3, 5, 25,
                                   27, 9,  31, 3,  7, 35, 11, 6,  3, 5, 66};
        const auto rows = cn_->query("SELECT SEQNO, TEXTNAME, FLPNO, KEISIKI FROM T_BACKUP ORDER BY SEQNO");
        QVERIFY(rows);
        QCOMPARE(int(rows->size()), 23);
        for (int i = 0; i < 23; ++i) {
            const auto& r = (*rows)[size_t(i)];
            QCOMPARE(r.integer("SEQNO"), qint64(i + 1));
            QCOMPARE(r.text("TEXTNAME"), QStringLiteral("T_%1").arg(i + 1, 3, 10, QLatin1Char('0')));
            QCOMPARE(r.text("KEISIKI"), tables[i]);
            QCOMPARE(r.integer("FLPNO"), qint64(widths[i]));
            QCOMPARE(r.integer("FLPNO"), qint64(columnsOf(tables[i]).size()));
        }
    }

    // The journal lines are read by voucher and by month, the totals by key;
    // each has an index that serves it.
    void lookupsUseAnIndex_data() {
        QTest::addColumn<QString>("query");
        QTest::newRow("lines of a voucher")
            << "SELECT * FROM T_SI_MEISAI WHERE CID = '01' AND DENCODE = '00001'";
        QTest::newRow("lines of a month")
            << "SELECT * FROM T_SI_MEISAI WHERE CID = '01' AND DATEYM = '2003/04'";
        QTest::newRow("voucher of a day")
            << "SELECT * FROM T_SIWAKE WHERE CID = '01' AND DENDAY = '2003/04/01'";
        QTest::newRow("account month total")
            << "SELECT * FROM T_TUKIKAN WHERE CID = '01' AND KANKOCODE = '004' AND DATEYM = '2003/04'";
        QTest::newRow("account totals of a month")
            << "SELECT * FROM T_TUKIKAN WHERE CID = '01' AND DATEYM = '2003/04'";
        QTest::newRow("sub-account month total") << "SELECT * FROM T_TUKIHOJO WHERE CID = '01' AND KANKOCODE "
                                                    "= '012' AND HOCODE = '01' AND DATEYM = "
                                                    "'2003/04'";
        QTest::newRow("day amounts")
            << "SELECT * FROM T_DAY_TORAN WHERE CID = '01' AND KOCODE = '180' AND DATEYM "
               "= '2003/04'";
    }
    void lookupsUseAnIndex() {
        QFETCH(QString, query);
        const auto plan = cn_->query("EXPLAIN QUERY PLAN " + query);
        QVERIFY(plan);
        QStringList details;
        for (const auto& r : *plan) details << r.text("detail");
        QVERIFY2(details.join(' ').contains("USING"), qPrintable(details.join(" / ")));
    }
};

QTEST_GUILESS_MAIN(TestSchema)
#include "tst_schema.moc"
