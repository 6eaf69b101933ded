// The batch-journal pattern screen: typing completes an account, a pattern
// registered here reaches the company's patterns when the screen closes and
// the daily entry's pattern list shows it; a stored pair is refused.

#include <QApplication>
#include <QComboBox>
#include <QLineEdit>
#include <QPointer>
#include <QPushButton>
#include <QtTest>

#include "app/common/globals.h"
#include "app/startup.h"
#include "entry/choicelists.h"
#include "platform/imtext.h"
#include "platform/msgbox.h"
#include "setup/InpIkkatuSiwake.h"
#include "support/testenv.h"

using platform::ScriptedMsgBox;

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
};

QTEST_MAIN(TestPatternScreen)
#include "tst_patternscreen.moc"
