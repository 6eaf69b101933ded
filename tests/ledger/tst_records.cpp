// Typed rows: every field of each record reaches its own column, in every
// table its writer serves, and a record filled only at its key stores empty
// texts and zero amounts. Amounts reach their columns as integers, exact at
// the extremes; a column name the table lacks fails loudly.

#include <QtTest>
#include <functional>
#include <limits>
#include <memory>

#include "app/common/globals.h"
#include "ledger/records.h"
#include "platform/connection.h"
#include "platform/msgbox.h"
#include "support/missingcolumns.h"
#include "support/testenv.h"

namespace {

using Expected = QList<QPair<QString, QString>>;  // column, stored value as text

Currency raw(qint64 r) {
    return Currency::fromRaw(r);
}

JournalSide side(const QString& tag, qint64 base) {
    JournalSide s;
    s.kocode = tag + "ko";
    s.hokocode = tag + "ho";
    s.bukbn = tag + "bu";
    s.tkbn = tag + "tk";
    s.tkocode = tag + "tko";
    s.tritu = 1.25f + float(base);
    s.tkin = raw(base + 1);
    s.tkinNo = raw(base + 2);
    s.kin = raw(-(base + 3));
    s.aicode = tag + "ai";
    s.aihocode = tag + "aiho";
    return s;
}

Expected sideColumns(const QString& prefix, const QString& tag, qint64 base) {
    return {{prefix + "KOCODE", tag + "ko"},
            {prefix + "HOKOCODE", tag + "ho"},
            {prefix + "BUKBN", tag + "bu"},
            {prefix + "TKBN", tag + "tk"},
            {prefix + "TKOCODE", tag + "tko"},
            {prefix + "TRITU", QString::number(1.25 + double(base))},
            {prefix + "TKIN", QString::number(base + 1)},
            {prefix + "TKINNO", QString::number(base + 2)},
            {prefix + "KIN", QString::number(-(base + 3))},
            {prefix + "AICODE", tag + "ai"},
            {prefix + "AIHOCODE", tag + "aiho"}};
}

struct Case {
    QStringList tables;
    std::function<bool(const QString& table)> write;
    Expected expected;
};

QMap<QString, Case> cases() {
    QMap<QString, Case> c;

    JournalLine line;
    line.denCode = "00007";
    line.denMeNo = "012";
    line.cid = "77";
    line.siDay = "2011/04/05";
    line.dateYm = "2011/04";
    line.sisyu = "1";
    line.kr = side("r", 10);
    line.ks = side("s", 20);
    line.tecode = "0003";
    line.tekiyo = "家賃 '4月分'";
    line.ptcode = "0102";
    c["journal line"] = {{"T_SI_MEISAI", "T_SIMEISAI_FUKYU", "BT_SI_MEISAI"},
                         [line](const QString& t) { return WriteSiMeisaiTable(line, t); },
                         Expected{{"DENCODE", "00007"},
                                  {"DENMENO", "012"},
                                  {"CID", "77"},
                                  {"SIDAY", "2011/04/05"},
                                  {"DATEYM", "2011/04"},
                                  {"SISYU", "1"},
                                  {"TECODE", "0003"},
                                  {"TEKIYO", "家賃 '4月分'"},
                                  {"ptcode", "0102"}} +
                             sideColumns("KR", "r", 10) + sideColumns("KS", "s", 20)};

    DayVoucher v;
    v.cid = "77";
    v.denCode = "00007";
    v.denNo = "007";
    v.denDay = "2011/04/05";
    v.inDay = "2011/04/06";
    v.kessan = "1";
    v.yDayZan = raw(-15000);
    v.dayZan = raw(25001);
    v.rate = 0.00001f;  // a rate whose shortest text has an exponent
    c["day voucher"] = {{"T_SIWAKE", "BT_SIWAKE"},
                        [v](const QString& t) { return WriteSiwakeTable(v, t); },
                        {{"CID", "77"},
                         {"DENCODE", "00007"},
                         {"DENNO", "007"},
                         {"DENDAY", "2011/04/05"},
                         {"INDAY", "2011/04/06"},
                         {"KESSAN", "1"},
                         {"YDAYZAN", "-15000"},
                         {"DAYZAN", "25001"},
                         {"RATE", "1e-05"}}};

    DayAmounts a;
    a.cid = "77";
    a.kocode = "012";
    a.dateYm = "2011/04";
    a.kmcode = "120";
    Expected amounts{{"CID", "77"}, {"KOCODE", "012"}, {"DATEYM", "2011/04"}, {"KMCODE", "120"}};
    for (int day = 1; day <= 31; ++day) {
        a.kin[day - 1] = raw(day * 100 + 1);
        amounts << qMakePair(QStringLiteral("KIN%1").arg(day), QString::number(day * 100 + 1));
    }
    c["day amounts"] = {{"T_DAY_TORAN", "BT_DAY_TORAN"},
                        [a](const QString& t) { return WriteDayToranTable(a, t); }, amounts};

    OpeningBalance b;
    b.cid = "77";
    b.kocode = "004";
    b.kmcode = "100";
    b.kanName = "現金";
    b.kisyuzan = raw(-123456789);
    b.jun = 17;
    b.siyou = "Y";
    b.aicode = "012";
    b.hojoset = "N";
    b.kisyumkbn = "2";
    b.rate = 12345.6789;  // nine digits, stored as typed (no single-precision number holds them)
    c["opening balance"] = {{"T_KISYUZAN", "BT_KISYUZAN"},
                            [b](const QString& t) { return WriteKisyuzanTable(b, t); },
                            {{"CID", "77"},
                             {"KOCODE", "004"},
                             {"KMCODE", "100"},
                             {"KANNAME", "現金"},
                             {"KISYUZAN", "-123456789"},
                             {"JUN", "17"},
                             {"SIYOU", "Y"},
                             {"AICODE", "012"},
                             {"HOJOSET", "N"},
                             {"KISYUMKBN", "2"},
                             {"RATE", "12345.6789"}}};

    SubAccount s;
    s.cid = "77";
    s.kankocode = "012";
    s.hokocode = "02";
    s.hocode = "0201";
    s.honame = "本店口座";
    s.kisyuzan = raw(990001);
    c["sub-account"] = {{"T_HOJOKAMOKU", "BT_HOJOKAMOKU"},
                        [s](const QString& t) { return WriteHojoKamokuTable(s, t); },
                        {{"CID", "77"},
                         {"KANKOCODE", "012"},
                         {"HOKOCODE", "02"},
                         {"HOCODE", "0201"},
                         {"HONAME", "本店口座"},
                         {"KISYUZAN", "990001"}}};

    MonthTotals m;
    m.cid = "77";
    m.kankocode = "012";
    m.hocode = "02";
    m.dateYm = "2011/04";
    m.krTotal = raw(1);
    m.ksTotal = raw(-2);
    m.krRui = raw(30000);
    m.ksRui = raw(-40000);
    const Expected totals{{"CID", "77"},      {"KANKOCODE", "012"}, {"DATEYM", "2011/04"}, {"KRTOTAL", "1"},
                          {"KSTOTAL", "-2"},  {"KRRUI", "30000"},   {"KSRUI", "-40000"}};
    c["month totals"] = {{"T_TUKIKAN"}, [m](const QString& t) { return WriteTukikanTable(m, t); }, totals};
    c["sub-account month totals"] = {{"T_TUKIHOJO"},
                                     [m](const QString& t) { return WriteTukihojoTable(m, t); },
                                     totals + Expected{{"HOCODE", "02"}}};
    return c;
}

}  // namespace

