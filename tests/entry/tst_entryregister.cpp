// Registration and deletion of a day on the daily entry screen: the exact
// rows written, a second registration, a failure at each step rolled back,
// the checks of the free lines, patterns chosen in a free line, and free
// lines deleted by their row header.

#include <QHeaderView>
#include <QTableView>
#include <QPushButton>
#include <QtTest>

#include "ledger/dayregistration.h"
#include "entryfixture.h"
#include "ledger/dayvouchers.h"
#include "ledger/textbackup.h"
#include "platform/clock.h"
#include "platform/imdate.h"
#include "platform/imnumber.h"
#include "platform/msgbox.h"

using entrytest::Book;
using entrytest::chooseItem;
using entrytest::openEntry;
using entrytest::typeInto;
using entrytest::typeJapanese;
using platform::FixedClock;
using platform::MsgIcon;
using platform::ScriptedMsgBox;

namespace {

const QString kRegistered = QStringLiteral("データが正しく登録されました。");
const QString kSundry = QStringLiteral("諸口の貸借金額の差を０にするように入力してください");

QString raw(qint64 yen) {
    return QString::number(yen * 10000);
}

FreeLine freeLine(const QString& debit, const QString& credit, std::optional<qint64> amount,
                  const QString& tekiyo = QString(), const QString& pattern = QString()) {
    FreeLine l;
    l.pattern = pattern;
    l.debitAccount = debit;
    l.creditAccount = credit;
    if (amount) l.amount = Currency::fromYen(*amount);
    l.tekiyo = tekiyo;
    return l;
}

}  // namespace

Q_DECLARE_METATYPE(std::vector<FreeLine>)

class TestEntryRegister : public QObject {
    Q_OBJECT

private:
    std::unique_ptr<Book> book_;
    std::unique_ptr<FixedClock> clock_;
    QWidget* opener_ = nullptr;
    QPointer<InpKantanSiwake> screen_;

    // Vouchers 2000/01/01 to 2000/01/10 with 50,000 in cash; the screen on
    // 2000/01/05, opened from the journal book.
    void openDay5() {
        QVERIFY(make_new_siwake_data(QStringLiteral("2000/01/01"), QStringLiteral("2001/03/31")));
        screen_ = openEntry(opener_, QStringLiteral("prtSiwakeNikki"), QStringLiteral("00001"),
                            QStringLiteral("00005"));
        QVERIFY(screen_ && screen_->isVisible());
        QCOMPARE(screen_->txtSyoriNen->text(), QStringLiteral("2000/01/05"));
    }

    void addLine(const QString& lineNo, const QString& sisyu, const QString& debit, const QString& credit,
                 qint64 amount, const QString& tekiyo, const QString& ptcode = QString()) {
        QVERIFY(book_->cn().exec(
            "INSERT INTO T_SI_MEISAI (DENCODE, DENMENO, CID, SIDAY, DATEYM, SISYU, KRKOCODE, KRKIN, KSKOCODE,"
            " KSKIN, TEKIYO, ptcode) VALUES ('00005', ?, '01', '2000/01/05', '2000/01', ?, ?, ?, ?, ?, ?, ?)",
            {lineNo, sisyu, debit, entrytest::yen(amount), credit, entrytest::yen(amount), tekiyo, ptcode}));
    }

    // The day's input: salary 200,000, food 3,000 ("スーパー"), and a free
    // line paying 10,000 into the bank with a description holding quotes.
    void typeTheDay() {
        platform::SpreadGrid* g2 = screen_->spdSS2;
        platform::SpreadGrid* g3 = screen_->spdSS3;
        typeInto(screen_->spdSS1, 1, 2, QStringLiteral("200000"));
        const int food = entrytest::rowOf(g2, 1, QStringLiteral("食費"));
        typeInto(g2, food, 2, QStringLiteral("3000"));
        typeJapanese(g2, food, 3, QStringLiteral("スーパー"));
        QVERIFY(chooseItem(g3, 1, 2, QStringLiteral("121 普通預金")));
        QVERIFY(chooseItem(g3, 1, 3, QStringLiteral("101 現金")));
        typeInto(g3, 1, 6, QStringLiteral("10000"));
        typeInto(g3, 1, 7, QStringLiteral("O'Neil's \"fund\""));
        QCOMPARE(g3->text(1, 8), QStringLiteral("012"));
        QCOMPARE(g3->text(1, 9), QStringLiteral("004"));
        QCOMPARE(screen_->txtHonjituZandaka->valueOrZero(), Currency::fromYen(237000));
    }

    QStringList lines() {
        QStringList out;
        for (const QString& row : book_->dump(QStringLiteral("T_SI_MEISAI"))) {
            if (row.startsWith(QLatin1String("'00005'"))) out << row;
        }
        out.sort();
        return out;
    }

    QStringList vouchers() {
        QStringList out;
        const auto rows = book_->cn().query(
            "SELECT DENCODE, KESSAN, YDAYZAN, DAYZAN FROM T_SIWAKE WHERE CID = '01' ORDER BY DENCODE");
        for (const auto& r : rows.value_or(platform::Rows())) {
            out << QStringLiteral("%1 %2 %3 %4")
                       .arg(r.text(0), r.text(1), r.currency(2).toText(), r.currency(3).toText());
        }
        return out;
    }

    bool registerDay(ScriptedMsgBox& box) {
        const int before = box.count();
        screen_->cmdTouroku->click();
        return box.count() == before + 1 && box.last().text == kRegistered;
    }

private slots:
    void initTestCase() { testenv::isolate(); }

