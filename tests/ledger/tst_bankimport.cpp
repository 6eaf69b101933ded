// The bank statement import: the classification by description code, a
// statement posted into a company with existing days (accounts and sides,
// the cash chain checked on its own, new days with their scheduled lines,
// the months marked), and refused imports that leave every table as it was.

#include <QtTest>
#include <memory>

#include "app/common/globals.h"
#include "ledger/bankimport.h"
#include "platform/clock.h"
#include "platform/connection.h"
#include "platform/cp932.h"
#include "platform/msgbox.h"
#include "ledger/bankstatement.h"
#include "support/hostilevalues.h"
#include "support/testenv.h"

class TestBankImport : public QObject {
    Q_OBJECT
    std::unique_ptr<testenv::ShippedDb> db_;
    platform::Connection* cn_ = nullptr;
    QTemporaryDir dir_;

    QStringList rows(const QString& sql) {
        QStringList out;
        for (const platform::Row& r : cn_->query(sql).value_or(platform::Rows())) {
            QStringList cells;
            for (int i = 0; i < r.size(); ++i) cells << r.text(i);
            out << cells.join(u'|');
        }
        return out;
    }
    // Every table the import may touch, as text.
    QStringList everything() {
        return rows("SELECT * FROM T_SIWAKE ORDER BY DENCODE") + rows("SELECT * FROM T_SI_MEISAI ORDER BY 1, 2") +
               rows("SELECT * FROM T_TUKISIME ORDER BY DATEYM");
    }
    QString write(const QString& name, const QByteArray& bytes) {
        const QString path = dir_.filePath(name);
        QFile f(path);
        if (!f.open(QIODevice::WriteOnly)) return QString();
        f.write(bytes);
        return path;
    }
    static QByteArray sjis(const QString& text) { return platform::cp932::encode(text).bytes; }

private slots:
    void initTestCase() { testenv::isolate(); }
    void init() {
        db_ = testenv::ShippedDb::open();
        QVERIFY(db_);
        cn_ = &db_->connection();
        gstrCID = QStringLiteral("51");
        for (const char* t : {"T_SIWAKE", "T_SI_MEISAI", "T_KISYUZAN", "T_SI_PATTERN", "T_TUKISIME"})
            QVERIFY(cn_->exec(QStringLiteral("DELETE FROM ") + QLatin1String(t)));
        // A pattern scheduled on every new day.
        QVERIFY(cn_->exec("INSERT INTO T_SI_PATTERN VALUES ('51', '511', '101', 'n', '毎日', '2', '')"));
        // Existing days 04/01..04/02 with cash 100 -> 100 -> 130.
        const auto yen = [](int y) { return QVariant::fromValue(Currency::fromYen(y)); };
        QVERIFY(cn_->exec("INSERT INTO T_SIWAKE VALUES ('51','00001','00001','2011/04/01','2011/04/01','0',?,?,0),"
                          " ('51','00002','00002','2011/04/02','2011/04/01','0',?,?,0)",
                          {yen(100), yen(100), yen(100), yen(130)}));
        for (const char* ym : {"2011/04", "2011/05", "2011/06"})
            QVERIFY(cn_->exec("INSERT INTO T_TUKISIME VALUES ('51', ?, '1', '1', '2011/04/01')", {QString(ym)}));
    }
    void cleanup() { db_.reset(); }

    void listsTheBankAccountsInUse() {
        QVERIFY(cn_->exec("UPDATE T_KANJO SET SIYOU = 'N' WHERE KOCODE = '013'"));
        const auto accounts = BankAccounts();
        QVERIFY(accounts);
        QStringList codes;
        for (const BankAccount& a : *accounts) codes << a.kocode + u' ' + a.name;
        QCOMPARE(codes, QStringList({"012 普通預金", "014 普通預金３"}));
    }

    void classifiesByDescriptionCode_data() {
        QTest::addColumn<QString>("description");
        QTest::addColumn<QString>("withdrawal");
        QTest::addColumn<QString>("deposit");
        QTest::addColumn<QString>("result");  // account|counter|direction|description
        QTest::newRow("expense code") << "01ガソリン" << "500" << "" << "282|014|0|ガソリン";
        QTest::newRow("expense code on a deposit") << "01返金" << "" << "300" << "282|014|0|返金";
        QTest::newRow("full-width code") << "１３会費" << "1" << "" << "309|014|0|会費";
        QTest::newRow("21") << "21税" << "1" << "" << "247|014|0|税";
        QTest::newRow("cash out of the bank") << "３０引出" << "10000" << "" << "004|014|0|引出";
        QTest::newRow("cash into the bank") << "30預入" << "" << "1" << "004|014|1|預入";
        QTest::newRow("cash code, neither amount") << "30" << "" << "" << "|014|1|";
        QTest::newRow("31 withdrawal") << "31x" << "1" << "" << "107|014|0|x";
        QTest::newRow("31 deposit") << "31x" << "" << "1" << "314|014|1|x";
        QTest::newRow("no code, deposit") << "振込" << "" << "1" << "180|014|1|振込";
        QTest::newRow("no code, withdrawal") << "99振込" << "1" << "" << "283|014|0|99振込";
        QTest::newRow("no code, neither amount") << "振込" << " " << "" << "|||振込";
        QTest::newRow("withdrawal tested first") << "振込" << "1" << "1" << "283|014|0|振込";
        // The code goes with the blanks before it; the text after it stays whole.
        QTest::newRow("blanks before the code") << "  01 駐車場" << "1" << "" << "282|014|0| 駐車場";
    }
    void classifiesByDescriptionCode() {
        QFETCH(QString, description);
        QFETCH(QString, withdrawal);
        QFETCH(QString, deposit);
        QFETCH(QString, result);
        ImportLine line;
        get_kamoku_code(description, withdrawal, deposit, QStringLiteral("014"), line);
        QCOMPARE(QStringList({line.account, line.counter, line.direction, description}).join(u'|'), result);
    }

