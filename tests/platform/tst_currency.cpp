// Currency: exact fixed-point amounts, their text forms and rounding.

#include "platform/currency.h"

#include <QLocale>
#include <QProcess>
#include <QTemporaryDir>
#include <QtTest>

#include <clocale>
#include <limits>
#include <optional>

Q_DECLARE_METATYPE(std::optional<qint64>)

namespace {

Currency raw(qint64 r) { return Currency::fromRaw(r); }

constexpr qint64 kLargest = std::numeric_limits<qint64>::max();
constexpr qint64 kLeast = std::numeric_limits<qint64>::min();

}  // namespace

class TestCurrency : public QObject {
    Q_OBJECT

private slots:
    void parse_data() {
        QTest::addColumn<QString>("text");
        QTest::addColumn<std::optional<qint64>>("expected");  // raw count, nullopt = refused
        using R = std::optional<qint64>;
        QTest::newRow("grouping") << "1,500" << R(15000000);
        QTest::newRow("negative decimal") << "-320.5" << R(-3205000);
        QTest::newRow("plain") << "1200" << R(12000000);
        QTest::newRow("full-width digits") << "１２３" << R(1230000);
        QTest::newRow("full-width grouping") << "１，５００" << R(15000000);
        QTest::newRow("yen sign and blanks") << " ¥1,200　" << R(12000000);
        QTest::newRow("minus before yen sign") << "-￥5" << R(-50000);
        QTest::newRow("minus sign U+2212") << "−5" << R(-50000);
        QTest::newRow("plus") << "+5" << R(50000);
        QTest::newRow("four decimals") << "0.0001" << R(1);
        QTest::newRow("fifth decimal 5 rounds up") << "0.00005" << R(1);
        QTest::newRow("fifth decimal 4 rounds down") << "0.000049" << R(0);
        QTest::newRow("negative fifth decimal rounds away from zero") << "-0.00005" << R(-1);
        QTest::newRow("largest") << "922337203685477.5807" << R(std::numeric_limits<qint64>::max());
        QTest::newRow("past the largest") << "922337203685477.5808" << R();
        QTest::newRow("too many digits") << "10000000000000000" << R();
        QTest::newRow("letters") << "abc" << R();
        QTest::newRow("empty") << "" << R();
        QTest::newRow("blanks") << "   " << R();
        QTest::newRow("sign alone") << "-" << R();
        QTest::newRow("point alone") << "." << R();
        QTest::newRow("two points") << "1.2.3" << R();
        QTest::newRow("trailing sign") << "5-" << R();
        QTest::newRow("exponent") << "1e5" << R();
        QTest::newRow("a comma is grouping wherever it stands") << "320,5" << R(3205000 * 10);
    }
    void parse() {
        QFETCH(QString, text);
        QFETCH(std::optional<qint64>, expected);
        const std::optional<Currency> parsed = Currency::parse(text);
        QCOMPARE(parsed.has_value(), expected.has_value());
        if (expected) QCOMPARE(parsed->raw(), *expected);
        QCOMPARE(Currency::fromText(text).raw(), expected.value_or(0));
    }

    void toText_data() {
        QTest::addColumn<qint64>("rawValue");
        QTest::addColumn<QString>("text");
        QTest::newRow("whole") << qint64(12000000) << "1200";
        QTest::newRow("negative decimal") << qint64(-3205000) << "-320.5";
        QTest::newRow("smallest unit") << qint64(1) << "0.0001";
        QTest::newRow("negative smallest unit") << qint64(-1) << "-0.0001";
        QTest::newRow("zero") << qint64(0) << "0";
        QTest::newRow("no grouping") << qint64(12345678900000) << "1234567890";
        QTest::newRow("minimum") << std::numeric_limits<qint64>::min() << "-922337203685477.5808";
    }
    void toText() {
        QFETCH(qint64, rawValue);
        QFETCH(QString, text);
        QCOMPARE(raw(rawValue).toText(), text);
        if (rawValue != std::numeric_limits<qint64>::min()) QCOMPARE(Currency::parse(text)->raw(), rawValue);
    }

