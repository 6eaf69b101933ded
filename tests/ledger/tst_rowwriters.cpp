// The row writers on a copy of the shipped database: the count of values and
// the rule of every position of each writer, the tables each serves, the
// messages of every kind of failure, and the special behaviours (one header
// row, silent duplicates, plain error boxes, quotes stored as typed).

#include <QRegularExpression>
#include <QtTest>
#include <memory>

#include "app/common/globals.h"
#include "ledger/rowwriters.h"
#include "platform/clock.h"
#include "platform/connection.h"
#include "platform/msgbox.h"
#include "support/testenv.h"

using platform::MsgIcon;
using platform::ScriptedMsgBox;

namespace {

using WriterFn = bool (*)(const QStringList&, const QString&);

enum class Box { Warning, Plain, WarningThenPlain, Silent };

// Rules, one letter per position, written as runs ("t13 d2 A"):
//   t quoted, trimmed   q quoted as is   d date
//   A amount, empty as zero   a amount as is
//   N whole number, empty as zero   n whole number as is
//   R rate, empty as zero   r rate as is
struct WriterCase {
    const char* name;
    WriterFn fn;
    const char* tables;  // the tables it serves, blank-separated
    const char* runs;
    const char* dataName;  // of the warning box
    Box box;
};

const QList<WriterCase>& writers() {
    static const QList<WriterCase> list = {
        {"WriteCompanyTable", WriteCompanyTable, "T_COMP_MAIN WK_COMPANY BT_COMP_MAIN",
         "t13 d2 t3 N t3 d A d t R", "会社情報マスタ", Box::Warning},
        {"WriteKisyuzanTable", WriteKisyuzanTable, "T_KISYUZAN BT_KISYUZAN", "t4 A N t4 R", "期首残高マスタ",
         Box::Warning},
        {"WriteKanjoTable", WriteKanjoTable, "T_KANJO", "t17 A t4 N t", "勘定科目マスタ", Box::Warning},
        {"WriteBKanjoTable", WriteBKanjoTable, "BT_KANJO", "t18 A t4 N t", "", Box::Plain},
        {"WriteHojoKamokuTable", WriteHojoKamokuTable, "T_HOJOKAMOKU BT_HOJOKAMOKU", "t5 a", "補助科目マスタ",
         Box::Warning},
        {"WriteSiwakeTable", WriteSiwakeTable, "T_SIWAKE BT_SIWAKE", "t3 d2 t A2 R", "仕訳データ",
         Box::Warning},
        {"WriteSiMeisaiTable", WriteSiMeisaiTable, "T_SI_MEISAI T_SIMEISAI_FUKYU BT_SI_MEISAI",
         "t3 d t7 R A3 t7 R A3 t5", "仕訳明細データ", Box::Warning},
        {"WriteDayToranTable", WriteDayToranTable, "T_DAY_TORAN BT_DAY_TORAN", "t4 a31", "", Box::Silent},
        {"WriteSiPatternTable", WriteSiPatternTable, "WK_SI_PATTERN T_SI_PATTERN BT_SI_PATTERN", "t7",
         "仕分パターンマスタ", Box::Warning},
        {"WriteTekiyoTable", WriteTekiyoTable, "WK_TEKIYO T_TEKIYO BT_TEKIYO", "t3", "摘要マスタ",
         Box::Warning},
        {"WriteDayInputTable", WriteDayInputTable, "T_DAY_INPUT BT_DAY_INPUT", "t3", "日付入力用マスタ",
         Box::Warning},
        {"WriteTukisimeTable", WriteTukisimeTable, "T_TUKISIME BT_TUKISIME", "t5", "月次締データ",
         Box::Warning},
        {"WriteTukikanTable", WriteTukikanTable, "T_TUKIKAN", "t3 a4", "", Box::Silent},
        {"WriteTukihojoTable", WriteTukihojoTable, "T_TUKIHOJO", "t4 a4", "", Box::Silent},
        {"WritePrintKomokuTable", WritePrintKomokuTable, "T_PRINTKOMOKU", "t9", "印刷用項目データ",
         Box::Warning},
        {"WriteTotalMeisaiTable", WriteTotalMeisaiTable, "T_TOTAL_MEISAI T_TOTAL1", "t8 a4", "集計明細データ",
         Box::Warning},
        {"WriteSiallOutTable", WriteSiallOutTable, "T_SIALL_OUT", "t12 a2 t7 a2 t", "仕分一覧表出力データ",
         Box::WarningThenPlain},
        {"WriteSkanmtOutTable", WriteSkanmtOutTable, "T_SKANMT_OUT", "t4 n t7 a3", "総勘定元帳出力用データ",
         Box::Warning},
        {"WriteSkansubmtOutTable", WriteSkansubmtOutTable, "T_SKANSUBMT_OUT", "t4 n t9 a3",
         "総勘定補助元帳出力用データ", Box::Warning},
        {"WriteTukisyusiTable", WriteTukisyusiTable, "P_TUKISYUSI", "t3 a13", "月別収支内訳表印刷用データ",
         Box::Warning},
        {"WriteTukisyusiHeadTable", WriteTukisyusiHeadTable, "P_TUKISYUSI_HEAD", "t13 a52",
         "月別収支内訳表印刷用データ", Box::Warning},
        {"WriteKesansyoTable", WriteKesansyoTable, "P_KESANSYO", "a126 q30", "決算書印刷用データ",
         Box::Warning},
        {"WriteBKesansyoTable", WriteBKesansyoTable, "T_KESANSYO BT_KESANSYO", "q a64 q", "", Box::Plain},
    };
    return list;
}

const WriterCase& writerNamed(const QString& name) {
    for (const WriterCase& w : writers()) {
        if (name == QLatin1String(w.name)) return w;
    }
    qFatal("no writer %s", qPrintable(name));
}

QString expand(const char* runs) {
    QString rules;
    for (const QString& run : QString::fromLatin1(runs).split(u' ')) {
        const int count = run.size() > 1 ? run.mid(1).toInt() : 1;
        rules += QString(count, run[0]);
    }
    return rules;
}

bool isNumberRule(QChar r) {
    return QStringLiteral("AaNnRr").contains(r);
}
bool isEmptyAsZero(QChar r) {
    return QStringLiteral("ANR").contains(r);
}

// A value that each rule stores differently from how it was given, and what
// must be read back for it.
QString validValue(QChar rule, int pos) {
    switch (rule.toLatin1()) {
        case 't':
        case 'q':
            return QStringLiteral("  \u3000v%1 ").arg(pos);  // half-width blanks around a full-width one
        case 'd':
            return QStringLiteral("20030401");
        case 'A':
        case 'a':
            return pos % 2 ? QStringLiteral("-%1.5").arg(pos) : QString::number(pos);
        case 'N':
        case 'n':
            return QString::number(pos);
        default:
            return QStringLiteral("%1.25").arg(pos);
    }
}

QVariant storedValue(QChar rule, int pos) {
    switch (rule.toLatin1()) {
        case 't':
            return QStringLiteral("\u3000v%1").arg(pos);
        case 'q':
            return validValue(rule, pos);
        case 'd':
            return QStringLiteral("2003/04/01");
        case 'A':
        case 'a':
            return pos % 2 ? qint64(-pos * 10000 - 5000) : qint64(pos * 10000);
        case 'N':
        case 'n':
            return qint64(pos);
        default:
            return pos + 0.25;
    }
}

QStringList validRow(const QString& rules) {
    QStringList values = RowValues(int(rules.size()));
    for (int i = 1; i <= rules.size(); ++i) values[i] = validValue(rules[i - 1], i);
    return values;
}

QString warningText(const WriterCase& w, const QString& table) {
    return QString::fromUtf8(w.dataName) + "( " + table + " )のアクセス中にエラーが発生しました(" + w.name +
           ")。";
}

}  // namespace