    void postsAStatementIntoExistingDays() {
        platform::ScriptedMsgBox boxes;
        platform::FixedClock clock(QDate(2011, 4, 2));
        const QString path = write("s.csv", sjis("日付,引出金額,預入金額,摘要,残高\r\n"
                                                 "2011/03/31,100,,01 前期,0\r\n"
                                                 "2011/04/01,500,,01ガソリン,0\r\n"
                                                 "2011/04/02,,300,01返金,0\r\n"
                                                 "2011/04/02,\"10,000\",,３０引出,0\r\n"
                                                 "2011/05/03,,2000,振込,0\r\n"
                                                 "2012/07/01,1,,01 後,0\r\n"));
        QCOMPARE(ImportBankStatement(path, "014", "2011/04/01", "2012/06/30"), BankImportResult::Done);
        QCOMPARE(boxes.count(), 1);
        QCOMPARE(boxes.last().text,
                 QStringLiteral("銀行データの取込処理が正しく終了しました。\r\n4件の明細を仕訳として取り込みました。"));
        QCOMPARE(rows("SELECT DENCODE, DENMENO, SIDAY, KRKOCODE, KSKOCODE, KRKIN, TEKIYO"
                      " FROM T_SI_MEISAI WHERE SISYU = '1' ORDER BY DENCODE, DENMENO"),
                 QStringList({"00001|001|2011/04/01|282|014|5000000|ガソリン",
                              "00002|001|2011/04/02|282|014|3000000|返金",
                              "00002|002|2011/04/02|004|014|100000000|引出",
                              "00033|002|2011/05/03|014|180|20000000|振込"}));
        // The cash chain, checked day by day: the cash line raised 04/02 and every later day.
        const auto v = cn_->query("SELECT DENDAY, YDAYZAN, DAYZAN FROM T_SIWAKE WHERE CID='51' ORDER BY DENDAY");
        QVERIFY(v && v->size() == 33);
        QCOMPARE(v->at(1).currency(2), Currency::fromYen(10130));
        for (size_t i = 1; i < v->size(); ++i) QCOMPARE(v->at(i).currency(1), v->at(i - 1).currency(2));
        QCOMPARE(v->back().currency(2), Currency::fromYen(10130));
        QCOMPARE(rows("SELECT DENDAY FROM T_SIWAKE WHERE KESSAN = '1'"), QStringList({"2011/04/02"}));
        // Each new day has its scheduled line, in its own month.
        QCOMPARE(rows("SELECT COUNT(*), SUM(DATEYM = substr(SIDAY, 1, 7)) FROM T_SI_MEISAI WHERE SISYU = '0'"),
                 QStringList({"31|31"}));
        // Both months of the statement are marked for summation, the next one is not.
        QCOMPARE(rows("SELECT DATEYM, SYORIFLG, SYORIFLGH FROM T_TUKISIME ORDER BY DATEYM"),
                 QStringList({"2011/04|0|0", "2011/05|0|0", "2011/06|1|1"}));
    }

