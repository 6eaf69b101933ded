// Reading bank statement files: one fixture per layout read into its lines,
// the splitting of comma lines, the dates of each layout, and the files that
// are refused (whole, with the line named) or not recognised.

#include <QtTest>

#include "ledger/bankstatement.h"
#include "platform/clock.h"
#include "platform/cp932.h"

namespace {

QString fixture(const char* name) { return QStringLiteral(RALVEK_FIXTURES_DIR "/bank/") + QLatin1String(name); }

QStringList linesOf(const BankStatement& s) {
    QStringList out;
    for (const StatementLine& l : s.lines)
        out << QStringLiteral("%1|%2|%3|%4|%5|%6")
                   .arg(l.fileLine)
                   .arg(l.date, l.description, l.amount, l.withdrawal, l.deposit);
    return out;
}

QByteArray sjis(const QString& text) { return platform::cp932::encode(text).bytes; }

QByteArray utf16(const QString& text) {
    QByteArray bytes("\xFF\xFE", 2);
    bytes.append(reinterpret_cast<const char*>(text.utf16()), text.size() * 2);
    return bytes;
}

}  // namespace

class TestBankStatement : public QObject {
    Q_OBJECT

private slots:
    void everyLayoutReadsItsFixture_data() {
        QTest::addColumn<QString>("file");
        QTest::addColumn<QString>("layout");
        QTest::addColumn<QStringList>("lines");
        QTest::newRow("utf-16, tabs") << "utf16_tab.txt" << "新生銀行"
                                      << QStringList{"3|2010/04/05|01ガソリン代|-5000|5000|",
                                                     "5|2010/04/06|給与振込|200000||200000",
                                                     "6|2010/04/07|３０現金引出|-10000|10,000|"};
        QTest::newRow("cash book") << "cashbook.csv" << "金銭出納帳"
                                   << QStringList{"2|2010/04/01|売上入金|30000||30000",
                                                  "3|2010/04/02|02文具|-1200|1200|"};
        QTest::newRow("quoted, date in three fields")
            << "japannet.csv" << "ジャパンネット銀行"
            << QStringList{"2|2010/01/05|01駐車場代|-1500|1,500|", "3|2010/01/12|振込　ヤマダ|20000||20,000"};
        QTest::newRow("signed amount") << "ebank.csv" << "イーバンク"
                                       << QStringList{"2|2010/01/05|03電話代|-800|-800|",
                                                      "3|2010/01/06|振込 ヤマダ|800||800",
                                                      "4|2010/01/07|利息|0||0"};
        QTest::newRow("era dates") << "smbc.csv" << "三井住友銀行"
                                   << QStringList{"2|2010/01/05|04カード|-3000|3000|",
                                                  "3|2020/05/01|振込|5000||5000"};
        QTest::newRow("comma inside quotes") << "tokyostar.csv" << "東京スター銀行"
                                             << QStringList{"2|2010/01/05|05 振替|-2000|2,000|",
                                                            "3|2010/01/06|入金,ﾔﾏﾀﾞ|3000||3,000"};
        QTest::newRow("end line stops") << "resona.csv" << "りそな銀行"
                                        << QStringList{"2|2010/01/05|06 保険料|-4000|4,000|"};
        QTest::newRow("lines before an indented header")
            << "mufj.csv" << "三菱東京UFJ銀行"
            << QStringList{"3|2010/01/05|07 交際費|-700|700|", "5|2010/01/06|ATM入金|1000||1000",
                           "6|2010/01/07|モニタ24\"型|-100|100|"};
    }
    void everyLayoutReadsItsFixture() {
        QFETCH(QString, file);
        QFETCH(QString, layout);
        QFETCH(QStringList, lines);
        platform::FixedClock clock(QDate(2026, 12, 1));
        BankStatement s;
        QString message;
        QCOMPARE(ReadBankStatementFile(fixture(file.toUtf8().constData()), s, &message), StatementRead::Read);
        QCOMPARE(message, QString());
        QCOMPARE(s.layout, layout);
        QCOMPARE(linesOf(s), lines);
    }

