// CP932 encoding and decoding: round trips, the variants users type, and
// characters CP932 cannot hold.

#include "platform/cp932.h"

#include <QProcess>
#include <QtTest>

#include "platform/cp932rules.h"

namespace cp932 = platform::cp932;

class TestCp932 : public QObject {
    Q_OBJECT

private slots:
    void roundTrip_data() {
        QTest::addColumn<QString>("text");
        QTest::addColumn<QByteArray>("bytes");
        QTest::newRow("NEC and IBM extensions") << "①～髙㈱" << QByteArray::fromHex("87408160fbfc878a");
        QTest::newRow("kanji") << "現金" << QByteArray::fromHex("8cbb8be0");
        QTest::newRow("half-width katakana") << "ｶﾅ" << QByteArray::fromHex("b6c5");
        QTest::newRow("ascii") << "a1,\\" << QByteArray("a1,\\");
        QTest::newRow("empty") << "" << QByteArray();
    }
    void roundTrip() {
        QFETCH(QString, text);
        QFETCH(QByteArray, bytes);
        const cp932::EncodeResult encoded = cp932::encode(text);
        QVERIFY(encoded.ok);
        QCOMPARE(encoded.bytes.toHex(), bytes.toHex());
        QCOMPARE(encoded.message(), QString());
        QCOMPARE(cp932::decode(bytes), std::optional<QString>(text));
        // The reusing decoder: the same text, also into a string that held a longer one.
        cp932::Decoder decoder;
        QString reused = QStringLiteral("現金 and a longer text held before");
        QVERIFY(decoder.decode(bytes, reused));
        QCOMPARE(reused, text);
        QCOMPARE(cp932::byteLength(text), int(bytes.size()));
        QVERIFY(cp932::canEncode(text));
    }

    // Characters users type that CP932 holds under another code point are
    // written as Japanese files expect them.
    void typedVariants_data() {
        QTest::addColumn<QString>("text");
        QTest::addColumn<QByteArray>("bytes");
        QTest::addColumn<QString>("readBack");
        QTest::newRow("wave dash U+301C") << "〜" << QByteArray::fromHex("8160") << "～";
        QTest::newRow("minus sign U+2212") << "−" << QByteArray::fromHex("817c") << "－";
        QTest::newRow("yen sign") << "¥100" << QByteArray("\\100") << "\\100";
    }
    void typedVariants() {
        QFETCH(QString, text);
        QFETCH(QByteArray, bytes);
        QFETCH(QString, readBack);
        const cp932::EncodeResult encoded = cp932::encode(text);
        QVERIFY(encoded.ok);
        QCOMPARE(encoded.bytes.toHex(), bytes.toHex());
        QCOMPARE(cp932::decode(bytes), std::optional<QString>(readBack));
        QCOMPARE(cp932::byteLength(text), int(bytes.size()));
    }

    // Nothing is silently replaced: the first character without a CP932 form
    // is named, with its position, and no bytes are given.
    void refusedCharacters_data() {
        QTest::addColumn<QString>("text");
        QTest::addColumn<QString>("bad");
        QTest::addColumn<int>("position");
        QTest::addColumn<int>("byteLength");
        QTest::newRow("surrogate pair alone") << "𠮷" << "𠮷" << 0 << 2;
        QTest::newRow("surrogate pair inside") << "吉𠮷野家" << "𠮷" << 1 << 8;
        QTest::newRow("euro sign") << "100€" << "€" << 3 << 5;
        QTest::newRow("lone surrogate")
            << QStringLiteral("a") + QChar(0xD842) + QStringLiteral("b") << QString(QChar(0xD842)) << 1 << 4;
    }
    void refusedCharacters() {
        QFETCH(QString, text);
        QFETCH(QString, bad);
        QFETCH(int, position);
        QFETCH(int, byteLength);
        const cp932::EncodeResult encoded = cp932::encode(text);
        QVERIFY(!encoded.ok);
        QCOMPARE(encoded.badCharacter, bad);
        QCOMPARE(encoded.badPosition, position);
        QVERIFY(encoded.bytes.isEmpty());
        QVERIFY(encoded.message().contains(bad));
        QVERIFY(!cp932::canEncode(text));
        QCOMPARE(cp932::byteLength(text), byteLength);
    }

