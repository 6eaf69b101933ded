// The batch-journal pattern screen: typing completes an account, a pattern
// registered here reaches the company's patterns when the screen closes and
// the daily entry's pattern list shows it; a stored pair is refused, on
// "登 録" and already when the user goes on from the accounts to the
// description; Japanese typed through an input method completes and is kept.

#include <QApplication>
#include <QComboBox>
#include <QLineEdit>
#include <QPointer>
#include <QPushButton>
#include <QRadioButton>
#include <QtTest>

#include "app/common/globals.h"
#include "app/startup.h"
#include "ledger/choicelists.h"
#include "platform/imtext.h"
#include "platform/msgbox.h"
#include "setup/InpIkkatuSiwake.h"
#include "support/inputmethod.h"
#include "support/testenv.h"

using platform::ScriptedMsgBox;

namespace {
void settle() {
    for (int i = 0; i < 3; ++i) QApplication::processEvents();
}

// Opens the screen as the active window, its inputs cleared.
InpIkkatuSiwake* openScreen() {
    auto* s = new InpIkkatuSiwake;
    s->show();
    s->activateWindow();
    if (!QTest::qWaitForWindowActive(s)) return nullptr;
    settle();
    return s;
}
}  // namespace

class TestPatternScreen : public QObject {
    Q_OBJECT

    std::unique_ptr<testenv::ShippedDb> db_;

private slots:
    void initTestCase() {
        testenv::isolate();
        PrepareProgram();
    }
    void init() {
        db_ = testenv::ShippedDb::open();
        QVERIFY(db_);
        gstrCID = QStringLiteral("51");
        QVERIFY(db_->connection().exec("DELETE FROM T_SI_PATTERN"));
        QVERIFY(db_->connection().exec("DELETE FROM T_TEKIYO"));
    }
    void cleanup() { db_.reset(); }

    void registerAndClose() {
        ScriptedMsgBox boxes;
        QPointer<InpIkkatuSiwake> s = new InpIkkatuSiwake;
        s->show();
        QApplication::processEvents();
        QVERIFY(s->isLoaded());
        QVERIFY(s->cmbKarikata->count() >= 2);
        const QString first = s->cmbKarikata->itemText(0), second = s->cmbKarikata->itemText(1);

        // Typing the first character completes the first entry, its tail selected.
        s->cmbKarikata->setFocus();
        QTest::keyClick(s->cmbKarikata->lineEdit(), first.at(0).toLatin1());
        QCOMPARE(s->cmbKarikata->currentText(), first);
        QCOMPARE(s->cmbKarikata->lineEdit()->selectedText(), first.mid(1));

        s->cmbKasikata->setEditText(second);
        s->txtIkkatuSiwake->setText(QStringLiteral("振替"));
        s->txtTekiyou->setText(QStringLiteral("O'Brien"));
        s->cmdTouroku->click();
        QCOMPARE(boxes.count(), 0);

        // The same pair again is refused.
        s->cmbKarikata->setEditText(first);
        s->cmbKasikata->setEditText(second);
        s->txtIkkatuSiwake->setText(QStringLiteral("二度目"));
        s->txtTekiyou->setText(QStringLiteral("二度目"));
        s->cmdTouroku->click();
        QCOMPARE(boxes.count(), 1);
        QCOMPARE(boxes.last().text, QString("仕訳パターンマスタ登録済み。"));

        QVERIFY(s->unload());
        QApplication::processEvents();
        const auto row = db_->connection().queryOne(
            "SELECT KRCODE, KSCODE, SINAME, TENAME, SETID, SETPT FROM T_SI_PATTERN WHERE CID = '51'");
        QVERIFY(row && row->size() == 6);
        QCOMPARE(row->text(0), AccountNumberOf(first));
        QCOMPARE(row->text(1), AccountNumberOf(second));
        QCOMPARE(row->text(3), QString("O'Brien"));
        QCOMPARE(row->text(4), QString("1"));

        QString list;
        QVERIFY(set_cmbIkkatuSiwake(list));
        QVERIFY(list.contains(QStringLiteral("振替")));
    }