    void toDisplay_data() {
        QTest::addColumn<qint64>("rawValue");
        QTest::addColumn<int>("decimals");
        QTest::addColumn<QString>("text");
        QTest::newRow("1,500") << qint64(15000000) << -1 << "1,500";
        QTest::newRow("millions") << qint64(12345670000) << -1 << "1,234,567";
        QTest::newRow("negative") << qint64(-12345670000) << -1 << "-1,234,567";
        QTest::newRow("three digits") << qint64(9990000) << -1 << "999";
        QTest::newRow("decimals as needed") << qint64(-3205000) << -1 << "-320.5";
        QTest::newRow("two decimals rounded") << qint64(1234567) << 2 << "123.46";
        QTest::newRow("two decimals padded") << qint64(15000000) << 2 << "1,500.00";
        QTest::newRow("no decimals, half away from zero") << qint64(-5000) << 0 << "-1";
        QTest::newRow("no decimals, below half") << qint64(-4999) << 0 << "0";
        QTest::newRow("rounding carries into grouping") << qint64(9999995000) << 0 << "1,000,000";
        QTest::newRow("four decimals") << qint64(1) << 4 << "0.0001";
        QTest::newRow("four decimals of whole yen") << qint64(15000000) << 4 << "1,500.0000";
        QTest::newRow("zero as needed") << qint64(0) << -1 << "0";
        QTest::newRow("zero, no decimals") << qint64(0) << 0 << "0";
        QTest::newRow("whole negative, no decimals") << qint64(-10000000) << 0 << "-1,000";
        QTest::newRow("below a yen as needed") << qint64(-1) << -1 << "-0.0001";
        QTest::newRow("half up, no decimals") << qint64(10005000) << 0 << "1,001";
        // Rounding at the limits carries past what 64 bits hold.
        QTest::newRow("largest, whole yen") << kLargest << 0 << "922,337,203,685,478";
        QTest::newRow("least, whole yen") << kLeast << 0 << "-922,337,203,685,478";
        QTest::newRow("largest, one decimal") << kLargest << 1 << "922,337,203,685,477.6";
        QTest::newRow("largest, two decimals") << kLargest << 2 << "922,337,203,685,477.58";
        QTest::newRow("least, as needed") << kLeast << -1 << "-922,337,203,685,477.5808";
    }
    void toDisplay() {
        QFETCH(qint64, rawValue);
        QFETCH(int, decimals);
        QFETCH(QString, text);
        QCOMPARE(raw(rawValue).toDisplay(decimals), text);
    }

    // 10,000 additions of 0.01 give exactly 100 yen.
    void sumsAreExact() {
        const Currency cent = *Currency::parse(QStringLiteral("0.01"));
        Currency sum;
        for (int i = 0; i < 10000; ++i) sum += cent;
        QCOMPARE(sum, Currency::fromYen(100));
        QCOMPARE(cent * 10000, Currency::fromYen(100));
        QCOMPARE(sum.toText(), QStringLiteral("100"));
    }