class TestRowWriters : public QObject {
    Q_OBJECT

private:
    std::unique_ptr<testenv::ShippedDb> db_;
    std::optional<platform::Transaction> tx_;
    platform::Connection* cn_ = nullptr;  // db_'s connection

    qint64 rowCount(const QString& table) {
        return cn_->scalar("SELECT count(*) FROM " + table).value_or(QVariant(-1)).toLongLong();
    }
    platform::Row lastRow(const QString& table) {
        return cn_->queryOne("SELECT * FROM " + table + " WHERE rowid = ?", {cn_->lastInsertRowId()})
            .value_or(platform::Row());
    }

    // The writer's failure report, as the user sees it.
    void verifyReported(const WriterCase& w, const QString& table, const ScriptedMsgBox& boxes) {
        switch (w.box) {
            case Box::Warning:
            case Box::WarningThenPlain:
                QCOMPARE(boxes.count(), w.box == Box::Warning ? 1 : 2);
                QCOMPARE(boxes.shown()[0].title, gstrSoftName);
                QCOMPARE(boxes.shown()[0].text, warningText(w, table));
                QCOMPARE(boxes.shown()[0].icon, MsgIcon::Warning);
                if (w.box == Box::WarningThenPlain) {
                    QCOMPARE(boxes.shown()[1].icon, MsgIcon::None);
                    QVERIFY(!boxes.shown()[1].text.isEmpty());
                }
                break;
            case Box::Plain:
                QCOMPARE(boxes.count(), 1);
                QCOMPARE(boxes.last().icon, MsgIcon::None);
                QVERIFY2(QRegularExpression(QStringLiteral("^\\d+\r\n.+\\(%1\\)$").arg(w.name),
                                            QRegularExpression::DotMatchesEverythingOption)
                             .match(boxes.last().text)
                             .hasMatch(),
                         qPrintable(boxes.last().text));
                break;
            case Box::Silent:
                // Only an existing key passes silently; other failures are told.
                QCOMPARE(boxes.count(), 1);
                QCOMPARE(boxes.last().text,
                         QStringLiteral("データベースのアクセス中にエラーが発生しました(%1)。").arg(w.name));
                QCOMPARE(boxes.last().icon, MsgIcon::Warning);
                break;
        }
    }