    void init() {
        book_ = std::make_unique<Book>();
        QVERIFY(book_->open());
        clock_ = std::make_unique<FixedClock>(QDate(2000, 1, 10));
        QVERIFY(
            book_->cn().exec("UPDATE T_TUKISIME SET SYORIFLG = '1', SYORIFLGH = '1', SYORIDAY = '1999/12/31'"
                             " WHERE CID = '01'"));
        QVERIFY(book_->cn().exec(
            "INSERT INTO T_TEKIYO VALUES ('01', '001', '給料日'), ('01', '002', '預け入れ')"));
        opener_ = new QWidget;
        opener_->show();
    }

    void cleanup() {
        entrytest::closeQuietly(screen_);
        delete opener_;
        opener_ = nullptr;
        clock_.reset();
        book_.reset();
    }

    void registrationWritesTheDay() {
        openDay5();
        // A scheduled pattern's line on the salary (shown in its row), a line
        // between two accounts outside the grids and a line of another kind.
        addLine("001", "0", "004", "180", 0, "給料日", "101511");
        addLine("002", "0", "012", "030", 500, "ATM");
        addLine("003", "9", "004", "012", 700, "other kind");
        entrytest::closeQuietly(screen_);
        screen_ = openEntry(opener_, QStringLiteral("prtSiwakeNikki"), QStringLiteral("00001"),
                            QStringLiteral("00005"));
        QVERIFY(screen_);
        QCOMPARE(screen_->spdSS1->text(1, 3), QStringLiteral("給料日"));
        const QStringList kept = lines().mid(1);  // lines 002 and 003

        typeTheDay();
        ScriptedMsgBox box;
        QVERIFY(registerDay(box));
        QCOMPARE(box.last().icon, MsgIcon::Warning);
        QCOMPARE(box.count(), 1);
        QVERIFY(!screen_->hasUnsavedEdits());

        // Journal lines: the two lines the screen does not show stay; the
        // grids' and the free line are numbered on after them.
        const QString g = QStringLiteral("'00005'|'%1'|'01'|'2000/01/05'|'2000/01'|");
        QStringList expected = kept;
        expected << g.arg("004") + "'0'|'004'|''|'00'|'1'|'000'|1.0|0|" + raw(200000) + "|" + raw(200000) +
                        "|'180'|''|'180'|''|'00'|'1'|'000'|1.0|0|" + raw(200000) + "|" + raw(200000) +
                        "|'004'|''|'001'|'給料日'|''"
                 << g.arg("005") + "'0'|'263'|''|'00'|'1'|'000'|1.0|0|" + raw(3000) + "|" + raw(3000) +
                        "|'004'|''|'004'|''|'00'|'1'|'000'|1.0|0|" + raw(3000) + "|" + raw(3000) +
                        "|'263'|''|''|'スーパー'|''"
                 << g.arg("006") + "'1'|'012'|''|'00'|'5'|'000'|0.0|0|" + raw(10000) + "|" + raw(10000) +
                        "|'004'|''|'004'|''|'00'|'5'|'000'|0.0|0|" + raw(10000) + "|" + raw(10000) +
                        "|'012'|''|''|'O''Neil''s \"fund\"'|''";
        QCOMPARE(lines(), expected);

        // Day amounts: every account of both grids has its month row, the
        // day's amount in KIN5 and 0 on every other day.
        QCOMPARE(
            book_->text("SELECT count(*) FROM T_DAY_TORAN WHERE CID = '01' AND DATEYM = '2000/01'").toInt(),
            screen_->spdSS1->maxRows() + screen_->spdSS2->maxRows());
        QStringList salaryRow = {"'01'", "'180'", "'2000/01'", "'511'"};
        for (int d = 1; d <= 31; ++d) salaryRow << (d == 5 ? raw(200000) : QStringLiteral("0"));
        QVERIFY(book_->dump("T_DAY_TORAN").contains(salaryRow.join(u'|')));
        QCOMPARE(book_->text("SELECT KIN5 FROM T_DAY_TORAN WHERE KOCODE = '263'"), raw(3000));
        QCOMPARE(book_->text("SELECT sum(KIN5) FROM T_DAY_TORAN WHERE CID = '01'"), raw(203000));

        // The day's closing balance and every later day carried.
        QStringList expectedVouchers;
        for (int d = 1; d <= 10; ++d) {
            const QString code = QStringLiteral("%1").arg(d, 5, 10, QLatin1Char('0'));
            if (d < 5) expectedVouchers << code + " 0 50000 50000";
            if (d == 5) expectedVouchers << code + " 1 50000 237000";
            if (d > 5) expectedVouchers << code + " 0 237000 237000";
        }
        QCOMPARE(vouchers(), expectedVouchers);

        // The month marked for summation, no other.
        QCOMPARE(book_->dump("T_TUKISIME").filter("'2000/01'"),
                 QStringList({"'01'|'2000/01'|'0'|'0'|'2000/01/10'"}));
        QCOMPARE(book_->text("SELECT count(*) FROM T_TUKISIME WHERE CID = '01' AND SYORIFLG = '0'"), "1");

        // Registering again stores exactly the same rows.
        const QStringList once = book_->dayTables();
        QVERIFY(registerDay(box));
        QCOMPARE(book_->dayTables(), once);

        // After the registration closing asks nothing.
        screen_->cmdBack->click();
        QTRY_VERIFY(!screen_);
        QCOMPARE(box.count(), 2);
    }

