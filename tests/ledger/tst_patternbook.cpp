// Descriptions and batch-journal patterns: the editing copies, the numbering
// of descriptions, the checks, the write-back of one company's rows in one
// transaction, and the type-ahead of the pattern screen's lists.

#include <QtTest>

#include "app/common/globals.h"
#include "ledger/patternbook.h"
#include "platform/msgbox.h"
#include "support/testenv.h"

using platform::MsgIcon;
using platform::ScriptedMsgBox;

class TestPatternBook : public QObject {
    Q_OBJECT

    std::unique_ptr<testenv::ShippedDb> db_;

    bool exec(const QString& sql, const platform::Params& params = {}) {
        const bool ok = db_->connection().exec(sql, params);
        if (!ok) qWarning() << db_->connection().lastError().text();
        return ok;
    }
    // "CID TEKINO TENAME" rows of a table, in key order, joined by "|".
    QString tekiyo(const QString& table) {
        const auto rows = db_->connection().query(
            QStringLiteral("SELECT CID, TEKINO, TENAME FROM %1 ORDER BY CID, TEKINO").arg(table));
        QStringList out;
        for (const auto& r : *rows) out << r.text(0) + ' ' + r.text(1) + ' ' + r.text(2);
        return out.join('|');
    }
    QString patterns(const QString& table) {
        const auto rows = db_->connection().query(
            QStringLiteral("SELECT CID, KRCODE, KSCODE, SINAME, TENAME, SETID, SETPT FROM %1"
                           " ORDER BY CID, KRCODE, KSCODE")
                .arg(table));
        QStringList out;
        for (const auto& r : *rows) {
            QStringList cells;
            for (int i = 0; i < 7; ++i) cells << r.text(i);
            out << cells.join(',');
        }
        return out.join('|');
    }
    void refuseInsert(const QString& table) {
        QVERIFY(exec(QStringLiteral("CREATE TRIGGER refuse_%1 BEFORE INSERT ON %1"
                                    " BEGIN SELECT RAISE(ABORT, 'refused'); END")
                         .arg(table)));
    }

private slots:
    void initTestCase() { testenv::isolate(); }
    void init() {
        db_ = testenv::ShippedDb::open();
        QVERIFY(db_);
        gstrCID = QStringLiteral("51");
        QVERIFY(exec("DELETE FROM T_TEKIYO"));
        QVERIFY(exec("DELETE FROM WK_TEKIYO"));
        QVERIFY(exec("DELETE FROM T_SI_PATTERN"));
        QVERIFY(exec("DELETE FROM WK_SI_PATTERN"));
        QVERIFY(exec("INSERT INTO T_TEKIYO VALUES ('51', '001', '売上'), ('51', '002', '仕入'),"
                     " ('51', '003', '家賃'), ('52', '001', '他社')"));
        QVERIFY(exec("INSERT INTO T_SI_PATTERN VALUES ('51', '101', '201', '掛売', '売掛', '1', ''),"
                     " ('51', '300', '101', '月末', '定期', '4', '25'),"
                     " ('52', '101', '201', '他社', '他社', '1', '')"));
    }
    void cleanup() { db_.reset(); }

    void numberFormat_data() {
        QTest::addColumn<int>("number");
        QTest::addColumn<QString>("text");
        QTest::newRow("one") << 1 << "001";
        QTest::newRow("two digits") << 42 << "042";
        QTest::newRow("four digits kept") << 1000 << "1000";
    }
    void numberFormat() {
        QFETCH(int, number);
        QTEST(FormatTekiNo(number), "text");
    }

    // Deleting 002 frees its number for the next description; leading and
    // trailing blanks are not stored; the company's copy reaches T_TEKIYO only
    // on the write-back, and company 52 keeps its row.
    void descriptionsEditAndWriteBack() {
        TekiyoList list;
        QVERIFY(list.load());
        QCOMPARE(list.texts(), QStringList({"売上", "仕入", "家賃"}));
        QCOMPARE(tekiyo("WK_TEKIYO"), QString("51 001 売上|51 002 仕入|51 003 家賃"));
        QCOMPARE(list.nextNumber(), QString("004"));

        QVERIFY(list.apply(EditMode::Delete, "仕入", "仕入"));
        QCOMPARE(list.nextNumber(), QString("002"));
        QVERIFY(list.apply(EditMode::Register, "  O'Brien \"特価\"  ", QString()));
        QVERIFY(list.apply(EditMode::Correct, "家賃等", " 家賃 "));
        QCOMPARE(list.texts(), QStringList({"売上", "家賃等", "O'Brien \"特価\""}));
        QCOMPARE(list.nextNumber(), QString("004"));
        QCOMPARE(tekiyo("T_TEKIYO"), QString("51 001 売上|51 002 仕入|51 003 家賃|52 001 他社"));

        QVERIFY(TekiyoList::writeBack());
        QCOMPARE(tekiyo("T_TEKIYO"), QString("51 001 売上|51 002 O'Brien \"特価\"|51 003 家賃等|52 001 他社"));
    }