    static void addWriterRows(bool (*wanted)(const QString& rules)) {
        QTest::addColumn<QString>("writer");
        for (const WriterCase& w : writers()) {
            if (wanted(expand(w.runs))) QTest::newRow(w.name) << QString::fromLatin1(w.name);
        }
    }

private slots:
    void initTestCase() {
        testenv::isolate();
        // Two-digit years are read in the century of today.
        platform::Clock::setFixed(QDate(2024, 6, 1));
    }

    void init() {
        platform::DbError error;
        db_ = testenv::ShippedDb::open(&error);
        QVERIFY2(db_, qPrintable(error.text()));
        cn_ = &db_->connection();
        // Each test writes inside one transaction, as the engine's callers do.
        tx_.emplace(*cn_);
    }

    void cleanup() {
        tx_.reset();
        db_.reset();
    }

    void cleanupTestCase() { platform::Clock::reset(); }

    void storesEveryPositionByItsRule_data() {
        QTest::addColumn<QString>("writer");
        QTest::addColumn<QString>("table");
        for (const WriterCase& w : writers()) {
            for (const QString& t : QString::fromLatin1(w.tables).split(u' ')) {
                QTest::newRow(qPrintable(QString::fromLatin1(w.name) + " " + t))
                    << QString::fromLatin1(w.name) << t;
            }
        }
    }
    // One row of valid values into each table the writer serves: the count of
    // values is the table's width, texts are trimmed of half-width blanks only
    // or kept as they are, dates normalised, amounts stored as exact raw
    // counts, whole numbers and rates as numbers.
    void storesEveryPositionByItsRule() {
        QFETCH(QString, writer);
        QFETCH(QString, table);
        const WriterCase& w = writerNamed(writer);
        const QString rules = expand(w.runs);
        ScriptedMsgBox boxes;
        const qint64 before = rowCount(table);
        QVERIFY(w.fn(validRow(rules), table));
        QCOMPARE(boxes.count(), 0);
        QCOMPARE(rowCount(table), before + 1);
        const platform::Row row = lastRow(table);
        QCOMPARE(row.size(), int(rules.size()));
        for (int i = 1; i <= rules.size(); ++i) {
            const QChar rule = rules[i - 1];
            const QVariant expected = storedValue(rule, i);
            const QVariant actual = row.value(i - 1);
            QVERIFY2(
                actual.metaType() == expected.metaType() && actual == expected,
                qPrintable(QStringLiteral("position %1 (%2): %3").arg(i).arg(rule).arg(actual.toString())));
        }
    }