    // Today's voucher is carried into later vouchers too (the system date
    // may have been set back since they were created).
    void registeringTodayCarriesIntoLaterVouchers() {
        QVERIFY(make_new_siwake_data(QStringLiteral("2000/01/01"), QStringLiteral("2001/03/31")));
        clock_.reset();  // (the old clock's end would reset a new one made first)
        clock_ = std::make_unique<FixedClock>(QDate(2000, 1, 5));
        openDay5();
        typeInto(screen_->spdSS1, 1, 2, QStringLiteral("1000"));
        ScriptedMsgBox box;
        QVERIFY(registerDay(box));
        QCOMPARE(vouchers().mid(4, 2), QStringList({"00005 1 50000 51000", "00006 0 51000 51000"}));
        QCOMPARE(vouchers().last(), QStringLiteral("00010 0 51000 51000"));
    }

    void aFailedStepRollsEverythingBack_data() {
        QTest::addColumn<QString>("trigger");
        QTest::newRow("new day amounts") << "BEFORE INSERT ON T_DAY_TORAN";
        QTest::newRow("day amount update") << "BEFORE UPDATE ON T_DAY_TORAN";
        QTest::newRow("old lines deleted") << "BEFORE DELETE ON T_SI_MEISAI";
        QTest::newRow("grid line") << "BEFORE INSERT ON T_SI_MEISAI WHEN NEW.SISYU = '0'";
        QTest::newRow("free line") << "BEFORE INSERT ON T_SI_MEISAI WHEN NEW.SISYU = '1'";
        QTest::newRow("voucher balance") << "BEFORE UPDATE ON T_SIWAKE WHEN NEW.DENCODE = '00005'";
        QTest::newRow("carry to later days") << "BEFORE UPDATE ON T_SIWAKE WHEN NEW.DENCODE > '00005'";
        QTest::newRow("month account flag") << "BEFORE UPDATE OF SYORIFLG ON T_TUKISIME";
        QTest::newRow("month sub-account flag") << "BEFORE UPDATE OF SYORIFLGH ON T_TUKISIME";
    }

    void aFailedStepRollsEverythingBack() {
        QFETCH(QString, trigger);
        openDay5();
        ScriptedMsgBox box;
        typeTheDay();
        QVERIFY(registerDay(box));

        // New input on top of the registered day, then a failing step.
        typeInto(screen_->spdSS1, 2, 2, QStringLiteral("7000"));
        typeInto(screen_->spdSS3, 1, 6, QStringLiteral("12000"));
        const QStringList before = book_->dayTables();
        QVERIFY(book_->cn().exec(
            QStringLiteral("CREATE TRIGGER injected %1 BEGIN SELECT RAISE(ABORT, 'injected');"
                           " END")
                .arg(trigger)));
        const int shown = box.count();
        screen_->cmdTouroku->click();
        QVERIFY(box.count() > shown);
        QVERIFY(box.last().text != kRegistered);
        QVERIFY(!gcnKaikei->inTransaction());
        QCOMPARE(book_->dayTables(), before);
        // The screen keeps what was typed.
        QCOMPARE(screen_->spdSS1->value(2, 2), QStringLiteral("7000"));
        QCOMPARE(screen_->spdSS3->value(1, 6), QStringLiteral("12000"));
        QCOMPARE(screen_->spdSS3->text(1, 7), QStringLiteral("O'Neil's \"fund\""));
        QVERIFY(screen_->hasUnsavedEdits());
    }

    void freeLineChecks_data() {
        QTest::addColumn<std::vector<FreeLine>>("lines");
        QTest::addColumn<QString>("message");
        const QString debit = QStringLiteral("借方科目を選択してください");
        const QString credit = QStringLiteral("貸方科目を選択してください");
        const QString amount = QStringLiteral("金額を入力してください");
        QTest::newRow("blank lines") << std::vector<FreeLine>{freeLine("", "", 0), freeLine("", "", {})}
                                     << QString();
        QTest::newRow("complete line")
            << std::vector<FreeLine>{freeLine("121 普通預金", "101 現金", 100, "x")} << QString();
        QTest::newRow("description only") << std::vector<FreeLine>{freeLine("", "", 0, "交通費")} << debit;
        QTest::newRow("amount only") << std::vector<FreeLine>{freeLine("", "", 500)} << debit;
        QTest::newRow("no credit account")
            << std::vector<FreeLine>{freeLine("121 普通預金", "", 100)} << credit;
        QTest::newRow("credit account only") << std::vector<FreeLine>{freeLine("", "101 現金", 100)} << debit;
        QTest::newRow("both accounts, amount 0")
            << std::vector<FreeLine>{freeLine("121 普通預金", "101 現金", 0)} << amount;
        QTest::newRow("both accounts, no amount")
            << std::vector<FreeLine>{freeLine("121 普通預金", "101 現金", {})} << amount;
        QTest::newRow("the first failing line counts")
            << std::vector<FreeLine>{freeLine("121 普通預金", "101 現金", 100), freeLine("", "", 0, "x"),
                                     freeLine("121 普通預金", "", 1)}
            << debit;
        QTest::newRow("sundry 1,000 against 600")
            << std::vector<FreeLine>{freeLine("999 諸口", "101 現金", 1000),
                                     freeLine("121 普通預金", "999 諸口", 600)}
            << kSundry;
        QTest::newRow("sundry 1,000 against 1,000")
            << std::vector<FreeLine>{freeLine("999 諸口", "101 現金", 1000),
                                     freeLine("121 普通預金", "999 諸口", 1000)}
            << QString();
        QTest::newRow("sundry on one side only")
            << std::vector<FreeLine>{freeLine("999 諸口", "101 現金", 1000)} << kSundry;
    }

    void freeLineChecks() {
        QFETCH(std::vector<FreeLine>, lines);
        QTEST(CheckFreeLines(lines), "message");
    }