    void arithmeticRoundsHalfEven_data() {
        QTest::addColumn<qint64>("a");
        QTest::addColumn<qint64>("b");
        QTest::addColumn<qint64>("product");
        QTest::addColumn<qint64>("quotient");
        // a * b and a / b, raw counts; b = 0.5 yen makes every product a tie,
        // b = 2 yen every quotient of an odd count.
        QTest::newRow("0.0001 x 0.5 / 2") << qint64(1) << qint64(5000) << qint64(0) << qint64(2);
        QTest::newRow("0.0003 x 0.5") << qint64(3) << qint64(5000) << qint64(2) << qint64(6);
        QTest::newRow("-0.0001 x 0.5") << qint64(-1) << qint64(5000) << qint64(0) << qint64(-2);
        QTest::newRow("-0.0003 x 0.5") << qint64(-3) << qint64(5000) << qint64(-2) << qint64(-6);
        QTest::newRow("0.0001 / 2 ties to 0") << qint64(1) << qint64(20000) << qint64(2) << qint64(0);
        QTest::newRow("0.0003 / 2 ties to 2") << qint64(3) << qint64(20000) << qint64(6) << qint64(2);
        QTest::newRow("0.0005 / 2 ties to 2") << qint64(5) << qint64(20000) << qint64(10) << qint64(2);
        QTest::newRow("-0.0003 / 2") << qint64(-3) << qint64(20000) << qint64(-6) << qint64(-2);
        QTest::newRow("1 / 3") << qint64(10000) << qint64(30000) << qint64(30000) << qint64(3333);
        QTest::newRow("2 / 3") << qint64(20000) << qint64(30000) << qint64(60000) << qint64(6667);
        QTest::newRow("large product stays exact") << qint64(1000000000000000) << qint64(1230000)
                                                   << qint64(123000000000000000) << qint64(8130081300813);
    }
    void arithmeticRoundsHalfEven() {
        QFETCH(qint64, a);
        QFETCH(qint64, b);
        QFETCH(qint64, product);
        QFETCH(qint64, quotient);
        QCOMPARE((raw(a) * raw(b)).raw(), product);
        QCOMPARE((raw(a) / raw(b)).raw(), quotient);
    }

    void divisionByZeroGivesZero() { QCOMPARE(Currency::fromYen(5) / Currency(), Currency()); }

    void timesRate_data() {
        QTest::addColumn<qint64>("amount");
        QTest::addColumn<float>("rate");
        QTest::addColumn<qint64>("expected");
        // 110.23f is 110.2300033569…; the product must be the decimal one.
        QTest::newRow("rate as written") << qint64(10000000000) << 110.23f << qint64(1102300000000);
        QTest::newRow("0.1") << qint64(10000000) << 0.1f << qint64(1000000);
        QTest::newRow("tie to even 0") << qint64(10000) << 0.00005f << qint64(0);
        QTest::newRow("tie to even 2") << qint64(30000) << 0.00005f << qint64(2);
        QTest::newRow("negative amount") << qint64(-30000) << 0.00005f << qint64(-2);
        QTest::newRow("rate 1") << qint64(-3205000) << 1.0f << qint64(-3205000);
        QTest::newRow("rate 0") << qint64(-3205000) << 0.0f << qint64(0);
    }
    // A rate as typed (nine digits: no single-precision number holds it)
    // multiplies as its decimal text.
    void timesRateAsTyped() {
        QCOMPARE(Currency::fromYen(10).timesRate(12345.6789), Currency::fromRaw(1234567890));
        QCOMPARE(Currency::fromYen(100).timesRate(110.1234), Currency::fromYen(11012) + Currency::fromRaw(3400));
    }
    void timesRate() {
        QFETCH(qint64, amount);
        QFETCH(float, rate);
        QFETCH(qint64, expected);
        QCOMPARE(raw(amount).timesRate(rate).raw(), expected);
    }

    void roundedToYen_data() {
        QTest::addColumn<qint64>("rawValue");
        QTest::addColumn<qint64>("yen");
        QTest::newRow("0.5") << qint64(5000) << qint64(1);
        QTest::newRow("-0.5") << qint64(-5000) << qint64(-1);
        QTest::newRow("1.4999") << qint64(14999) << qint64(1);
        QTest::newRow("2.5") << qint64(25000) << qint64(3);
    }
    void roundedToYen() {
        QFETCH(qint64, rawValue);
        QFETCH(qint64, yen);
        QCOMPARE(raw(rawValue).roundedToYen(), Currency::fromYen(yen));
    }