    // The text inputs' rule agrees with CP932 itself for every character of
    // the basic plane: a character is stored as typed only when it comes back
    // unchanged, as its look-alike twin when it comes back as one, and is
    // refused otherwise.
    void inputRuleMatchesTheRoundTrip() {
        int twins = 0;
        for (char32_t cp = 0x20; cp <= 0xFFFF; ++cp) {
            if (cp == 0x7F || (cp >= 0xD800 && cp <= 0xDFFF)) continue;
            const QString ch = QString(QChar(char16_t(cp)));
            const cp932::EncodeResult encoded = cp932::encode(ch);
            const std::optional<QString> back = encoded.ok ? cp932::decode(encoded.bytes) : std::nullopt;
            const bool survives = back && *back == ch;
            QVERIFY2(platform::survivesCp932(ch) == survives, qPrintable(QString::number(uint(cp), 16)));
            const bool refused = platform::refusedCharacter(ch).has_value();
            const bool twin = back && !survives && back->at(0).unicode() >= 0x80;
            QVERIFY2(refused == (!survives && !twin), qPrintable(QString::number(uint(cp), 16)));
            if (twin) {
                QCOMPARE(platform::cp932Form(ch), *back);
                ++twins;
            }
        }
        QCOMPARE(twins, 7);
        QVERIFY(platform::refusedCharacter(QStringLiteral("𠮷")));
        QVERIFY(platform::refusedCharacter(QStringLiteral("\t")));
    }

    // Whole texts are converted in one call: every character of the basic
    // plane that CP932 holds, in one text, gives the bytes the system's iconv
    // gives; each character it cannot hold is found at its position in a
    // text that has CP932 characters before and after it.
    void wholeTexts() {
        QString all;
        QList<QChar> refused;
        for (char16_t u = 1; u < 0xD800; ++u) {
            if (cp932::canEncode(QString(QChar(u))))
                all += QChar(u);
            else
                refused << QChar(u);
        }
        QVERIFY(all.size() > 7000);
        QProcess iconv;
        iconv.start(QStringLiteral("iconv"), {"-f", "UTF-8", "-t", "CP932"});
        QVERIFY(iconv.waitForStarted());
        iconv.write(all.toUtf8());
        iconv.closeWriteChannel();
        QVERIFY(iconv.waitForFinished());
        const cp932::EncodeResult encoded = cp932::encode(all);
        QVERIFY(encoded.ok);
        QCOMPARE(encoded.bytes, iconv.readAllStandardOutput());

        const QString before = QStringLiteral("現金a𠀋"), after = QStringLiteral("ｶﾅ");
        for (const QChar c : refused) {
            const cp932::EncodeResult bad = cp932::encode(QStringLiteral("現金a") + c + after);
            QVERIFY(!bad.ok);
            QCOMPARE(bad.badPosition, 3);
            QCOMPARE(bad.badCharacter, QString(c));
        }
        // After a refusal the next text converts from a clean state.
        QCOMPARE(cp932::encode(after).bytes, QByteArray::fromHex("b6c5"));
        // A character outside the basic plane is named whole; multi-byte
        // characters before the offending one count one unit each.
        const cp932::EncodeResult pair = cp932::encode(before + QStringLiteral("€"));
        QCOMPARE(pair.badCharacter, QStringLiteral("𠀋"));
        QCOMPARE(pair.badPosition, 3);
        QCOMPARE(cp932::encode(QStringLiteral("ab♪ｶ€")).badPosition, 4);
    }

    void decodeRefusesInvalidBytes_data() {
        QTest::addColumn<QByteArray>("bytes");
        QTest::newRow("lead byte cut off") << QByteArray("abc\x81");
        QTest::newRow("unassigned single byte") << QByteArray("\xa0");
        QTest::newRow("unassigned double byte") << QByteArray("\x85\x40");
    }
    void decodeRefusesInvalidBytes() {
        QFETCH(QByteArray, bytes);
        QCOMPARE(cp932::decode(bytes), std::optional<QString>());
        QString out;
        QVERIFY(!cp932::Decoder().decode(bytes, out));
    }
};

QTEST_GUILESS_MAIN(TestCp932)
#include "tst_cp932.moc"