    void splitsCommaLines_data() {
        QTest::addColumn<QString>("line");
        QTest::addColumn<QStringList>("fields");
        QTest::newRow("quoted values") << "\"a\",\"b\",\"c\"" << QStringList{"a", "b", "c"};
        QTest::newRow("quotes inside an unquoted field") << "a\"b,c" << QStringList{"a\"b", "c"};
        QTest::newRow("comma in quotes") << "\"1,500\",x" << QStringList{"1,500", "x"};
        QTest::newRow("doubled quote") << "\"say \"\"hi\"\"\",x" << QStringList{"say \"hi\"", "x"};
        QTest::newRow("quoted sequence inside a value") << "\"a\"\",\"\"b\",c" << QStringList{"a\",\"b", "c"};
        QTest::newRow("empty last field") << "a,b," << QStringList{"a", "b", ""};
        QStringList twenty;
        for (int i = 1; i <= 20; ++i) twenty << QString::number(i);
        QTest::newRow("more than 20 fields") << twenty.join(u',') + ",21,22" << twenty;
    }
    void splitsCommaLines() {
        QFETCH(QString, line);
        QFETCH(QStringList, fields);
        QStringList got;
        QVERIFY(SplitStatementCsvLine(line, got));
        QCOMPARE(got, fields);
    }

    void readsEachLayoutsDates_data() {
        QTest::addColumn<QString>("header");
        QTest::addColumn<QString>("line");
        QTest::addColumn<QString>("date");
        const QString smbc = QStringLiteral("年月日（和暦）,お引出し,お預入れ,お取り扱い内容,残高");
        QTest::newRow("平成") << smbc << "H22.1.5,1,,x,1" << "2010/01/05";
        QTest::newRow("昭和 is not 平成") << smbc << "S63.1.5,1,,x,1" << "1988/01/05";
        QTest::newRow("令和") << smbc << "R7.12.31,1,,x,1" << "2025/12/31";
        QTest::newRow("大正") << smbc << "T15.12.24,1,,x,1" << "1926/12/24";
        QTest::newRow("明治, small letter") << smbc << "m45.7.29,1,,x,1" << "1912/07/29";
        const QString ebank = QStringLiteral("取引日,入出金(円),残高(円),入出金先内容");
        QTest::newRow("yymmdd") << ebank << "100105,1,1,x" << "2010/01/05";
        QTest::newRow("yyyymmdd") << ebank << "20100105,1,1,x" << "2010/01/05";
        QTest::newRow("three fields")
            << QStringLiteral("操作日(年),操作日(月),操作日(日),a,b,c,d,摘要,出,入") << "2010,1,5,,,,,x,1,"
            << "2010/01/05";
        QTest::newRow("short month and day") << QStringLiteral("日付,引出金額,預入金額,摘要,残高") << "2010/1/5,1,,x,1"
                                             << "2010/01/05";
        QTest::newRow("full-width digits") << QStringLiteral("日付,引出金額,預入金額,摘要,残高")
                                           << "２０１０／０１／０５,1,,x,1" << "2010/01/05";
    }
    void readsEachLayoutsDates() {
        QFETCH(QString, header);
        QFETCH(QString, line);
        QFETCH(QString, date);
        platform::FixedClock clock(QDate(2026, 12, 1));
        BankStatement s;
        QCOMPARE(ReadBankStatementBytes(sjis(header + "\r\n" + line + "\r\n"), "f.csv", s), StatementRead::Read);
        QCOMPARE(s.lines.size(), size_t(1));
        QCOMPARE(s.lines[0].date, date);
    }

