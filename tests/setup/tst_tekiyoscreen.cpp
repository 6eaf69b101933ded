// The description screen: what it registers, corrects and deletes reaches
// the company's descriptions when it closes, and the daily entry's list shows
// it at once; the text box holds at most 20 full-width characters; Japanese
// typed through an input method is registered, chosen and corrected.

#include <QApplication>
#include <QComboBox>
#include <QPointer>
#include <QPushButton>
#include <QRadioButton>
#include <QtTest>

#include "app/common/globals.h"
#include "app/startup.h"
#include "ledger/choicelists.h"
#include "platform/imtext.h"
#include "platform/msgbox.h"
#include "setup/InpTekiyouTouroku.h"
#include "support/inputmethod.h"
#include "support/testenv.h"

using platform::ScriptedMsgBox;

namespace {
// Types text as key presses carrying it, full-width characters too.
void typeText(QWidget* w, const QString& text) {
    for (QChar c : text) {
        QKeyEvent press(QEvent::KeyPress, 0, Qt::NoModifier, QString(c));
        QApplication::sendEvent(w, &press);
        QKeyEvent release(QEvent::KeyRelease, 0, Qt::NoModifier, QString(c));
        QApplication::sendEvent(w, &release);
    }
}

void settle() {
    for (int i = 0; i < 3; ++i) QApplication::processEvents();
}
}  // namespace

class TestTekiyoScreen : public QObject {
    Q_OBJECT

    std::unique_ptr<testenv::ShippedDb> db_;

    QString stored() {
        const auto rows = db_->connection().query(
            QStringLiteral("SELECT CID, TEKINO, TENAME FROM T_TEKIYO ORDER BY CID, TEKINO"));
        QStringList out;
        for (const auto& r : *rows) out << r.text(0) + ' ' + r.text(1) + ' ' + r.text(2);
        return out.join('|');
    }

private slots:
    void initTestCase() {
        testenv::isolate();
        PrepareProgram();
    }
    void init() {
        db_ = testenv::ShippedDb::open();
        QVERIFY(db_);
        gstrCID = QStringLiteral("51");
        QVERIFY(db_->connection().exec("DELETE FROM T_TEKIYO"));
        QVERIFY(db_->connection().exec(
            "INSERT INTO T_TEKIYO VALUES ('51', '001', '売上'), ('51', '002', '仕入'), ('52', '001', '他社')"));
    }
    void cleanup() { db_.reset(); }

    void registerDeleteAndClose() {
        ScriptedMsgBox boxes;
        QPointer<InpTekiyouTouroku> s = new InpTekiyouTouroku;
        s->show();
        settle();
        QVERIFY(s->isLoaded());
        QVERIFY(!s->cmbTekiyou->isEnabled());  // locked in register mode
        QCOMPARE(s->cmbTekiyou->count(), 2);

        // The 21st full-width character is refused.
        s->txtTekiyou->setFocus();
        typeText(s->txtTekiyou, QString(21, QChar(0x3042)));
        QCOMPARE(s->txtTekiyou->text(), QString(20, QChar(0x3042)));
        const int refusals = boxes.count();

        s->cmdTouroku->click();
        QCOMPARE(boxes.count(), refusals);
        QCOMPARE(s->cmbTekiyou->count(), 3);
        QVERIFY(s->txtTekiyou->text().isEmpty());

        // A text that exists already is refused.
        s->txtTekiyou->setText(QStringLiteral("売上"));
        s->cmdTouroku->click();
        QCOMPARE(boxes.last().text, QString("摘要名称を入力して下さい。"));
        QCOMPARE(s->cmbTekiyou->count(), 3);

        s->optDelete->click();
        QVERIFY(s->cmbTekiyou->isEnabled());
        QVERIFY(!s->txtTekiyou->isEnabled());
        s->cmbTekiyou->setCurrentIndex(1);
        emit s->cmbTekiyou->textActivated(s->cmbTekiyou->currentText());
        QCOMPARE(s->txtTekiyou->text(), QString("仕入"));
        s->cmdTouroku->click();
        QCOMPARE(s->cmbTekiyou->count(), 2);

        QCOMPARE(stored(), QString("51 001 売上|51 002 仕入|52 001 他社"));  // nothing written before closing
        QVERIFY(s->unload());
        settle();
        QCOMPARE(stored(), QString("51 001 売上|51 003 ") + QString(20, QChar(0x3042)) + "|52 001 他社");

        // The daily entry's description list reads the stored descriptions each time it is built.
        QString list;
        QVERIFY(set_cmbTekiyo(list));
        QVERIFY(list.split('\t').contains(QString(20, QChar(0x3042))));
        QVERIFY(!list.split('\t').contains(QStringLiteral("仕入")));
    }

    void inputMethodText() {
        ScriptedMsgBox boxes;
        QPointer<InpTekiyouTouroku> s = new InpTekiyouTouroku;
        s->show();
        s->activateWindow();
        QVERIFY(QTest::qWaitForWindowActive(s));
        settle();

        // Register: the committed word is the new description.
        QCOMPARE(QApplication::focusWidget(), s->txtTekiyou);
        QVERIFY(imtest::acceptsInputMethod());
        imtest::compose({QStringLiteral("ｋ"), QStringLiteral("か"), QStringLiteral("かけ")}, QStringLiteral("掛売"));
        QCOMPARE(s->txtTekiyou->text(), QStringLiteral("掛売"));
        s->cmdTouroku->click();
        QCOMPARE(s->cmbTekiyou->count(), 3);

        // Correct: a word committed into the list chooses the description and
        // opens the text box, where a further word is appended.
        s->optTeisei->click();
        settle();
        QCOMPARE(QApplication::focusWidget(), s->cmbTekiyou);
        QVERIFY(imtest::acceptsInputMethod());
        imtest::compose({QStringLiteral("し")}, QStringLiteral("仕入"));
        QCOMPARE(s->txtTekiyou->text(), QStringLiteral("仕入"));
        QVERIFY(s->txtTekiyou->isEnabled());
        s->txtTekiyou->setFocus();
        s->txtTekiyou->end(false);
        imtest::compose({QStringLiteral("だか")}, QStringLiteral("高"));
        QCOMPARE(s->txtTekiyou->text(), QStringLiteral("仕入高"));
        s->cmdTouroku->click();
        QCOMPARE(boxes.count(), 0);

        QVERIFY(s->unload());
        settle();
        QCOMPARE(stored(), QStringLiteral("51 001 売上|51 002 仕入高|51 003 掛売|52 001 他社"));
    }
};

QTEST_MAIN(TestTekiyoScreen)
#include "tst_tekiyoscreen.moc"