    void fromVariant() {
        QCOMPARE(Currency::fromVariant(QVariant()), Currency());
        QCOMPARE(Currency::fromVariant(QVariant(QMetaType::fromType<QString>())), Currency());
        QCOMPARE(Currency::fromVariant(QVariant(qint64(-3205000))), raw(-3205000));
        QCOMPARE(Currency::fromVariant(QVariant::fromValue(raw(7))), raw(7));
    }

    // Decimal text never follows the user's locale: a comma decimal
    // separator (German, in Qt and in the C library) changes neither what is
    // read nor what is written.
    void textIgnoresLocale() {
        QTemporaryDir localeDir;
        const bool cLocale = installGermanCLocale(localeDir.path());
        if (!cLocale) qInfo("no German C locale could be built; checking with Qt's default locale only");
        const QLocale before;
        QLocale::setDefault(QLocale(QLocale::German, QLocale::Germany));
        QCOMPARE(QLocale().toString(1.5), QStringLiteral("1,5"));

        QCOMPARE(Currency::parse(QStringLiteral("-320.5"))->raw(), qint64(-3205000));
        QCOMPARE(Currency::parse(QStringLiteral("1200"))->raw(), qint64(12000000));
        QCOMPARE(raw(-3205000).toText(), QStringLiteral("-320.5"));
        QCOMPARE(raw(12000000).toText(), QStringLiteral("1200"));
        QCOMPARE(raw(15000000).toDisplay(2), QStringLiteral("1,500.00"));
        QCOMPARE(Currency::fromYen(1000).timesRate(0.1f), Currency::fromYen(100));

        QLocale::setDefault(before);
        qunsetenv("LOCPATH");
        std::setlocale(LC_ALL, "C.UTF-8");
    }

private:
    // Compiles de_DE.UTF-8 into dir (the machine has no German locale
    // installed) and makes it the C library's locale.
    static bool installGermanCLocale(const QString& dir) {
        if (std::setlocale(LC_ALL, "de_DE.UTF-8")) return std::localeconv()->decimal_point == QByteArray(",");
        QProcess localedef;
        localedef.start(QStringLiteral("localedef"),
                        {QStringLiteral("-i"), QStringLiteral("de_DE"), QStringLiteral("-f"),
                         QStringLiteral("UTF-8"), dir + QStringLiteral("/de_DE.UTF-8")});
        if (!localedef.waitForFinished(60000)) return false;
        qputenv("LOCPATH", dir.toLocal8Bit());
        return std::setlocale(LC_ALL, "de_DE.UTF-8") && std::localeconv()->decimal_point == QByteArray(",");
    }