    // On the screen: the sundry lines must balance before anything is stored.
    void sundryLinesMustBalance() {
        openDay5();
        platform::SpreadGrid* g3 = screen_->spdSS3;
        QVERIFY(chooseItem(g3, 1, 2, QStringLiteral("999 諸口")));
        QVERIFY(chooseItem(g3, 1, 3, QStringLiteral("101 現金")));
        typeInto(g3, 1, 6, QStringLiteral("1000"));
        QVERIFY(chooseItem(g3, 2, 2, QStringLiteral("121 普通預金")));
        QVERIFY(chooseItem(g3, 2, 3, QStringLiteral("999 諸口")));
        typeInto(g3, 2, 6, QStringLiteral("600"));
        const QStringList before = book_->dayTables();
        ScriptedMsgBox box;
        screen_->cmdTouroku->click();
        QCOMPARE(box.count(), 1);
        QCOMPARE(box.last().text, kSundry);
        QCOMPARE(box.last().icon, MsgIcon::Warning);
        QCOMPARE(book_->dayTables(), before);

        typeInto(g3, 2, 6, QStringLiteral("1000"));
        QVERIFY(registerDay(box));
        QCOMPARE(book_->text("SELECT count(*) FROM T_SI_MEISAI WHERE DENCODE = '00005' AND SISYU = '1'"),
                 "2");
    }

    void registrationChecksTheDayAndTheRate() {
        QVERIFY(book_->cn().exec("UPDATE WK_COMPANY SET KANCNG = '1'"));
        openDay5();
        ScriptedMsgBox box;
        screen_->cmdTouroku->click();
        QCOMPARE(box.last().text, QStringLiteral("為替レートが入力されていません。"));
        screen_->txtRate->setValue(Currency::parse(QStringLiteral("110.1234")).value());

        // The date box must still name the day shown.
        screen_->txtSyoriNen->setText(QStringLiteral("2000/01/04"));
        const QStringList before = book_->dayTables();
        screen_->cmdTouroku->click();
        QCOMPARE(box.count(), 2);
        QVERIFY(box.last().text.startsWith(QStringLiteral("処理年月日が表示中の伝票の日付と異なります。")));
        QCOMPARE(book_->dayTables(), before);

        screen_->txtSyoriNen->setText(QStringLiteral("2000/01/05"));
        QVERIFY(registerDay(box));
        // The rate is stored as typed, not as its single-precision neighbour.
        QCOMPARE(book_->cn().scalar("SELECT RATE FROM T_SIWAKE WHERE CID = '01' AND DENCODE = '00005'")->toDouble(),
                 110.1234);
    }

    void aPatternFillsItsLine() {
        auto& cn = book_->cn();
        QVERIFY(cn.exec(
            "INSERT INTO T_SI_PATTERN VALUES ('01', '121', '101', '預金預け入れ', '預け入れ', '1', ''),"
            " ('01', '121', '888', '科目なし', 'x', '1', '')"));
        QVERIFY(cn.exec("UPDATE T_KANJO SET HOJOSET = 'Y', HOSETNO = 'N' WHERE KOCODE = '012'"));
        QVERIFY(
            cn.exec("INSERT INTO T_HOJOKAMOKU VALUES ('01', '012', '01', '01', 'みずほ', 0),"
                    " ('01', '012', '02', '02', 'ゆうちょ', 0)"));
        openDay5();
        platform::SpreadGrid* g3 = screen_->spdSS3;
        ScriptedMsgBox box;
        QVERIFY(chooseItem(g3, 1, 1, QStringLiteral("121101 預金預け入れ")));
        QCOMPARE(box.count(), 0);
        QCOMPARE(g3->text(1, 2), QStringLiteral("121 普通預金"));
        QCOMPARE(g3->text(1, 3), QStringLiteral("101 現金"));
        QCOMPARE(g3->text(1, 8), QStringLiteral("012"));
        QCOMPARE(g3->text(1, 9), QStringLiteral("004"));
        QCOMPARE(g3->comboItems(1, 4), QStringList({"01 みずほ", "02 ゆうちょ"}));
        QCOMPARE(g3->text(1, 4), QStringLiteral("01 みずほ"));
        QVERIFY(g3->comboItems(1, 5).isEmpty());
        QCOMPARE(g3->text(1, 7), QStringLiteral("預け入れ"));
        QCOMPARE(g3->value(1, 6), QStringLiteral("0"));  // the amount is the user's

        // A pattern whose credit account is not in the chart fills the debit
        // side, then says so and empties the pattern cell.
        QVERIFY(!chooseItem(g3, 2, 1, QStringLiteral("121888 科目なし")));
        QCOMPARE(box.count(), 1);
        QCOMPARE(box.last().text, QStringLiteral("貸方科目コードが未登録です"));
        QCOMPARE(g3->text(2, 1), QString());
        QCOMPARE(g3->text(2, 2), QStringLiteral("121 普通預金"));
        QCOMPARE(g3->text(2, 3), QString());

        // Registered, the line keeps its pattern code and its sub-account.
        typeInto(g3, 1, 6, QStringLiteral("4000"));
        QVERIFY(chooseItem(g3, 2, 3, QStringLiteral("101 現金")));
        typeInto(g3, 2, 6, QStringLiteral("1"));
        QVERIFY(chooseItem(g3, 2, 4, QStringLiteral("02 ゆうちょ")));
        QVERIFY(registerDay(box));
        QCOMPARE(book_->text("SELECT group_concat(ptcode || '/' || KRHOKOCODE || '/' || TECODE, ' ') FROM"
                             " (SELECT * FROM T_SI_MEISAI WHERE DENCODE = '00005' ORDER BY DENMENO)"),
                 QStringLiteral("121101/01/002 /02/"));
    }

