// The payroll import screen against the sample payroll database, read
// through the real unixODBC driver manager and the SQLite ODBC driver: what
// the screen offers, what each import posts, the checks and the repeat
// question.

#include <QComboBox>
#include <QPushButton>
#include <QRadioButton>
#include <QTemporaryDir>
#include <QtTest>
#include <memory>

#include "app/common/globals.h"
#include "app/startup.h"
#include "exchange/runInRuviz.h"
#include "ledger/dayvouchers.h"
#include "platform/clock.h"
#include "platform/imdate.h"
#include "platform/msgbox.h"
#include "support/hostilevalues.h"
#include "support/openingfixture.h"

using openingfixture::kCid;
using platform::ScriptedMsgBox;

class TestPayrollScreen : public QObject {
    Q_OBJECT

    QTemporaryDir odbc_;
    std::unique_ptr<openingfixture::Company> co_;
    std::unique_ptr<platform::FixedClock> clock_;

    void writeFile(const QString& name, const QByteArray& text) {
        QFile f(odbc_.filePath(name));
        QVERIFY(f.open(QIODevice::WriteOnly));
        f.write(text);
    }

    // Registers "Kestrov Ruviz" in private ini files (the driver has no
    // set-up routine): the sample database, 64-bit integers read as such.
    void registerSource(bool present) {
        writeFile(QStringLiteral("odbc.ini"),
                  present ? "[Kestrov Ruviz]\nDriver=SQLite3\nDatabase=" +
                                odbc_.filePath(QStringLiteral("ruviz.db")).toUtf8() + "\nBigInt=1\n"
                          : QByteArray());
    }

    QStringList rows(const QString& sql) {
        QStringList out;
        for (const platform::Row& r : co_->cn->query(sql, {kCid}).value_or(platform::Rows())) {
            QStringList cells;
            for (int i = 0; i < r.size(); ++i) cells << r.text(i);
            out << cells.join(u'|');
        }
        return out;
    }

    // "debit|credit|yen|description" of the company's imported lines.
    QStringList imported() {
        return rows(QStringLiteral("SELECT KRKOCODE, KSKOCODE, KRKIN / 10000, TEKIYO FROM T_SI_MEISAI"
                                   " WHERE CID = ? AND SISYU = '1' ORDER BY DENCODE, DENMENO"));
    }

    void choose(runInRuviz& s, const QString& company, const QString& month, bool bonus, bool cash,
                const QString& day) {
        s.cmbKaikeiData->setCurrentIndex(s.cmbKaikeiData->findText(company));
        s.cmbTaisyoNenTuki->setCurrentIndex(s.cmbTaisyoNenTuki->findText(month));
        s.cmbTaisyoNenTuki_Click();
        (bonus ? s.optSyoyo : s.optRuviz)->setChecked(true);
        (cash ? s.optGenkin : s.optGinko)->setChecked(true);
        s.txtSiharaiDay->setText(day);
    }

private slots:
    void initTestCase() {
        testenv::isolate();
        PrepareProgram();
        QVERIFY(odbc_.isValid());
        qputenv("ODBCSYSINI", odbc_.path().toUtf8());
        qputenv("ODBCINI", odbc_.filePath(QStringLiteral("odbc.ini")).toUtf8());
        writeFile(QStringLiteral("odbcinst.ini"),
                  "[SQLite3]\nDescription=SQLite3 ODBC Driver\n"
                  "Driver=/usr/lib/x86_64-linux-gnu/odbc/libsqlite3odbc.so\n");
        QFile script(QStringLiteral(RALVEK_SOURCE_DIR "/exchange/payroll-sample/ruviz_sample.sql"));
        QVERIFY(script.open(QIODevice::ReadOnly));
        writeFile(QStringLiteral("ruviz.db"), QByteArray());  // an empty file is an empty database
        auto payroll = platform::Connection::open(odbc_.filePath(QStringLiteral("ruviz.db")));
        QVERIFY(payroll);
        QVERIFY(payroll->execScript(QString::fromUtf8(script.readAll())));
    }

