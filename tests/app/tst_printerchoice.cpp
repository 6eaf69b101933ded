// The printer choice with a printer list of the test's own: the list in the
// reverse of the system's order with the first listed preselected, names the old list could not
// carry (long, with commas), the choice becoming the printer reports print
// to, a printer gone before it is applied, Cancel, no printer at all, and the
// menu enabled again however the choice closes.

#include <QComboBox>
#include <QPointer>
#include <QPushButton>
#include <QtTest>

#include "app/SetUsePrinter.h"
#include "app/common/globals.h"
#include "reports/reportprinter.h"
#include "platform/msgbox.h"
#include "support/testenv.h"

using platform::MsgIcon;
using platform::ScriptedMsgBox;

namespace {

const QString kLongName =
    QStringLiteral("経理部 カラー複合機, 2階東側 (A4/A3 両面) ") + QString(60, QLatin1Char('x'));

QStringList listed(const SetUsePrinter& choice) {
    QStringList names;
    for (int i = 0; i < choice.cmbPrinterList->count(); ++i) names << choice.cmbPrinterList->itemText(i);
    return names;
}

}  // namespace

class TestPrinterChoice : public QObject {
    Q_OBJECT

private slots:
    void initTestCase() {
        testenv::isolate();
        gstrSoftName = QStringLiteral("Ralvek");
    }

    void init() {
        SetCurrentPrinterName(QString());
        menu_ = new QWidget;
        menu_->setEnabled(false);
    }

    void cleanup() { delete menu_.data(); }

    // Every name whole, the last the system reports first and preselected;
    // the chosen one becomes the current printer.
    void choosePrinter() {
        printers_ = {QStringLiteral("A"), kLongName, QStringLiteral("C")};
        ScriptedMsgBox box;
        auto* choice = new SetUsePrinter(menu_, [this] { return printers_; });
        QPointer<SetUsePrinter> guard(choice);
        choice->show();
        QCOMPARE(listed(*choice), QStringList({QStringLiteral("C"), kLongName, QStringLiteral("A")}));
        QCOMPARE(choice->cmbPrinterList->currentIndex(), 0);
        QCOMPARE(choice->windowTitle(), QStringLiteral("使用するプリンタの設定"));

        choice->cmbPrinterList->setCurrentIndex(1);
        choice->cmdSetPrinter->click();
        QCOMPARE(CurrentPrinterName(), kLongName);
        QCOMPARE(box.count(), 1);
        QCOMPARE(box.last().text, QStringLiteral("通常使うプリンターを[ ") + kLongName.trimmed() +
                                      QStringLiteral(" ]に変更しました。"));
        QCOMPARE(box.last().icon, MsgIcon::Warning);
        QCOMPARE(box.last().title, QStringLiteral("Ralvek"));
        QVERIFY(menu_->isEnabled());
        QTRY_VERIFY(guard.isNull());
    }

    // A printer that went away before it was applied: the failure message,
    // the current printer unchanged.
    void printerGoneBeforeApply() {
        SetCurrentPrinterName(QStringLiteral("A"));
        printers_ = {QStringLiteral("A"), QStringLiteral("B")};
        ScriptedMsgBox box;
        auto* choice = new SetUsePrinter(menu_, [this] { return printers_; });
        choice->show();
        choice->cmbPrinterList->setCurrentIndex(0);
        printers_ = {QStringLiteral("A")};
        choice->cmdSetPrinter->click();
        QCOMPARE(box.last().text, QStringLiteral("通常使うプリンターの変更処理に失敗しました。"));
        QCOMPARE(CurrentPrinterName(), QStringLiteral("A"));
        QVERIFY(menu_->isEnabled());
    }

    // Cancel and the close box change nothing and enable the menu.
    void cancel_data() {
        QTest::addColumn<bool>("closeBox");
        QTest::newRow("cancel button") << false;
        QTest::newRow("close box") << true;
    }
    void cancel() {
        QFETCH(bool, closeBox);
        printers_ = {QStringLiteral("A"), QStringLiteral("B")};
        ScriptedMsgBox box;
        auto* choice = new SetUsePrinter(menu_, [this] { return printers_; });
        choice->show();
        choice->cmbPrinterList->setCurrentIndex(1);
        if (closeBox) {
            choice->close();
        } else {
            choice->cmdCancel->click();
        }
        QCOMPARE(box.count(), 0);
        QCOMPARE(CurrentPrinterName(), QString());
        QVERIFY(menu_->isEnabled());
    }

    // Without a printer: the message (no icon), and the choice closes at once.
    void noPrinter() {
        ScriptedMsgBox box;
        auto* choice = new SetUsePrinter(menu_, [] { return QStringList(); });
        QPointer<SetUsePrinter> guard(choice);
        choice->show();
        QCOMPARE(box.count(), 1);
        QCOMPARE(box.last().text, QStringLiteral("プリンタードライバーがインストールされていません。"));
        QCOMPARE(box.last().icon, MsgIcon::None);
        QTRY_VERIFY(guard.isNull() || guard->isHidden());
        QVERIFY(menu_->isEnabled());
    }

private:
    QStringList printers_;
    QPointer<QWidget> menu_;
};

QTEST_MAIN(TestPrinterChoice)
#include "tst_printerchoice.moc"