    void firstDescriptionIsOne() {
        gstrCID = QStringLiteral("53");
        TekiyoList list;
        QVERIFY(list.load());
        QVERIFY(list.entries().empty());
        QCOMPARE(*TekiyoCopyHasRows(), false);
        QVERIFY(list.apply(EditMode::Register, "最初", QString()));
        QCOMPARE(tekiyo("WK_TEKIYO"), QString("53 001 最初"));
        QCOMPARE(*TekiyoCopyHasRows(), true);
    }

    void descriptionChecks_data() {
        QTest::addColumn<int>("mode");
        QTest::addColumn<QString>("typed");
        QTest::addColumn<QString>("chosen");
        QTest::addColumn<bool>("accepted");
        const int reg = int(EditMode::Register), cor = int(EditMode::Correct), del = int(EditMode::Delete);
        QTest::newRow("register new") << reg << "交通費" << "" << true;
        QTest::newRow("register blank") << reg << "　 " << "" << false;  // a full-width blank is trimmed too
        QTest::newRow("register existing") << reg << " 売上 " << "" << false;
        QTest::newRow("register other width") << reg << "売上２" << "" << true;
        QTest::newRow("correct changed") << cor << "売上高" << "売上" << true;
        QTest::newRow("correct unchanged") << cor << "売上" << "売上" << false;
        QTest::newRow("correct unknown") << cor << "売上高" << "売" << false;
        QTest::newRow("correct to another existing") << cor << "仕入" << "売上" << false;
        QTest::newRow("delete chosen") << del << "売上" << "売上" << true;
        QTest::newRow("delete text differs") << del << "売上" << "仕入" << false;
        QTest::newRow("delete nothing chosen") << del << "売上" << "" << false;
    }
    void descriptionChecks() {
        QFETCH(int, mode);
        QFETCH(QString, typed);
        QFETCH(QString, chosen);
        QFETCH(bool, accepted);
        TekiyoList list;
        QVERIFY(list.load());
        const auto error = list.inputError(EditMode(mode), typed, chosen);
        QCOMPARE(!error.has_value(), accepted);
        if (error) QCOMPARE(*error, QString("摘要名称を入力して下さい。"));
    }

    // An injected failure of the write-back's insert keeps every stored row.
    void failedWriteBacksKeepStoredRows() {
        TekiyoList list;
        QVERIFY(list.load());
        QVERIFY(list.apply(EditMode::Delete, "売上", "売上"));
        QVERIFY(LoadPatternCopy());
        QVERIFY(ApplyPattern(EditMode::Delete, "101", "201", QString(), QString()));
        const QString tekiyoBefore = tekiyo("T_TEKIYO"), patternsBefore = patterns("T_SI_PATTERN");
        refuseInsert("T_TEKIYO");
        refuseInsert("T_SI_PATTERN");

        ScriptedMsgBox boxes;
        QVERIFY(!TekiyoList::writeBack());
        QVERIFY(!WriteBackPatterns());
        QCOMPARE(boxes.count(), 2);
        QCOMPARE(boxes.shown().at(0).text, QString("WK_TEKIYOマスタのアクセス中にエラーが発生しました(msLeaveForm)。"));
        QCOMPARE(boxes.shown().at(1).text, QString("T_SI_PATTERNマスタのアクセス中にエラーが発生しました(msUnForm)。"));
        QCOMPARE(boxes.shown().at(1).icon, MsgIcon::Warning);
        QCOMPARE(boxes.shown().at(1).title, gstrSoftName);
        QCOMPARE(tekiyo("T_TEKIYO"), tekiyoBefore);
        QCOMPARE(patterns("T_SI_PATTERN"), patternsBefore);
    }

    // A failed copy-in says so and leaves the copy as it was.
    void failedCopyIn() {
        QVERIFY(exec("INSERT INTO WK_TEKIYO VALUES ('52', '001', '他社')"));
        refuseInsert("WK_TEKIYO");
        ScriptedMsgBox boxes;
        TekiyoList list;
        QVERIFY(!list.load());
        QCOMPARE(boxes.count(), 1);
        QCOMPARE(boxes.last().text, QString("WK_TEKIYOマスタのアクセス中にエラーが発生しました(msFormInit)。"));
        QCOMPARE(tekiyo("WK_TEKIYO"), QString("52 001 他社"));
    }