    void init() {
        registerSource(true);
        clock_ = std::make_unique<platform::FixedClock>(QDate(2012, 5, 1));
        co_ = openingfixture::open();
        QVERIFY(co_);
        // Day vouchers run without a gap from 2012/03/31 to 2012/04/30, so a
        // cash payment in April has later days to carry into.
        ScriptedMsgBox boxes;
        QVERIFY(CreateDayVouchersThrough(openingfixture::kStart, QStringLiteral("2012/04/30")));
    }
    void cleanup() {
        co_.reset();
        clock_.reset();
    }

    void offersTheCurrentCompanyAndItsLatestMonth() {
        ScriptedMsgBox boxes;
        runInRuviz s;
        s.show();
        QVERIFY(s.isLoaded());
        QCOMPARE(boxes.count(), 0);
        // Japanese names come through the driver intact.
        QCOMPARE(s.cmbKaikeiData->count(), 2);
        QCOMPARE(s.cmbKaikeiData->itemText(1), QStringLiteral("株式会社サンプル"));
        QCOMPARE(s.cmbKaikeiData->currentText(), QStringLiteral("テスト商店"));
        QCOMPARE(s.cmbTaisyoNenTuki->count(), 12);
        QCOMPARE(s.cmbTaisyoNenTuki->currentText(), QStringLiteral("2011年12月"));
        QCOMPARE(s.txtSiharaiDay->text(), QStringLiteral("2011/12/01"));
        QVERIFY(s.optRuviz->isChecked() && s.optGinko->isChecked());
        QVERIFY(s.cmbBank->count() > 0);
        QCOMPARE(s.cmbBank->currentIndex(), 0);
        s.optGenkin->setChecked(true);
        QVERIFY(!s.cmbBank->isEnabled());
    }

