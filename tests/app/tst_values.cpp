// Null and value helpers, the "code name" split and the half-width trim.

#include "app/common/values.h"
#include "platform/currency.h"

#include <QtTest>

class TestValues : public QObject {
    Q_OBJECT

private slots:
    void nullToZero_data() {
        QTest::addColumn<QVariant>("value");
        QTest::addColumn<QVariant>("expected");
        QTest::newRow("invalid") << QVariant() << QVariant(0);
        QTest::newRow("null text") << QVariant(QMetaType::fromType<QString>()) << QVariant(0);
        QTest::newRow("null integer") << QVariant(QMetaType::fromType<qint64>()) << QVariant(0);
        QTest::newRow("empty text") << QVariant(QString()) << QVariant(0);
        QTest::newRow("zero") << QVariant(qint64(0)) << QVariant(qint64(0));
        QTest::newRow("12.5") << QVariant(12.5) << QVariant(12.5);
        QTest::newRow("text abc") << QVariant(QStringLiteral("abc")) << QVariant(QStringLiteral("abc"));
        QTest::newRow("blank text is not empty")
            << QVariant(QStringLiteral(" ")) << QVariant(QStringLiteral(" "));
    }
    void nullToZero() {
        QFETCH(QVariant, value);
        QFETCH(QVariant, expected);
        const QVariant result = NullToZero(value);
        QCOMPARE(result.metaType(), expected.metaType());
        QCOMPARE(result, expected);
    }

    void nullToSpace_data() {
        QTest::addColumn<QVariant>("value");
        QTest::addColumn<QString>("expected");
        QTest::newRow("invalid") << QVariant() << " ";
        QTest::newRow("null text") << QVariant(QMetaType::fromType<QString>()) << " ";
        QTest::newRow("empty text") << QVariant(QString()) << " ";
        QTest::newRow("5") << QVariant(5) << "5";
        QTest::newRow("date text") << QVariant(QStringLiteral("2003/04/01")) << "2003/04/01";
        QTest::newRow("amount") << QVariant::fromValue(Currency::fromRaw(-3205000)) << "-320.5";
    }
    void nullToSpace() {
        QFETCH(QVariant, value);
        QFETCH(QString, expected);
        QCOMPARE(NullToSpace(value), expected);
    }

    void splitAtBlank_data() {
        QTest::addColumn<QString>("text");
        QTest::addColumn<QString>("code");
        QTest::addColumn<QString>("rest");
        QTest::newRow("code name with blanks around") << "  101 現金  " << "101" << "現金";
        QTest::newRow("code alone") << "101" << "101" << "";
        QTest::newRow("two blanks keep one in the rest") << "101  現金" << "101" << " 現金";
        QTest::newRow("name with a blank inside") << "101 普通 預金" << "101" << "普通 預金";
        QTest::newRow("full-width blank is not a separator") << "101\u3000現金" << "101\u3000現金" << "";
        QTest::newRow("empty") << "" << "" << "";
    }
    void splitAtBlank() {
        QFETCH(QString, text);
        QFETCH(QString, code);
        QFETCH(QString, rest);
        QString restOut = QStringLiteral("stale");
        QCOMPARE(SplitAtBlank(text, restOut), code);
        QCOMPARE(restOut, rest);
    }

    void trim_data() {
        QTest::addColumn<QString>("text");
        QTest::addColumn<QString>("trimmed");
        QTest::addColumn<QString>("left");
        QTest::addColumn<QString>("right");
        QTest::newRow("half-width blanks") << "  ab c  " << "ab c" << "ab c  " << "  ab c";
        QTest::newRow("full-width blanks stay") << "\u3000ab\u3000" << "\u3000ab\u3000" << "\u3000ab\u3000"
                                                << "\u3000ab\u3000";
        QTest::newRow("tab and newline stay") << "\tab\n " << "\tab\n" << "\tab\n " << "\tab\n";
        QTest::newRow("blanks only") << "   " << "" << "" << "";
        QTest::newRow("empty") << "" << "" << "" << "";
    }
    void trim() {
        QFETCH(QString, text);
        QFETCH(QString, trimmed);
        QFETCH(QString, left);
        QFETCH(QString, right);
        QCOMPARE(Trim(text), trimmed);
        QCOMPARE(LTrim(text), left);
        QCOMPARE(RTrim(text), right);
    }
};

QTEST_GUILESS_MAIN(TestValues)
#include "tst_values.moc"