    // Nothing of the file is posted when one of its lines cannot be; the
    // message names the file's line.
    void refusedImportsChangeNothing_data() {
        QTest::addColumn<QByteArray>("bytes");
        QTest::addColumn<QString>("message");
        QTest::addColumn<QString>("bank");
        const QString head = QStringLiteral("日付,引出金額,預入金額,摘要,残高\r\n2011/04/02,500,,01ガソリン,0\r\n");
        QTest::newRow("a day without a voucher")
            << sjis(head + "2011/05/03,1,,x,0\r\n2011/04/01,1,,x,0\r\n")
            << "銀行データの取込処理中にエラーが発生しました(cmdStr_Click)。\r\ns.csv 4行目: 2011/04/01の仕訳伝票がありません。"
            << "014";
        QTest::newRow("a date that is no day")
            << sjis(head + "2011/04/31,1,,x,0\r\n")
            << "銀行データの取込処理中にエラーが発生しました(cmdStr_Click)。\r\ns.csv 3行目: 日付「2011/04/31」は日付として読めません。"
            << "014";
        QTest::newRow("UTF-8") << QByteArray("\xEF\xBB\xBF") + head.toUtf8()
                               << "処理可能なデータが見つかりませんので、取込処理が中止します。" << "014";
        // Nothing to post is said plainly, never reported as success.
        QTest::newRow("every line outside the range")
            << sjis(QStringLiteral("日付,引出金額,預入金額,摘要,残高\r\n2011/03/31,500,,01ガソリン,0\r\n2012/07/01,1,,x,0\r\n"))
            << "取込期間(2011/04/01～2012/06/30)の明細がありませんので、仕訳は1件も取り込まれませんでした。" << "014";
        // No ordinary-deposit account in use: nothing to post against.
        QTest::newRow("no bank account") << sjis(head) << "取込先の普通預金が見つかりませんので、取込処理を中止します。"
                                         << "";
    }
    void refusedImportsChangeNothing() {
        QFETCH(QByteArray, bytes);
        QFETCH(QString, message);
        QFETCH(QString, bank);
        platform::ScriptedMsgBox boxes;
        platform::FixedClock clock(QDate(2011, 4, 2));
        // The first day has lost its voucher.
        QVERIFY(cn_->exec("DELETE FROM T_SIWAKE WHERE DENDAY = '2011/04/01'"));
        const QStringList before = everything();
        QVERIFY(ImportBankStatement(write("s.csv", bytes), bank, "2011/04/01", "2012/06/30") !=
                BankImportResult::Done);
        QCOMPARE(boxes.count(), 1);
        QCOMPARE(boxes.last().text, message);
        QCOMPARE(everything(), before);
    }

    // What comes in from a statement is held to the rules of what is typed:
    // each hostile value refuses the whole file, naming its line, and
    // nothing is posted. The era layout carries the era dates.
    void hostileValuesRefused_data() { hostile::addRows(); }
    void hostileValuesRefused() {
        QFETCH(int, field);
        QFETCH(QByteArray, value);
        if (field == hostile::Company) QSKIP("a statement file holds no company id");
        platform::ScriptedMsgBox boxes;
        platform::FixedClock clock(QDate(2011, 4, 2));
        QByteArray date = "H23.4.2", amount = "500", description = "01x";
        (field == hostile::Date ? date : field == hostile::Amount ? amount : description) = value;
        const QByteArray bytes = sjis(QStringLiteral("年月日（和暦）,お引出し,お預入れ,お取り扱い内容,残高\r\n"
                                                     "H23.4.2,100,,01ガソリン,0\r\n")) +
                                 date + ',' + amount + ",,\"" + description + "\",0\r\n";
        const QStringList before = everything();
        QVERIFY(ImportBankStatement(write("s.csv", bytes), "014", "2011/04/01", "2012/06/30") !=
                BankImportResult::Done);
        QCOMPARE(boxes.count(), 1);
        const QString text = boxes.last().text;
        QVERIFY2(text.contains(QStringLiteral("s.csv 3行目")), qPrintable(text.left(300)));
        QVERIFY2(text.size() < 400, qPrintable(text.left(300)));
        QCOMPARE(everything(), before);
    }

    // An era date is a day of its era: a year the era never reached or a day
    // after it ended is refused, the last and first days pass.
    void eraDatesOfTheirEra_data() {
        QTest::addColumn<QString>("date");
        QTest::addColumn<QString>("posted");  // empty: refused
        QTest::newRow("Heisei 38") << "H38.1.11" << "";
        QTest::newRow("after Heisei ended") << "H31.5.1" << "";
        QTest::newRow("Heisei's last day") << "H31.4.30" << "2019/04/30";
        QTest::newRow("before Reiwa began") << "R1.4.30" << "";
        QTest::newRow("Reiwa's first day") << "R1.5.1" << "2019/05/01";
        QTest::newRow("Showa 65") << "S65.1.1" << "";
        QTest::newRow("Heisei 0") << "H0.4.2" << "";
    }
    void eraDatesOfTheirEra() {
        QFETCH(QString, date);
        QFETCH(QString, posted);
        BankStatement statement;
        QString message;
        const QByteArray bytes = sjis(QStringLiteral("年月日（和暦）,お引出し,お預入れ,お取り扱い内容,残高\r\n") + date +
                                      QStringLiteral(",100,,01x,0\r\n"));
        const StatementRead read = ReadBankStatementBytes(bytes, QStringLiteral("s.csv"), statement, &message);
        if (posted.isEmpty()) {
            QCOMPARE(read, StatementRead::Refused);
            QVERIFY2(message.contains(QStringLiteral("s.csv 2行目")), qPrintable(message));
        } else {
            QCOMPARE(read, StatementRead::Read);
            QCOMPARE(statement.lines.at(0).date, posted);
        }
    }
};

QTEST_GUILESS_MAIN(TestBankImport)
#include "tst_bankimport.moc"