    // Each month of the sample posted once; the figures are the sample's
    // lines added by hand.
    void importsAMonth_data() {
        QTest::addColumn<QString>("month");
        QTest::addColumn<bool>("bonus");
        QTest::addColumn<bool>("cash");
        QTest::addColumn<QString>("day");
        QTest::addColumn<QStringList>("lines");
        QTest::newRow("salary by bank") << "2011年 4月" << false << false << "2011/05/10"
            << QStringList({"264|363|452500|2011年 4月給与", "263|363|400000|2011年 4月役員報酬",
                            "271|363|14000|2011年 4月通勤費", "363|268|2600|2011年 4月雇用保険料個人負担分",
                            "363|134|41000|2011年 4月健康保険料個人負担分",
                            "363|134|74000|2011年 4月厚生年金保険料個人負担分", "363|134|39500|2011年 4月所得税",
                            "363|134|29000|2011年 4月県市民税", "363|134|5000|2011年 4月その他控除金額",
                            "363|012|675400|2011年 4月給与振込み"});
        // NULL amounts count as 0 and keep the rest of their line.
        QTest::newRow("NULL amounts") << "2011年 5月" << false << false << "2011/05/10"
            << QStringList({"264|363|442500|2011年 5月給与", "263|363|400000|2011年 5月役員報酬",
                            "271|363|8000|2011年 5月通勤費", "363|268|2600|2011年 5月雇用保険料個人負担分",
                            "363|134|41000|2011年 5月健康保険料個人負担分",
                            "363|134|74000|2011年 5月厚生年金保険料個人負担分", "363|134|39500|2011年 5月所得税",
                            "363|134|29000|2011年 5月県市民税", "363|134|5000|2011年 5月その他控除金額",
                            "363|012|659400|2011年 5月給与振込み"});
        QTest::newRow("bonus in cash") << "2011年 7月" << true << true << "2012/04/10"
            << QStringList({"265|363|500000|2011年 7月賞与", "363|268|3000|2011年 7月雇用保険料個人負担分",
                            "363|134|25000|2011年 7月健康保険料個人負担分",
                            "363|134|45000|2011年 7月厚生年金保険料個人負担分", "363|134|41000|2011年 7月所得税",
                            "363|004|386000|2011年 7月賞与現金支給"});
        // The year-end adjustment sums to -2,800: posted with 2,800 on the
        // opposite sides. Paid after the last voucher: the days are created.
        QTest::newRow("negative adjustment") << "2011年12月" << false << false << "2012/05/10"
            << QStringList({"264|363|452500|2011年12月給与", "263|363|400000|2011年12月役員報酬",
                            "271|363|14000|2011年12月通勤費", "363|268|2600|2011年12月雇用保険料個人負担分",
                            "363|134|41000|2011年12月健康保険料個人負担分",
                            "363|134|74000|2011年12月厚生年金保険料個人負担分", "363|134|39500|2011年12月所得税",
                            "363|134|29000|2011年12月県市民税", "363|134|5000|2011年12月その他控除金額",
                            "363|134|2800|2011年12月所得税年末調整", "363|012|672600|2011年12月給与振込み"});
    }
    void importsAMonth() {
        QFETCH(QString, month);
        QFETCH(bool, bonus);
        QFETCH(bool, cash);
        QFETCH(QString, day);
        QFETCH(QStringList, lines);
        ScriptedMsgBox boxes;
        runInRuviz s;
        s.show();
        QVERIFY(s.isLoaded());
        choose(s, QStringLiteral("テスト商店"), month, bonus, cash, day);
        const auto before = co_->balances();
        boxes.answer(platform::vbYes);
        s.cmdStart->click();
        QCOMPARE(boxes.last().text, QStringLiteral("給与データの取込処理が正しく終了しました。"));
        QCOMPARE(imported(), lines);
        QCOMPARE(rows(QStringLiteral("SELECT DISTINCT SIDAY FROM T_SI_MEISAI WHERE CID = ? AND SISYU = '1'")),
                 QStringList({day}));
        // The cash chain stays continuous; only cash pay changes it.
        const auto after = co_->balances();
        for (int i = 1; i < after.size(); ++i) QCOMPARE(after[i].first, after[i - 1].second);
        const qint64 paid = cash ? 386000 : 0;
        QCOMPARE(after.at(before.size() - 1).second, before.last().second - paid);
        QCOMPARE(rows(QStringLiteral("SELECT DATEYM FROM T_TUKISIME WHERE CID = ? AND SYORIFLG = '0'"
                                     " AND DATEYM = substr('") + day + QStringLiteral("', 1, 7)")).size(),
                 day.startsWith(QStringLiteral("2012/")) ? 0 : 1);
    }

    void aRepeatedMonthIsAskedFor() {
        ScriptedMsgBox boxes;
        runInRuviz s;
        s.show();
        choose(s, QStringLiteral("テスト商店"), QStringLiteral("2011年 4月"), false, false, QStringLiteral("2011/05/10"));
        boxes.answer(platform::vbYes);
        s.cmdStart->click();
        const QStringList once = imported();
        QCOMPARE(once.size(), 10);
        // Asked again: No posts nothing, Yes posts it a second time.
        boxes.answer(platform::vbYes);
        boxes.answer(platform::vbNo);
        s.cmdStart->click();
        QVERIFY(boxes.last().text.contains(QStringLiteral("既に取り込まれています")));
        QCOMPARE(imported(), once);
        // A bonus of the same month is no repeat of its salary.
        choose(s, QStringLiteral("テスト商店"), QStringLiteral("2011年 7月"), true, false, QStringLiteral("2011/05/10"));
        boxes.answer(platform::vbYes);
        s.cmdStart->click();
        QCOMPARE(boxes.last().text, QStringLiteral("給与データの取込処理が正しく終了しました。"));
    }