    // The same row given by column name, amounts as Currency, whole numbers
    // and rates as numbers, stores exactly what the value list stores; the
    // writer's one column list is the column list of every table it serves.
    void namedRowStoresAsTheValueList_data() { storesEveryPositionByItsRule_data(); }
    void namedRowStoresAsTheValueList() {
        QFETCH(QString, writer);
        QFETCH(QString, table);
        const WriterCase& w = writerNamed(writer);
        const QString rules = expand(w.runs);
        const QStringList& columns = WriterColumns(w.fn);
        QCOMPARE(columns.size(), rules.size());
        const QStringList texts = validRow(rules);
        WriterRow named(w.fn);
        for (int i = 1; i <= rules.size(); ++i) {
            const QString& column = columns[i - 1];
            switch (rules[i - 1].toLatin1()) {
                case 'A':
                case 'a':
                    named.set(column, Currency::parse(texts[i]).value());
                    break;
                case 'N':
                case 'n':
                    named.set(column, texts[i].toLongLong());
                    break;
                case 'R':
                case 'r':
                    named.set(column, texts[i].toDouble());
                    break;
                default:
                    named.set(column, texts[i]);
            }
        }
        ScriptedMsgBox boxes;
        QVERIFY(w.fn(texts, table));
        const platform::Row byList = lastRow(table);
        QVERIFY(cn_->exec("DELETE FROM " + table + " WHERE rowid = ?", {cn_->lastInsertRowId()}));
        QVERIFY(WriteRow(named, table));
        QCOMPARE(boxes.count(), 0);
        const platform::Row byName = lastRow(table);
        QCOMPARE(byName.size(), int(rules.size()));
        for (int i = 0; i < byName.size(); ++i) {
            QCOMPARE(byName.columnName(i).toUpper(), columns[i].toUpper());
            QVERIFY2(byName.value(i).metaType() == byList.value(i).metaType() && byName.value(i) == byList.value(i),
                     qPrintable(columns[i]));
        }
    }

    void emptyNumberStoresZero_data() {
        addWriterRows(
            [](const QString& rules) { return std::any_of(rules.begin(), rules.end(), isEmptyAsZero); });
    }
    // Every "number, empty as zero" position accepts the empty text as 0.
    void emptyNumberStoresZero() {
        QFETCH(QString, writer);
        const WriterCase& w = writerNamed(writer);
        const QString rules = expand(w.runs);
        const QString table = QString::fromLatin1(w.tables).section(u' ', 0, 0);
        QStringList values = validRow(rules);
        for (int i = 1; i <= rules.size(); ++i) {
            if (isEmptyAsZero(rules[i - 1])) values[i].clear();
        }
        ScriptedMsgBox boxes;
        QVERIFY(w.fn(values, table));
        QCOMPARE(boxes.count(), 0);
        const platform::Row row = lastRow(table);
        for (int i = 1; i <= rules.size(); ++i) {
            if (isEmptyAsZero(rules[i - 1]))
                QVERIFY2(row.value(i - 1).toDouble() == 0 && !row.isNull(i - 1),
                         qPrintable(QString::number(i)));
        }
    }

    void badNumberFails_data() {
        addWriterRows(
            [](const QString& rules) { return std::any_of(rules.begin(), rules.end(), isNumberRule); });
    }
    // An empty text at every "number as is" position, and a text that is no
    // number at any number position, fails the writer with its message and
    // stores nothing.
    void badNumberFails() {
        QFETCH(QString, writer);
        const WriterCase& w = writerNamed(writer);
        const QString rules = expand(w.runs);
        const QString table = QString::fromLatin1(w.tables).section(u' ', 0, 0);
        const qint64 before = rowCount(table);
        for (int i = 1; i <= rules.size(); ++i) {
            if (!isNumberRule(rules[i - 1])) continue;
            // Only plain decimal text is a number: no grouping, blanks, signs
            // other than "-", currency signs, exponents or full-width digits.
            QStringList bad{"abc", "12x", "320,5", "1e3", " 12", "+5", "12.", QStringLiteral("¥100"),
                            QStringLiteral("１２")};
            if (!isEmptyAsZero(rules[i - 1])) bad << "";
            for (const QString& text : bad) {
                QStringList values = validRow(rules);
                values[i] = text;
                ScriptedMsgBox boxes;
                QVERIFY2(!w.fn(values, table),
                         qPrintable(QStringLiteral("position %1 \"%2\"").arg(i).arg(text)));
                verifyReported(w, table, boxes);
            }
        }
        QCOMPARE(rowCount(table), before);
    }