    // A refused file names its line and yields no line at all; an
    // unrecognised file yields none either.
    void refusesBadFilesWhole_data() {
        QTest::addColumn<QByteArray>("bytes");
        QTest::addColumn<int>("result");
        QTest::addColumn<QString>("message");
        const QString head = QStringLiteral("日付,引出金額,預入金額,摘要,残高\r\n2010/01/05,1,,ok,1\r\n");
        const auto refused = int(StatementRead::Refused);
        const auto unknown = int(StatementRead::NotRecognised);
        QTest::newRow("date that is no day") << sjis(head + "2010/02/30,1,,x,1\r\n") << refused
                                             << "f.csv 3行目: 日付「2010/02/30」は日付として読めません。";
        QTest::newRow("yyyymmdd that is no day, never clamped")
            << sjis("取引日,入出金(円),残高(円),入出金先内容\r\n20100230,1,1,x\r\n") << refused
            << "f.csv 2行目: 日付「20100230」は日付として読めません。";
        QTest::newRow("empty date") << sjis(head + ",1,,x,1\r\n") << refused
                                    << "f.csv 3行目: 日付「」は日付として読めません。";
        QTest::newRow("era letter not known")
            << sjis("年月日（和暦）,a,b,c,d\r\nX22.1.5,1,,x,1\r\n") << refused
            << "f.csv 2行目: 日付「X22.1.5」は日付として読めません。";
        QTest::newRow("amount no number") << sjis(head + "2010/01/06,abc,,x,1\r\n") << refused
                                          << "f.csv 3行目: 金額「abc」は数値ではありません。";
        QTest::newRow("neither amount") << sjis(head + "\r\n2010/01/06, ,,x,1\r\n") << refused
                                        << "f.csv 4行目: 出金額も入金額もありません。";
        QTest::newRow("unclosed quote") << sjis(head + "\"2010/01/06,1,,x,1\r\n") << refused
                                        << "(get_Chr34_data)。\r\nf.csv 3行目:";
        QTest::newRow("not Shift-JIS") << sjis(head) + QByteArray("2010/01/06,1,,\x82\x20,1\r\n") << refused
                                       << "(read_file)。\r\nf.csv 3行目:";
        QTest::newRow("UTF-8 with its mark") << QByteArray("\xEF\xBB\xBF") + head.toUtf8() << unknown << "";
        QTest::newRow("UTF-8 without a mark") << head.toUtf8() << unknown << "";
        QTest::newRow("no header") << sjis("2010/01/05,1,,x,1\r\n") << unknown << "";
        QTest::newRow("utf-16 header with a leading blank")
            << utf16(" 取引日\t照会番号\t摘要\r\n2010/01/05\t1\tx\t1\t\r\n") << unknown << "";
        QTest::newRow("utf-16 cut in a character") << utf16("取引日\t照会番号\r\n").append('x') << unknown
                                                   << "(check_cvs_data)。\r\nf.csv: ";
    }
    void refusesBadFilesWhole() {
        QFETCH(QByteArray, bytes);
        QFETCH(int, result);
        QFETCH(QString, message);
        BankStatement s;
        QString said;
        QCOMPARE(int(ReadBankStatementBytes(bytes, "f.csv", s, &said)), result);
        QVERIFY(s.lines.empty());
        if (message.isEmpty())
            QCOMPARE(said, QString());
        else
            QVERIFY2(said.contains(message), qPrintable(said));
        if (result == int(StatementRead::NotRecognised)) QCOMPARE(s.layout, UnrecognisedLayoutName());
    }

    void charsetFromTheFirstBytes() {
        QCOMPARE(BankFileCharset("\xFF\xFE\x41"), QStringLiteral("Unicode"));
        QCOMPARE(BankFileCharset("\xFE\xFF\x00"), QStringLiteral("Unicode Big Endian"));
        QCOMPARE(BankFileCharset("\xEF\xBB\xBF"), QStringLiteral("UTF-8"));
        QCOMPARE(BankFileCharset("\xEF\xBB"), QStringLiteral("ANSI"));
        // Big endian reads as little endian does.
        const QString text = QStringLiteral("取引日\t照会番号\t摘要\t出\t入\r\n2010/01/05\t1\tx\t1\t\r\n");
        QByteArray be("\xFE\xFF", 2);
        for (QChar c : text) be.append(char(c.unicode() >> 8)).append(char(c.unicode() & 0xFF));
        BankStatement s;
        QCOMPARE(ReadBankStatementBytes(be, "f.csv", s), StatementRead::Read);
        QCOMPARE(linesOf(s), QStringList{"2|2010/01/05|x|-1|1|"});
    }
};

QTEST_GUILESS_MAIN(TestBankStatement)
#include "tst_bankstatement.moc"