    void refusesWithoutWriting_data() {
        QTest::addColumn<QString>("company");
        QTest::addColumn<QString>("month");
        QTest::addColumn<QString>("day");
        QTest::addColumn<QString>("message");
        const QString range = QStringLiteral("支給日（伝票日付）が処理可能な範囲を超えています。");
        QTest::newRow("no pay date") << "テスト商店" << "2011年 4月" << "" << "支給日を指定した後、開始ボタンを押して下さい。";
        QTest::newRow("day before the start") << "テスト商店" << "2011年 4月" << "2011/03/31" << range;
        QTest::newRow("day after the last input day") << "テスト商店" << "2011年 4月" << "2012/07/01" << range;
        QTest::newRow("no pay lines") << "株式会社サンプル" << "2011年 5月" << "2011/05/10" << "該当データがありません。";
        QTest::newRow("no company") << "" << "2011年 4月" << "2011/05/10"
                                    << "【Ralvek給与】のデータ取り込み中にエラーが発生した。";
    }
    void refusesWithoutWriting() {
        QFETCH(QString, company);
        QFETCH(QString, month);
        QFETCH(QString, day);
        QFETCH(QString, message);
        ScriptedMsgBox boxes;
        runInRuviz s;
        s.show();
        const QString before = co_->snapshot();
        choose(s, company, month, false, false, day);
        boxes.answer(platform::vbYes);
        s.cmdStart->click();
        QVERIFY2(boxes.last().text.startsWith(message), qPrintable(boxes.last().text));
        QCOMPARE(imported(), QStringList());
        QCOMPARE(co_->snapshot(), before);
    }

    // What comes in from the payroll database is held to the rules of what
    // is typed: a figure beyond what the amount boxes accept is refused,
    // naming the source, the company and month and the column, and nothing is
    // posted (never stored as 0).
    void hostileValuesRefused_data() { hostile::addRows(); }
    void hostileValuesRefused() {
        QFETCH(int, field);
        QFETCH(QByteArray, value);
        if (field != hostile::Amount) QSKIP("the payroll figures are amounts only");
        auto payroll = platform::Connection::open(odbc_.filePath(QStringLiteral("ruviz.db")));
        QVERIFY(payroll);
        QVERIFY(payroll->exec(QStringLiteral("INSERT INTO MEISAI (CID, SYAINNO, SIKYUBI, SIKYUKBN, HEALTH) "
                                             "VALUES ('01', '999', '201104', '1', ?)"),
                              {QString::fromLatin1(value)}));
        ScriptedMsgBox boxes;
        {
            runInRuviz s;
            s.show();
            const QString before = co_->snapshot();
            choose(s, QStringLiteral("テスト商店"), QStringLiteral("2011年 4月"), false, false,
                   QStringLiteral("2011/05/10"));
            boxes.answer(platform::vbYes);
            s.cmdStart->click();
            const QString text = boxes.last().text;
            QVERIFY2(text.contains(QStringLiteral("Kestrov Ruviz")) && text.contains(QStringLiteral("CID 01, 201104")) &&
                         text.contains(QStringLiteral("HEALTH")),
                     qPrintable(text));
            QCOMPARE(imported(), QStringList());
            QCOMPARE(co_->snapshot(), before);
        }
        QVERIFY(payroll->exec(QStringLiteral("DELETE FROM MEISAI WHERE SYAINNO = '999'")));
    }

    void aMissingSourceFailsTheLoad() {
        registerSource(false);
        ScriptedMsgBox boxes;
        QPointer<runInRuviz> s = new runInRuviz;
        s->show();
        QVERIFY(!s->isLoaded());
        QCOMPARE(boxes.count(), 1);
        QCOMPARE(boxes.last().icon, platform::MsgIcon::None);
        QCOMPARE(boxes.last().title, QString());
        QTRY_VERIFY(s.isNull() || !s->isVisible());
        delete s.data();
    }
};

int main(int argc, char** argv) {
    QApplication app(argc, argv);
    TestPayrollScreen test;
    QTEST_SET_MAIN_SOURCE_PATH
    return QTest::qExec(&test, argc, argv);
}
#include "tst_payrollscreen.moc"