    void missingValueFails_data() {
        addWriterRows([](const QString&) { return true; });
    }
    // A list that ends before the writer's last position fails like a failed
    // statement; a list longer than needed is fine.
    void missingValueFails() {
        QFETCH(QString, writer);
        const WriterCase& w = writerNamed(writer);
        const QString rules = expand(w.runs);
        const QString table = QString::fromLatin1(w.tables).section(u' ', 0, 0);
        QStringList values = validRow(rules);
        values.removeLast();
        {
            ScriptedMsgBox boxes;
            QVERIFY(!w.fn(values, table));
            verifyReported(w, table, boxes);
        }
        values = validRow(rules);
        values << "extra";
        ScriptedMsgBox boxes;
        QVERIFY(w.fn(values, table));
        QCOMPARE(boxes.count(), 0);
    }

    void unservedTableFails_data() {
        addWriterRows([](const QString&) { return true; });
    }
    // A table the writer does not serve is refused (the name cannot be bound,
    // so only known names ever reach the statement).
    void unservedTableFails() {
        QFETCH(QString, writer);
        const WriterCase& w = writerNamed(writer);
        const QString rules = expand(w.runs);
        for (const QString& table :
             {QStringLiteral("T_NOPE"), QStringLiteral("T_SIWAKE; DROP TABLE T_KANJO")}) {
            ScriptedMsgBox boxes;
            QVERIFY(!w.fn(validRow(rules), table));
            verifyReported(w, table, boxes);
        }
        QVERIFY(cn_->scalar("SELECT count(*) FROM T_KANJO").has_value());
    }

    // Table names are matched without regard to case, as the program spells
    // them in several ways.
    void tableNameIgnoresCase() {
        ScriptedMsgBox boxes;
        QStringList values = RowValues(3);
        values[1] = "01";
        values[2] = "001";
        values[3] = "売上";
        QVERIFY(WriteTekiyoTable(values, "wk_tekiyo"));
        QCOMPARE(rowCount("WK_TEKIYO"), qint64(1));
    }

    void dates_data() {
        QTest::addColumn<QString>("typed");
        QTest::addColumn<QString>("stored");
        QTest::newRow("eight digits") << "20030401"
                                      << "2003/04/01";
        QTest::newRow("with slashes") << "2003/04/01"
                                      << "2003/04/01";
        QTest::newRow("six digits") << "03/04/01"
                                    << "2003/04/01";
        // A day that does not exist is refused, never moved to another day.
        QTest::newRow("30 February") << "20030230"
                                     << "<refused>";
        QTest::newRow("month 13") << "2003/13/01"
                                  << "<refused>";
        QTest::newRow("three digits") << "123"
                                      << "";
        QTest::newRow("empty") << ""
                               << "";
    }
    // Date positions store the normalised date, or the empty text when fewer
    // than five digits were given.
    void dates() {
        QFETCH(QString, typed);
        QFETCH(QString, stored);
        QStringList values = validRow(expand(writerNamed("WriteSiwakeTable").runs));
        values[4] = typed;
        values[5] = typed;
        ScriptedMsgBox boxes;
        if (stored == QStringLiteral("<refused>")) {
            const qint64 before = rowCount("T_SIWAKE");
            QVERIFY(!WriteSiwakeTable(values, "T_SIWAKE"));
            QCOMPARE(rowCount("T_SIWAKE"), before);
            return;
        }
        QVERIFY(WriteSiwakeTable(values, "T_SIWAKE"));
        const platform::Row row = lastRow("T_SIWAKE");
        QCOMPARE(row.text("DENDAY"), stored);
        QCOMPARE(row.text("INDAY"), stored);
    }