class TestRecords : public QObject {
    Q_OBJECT

private:
    std::unique_ptr<testenv::ShippedDb> db_;
    std::optional<platform::Transaction> tx_;
    std::unique_ptr<platform::ScriptedMsgBox> boxes_;

private slots:
    void init() {
        db_ = testenv::ShippedDb::open();
        QVERIFY(db_);
        // Each test writes inside one transaction, as the engine's callers do.
        tx_.emplace(db_->connection());
        boxes_ = std::make_unique<platform::ScriptedMsgBox>();
    }
    void cleanup() {
        boxes_.reset();
        tx_.reset();
        db_.reset();
    }

    void everyFieldReachesItsColumn_data() {
        QTest::addColumn<QString>("record");
        for (const QString& name : cases().keys()) QTest::newRow(qPrintable(name)) << name;
    }
    void everyFieldReachesItsColumn() {
        QFETCH(QString, record);
        const Case c = cases().value(record);
        for (const QString& table : c.tables) {
            QVERIFY2(c.write(table), qPrintable(table));
            const auto rows = db_->connection().query("SELECT * FROM " + table + " WHERE CID = '77'");
            QVERIFY(rows);
            QCOMPARE(rows->size(), size_t(1));
            const platform::Row& row = rows->front();
            QCOMPARE(row.size(), c.expected.size());
            for (const auto& [column, value] : c.expected) {
                QVERIFY2(row.has(column), qPrintable(column));
                QCOMPARE(row.text(column), value);
            }
        }
        QCOMPARE(boxes_->count(), 0);
    }