    // Going on to the credit combo checks the debit account; going on to the
    // description box or list checks both accounts and the pair. A failure
    // says why and puts the focus back where the fault is.
    void enteringChecks_data() {
        QTest::addColumn<QString>("mode");
        QTest::addColumn<QString>("debit");   // "first"/"second": list entries; else as typed
        QTest::addColumn<QString>("credit");
        QTest::addColumn<QString>("entered");  // credit, text, list
        QTest::addColumn<QString>("message");  // "" when the checks pass
        QTest::addColumn<QString>("focus");    // where the focus ends

        const QString none, unknown = QStringLiteral("科目マスタ未登録。");
        QTest::newRow("credit, debit empty") << "register" << "" << "" << "credit"
                                             << QStringLiteral("借方科目コードを入力して下さい。") << "debit";
        QTest::newRow("credit, debit partial") << "register" << "1" << "" << "credit" << unknown << "debit";
        QTest::newRow("credit, debit known") << "register" << "first" << "" << "credit" << none << "credit";
        QTest::newRow("text, debit empty") << "register" << "" << "second" << "text"
                                           << QStringLiteral("借方科目コードを入力して下さい。") << "debit";
        QTest::newRow("text, credit empty") << "register" << "first" << "" << "text"
                                            << QStringLiteral("貸方科目コードを入力して下さい。") << "credit";
        QTest::newRow("text, credit unknown") << "register" << "first" << "999 なし" << "text" << unknown << "credit";
        QTest::newRow("text, stored pair") << "register" << "first" << "second" << "text"
                                           << QStringLiteral("仕訳パターンマスタ登録済み。") << "credit";
        QTest::newRow("text, reversed pair") << "register" << "second" << "first" << "text" << none << "text";
        QTest::newRow("list, stored pair") << "register" << "first" << "second" << "list"
                                           << QStringLiteral("仕訳パターンマスタ登録済み。") << "credit";
        QTest::newRow("list, correct, pair not stored") << "correct" << "second" << "first" << "list"
                                                        << QStringLiteral("仕訳パターンマスタ未登録") << "credit";
        QTest::newRow("text, correct, stored pair") << "correct" << "first" << "second" << "text" << none << "text";
    }
    void enteringChecks() {
        QFETCH(QString, mode);
        QFETCH(QString, debit);
        QFETCH(QString, credit);
        QFETCH(QString, entered);
        QFETCH(QString, message);
        QFETCH(QString, focus);

        QVERIFY(db_->connection().exec("INSERT INTO T_TEKIYO VALUES ('51', '001', '売上')"));
        ScriptedMsgBox boxes;
        QPointer<InpIkkatuSiwake> s = openScreen();
        QVERIFY(s && s->isLoaded());
        const QString first = s->cmbKarikata->itemText(0), second = s->cmbKarikata->itemText(1);
        // The stored pair first/second.
        s->cmbKarikata->setEditText(first);
        s->cmbKasikata->setEditText(second);
        s->txtIkkatuSiwake->setText(QStringLiteral("振替"));
        s->txtTekiyou->setText(QStringLiteral("振替"));
        s->cmdTouroku->click();
        settle();
        QCOMPARE(boxes.count(), 0);

        if (mode == "correct") s->optTeisei->click();
        settle();
        const auto entry = [&](const QString& t) { return t == "first" ? first : t == "second" ? second : t; };
        s->cmbKarikata->setEditText(entry(debit));
        s->cmbKasikata->setEditText(entry(credit));
        QWidget* target = entered == "credit" ? static_cast<QWidget*>(s->cmbKasikata)
                          : entered == "text" ? static_cast<QWidget*>(s->txtTekiyou)
                                              : static_cast<QWidget*>(s->cmbTekiyou);
        // Enter on the field before walks into the one to be entered.
        QWidget* before = entered == "credit" ? static_cast<QWidget*>(s->cmbKarikata)
                          : entered == "text" ? static_cast<QWidget*>(s->cmbKasikata)
                                              : static_cast<QWidget*>(s->txtTekiyou);
        before->setFocus();
        settle();
        boxes.clear();
        QTest::keyClick(QApplication::focusWidget(), Qt::Key_Return);
        settle();

        QCOMPARE(boxes.count(), message.isEmpty() ? 0 : 1);
        if (!message.isEmpty()) QCOMPARE(boxes.last().text, message);
        QWidget* expected = focus == "debit" ? static_cast<QWidget*>(s->cmbKarikata)
                            : focus == "credit" ? static_cast<QWidget*>(s->cmbKasikata)
                                                : static_cast<QWidget*>(s->txtTekiyou);
        QWidget* now = QApplication::focusWidget();
        QVERIFY2(now == expected || expected->isAncestorOf(now), qPrintable(now ? now->objectName() : "none"));

        // The focus coming back with the window is no entering: no second box.
        boxes.clear();
        QFocusEvent back(QEvent::FocusIn, Qt::ActiveWindowFocusReason);
        QApplication::sendEvent(target, &back);
        settle();
        QCOMPARE(boxes.count(), 0);
        delete s.data();
    }