    // The writers of stored tables are the last guard: a journal line with a
    // value no box would take is refused whole, with the writer's warning.
    void storedTablesRefuseUnfitValues_data() {
        QTest::addColumn<int>("position");
        QTest::addColumn<QString>("value");
        QTest::newRow("CR LF in the description") << 30 << QStringLiteral("二行の\r\n摘要");
        QTest::newRow("NUL in the description") << 30 << QString::fromUtf16(u"a\u0000b", 3);
        QTest::newRow("emoji in the description") << 30 << QStringLiteral("売上😀");
        QTest::newRow("description beyond 256 bytes") << 30 << QString(129, QChar(0x3042));
        QTest::newRow("amount beyond the boxes") << 15 << QStringLiteral("1000000000000");
        QTest::newRow("20-digit amount") << 15 << QStringLiteral("12345678901234567890");
        QTest::newRow("30 February") << 4 << QStringLiteral("2000/02/30");
    }
    void storedTablesRefuseUnfitValues() {
        QFETCH(int, position);
        QFETCH(QString, value);
        QStringList values = validRow(expand(writerNamed("WriteSiMeisaiTable").runs));
        values[position] = value;
        ScriptedMsgBox boxes;
        const qint64 before = rowCount("T_SI_MEISAI");
        QVERIFY(!WriteSiMeisaiTable(values, "T_SI_MEISAI"));
        QCOMPARE(rowCount("T_SI_MEISAI"), before);
        QCOMPARE(boxes.count(), 1);
        QVERIFY(boxes.last().text.contains(QStringLiteral("WriteSiMeisaiTable")));
        // The largest amount the boxes take, and 256 bytes of text, pass.
        values = validRow(expand(writerNamed("WriteSiMeisaiTable").runs));
        values[15] = QStringLiteral("999999999999");
        values[30] = QString(128, QChar(0x3042));
        QVERIFY(WriteSiMeisaiTable(values, "T_SI_MEISAI"));
    }

    // Values are bound, never pasted: quotes and other SQL characters in
    // names and descriptions are stored exactly as typed.
    void quotesAreStoredAsTyped() {
        const QString typed = QStringLiteral("O'Brien's \"売上\"'); DELETE FROM T_TEKIYO; --");
        QStringList values = RowValues(3);
        values[1] = "01";
        values[2] = "001";
        values[3] = typed;
        ScriptedMsgBox boxes;
        QVERIFY(WriteTekiyoTable(values, "T_TEKIYO"));
        QCOMPARE(boxes.count(), 0);
        QCOMPARE(cn_->scalar("SELECT TENAME FROM T_TEKIYO WHERE CID = '01' AND TEKINO = '001'")->toString(),
                 typed);
    }

    // Amounts keep their exact decimal value (no floating point on the way).
    void amountsAreExact() {
        QStringList values = validRow(expand(writerNamed("WriteTukikanTable").runs));
        values[4] = "123456789012.3456";
        values[5] = "-320.5";
        values[6] = "0.0001";
        values[7] = "1500";
        ScriptedMsgBox boxes;
        QVERIFY(WriteTukikanTable(values, "T_TUKIKAN"));
        const platform::Row row = lastRow("T_TUKIKAN");
        QCOMPARE(row.currency("KRTOTAL").raw(), qint64(1234567890123456));
        QCOMPARE(row.currency("KSTOTAL").toText(), QStringLiteral("-320.5"));
        QCOMPARE(row.currency("KRRUI").raw(), qint64(1));
        QCOMPARE(row.currency("KSRUI"), Currency::fromYen(1500));
    }

