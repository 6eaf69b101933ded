// The real message box (no scripted responder): the captions of its buttons,
// and that the letter of a caption answers the box without
// Alt, as a Japanese desktop's message boxes do.

#include <QAbstractButton>
#include <QApplication>
#include <QMessageBox>
#include <QTimer>
#include <QtTest>

#include "platform/msgbox.h"
#include "platform/msgboxdialog.h"
#include "support/testenv.h"

using platform::MsgBox;
using platform::MsgButtons;
using platform::MsgIcon;

namespace {

// Once the box is up: its button captions are read, then the key is typed
// into it.
void whenShown(QStringList* captions, Qt::Key key) {
    QTimer::singleShot(0, [captions, key] {
        auto* box = qobject_cast<QMessageBox*>(QApplication::activeModalWidget());
        QVERIFY(box);
        for (QAbstractButton* b : box->buttons()) *captions << b->text();
        QTest::keyClick(box, key);
    });
}

}  // namespace

class TestMsgBox : public QObject {
    Q_OBJECT

private slots:
    void initTestCase() {
        testenv::isolate();
        platform::InstallMessageDialog();
    }

    // Without a dialog (a program without widgets) a message is answered as a
    // box closed without a choice: never with a "Yes" or "OK" to go ahead.
    void unshownAnswers_data() {
        QTest::addColumn<MsgButtons>("buttons");
        QTest::addColumn<int>("answer");
        QTest::newRow("OK") << MsgButtons::Ok << int(platform::vbOK);
        QTest::newRow("OK, cancel") << MsgButtons::OkCancel << int(platform::vbCancel);
        QTest::newRow("yes, no") << MsgButtons::YesNo << int(platform::vbNo);
        QTest::newRow("yes, no, cancel") << MsgButtons::YesNoCancel << int(platform::vbCancel);
        QTest::newRow("retry, cancel") << MsgButtons::RetryCancel << int(platform::vbCancel);
        QTest::newRow("abort, retry, ignore") << MsgButtons::AbortRetryIgnore << int(platform::vbAbort);
    }
    void unshownAnswers() {
        QFETCH(MsgButtons, buttons);
        QFETCH(int, answer);
        MsgBox::setDialog({});
        const int got = MsgBox::show(QStringLiteral("t"), QStringLiteral("m"), MsgIcon::Warning, buttons);
        platform::InstallMessageDialog();
        QCOMPARE(got, answer);
    }

    void captionsAndLetters_data() {
        QTest::addColumn<MsgButtons>("buttons");
        QTest::addColumn<QStringList>("captions");
        QTest::addColumn<Qt::Key>("key");
        QTest::addColumn<int>("answer");
        QTest::newRow("yes/no, N") << MsgButtons::YesNo << QStringList{"はい(&Y)", "いいえ(&N)"} << Qt::Key_N
                                   << int(platform::vbNo);
        QTest::newRow("yes/no/cancel, Y")
            << MsgButtons::YesNoCancel << QStringList{"はい(&Y)", "いいえ(&N)", "キャンセル"} << Qt::Key_Y
            << int(platform::vbYes);
        QTest::newRow("retry/cancel, R") << MsgButtons::RetryCancel << QStringList{"再試行(&R)", "キャンセル"}
                                         << Qt::Key_R << int(platform::vbRetry);
        QTest::newRow("abort/retry/ignore, I")
            << MsgButtons::AbortRetryIgnore << QStringList{"中止(&A)", "再試行(&R)", "無視(&I)"} << Qt::Key_I
            << int(platform::vbIgnore);
        QTest::newRow("ok/cancel, Escape") << MsgButtons::OkCancel << QStringList{"OK", "キャンセル"}
                                           << Qt::Key_Escape << int(platform::vbCancel);
    }
    void captionsAndLetters() {
        QFETCH(MsgButtons, buttons);
        QFETCH(QStringList, captions);
        QFETCH(Qt::Key, key);
        QFETCH(int, answer);
        QStringList shown;
        whenShown(&shown, key);
        QCOMPARE(MsgBox::show(QStringLiteral("Ralvek"), QStringLiteral("宜しいですか？"), MsgIcon::Question,
                              buttons),
                 answer);
        shown.sort();
        captions.sort();
        QCOMPARE(shown, captions);
    }
};

QTEST_MAIN(TestMsgBox)
#include "tst_msgbox.moc"