    // Japanese reaches the screen as committed input-method text: the name
    // box keeps it, the description list completes from it and hands the
    // completion to the description box.
    void inputMethodText() {
        QVERIFY(db_->connection().exec(
            "INSERT INTO T_TEKIYO VALUES ('51', '001', '売上高'), ('51', '002', '仕入高'), ('51', '003', '売掛金回収')"));
        ScriptedMsgBox boxes;
        QPointer<InpIkkatuSiwake> s = openScreen();
        QVERIFY(s && s->isLoaded());
        const QString first = s->cmbKarikata->itemText(0), second = s->cmbKarikata->itemText(1);
        s->cmbKarikata->setEditText(first);
        s->cmbKasikata->setEditText(second);

        s->txtIkkatuSiwake->setFocus();
        settle();
        QVERIFY(imtest::acceptsInputMethod());
        imtest::compose({QStringLiteral("ｆ"), QStringLiteral("ふ"), QStringLiteral("ふりかえ")}, QStringLiteral("振替"));
        QCOMPARE(s->txtIkkatuSiwake->text(), QStringLiteral("振替"));

        s->cmbTekiyou->setFocus();
        settle();
        QVERIFY(imtest::acceptsInputMethod());
        imtest::compose({QStringLiteral("う"), QStringLiteral("うり")}, QStringLiteral("売"));
        QCOMPARE(s->cmbTekiyou->currentText(), QStringLiteral("売上高"));
        QCOMPARE(s->cmbTekiyou->lineEdit()->selectedText(), QStringLiteral("上高"));
        QCOMPARE(s->txtTekiyou->text(), QStringLiteral("売上高"));
        // The next word replaces the completed tail and completes again.
        imtest::commit(QStringLiteral("掛"));
        QCOMPARE(s->cmbTekiyou->currentText(), QStringLiteral("売掛金回収"));
        QCOMPARE(s->txtTekiyou->text(), QStringLiteral("売掛金回収"));
        QCOMPARE(boxes.count(), 0);

        s->cmdTouroku->click();
        settle();
        QCOMPARE(boxes.count(), 0);
        QVERIFY(s->unload());
        settle();
        const auto row = db_->connection().queryOne("SELECT SINAME, TENAME FROM T_SI_PATTERN WHERE CID = '51'");
        QVERIFY(row && row->size() == 2);
        QCOMPARE(row->text(0), QStringLiteral("振替"));
        QCOMPARE(row->text(1), QStringLiteral("売掛金回収"));
    }

    // The account lists take plain keys (their entries begin with the account
    // number); a description that no entry begins with, committed by the
    // input method, is refused once the commit is over, not while the input
    // method is still delivering it.
    void inputMethodTextNoEntryBeginsWith() {
        QVERIFY(db_->connection().exec("INSERT INTO T_TEKIYO VALUES ('51', '001', '売上高')"));
        ScriptedMsgBox boxes;
        QPointer<InpIkkatuSiwake> s = openScreen();
        QVERIFY(s && s->isLoaded());
        s->cmbKarikata->setEditText(s->cmbKarikata->itemText(0));
        s->cmbKasikata->setEditText(s->cmbKarikata->itemText(1));
        for (QComboBox* account : {s->cmbKarikata, s->cmbKasikata}) {
            account->setFocus();
            settle();
            QCOMPARE(QApplication::focusWidget(), account);
            QVERIFY(!imtest::acceptsInputMethod());
        }
        s->cmbTekiyou->setFocus();
        settle();
        QVERIFY(imtest::acceptsInputMethod());
        QCOMPARE(boxes.count(), 0);
        imtest::preedit(QStringLiteral("でんしゃ"));
        imtest::commit(QStringLiteral("電車"));
        QCOMPARE(boxes.count(), 0);
        settle();
        QCOMPARE(boxes.count(), 1);
        QCOMPARE(boxes.last().text, QStringLiteral("科目マスタ未登録。"));
        QCOMPARE(s->cmbTekiyou->currentText(), QString());
        delete s.data();
    }
};

QTEST_MAIN(TestPatternScreen)
#include "tst_patternscreen.moc"