    // The header row table holds only the last row written; a failed call
    // leaves the previous row, and a caller's rollback brings it back.
    void printKomokuKeepsOneRow() {
        QStringList first = RowValues(9);
        first[6] = " 2010年 4月度 ";
        QStringList second = RowValues(9);
        second[6] = "2010年 5月度";
        second[7] = "x";
        ScriptedMsgBox boxes;
        QVERIFY(WritePrintKomokuTable(first, "T_PRINTKOMOKU"));
        QVERIFY(WritePrintKomokuTable(second, "T_PRINTKOMOKU"));
        QCOMPARE(rowCount("T_PRINTKOMOKU"), qint64(1));
        auto row = cn_->queryOne("SELECT * FROM T_PRINTKOMOKU");
        QCOMPARE(row->text("KOMOKU6"), QStringLiteral("2010年 5月度"));
        QCOMPARE(row->text("KOMOKU7"), QStringLiteral("x"));
        QCOMPARE(row->text("KOMOKU1"), QString());  // empty text, not null
        QVERIFY(!row->isNull("KOMOKU1"));

        QVERIFY(!WritePrintKomokuTable(RowValues(8), "T_PRINTKOMOKU"));
        QCOMPARE(boxes.count(), 1);
        QCOMPARE(cn_->scalar("SELECT KOMOKU6 FROM T_PRINTKOMOKU")->toString(),
                 QStringLiteral("2010年 5月度"));

        QVERIFY(cn_->begin());
        QVERIFY(WritePrintKomokuTable(first, "T_PRINTKOMOKU"));
        QCOMPARE(cn_->scalar("SELECT KOMOKU6 FROM T_PRINTKOMOKU")->toString(),
                 QStringLiteral("2010年 4月度"));
        QVERIFY(cn_->rollback());
        QCOMPARE(rowCount("T_PRINTKOMOKU"), qint64(1));
        QCOMPARE(cn_->scalar("SELECT KOMOKU6 FROM T_PRINTKOMOKU")->toString(),
                 QStringLiteral("2010年 5月度"));
    }

    void duplicateKey_data() {
        QTest::addColumn<QString>("writer");
        QTest::addColumn<QString>("table");
        QTest::newRow("month totals") << "WriteTukikanTable"
                                      << "T_TUKIKAN";
        QTest::newRow("sub-account totals") << "WriteTukihojoTable"
                                            << "T_TUKIHOJO";
        QTest::newRow("day amounts") << "WriteDayToranTable"
                                     << "T_DAY_TORAN";
        QTest::newRow("previous-year day amounts") << "WriteDayToranTable"
                                                   << "BT_DAY_TORAN";
        QTest::newRow("previous-year chart") << "WriteBKanjoTable"
                                             << "BT_KANJO";
        QTest::newRow("year-end figures") << "WriteBKesansyoTable"
                                          << "T_KESANSYO";
        QTest::newRow("voucher") << "WriteSiwakeTable"
                                 << "T_SIWAKE";
        QTest::newRow("pattern editing copy") << "WriteSiPatternTable"
                                              << "WK_SI_PATTERN";
    }
    // A row whose key exists: the silent writers answer false without a
    // message (their callers then update the row); the others report it, the
    // previous-year chart and the year-end figures in a plain box with the
    // error number. The stored row stays as it was.
    void duplicateKey() {
        QFETCH(QString, writer);
        QFETCH(QString, table);
        const WriterCase& w = writerNamed(writer);
        const QString rules = expand(w.runs);
        ScriptedMsgBox boxes;
        const qint64 before = rowCount(table);
        QVERIFY(w.fn(validRow(rules), table));
        const qint64 rowid = cn_->lastInsertRowId();
        // The same key with another value in the last (never a key) column.
        const int last = int(rules.size());
        QStringList again = validRow(rules);
        again[last] = "999";
        QVERIFY(!w.fn(again, table));
        if (w.box == Box::Silent) {
            QCOMPARE(boxes.count(), 0);
        } else {
            verifyReported(w, table, boxes);
        }
        QCOMPARE(rowCount(table), before + 1);
        const platform::Row row = *cn_->queryOne("SELECT * FROM " + table + " WHERE rowid = ?", {rowid});
        QCOMPARE(row.value(last - 1), storedValue(rules[last - 1], last));
    }

    // Without a connection every writer fails and says so (silent ones too).
    void noConnection() {
        gcnKaikei = nullptr;
        ScriptedMsgBox boxes;
        QVERIFY(!WriteTukikanTable(validRow(expand("t3 a4")), "T_TUKIKAN"));
        QCOMPARE(boxes.count(), 1);
    }
};

QTEST_GUILESS_MAIN(TestRowWriters)
#include "tst_rowwriters.moc"