    void cellsTakeOnlyWhatTheBackupHolds_data() {
        QTest::addColumn<int>("grid");          // 1 income, 2 expense (food row), 3 free lines (row 1)
        QTest::addColumn<int>("col");
        QTest::addColumn<QString>("inserted");  // committed through the input method into text
                                                // cells, typed key by key into amount cells
        QTest::addColumn<QString>("shown");     // the cell afterwards
        QTest::addColumn<QString>("named");     // in the message; "" for no message
        QTest::newRow("description: kanji beyond CP932") << 2 << 3 << QStringLiteral("𠮷野家") << ""
                                                         << QStringLiteral("「𠮷」");
        QTest::newRow("description: emoji") << 2 << 3 << QStringLiteral("外食😀") << "" << QStringLiteral("「😀」");
        QTest::newRow("description: wave dash as CP932 holds it")
            << 2 << 3 << QStringLiteral("朝〜夜") << QStringLiteral("朝～夜") << "";
        QTest::newRow("free-line description: tab") << 3 << 7 << QStringLiteral("交通\t費") << "" << "U+0009";
        QTest::newRow("free-line description: yen sign") << 3 << 7 << QStringLiteral("¥500") << ""
                                                         << QStringLiteral("「¥」");
        QTest::newRow("amount: grouped with zero decimals") << 1 << 2 << "1,500.00" << "1,500" << "";
        QTest::newRow("amount: full-width digits") << 1 << 2 << QStringLiteral("１５００") << "1,500" << "";
        QTest::newRow("amount: fraction of a yen") << 1 << 2 << "1.5" << "0" << "「1.5」";
        QTest::newRow("amount: exponent") << 1 << 2 << "1e3" << "0" << "「1e3」";
        QTest::newRow("amount: grouping in the wrong place") << 1 << 2 << "12,34" << "0" << "「12,34」";
    }

    // The day's text cells refuse, with a message naming it, a character the
    // CP932 backup could not write back; its amount cells read typed text
    // whole or refuse it. Whatever was refused, the day registers and the
    // next backup succeeds.
    void cellsTakeOnlyWhatTheBackupHolds() {
        QFETCH(int, grid);
        QFETCH(int, col);
        QFETCH(QString, inserted);
        QFETCH(QString, shown);
        QFETCH(QString, named);
        openDay5();
        platform::SpreadGrid* g = grid == 1 ? screen_->spdSS1 : grid == 2 ? screen_->spdSS2 : screen_->spdSS3;
        const int row = grid == 2 ? entrytest::rowOf(g, 1, QStringLiteral("食費")) : 1;
        ScriptedMsgBox box;
        if (g->columnType(col) == platform::SpreadGrid::ColumnType::Number) {
            entrytest::startAt(g, row, col);
            for (QChar c : inserted) {
                QKeyEvent key(QEvent::KeyPress, 0, Qt::NoModifier, QString(c));
                QApplication::sendEvent(entrytest::focus(), &key);
            }
            QTest::keyClick(entrytest::focus(), Qt::Key_Tab);
        } else {
            typeJapanese(g, row, col, inserted);
        }
        QApplication::processEvents();
        QCOMPARE(g->text(row, col), shown);
        QCOMPARE(box.count(), named.isEmpty() ? 0 : 1);
        if (!named.isEmpty()) QVERIFY2(box.last().text.contains(named), qPrintable(box.last().text));

        box.clear();
        QVERIFY(registerDay(box));
        QTemporaryDir data;  // the automatic backup's data folder, private to this test
        gstrDataPath = data.path() + QLatin1Char('/');
        QVERIFY2(DataBackUp(BackupKind::Automatic) == BackupResult::Written,
                 qPrintable(box.count() ? box.last().text : QString()));
        QCOMPARE(box.count(), 1);
    }

    // Stored names holding a Tab or a line break (from before the inputs
    // refused them) stay one item each; a pattern without a debit account
    // number leaves the debit side empty instead of naming a total account.
    void patternWithoutAnAccountAndNamesWithTabs() {
        auto& cn = book_->cn();
        QVERIFY(cn.exec("INSERT INTO T_SI_PATTERN VALUES ('01', '', '101', ?, 'x', '1', '')",
                        {QStringLiteral("現金\t払い")}));
        QVERIFY(cn.exec("INSERT INTO T_TEKIYO VALUES ('01', '003', ?)", {QStringLiteral("交通\r\n費")}));
        openDay5();
        platform::SpreadGrid* g3 = screen_->spdSS3;
        QCOMPARE(g3->comboItems(1, 1), QStringList({"", QStringLiteral("101 現金 払い")}));
        QCOMPARE(g3->comboItems(1, 7),
                 QStringList({"", QStringLiteral("給料日"), QStringLiteral("預け入れ"), QStringLiteral("交通  費")}));

        ScriptedMsgBox box;
        QVERIFY(chooseItem(g3, 1, 1, QStringLiteral("101 現金 払い")));
        QCOMPARE(box.count(), 0);
        QCOMPARE(g3->text(1, 2), QString());
        QCOMPARE(g3->text(1, 8), QString());
        QCOMPARE(g3->text(1, 3), QStringLiteral("101 現金"));
        QCOMPARE(g3->text(1, 9), QStringLiteral("004"));
    }