    // Only the key filled: texts empty, amounts and rates zero.
    void keyOnlyRecordsStoreEmptyAndZero() {
        JournalLine line;
        line.denCode = "00001";
        line.denMeNo = "001";
        line.cid = "77";
        QVERIFY(WriteSiMeisaiTable(line, "T_SI_MEISAI"));
        DayAmounts amounts;
        amounts.cid = "77";
        amounts.kocode = "004";
        amounts.dateYm = "2011/04";
        QVERIFY(WriteDayToranTable(amounts, "T_DAY_TORAN"));
        for (const QString& table : {QStringLiteral("T_SI_MEISAI"), QStringLiteral("T_DAY_TORAN")}) {
            const auto row = db_->connection().queryOne("SELECT * FROM " + table + " WHERE CID = '77'");
            QVERIFY(row && row->size() > 0);
            for (int i = 0; i < row->size(); ++i) {
                const QString column = row->columnName(i);
                if (QStringList{"DENCODE", "DENMENO", "CID", "KOCODE", "DATEYM"}.contains(column)) continue;
                const QVariant v = row->value(i);
                if (v.typeId() == QMetaType::QString)
                    QVERIFY2(v.toString().isEmpty(), qPrintable(column));
                else
                    QVERIFY2(v.toDouble() == 0, qPrintable(column));
            }
        }
    }

    // Amounts are stored as their raw count (an INTEGER, no text in between),
    // exact up to what the amount boxes accept on the stored tables and up to
    // the int64 limits on the month totals, which the summation writes.
    void amountsAtTheExtremesAreStoredAsIntegers_data() {
        QTest::addColumn<Currency>("amount");
        const Currency max = Currency::fromYen(Currency::kMaxEnteredYen);
        QTest::newRow("largest entered") << max;
        QTest::newRow("smallest entered") << -max;
        QTest::newRow("largest entered less 1/10000") << max - raw(1);
        QTest::newRow("1/10000") << raw(1);
        QTest::newRow("-1/10000") << raw(-1);
    }
    void amountsAtTheExtremesAreStoredAsIntegers() {
        QFETCH(Currency, amount);
        JournalLine line;
        line.denCode = "00001";
        line.denMeNo = "001";
        line.cid = "77";
        line.kr.kin = amount;
        line.ks.kin = -amount;
        line.kr.tkinNo = amount;
        QVERIFY(WriteSiMeisaiTable(line, "T_SI_MEISAI"));
        DayAmounts day;
        day.cid = "77";
        day.kocode = "004";
        day.dateYm = "2011/04";
        day.kin[30] = amount;
        QVERIFY(WriteDayToranTable(day, "T_DAY_TORAN"));
        MonthTotals totals;
        totals.cid = "77";
        totals.kankocode = "004";
        totals.dateYm = "2011/04";
        totals.krRui = Currency::fromRaw(std::numeric_limits<qint64>::max());
        totals.ksRui = Currency::fromRaw(std::numeric_limits<qint64>::min());
        totals.krTotal = amount;
        QVERIFY(WriteTukikanTable(totals, "T_TUKIKAN"));

        const struct {
            const char* sql;
            QList<qint64> raws;
        } expected[] = {
            {"SELECT KRKIN, KSKIN, KRTKINNO FROM T_SI_MEISAI WHERE CID = '77'",
             {amount.raw(), (-amount).raw(), amount.raw()}},
            {"SELECT KIN31 FROM T_DAY_TORAN WHERE CID = '77'", {amount.raw()}},
            {"SELECT KRTOTAL, KRRUI, KSRUI FROM T_TUKIKAN WHERE CID = '77'",
             {amount.raw(), std::numeric_limits<qint64>::max(), std::numeric_limits<qint64>::min()}},
        };
        for (const auto& e : expected) {
            const auto row = db_->connection().queryOne(e.sql);
            QVERIFY2(row && row->size() == e.raws.size(), e.sql);
            for (int i = 0; i < row->size(); ++i) {
                QCOMPARE(row->value(i).typeId(), QMetaType::LongLong);
                QCOMPARE(row->integer(i), e.raws[i]);
                QCOMPARE(row->currency(i), Currency::fromRaw(e.raws[i]));
            }
        }
        QCOMPARE(boxes_->count(), 0);
    }