    // Register refuses a stored ordered pair and accepts the reversed one,
    // stored as a hand-picked pattern; correct keeps another schedule; the
    // write-back replaces only company 51's patterns.
    void patternsEditAndWriteBack() {
        QVERIFY(LoadPatternCopy());
        QCOMPARE(patterns("WK_SI_PATTERN"), QString("51,101,201,掛売,売掛,1,|51,300,101,月末,定期,4,25"));

        ScriptedMsgBox boxes;
        QVERIFY(!PatternPairCheck(EditMode::Register, "101", "201"));
        QCOMPARE(boxes.count(), 1);
        QCOMPARE(boxes.last().text, QString("仕訳パターンマスタ登録済み。"));
        QCOMPARE(boxes.last().icon, MsgIcon::None);
        QVERIFY(boxes.last().title.isEmpty());
        QVERIFY(PatternPairCheck(EditMode::Register, "201", "101"));
        QVERIFY(PatternPairCheck(EditMode::Register, "101", "101"));  // the same account on both sides
        QVERIFY(!PatternPairCheck(EditMode::Correct, "201", "101"));
        QCOMPARE(boxes.last().text, QString("仕訳パターンマスタ未登録"));
        QVERIFY(PatternPairCheck(EditMode::Delete, "101", "201"));
        QCOMPARE(boxes.count(), 2);

        QVERIFY(ApplyPattern(EditMode::Register, "201", "101", " 戻し ", " O'Brien "));
        QVERIFY(ApplyPattern(EditMode::Correct, "300", "101", "月末払", "家賃"));
        QCOMPARE(FindPattern("300", "101").value()->siname, QString("月末払"));
        QVERIFY(!FindPattern("999", "101").value().has_value());
        QVERIFY(ApplyPattern(EditMode::Delete, "101", "201", QString(), QString()));
        QVERIFY(WriteBackPatterns());
        QCOMPARE(patterns("T_SI_PATTERN"), QString("51,201,101,戻し,O'Brien,1,|51,300,101,月末払,家賃,4,25|"
                                                   "52,101,201,他社,他社,1,"));
    }

    // The pattern screen's description list is the current company's, not
    // what the description screen last copied for another company.
    void patternDescriptionsAreTheCompanys() {
        gstrCID = QStringLiteral("52");
        TekiyoList other;
        QVERIFY(other.load());
        gstrCID = QStringLiteral("51");
        QCOMPARE(PatternDescriptionEntries().value(), QStringList({"売上", "仕入", "家賃"}));
        const auto accounts = PatternAccountEntries().value();
        QVERIFY(!accounts.isEmpty());
        for (const QString& entry : accounts) QVERIFY(entry.contains(' '));
        QCOMPARE(AccountNumberOf("101 現金 預金"), QString("101"));
    }

    // Each row: the text after the user's edit; then the box's text and
    // selection afterwards ("" when the box is left alone), whether the text
    // was refused, and the entry chosen.
    void typeAhead() {
        const QStringList entries{"101 現金", "102 小口現金", "110 当座預金", "201 買掛金", "Ａ１ 全角"};
        struct Step {
            const char* typed;
            const char* shown;  // box text with the selection in [brackets]; "-" untouched
            bool refused;
            const char* chosen;
        };
        const std::vector<std::vector<Step>> sessions = {
            // 1 completes from the first entry; 0 replaces the tail and completes from 10.
            {{"1", "1[01 現金]", false, "101 現金"}, {"10", "10[1 現金]", false, "101 現金"},
             {"11", "11[0 当座預金]", false, "110 当座預金"}},
            // A keystroke that begins no entry brings the previous completion back.
            {{"1", "1[01 現金]", false, "101 現金"}, {"19", "1[01 現金]", true, ""}},
            // A first character that begins no entry empties the box.
            {{"9", "", true, ""}},
            // An entry typed whole stays as typed.
            {{"102 小口現金", "-", false, "102 小口現金"}},
            // Deleting the completed tail leaves the prefix; one more completes again.
            {{"10", "10[1 現金]", false, "101 現金"}, {"10", "-", false, ""}, {"1", "1[01 現金]", false, "101 現金"}},
            // Exact comparison: a half-width letter is not its full-width form.
            {{"A", "", true, ""}, {"Ａ", "Ａ[１ 全角]", false, "Ａ１ 全角"}},
        };
        for (const auto& session : sessions) {
            TypeAhead ahead;
            for (const Step& s : session) {
                const TypeAheadStep r = ahead.change(QString::fromUtf8(s.typed), entries);
                QString shown = QStringLiteral("-");
                if (r.setText)
                    shown = r.selLength ? r.text.left(r.selStart) + '[' + r.text.mid(r.selStart) + ']' : r.text;
                QCOMPARE(shown, QString::fromUtf8(s.shown));
                QCOMPARE(r.refused, s.refused);
                QCOMPARE(r.chosen.value_or(QString()), QString::fromUtf8(s.chosen));
            }
        }
    }
};

QTEST_GUILESS_MAIN(TestPatternBook)
#include "tst_patternbook.moc"