    // Appending past the last free line, and deleting lines by the row header.
    void freeLinesAreAppendedAndDeleted() {
        openDay5();
        platform::SpreadGrid* g3 = screen_->spdSS3;
        entrytest::startAt(g3, 2, 7);
        QTest::keyClick(entrytest::focus(), Qt::Key_Tab);
        QCOMPARE(g3->maxRows(), 3);
        QCOMPARE(g3->activeRow(), 3);
        QCOMPARE(g3->activeCol(), 1);
        QCOMPARE(g3->text(3, 0), QStringLiteral("D"));
        QVERIFY(g3->comboItems(3, 2).contains(QStringLiteral("101 現金")));
        QVERIFY(!screen_->hasUnsavedEdits());  // an appended empty line is no edit

        QVERIFY(chooseItem(g3, 2, 2, QStringLiteral("121 普通預金")));
        QVERIFY(chooseItem(g3, 3, 2, QStringLiteral("714 食費")));
        ScriptedMsgBox box;
        box.answer(platform::vbNo);
        emit g3->click(2, 0);
        QCOMPARE(g3->maxRows(), 3);
        QCOMPARE(box.last().title, QStringLiteral("確認"));
        box.answer(platform::vbYes);
        emit g3->click(2, 0);  // a middle line: the lines below move up
        QCOMPARE(g3->maxRows(), 2);
        QCOMPARE(g3->text(2, 2), QStringLiteral("714 食費"));
        QCOMPARE(g3->text(2, 8), QStringLiteral("263"));
        box.answer(platform::vbYes);
        emit g3->click(2, 0);  // the last line: a fresh blank line takes its place
        QCOMPARE(g3->maxRows(), 2);
        QCOMPARE(g3->text(2, 2), QString());
        QCOMPARE(g3->value(2, 6), QStringLiteral("0"));
        // Nothing typed differs from the load any more, yet lines were deleted.
        QVERIFY(screen_->hasUnsavedEdits());
    }

    // A fast typist clicks the amount cell that is already active and types
    // at once: every digit is stored, whether the keys come with the click or
    // 0.1 s or 0.5 s after it (before and after the double-click interval).
    void typingRightAfterAClickOnTheActiveCell_data() {
        QTest::addColumn<int>("grid");  // 1 income, 2 expenses, 3 free lines
        QTest::addColumn<int>("delay");  // ms between the click and the first key
        for (const int grid : {1, 2, 3}) {
            for (const int delay : {0, 100, 500}) QTest::addRow("grid %d, %d ms", grid, delay) << grid << delay;
        }
    }

    void typingRightAfterAClickOnTheActiveCell() {
        QFETCH(int, grid);
        QFETCH(int, delay);
        openDay5();
        ScriptedMsgBox box;
        platform::SpreadGrid* g = grid == 1 ? screen_->spdSS1 : grid == 2 ? screen_->spdSS2 : screen_->spdSS3;
        const int row = grid == 2 ? entrytest::rowOf(g, 1, QStringLiteral("食費")) : 1;
        const int col = grid == 3 ? 6 : 2;
        if (grid == 3) {
            QVERIFY(chooseItem(g, 1, 2, QStringLiteral("121 普通預金")));
            QVERIFY(chooseItem(g, 1, 3, QStringLiteral("101 現金")));
        }
        entrytest::startAt(g, row, col);
        QTableView* v = g->view();
        const QPoint cell = v->visualRect(v->model()->index(row - 1, col - 1)).center();
        QVERIFY(v->viewport()->rect().contains(cell));
        QTest::mouseClick(v->viewport(), Qt::LeftButton, {}, cell);
        if (delay) QTest::qWait(delay);
        for (const char c : {'1', '2', '3', '4', '5'}) QTest::keyClick(entrytest::focus(), c);
        QTest::qWait(QApplication::doubleClickInterval() + 100);
        QTest::keyClick(entrytest::focus(), Qt::Key_Tab);
        QCOMPARE(g->value(row, col), QStringLiteral("12345"));
        QVERIFY(registerDay(box));
        QCOMPARE(book_->text("SELECT group_concat(KRKIN) FROM T_SI_MEISAI WHERE CID = '01' AND DENCODE = '00005'"),
                 raw(12345));
    }

    // Right after the screen opens (the focus in the date box), a click on a
    // cell of the expense grid takes what is typed next: leaving the date box
    // does not send it to the income grid.
    void aClickOnTheExpenseGridRightAfterOpeningTakesTheTyping() {
        openDay5();
        ScriptedMsgBox box;
        QCOMPARE(entrytest::focus(), screen_->txtSyoriNen);
        platform::SpreadGrid* g = screen_->spdSS2;
        QVERIFY(!g->text(1, 1).isEmpty());
        QTableView* v = g->view();
        QTest::mouseClick(v->viewport(), Qt::LeftButton, {}, v->visualRect(v->model()->index(0, 1)).center());
        for (const char c : {'1', '1', '1', '1'}) QTest::keyClick(entrytest::focus(), c);
        QTest::keyClick(entrytest::focus(), Qt::Key_Tab);
        QCOMPARE(g->value(1, 2), QStringLiteral("1111"));
        QCOMPARE(screen_->spdSS1->value(1, 2), QStringLiteral("0"));
        QVERIFY(registerDay(box));
        // An expense is paid from cash (004): cash on the credit side.
        QCOMPARE(book_->text("SELECT KSKOCODE || ' ' || KRKIN FROM T_SI_MEISAI WHERE CID = '01' AND DENCODE = '00005'"),
                 QStringLiteral("004 ") + raw(1111));
    }