    // Beyond what the boxes accept, a stored table's writer refuses the
    // amount as it refuses its text: its warning, nothing stored.
    void amountsBeyondTheBoxesAreRefused_data() {
        QTest::addColumn<Currency>("amount");
        const Currency max = Currency::fromYen(Currency::kMaxEnteredYen);
        QTest::newRow("largest entered + 1/10000") << max + raw(1);
        QTest::newRow("smallest entered - 1/10000") << -max - raw(1);
    }
    void amountsBeyondTheBoxesAreRefused() {
        QFETCH(Currency, amount);
        OpeningBalance b;
        b.cid = "77";
        b.kocode = "004";
        b.kisyuzan = amount;
        QVERIFY(!WriteKisyuzanTable(b, "T_KISYUZAN"));
        QCOMPARE(boxes_->count(), 1);
        QCOMPARE(boxes_->last().text,
                 QStringLiteral("期首残高マスタ( T_KISYUZAN )のアクセス中にエラーが発生しました(WriteKisyuzanTable)。"));
        const auto stored = db_->connection().scalar("SELECT COUNT(*) FROM T_KISYUZAN WHERE CID = '77'");
        QVERIFY(stored);
        QCOMPARE(stored->toInt(), 0);
    }

    // The column list of a writer is the one of every table it serves, and a
    // name it lacks (misspelt), or an amount at a text column, is reported and
    // fails the writer without a row.
    void misspeltColumnFailsLoudly() {
        const QString sql = "SELECT COUNT(*) FROM T_TUKISIME WHERE CID = '77'";
        {
            testenv::MissingColumns missing;
            WriterRow row(WriteTukisimeTable);
            row.set("CID", QStringLiteral("77")).set("DATEYM", QStringLiteral("2011/04")).set("SYORIFRG", QStringLiteral("0"));
            QCOMPARE(missing.names(), QStringList{"SYORIFRG"});
            QVERIFY(!WriteRow(row, "T_TUKISIME"));
            row.set("syoriday", Currency::fromYen(1));
            QCOMPARE(missing.names().size(), 2);
            QVERIFY(missing.names().at(1).startsWith("syoriday"));
        }
        QCOMPARE(db_->connection().scalar(sql)->toInt(), 0);
        QCOMPARE(boxes_->count(), 1);  // the writer's warning

        WriterRow row(WriteTukisimeTable);
        row.set("cid", QStringLiteral("77")).set("DateYm", QStringLiteral("2011/04"));  // any case
        QVERIFY(WriteRow(row, "T_TUKISIME"));
        QCOMPARE(db_->connection().scalar(sql)->toInt(), 1);
    }
};

QTEST_MAIN(TestRecords)
#include "tst_records.moc"