    // Arithmetic whose result 64 bits cannot hold throws instead of wrapping
    // round to a wrong amount; the results just inside stay exact.
    void overflowThrows_data() {
        // 0 +, 1 -, 2 * int, 3 * Currency, 4 unary -, 5 fromYen, 6 +=, 7 -=, 8 abs,
        // 9 / Currency, 10 roundedToYen, 11 timesRate(b)
        QTest::addColumn<int>("op");
        QTest::addColumn<qint64>("a");
        QTest::addColumn<qint64>("b");
        QTest::addColumn<bool>("overflows");
        QTest::newRow("sum beyond") << 0 << INT64_MAX << qint64(1) << true;
        QTest::newRow("sum inside") << 0 << INT64_MAX - 1 << qint64(1) << false;
        QTest::newRow("difference beyond") << 1 << INT64_MIN << qint64(1) << true;
        QTest::newRow("product beyond") << 2 << INT64_MAX / 2 + 1 << qint64(2) << true;
        QTest::newRow("product of amounts beyond") << 3 << INT64_MAX << qint64(20000) << true;
        QTest::newRow("negation of the least") << 4 << INT64_MIN << qint64(0) << true;
        QTest::newRow("whole yen beyond") << 5 << INT64_MAX / 10000 + 1 << qint64(0) << true;
        QTest::newRow("whole yen inside") << 5 << INT64_MAX / 10000 << qint64(0) << false;
        // At the int64 limits.
        QTest::newRow("largest plus zero") << 0 << kLargest << qint64(0) << false;
        QTest::newRow("least plus one unit") << 0 << kLeast << qint64(1) << false;
        QTest::newRow("least plus minus one unit") << 0 << kLeast << qint64(-1) << true;
        QTest::newRow("largest plus largest") << 0 << kLargest << kLargest << true;
        QTest::newRow("largest minus minus one unit") << 1 << kLargest << qint64(-1) << true;
        QTest::newRow("zero minus least") << 1 << qint64(0) << kLeast << true;
        QTest::newRow("minus one unit minus least") << 1 << qint64(-1) << kLeast << false;
        QTest::newRow("least minus largest") << 1 << kLeast << kLargest << true;
        QTest::newRow("largest negated") << 4 << kLargest << qint64(0) << false;
        QTest::newRow("least times minus one") << 2 << kLeast << qint64(-1) << true;
        QTest::newRow("largest times minus one") << 2 << kLargest << qint64(-1) << false;
        QTest::newRow("product below the least") << 2 << kLeast / 2 - 1 << qint64(2) << true;
        QTest::newRow("product at the least") << 2 << kLeast / 2 << qint64(2) << false;
        QTest::newRow("least times minus one yen") << 3 << kLeast << qint64(-10000) << true;
        QTest::newRow("largest times one yen") << 3 << kLargest << qint64(10000) << false;
        QTest::newRow("large amounts multiplied") << 3 << qint64(10000) * 1'000'000'000'000 << qint64(10000) * 1'000'000
                                                  << true;
        QTest::newRow("whole yen below the least") << 5 << kLeast / 10000 - 1 << qint64(0) << true;
        QTest::newRow("added in place beyond") << 6 << kLargest << qint64(1) << true;
        QTest::newRow("subtracted in place beyond") << 7 << kLeast << qint64(1) << true;
        QTest::newRow("magnitude of the least") << 8 << kLeast << qint64(0) << true;
        QTest::newRow("magnitude of the least plus one unit") << 8 << kLeast + 1 << qint64(0) << false;
        QTest::newRow("largest divided by one unit") << 9 << kLargest << qint64(1) << true;
        QTest::newRow("largest divided by one yen") << 9 << kLargest << qint64(10000) << false;
        QTest::newRow("largest rounded to yen") << 10 << kLargest << qint64(0) << true;
        QTest::newRow("largest at rate 1") << 11 << kLargest << qint64(1) << false;
        QTest::newRow("largest at rate 2") << 11 << kLargest << qint64(2) << true;
        QTest::newRow("one yen at rate 1e30") << 11 << qint64(10000) << qint64(0) << true;
    }
    void overflowThrows() {
        QFETCH(int, op);
        QFETCH(qint64, a);
        QFETCH(qint64, b);
        QFETCH(bool, overflows);
        const Currency x = Currency::fromRaw(a), y = Currency::fromRaw(b);
        bool thrown = false;
        try {
            switch (op) {
                case 0: (void)(x + y); break;
                case 1: (void)(x - y); break;
                case 2: (void)(x * b); break;
                case 3: (void)(x * y); break;
                case 4: (void)(-x); break;
                case 5: (void)Currency::fromYen(a); break;
                case 6: { Currency z = x; z += y; break; }
                case 7: { Currency z = x; z -= y; break; }
                case 8: (void)x.abs(); break;
                case 9: (void)(x / y); break;
                case 10: (void)x.roundedToYen(); break;
                case 11: (void)x.timesRate(b == 0 ? 1e30 : double(b)); break;
            }
        } catch (const CurrencyOverflow&) {
            thrown = true;
        }
        QCOMPARE(thrown, overflows);
    }
};

QTEST_GUILESS_MAIN(TestCurrency)
#include "tst_currency.moc"