    void deletingTheDay() {
        openDay5();
        ScriptedMsgBox box;
        // A day without journal lines cannot be deleted.
        screen_->cmdDelete->click();
        QCOMPARE(box.count(), 1);
        QCOMPARE(box.last().text, QStringLiteral("この伝票は存在しません"));

        typeTheDay();
        QVERIFY(registerDay(box));
        const QStringList registered = book_->dayTables();
        box.answer(platform::vbCancel);
        screen_->cmdDelete->click();
        QCOMPARE(box.last().icon, MsgIcon::Question);
        QCOMPARE(box.last().buttons, platform::MsgButtons::OkCancel);
        QCOMPARE(box.last().defaultButton, 2);
        QVERIFY(box.last().text.endsWith(QStringLiteral("この日のデータを削除しますか？")));
        QCOMPARE(book_->dayTables(), registered);

        // A failed deletion changes nothing and shows what is stored.
        QVERIFY(
            book_->cn().exec("CREATE TRIGGER injected BEFORE UPDATE ON T_DAY_TORAN BEGIN"
                             " SELECT RAISE(ABORT, 'injected'); END"));
        typeInto(screen_->spdSS1, 2, 2, QStringLiteral("9"));
        box.answer(platform::vbOK);
        screen_->cmdDelete->click();
        QVERIFY(box.last().text.endsWith(QStringLiteral("(cmdDelete_Click)")));
        QCOMPARE(book_->dayTables(), registered);
        QCOMPARE(screen_->spdSS1->value(2, 2), QStringLiteral("0"));
        QCOMPARE(screen_->spdSS1->value(1, 2), QStringLiteral("200000"));
        QVERIFY(book_->cn().exec("DROP TRIGGER injected"));

        const int shown = box.count();
        box.answer(platform::vbOK);
        screen_->cmdDelete->click();
        QCOMPARE(box.count(), shown + 1);  // the question only
        QCOMPARE(book_->text("SELECT count(*) FROM T_SI_MEISAI WHERE CID = '01' AND DENCODE = '00005'"), "0");
        QCOMPARE(book_->text("SELECT sum(KIN5) FROM T_DAY_TORAN WHERE CID = '01'"), "0");
        QStringList expected;
        for (int d = 1; d <= 10; ++d) {
            expected << QStringLiteral("%1 0 50000 50000").arg(d, 5, 10, QLatin1Char('0'));
        }
        QCOMPARE(vouchers(), expected);
        QCOMPARE(book_->text(
                     "SELECT SYORIFLG || SYORIFLGH FROM T_TUKISIME WHERE CID = '01' AND DATEYM = '2000/01'"),
                 "00");
        // The day as it is stored now: no amounts, two blank free lines.
        QCOMPARE(screen_->spdSS1->value(1, 2), QStringLiteral("0"));
        QCOMPARE(screen_->spdSS3->maxRows(), 2);
        QCOMPARE(screen_->spdSS3->text(1, 2), QString());
        QCOMPARE(screen_->txtHonjituZandaka->valueOrZero(), Currency::fromYen(50000));
        QVERIFY(!screen_->hasUnsavedEdits());
    }

    // A day of more lines than one voucher holds (999) spans several vouchers
    // of that day, as the imports write it: 2,100 free lines in 00010 (999),
    // 00011 (999) and 00012 (102), all dated 2000/01/10. The screen, opened on
    // the day's last voucher, shows the whole day; registering it unchanged
    // writes the same lines into the same vouchers and gives every voucher of
    // the day the day's balance; deleting it empties all of them.
    void aDayOfSeveralVouchersLoadsRegistersAndDeletesWhole() {
        auto& cn = book_->cn();
        QVERIFY(make_new_siwake_data(QStringLiteral("2000/01/01"), QStringLiteral("2001/03/31")));
        QVERIFY(cn.exec("INSERT INTO T_SIWAKE SELECT CID, ?1, ?1, DENDAY, INDAY, KESSAN, YDAYZAN, DAYZAN, RATE"
                        " FROM T_SIWAKE WHERE CID = '01' AND DENCODE = '00010'",
                        {QStringLiteral("00011")}));
        QVERIFY(cn.exec("INSERT INTO T_SIWAKE SELECT CID, ?1, ?1, DENDAY, INDAY, KESSAN, YDAYZAN, DAYZAN, RATE"
                        " FROM T_SIWAKE WHERE CID = '01' AND DENCODE = '00010'",
                        {QStringLiteral("00012")}));
        // Line i: i yen, odd lines paid from cash into the bank, even ones back.
        QVERIFY(cn.exec(
            "WITH RECURSIVE n(i) AS (SELECT 1 UNION ALL SELECT i + 1 FROM n WHERE i < 2100)"
            " INSERT INTO T_SI_MEISAI (DENCODE, DENMENO, CID, SIDAY, DATEYM, SISYU, KRKOCODE, KRKIN, KSKOCODE,"
            " KSKIN, KRTKBN, KSTKBN, KRBUKBN, KSBUKBN, KRTKOCODE, KSTKOCODE, KRTKINNO, KSTKINNO, TECODE, TEKIYO,"
            " ptcode, KRHOKOCODE, KSHOKOCODE, KRAICODE, KSAICODE, KRAIHOCODE, KSAIHOCODE)"
            " SELECT printf('%05d', 10 + (i - 1) / 999), printf('%03d', (i - 1) % 999 + 1), '01', '2000/01/10',"
            " '2000/01', '1', CASE i % 2 WHEN 1 THEN '012' ELSE '004' END, i * 10000,"
            " CASE i % 2 WHEN 1 THEN '004' ELSE '012' END, i * 10000, '5', '5', '00', '00', '000', '000',"
            " i * 10000, i * 10000, '', 'line ' || i, '', '', '', CASE i % 2 WHEN 1 THEN '004' ELSE '012' END,"
            " CASE i % 2 WHEN 1 THEN '012' ELSE '004' END, '', '' FROM n"));
        const QString perVoucher = QStringLiteral(
            "SELECT group_concat(x, ' ') FROM (SELECT DENCODE || ':' || count(*) || ':' || min(DENMENO) || '-'"
            " || max(DENMENO) || ':' || sum(KRKIN) AS x FROM T_SI_MEISAI WHERE CID = '01' GROUP BY DENCODE"
            " ORDER BY DENCODE)");
        const QString stored = book_->text(perVoucher);
        QCOMPARE(stored, QStringLiteral("00010:999:001-999:4995000000 00011:999:001-999:14975010000"
                                        " 00012:102:001-102:2090490000"));
        const QString allLines = QStringLiteral(
            "SELECT group_concat(x, ',') FROM (SELECT DENCODE || DENMENO || KRKOCODE || KSKOCODE || KRKIN || TEKIYO"
            " AS x FROM T_SI_MEISAI ORDER BY DENCODE, DENMENO)");
        const QString linesBefore = book_->text(allLines);

        ScriptedMsgBox box;
        screen_ = openEntry(opener_, QStringLiteral("MainMenu"));
        QVERIFY(screen_ && screen_->isVisible());
        QCOMPARE(screen_->context().range.maxDenCode, QStringLiteral("00012"));
        QVERIFY(screen_->isDayLoaded());
        QCOMPARE(box.count(), 0);
        QCOMPARE(screen_->txtSyoriNen->text(), QStringLiteral("2000/01/10"));
        platform::SpreadGrid* g3 = screen_->spdSS3;
        QCOMPARE(g3->maxRows(), 2100);
        for (int r : {1, 999, 1000, 1998, 1999, 2100}) {
            QCOMPARE(g3->value(r, 6), QString::number(r));
            QCOMPARE(g3->text(r, 7), QStringLiteral("line %1").arg(r));
            QCOMPARE(g3->text(r, 2), r % 2 ? QStringLiteral("121 普通預金") : QStringLiteral("101 現金"));
        }
        // The totals against plain SQL over the day's lines.
        const Currency in = Currency::fromRaw(
            book_->text("SELECT sum(KRKIN) FROM T_SI_MEISAI WHERE SIDAY = '2000/01/10' AND KRKOCODE = '004'")
                .toLongLong());
        const Currency out = Currency::fromRaw(
            book_->text("SELECT sum(KSKIN) FROM T_SI_MEISAI WHERE SIDAY = '2000/01/10' AND KSKOCODE = '004'")
                .toLongLong());
        QCOMPARE(in, Currency::fromYen(1050 * 1051));
        QCOMPARE(screen_->txtNyukinGokei->valueOrZero(), in);
        QCOMPARE(screen_->txtSyukkinGokei->valueOrZero(), out);
        QCOMPARE(screen_->txtHonjituZandaka->valueOrZero(), Currency::fromYen(50000) + in - out);
        QVERIFY(!screen_->hasUnsavedEdits());

        QVERIFY(registerDay(box));
        QCOMPARE(book_->text(perVoucher), stored);
        QCOMPARE(book_->text(allLines), linesBefore);
        QStringList expected;
        for (int d = 1; d <= 12; ++d) {
            expected << (d < 10 ? QStringLiteral("%1 0 50000 50000").arg(d, 5, 10, QLatin1Char('0'))
                                : QStringLiteral("%1 1 50000 51050").arg(d, 5, 10, QLatin1Char('0')));
        }
        QCOMPARE(vouchers(), expected);

        box.answer(platform::vbOK);
        screen_->cmdDelete->click();
        QCOMPARE(book_->text("SELECT count(*) FROM T_SI_MEISAI WHERE CID = '01'"), "0");
        for (QString& v : expected) v = v.left(5) + QStringLiteral(" 0 50000 50000");
        QCOMPARE(vouchers(), expected);
        QCOMPARE(g3->maxRows(), 2);
    }

    // A day that is not the company's latest cannot take a further voucher:
    // a registration that would put a 1,000th line into its voucher is
    // refused naming the limit, and nothing is written.
    void aFullEarlierDayRefusesTheRegistration() {
        auto& cn = book_->cn();
        QVERIFY(make_new_siwake_data(QStringLiteral("2000/01/01"), QStringLiteral("2001/03/31")));
        // 998 lines of accounts outside the grids, which a registration keeps.
        QVERIFY(cn.exec(
            "WITH RECURSIVE n(i) AS (SELECT 1 UNION ALL SELECT i + 1 FROM n WHERE i < 998)"
            " INSERT INTO T_SI_MEISAI (DENCODE, DENMENO, CID, SIDAY, DATEYM, SISYU, KRKOCODE, KRKIN, KSKOCODE,"
            " KSKIN) SELECT '00005', printf('%03d', i), '01', '2000/01/05', '2000/01', '0', '012', 10000, '004',"
            " 10000 FROM n"));
        DayRegistration day;
        day.denCode = QStringLiteral("00005");
        day.day = QStringLiteral("2000/01/05");
        for (qint64 yen : {1, 2, 3}) {
            FreeLine l = freeLine(QStringLiteral("121 普通預金"), QStringLiteral("101 現金"), yen);
            l.debitKocode = QStringLiteral("012");
            l.creditKocode = QStringLiteral("004");
            day.freeLines.push_back(l);
        }
        day.closingBalance = Currency::fromYen(49994);
        const QStringList before = book_->dayTables();
        ScriptedMsgBox box;
        QVERIFY(!RegisterDay(day));
        QCOMPARE(box.count(), 1);
        QCOMPARE(box.last().text, QStringLiteral("仕訳明細は1伝票999行までです。2000/01/05の伝票に空きがないため、"
                                                 "これ以上の仕訳を登録できません。"));
        QCOMPARE(book_->dayTables(), before);
        // One line still fits.
        day.freeLines.resize(1);
        day.closingBalance = Currency::fromYen(49999);
        QVERIFY(RegisterDay(day));
        QCOMPARE(book_->text("SELECT max(DENMENO) FROM T_SI_MEISAI WHERE DENCODE = '00005'"), "999");
    }
};

QTEST_MAIN(TestEntryRegister)
#include "tst_entryregister.moc"
