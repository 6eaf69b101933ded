// The screen base class: load, activation and unload with the opener, the
// failed-load path, the keys the screen sees first, centring and captions.

#include <QApplication>
#include <QLabel>
#include <QLineEdit>
#include <QMessageBox>
#include <QPointer>
#include <QPushButton>
#include <QScopeGuard>
#include <QScreen>
#include <QSignalSpy>
#include <QTableView>
#include <QTest>
#include <QTimer>
#include <QVBoxLayout>

#include "platform/form.h"
#include "platform/hourglass.h"
#include "platform/msgbox.h"
#include "platform/msgboxdialog.h"
#include "platform/spreadgrid.h"
#include "support/testenv.h"

namespace {

// A screen that records its lifecycle.
class Probe : public platform::Form {
public:
    explicit Probe(QStringList* log, bool loadSucceeds = true) : log_(log), loadSucceeds_(loadSucceeds) {}
    bool cancelUnload = false;

protected:
    void Form_Load() override {
        *log_ << QStringLiteral("load");
        setLoaded(loadSucceeds_);
    }
    void Form_Activate() override { *log_ << QStringLiteral("activate"); }
    void Form_Unload(bool& cancel) override {
        *log_ << (isLoaded() ? QStringLiteral("unload") : QStringLiteral("unload-failed"));
        cancel = cancelUnload;
    }

private:
    QStringList* log_;
    bool loadSucceeds_;
};

// A screen with fields, a grid and lettered buttons.
class KeyScreen : public platform::Form {
public:
    KeyScreen() {
        auto* layout = new QVBoxLayout(this);
        for (QLineEdit** e : {&first, &second, &third}) {
            *e = new QLineEdit(this);
            layout->addWidget(*e);
        }
        grid = new platform::SpreadGrid(this);
        grid->setMaxCols(2);
        grid->setMaxRows(2);
        layout->addWidget(grid);
        back = new QPushButton(QStringLiteral("もどる(X)"), this);
        clear = new QPushButton(QStringLiteral("  期首残高   クリア(L)"), this);
        print = new QPushButton(QStringLiteral("印刷(P)"), this);
        for (QPushButton* b : {back, clear, print}) layout->addWidget(b);
    }
    QLineEdit* first;
    QLineEdit* second;
    QLineEdit* third;
    platform::SpreadGrid* grid;
    QPushButton* back;
    QPushButton* clear;
    QPushButton* print;
};

void settle() {
    for (int i = 0; i < 3; ++i) QApplication::processEvents();
}

}  // namespace

class TestForm : public QObject {
    Q_OBJECT

private slots:
    void initTestCase() { testenv::isolate(); }

    void lifecycleWithOpener();
    void failedLoadUnloadsAndShowsOpener();
    void failedLoadWhenOpenerHidesAfterwards();
    void unloadCanBeCancelled();
    void returningActivatesTheOpenerAgain();
    void enterAndEscapeMoveBetweenFields();
    void enterOnAButtonMovesOnWhereTheScreenSaysSo();
    void letterKeysPressTheirButton();
    void letterKeyBindingRunsEvenWhenButtonDisabled();
    void centresWith405TwipsOffTheHeight();
    void windowLargerThanScreenStaysOnIt();
    void captions();
    void hourglassRestoresThePointer();
    void staysWhileAMessageBoxRuns();
};

void TestForm::lifecycleWithOpener() {
    QWidget opener;
    opener.show();
    QStringList log;
    QPointer<Probe> form = new Probe(&log);
    form->showFrom(&opener);
    QCOMPARE(log, QStringList({"load"}));  // activation follows the showing event
    QVERIFY(form->isVisible());
    QVERIFY(!opener.isVisible());
    settle();
    QCOMPARE(log, QStringList({"load", "activate"}));

    QVERIFY(form->unload());
    QCOMPARE(log, QStringList({"load", "activate", "unload"}));
    QVERIFY(opener.isVisible());
    QTRY_VERIFY(form.isNull());  // unloaded screens are deleted
}

void TestForm::failedLoadUnloadsAndShowsOpener() {
    QWidget opener;
    opener.show();
    QStringList log;
    QPointer<Probe> form = new Probe(&log, false);
    form->showFrom(&opener);
    QVERIFY(!opener.isVisible());
    settle();
    QCOMPARE(log, QStringList({"load", "activate", "unload-failed"}));
    QVERIFY(opener.isVisible());
    QTRY_VERIFY(form.isNull());
}

void TestForm::failedLoadWhenOpenerHidesAfterwards() {
    // The menu shows the screen first and hides itself afterwards: the queued
    // activation still runs after the hiding, so the menu ends visible.
    QWidget menu;
    menu.show();
    QStringList log;
    QPointer<Probe> form = new Probe(&log, false);
    form->setOpener(&menu);
    form->show();
    menu.hide();
    settle();
    QVERIFY(menu.isVisible());
    QTRY_VERIFY(form.isNull());
}

void TestForm::unloadCanBeCancelled() {
    QWidget opener;
    opener.show();
    QStringList log;
    QPointer<Probe> form = new Probe(&log);
    form->showFrom(&opener);
    settle();
    form->cancelUnload = true;
    QVERIFY(!form->unload());
    settle();
    QVERIFY(form && form->isVisible());
    QVERIFY(!opener.isVisible());
    form->cancelUnload = false;
    QVERIFY(form->unload());
    QVERIFY(opener.isVisible());
}

void TestForm::returningActivatesTheOpenerAgain() {
    QStringList menuLog;
    QStringList childLog;
    QPointer<Probe> menu = new Probe(&menuLog);
    menu->show();
    settle();
    auto* child = new Probe(&childLog);
    child->showFrom(menu);
    settle();
    QVERIFY(!menu->isVisible());
    child->unload();
    settle();
    QVERIFY(menu->isVisible());
    QCOMPARE(menuLog, QStringList({"load", "activate", "activate"}));  // loaded once, activated on return
    delete menu.data();
}

void TestForm::enterAndEscapeMoveBetweenFields() {
    auto* s = new KeyScreen;
    s->show();
    QVERIFY(QTest::qWaitForWindowActive(s));
    s->first->setFocus();
    QTest::keyClick(s->first, Qt::Key_Return);
    QCOMPARE(QApplication::focusWidget(), s->second);
    QTest::keyClick(s->second, Qt::Key_Enter, Qt::KeypadModifier);
    QCOMPARE(QApplication::focusWidget(), s->third);
    QTest::keyClick(s->third, Qt::Key_Escape);
    QCOMPARE(QApplication::focusWidget(), s->second);

    // Inside a grid Enter is the grid's own: it moves to the next cell.
    s->grid->setActiveCell(1, 1);
    s->grid->setFocus();
    QTest::keyClick(QApplication::focusWidget(), Qt::Key_Return);
    QCOMPARE(QApplication::focusWidget(), s->grid->view());
    QCOMPARE(s->grid->activeCol(), 2);

    // Enter on a focused button presses it.
    QSignalSpy printed(s->print, &QPushButton::clicked);
    s->print->setFocus();
    QTest::keyClick(s->print, Qt::Key_Return);
    QCOMPARE(printed.count(), 1);

    // Enter on a label with a keyboard-reachable link follows the link, also
    // before Tab has moved onto the link itself; Escape still moves back.
    auto* link = new QLabel(QStringLiteral("<a href=\"https://example.com/a?b=1&amp;c=2\">案内</a>"), s);
    link->setTextInteractionFlags(Qt::LinksAccessibleByKeyboard);
    link->setFocusPolicy(Qt::StrongFocus);
    link->show();
    QSignalSpy followed(link, &QLabel::linkActivated);
    link->setFocus();
    QTest::keyClick(link, Qt::Key_Return);
    QCOMPARE(followed.count(), 1);
    QCOMPARE(followed.first().first().toString(), QStringLiteral("https://example.com/a?b=1&c=2"));
    QTest::keyClick(link, Qt::Key_Escape);
    QVERIFY(QApplication::focusWidget() != link);
    delete s;
}

void TestForm::enterOnAButtonMovesOnWhereTheScreenSaysSo() {
    auto* s = new KeyScreen;
    s->setEnterMovesOn(true);
    s->show();
    QVERIFY(QTest::qWaitForWindowActive(s));
    QSignalSpy cleared(s->clear, &QPushButton::clicked);
    QSignalSpy printed(s->print, &QPushButton::clicked);
    s->clear->setFocus();
    QTest::keyClick(s->clear, Qt::Key_Return);
    QCOMPARE(QApplication::focusWidget(), s->print);
    QTest::keyClick(s->print, Qt::Key_Enter, Qt::KeypadModifier);
    QCOMPARE(cleared.count(), 0);
    QCOMPARE(printed.count(), 0);
    QVERIFY(QApplication::focusWidget() != s->print);
    // Space still presses the focused button.
    s->print->setFocus();
    QTest::keyClick(s->print, Qt::Key_Space);
    QCOMPARE(printed.count(), 1);
    QCOMPARE(cleared.count(), 0);
    delete s;
}

void TestForm::letterKeysPressTheirButton() {
    auto* s = new KeyScreen;
    s->show();
    QVERIFY(QTest::qWaitForWindowActive(s));
    QSignalSpy back(s->back, &QPushButton::clicked);
    QSignalSpy clear(s->clear, &QPushButton::clicked);
    s->first->setFocus();

    QTest::keyClick(s->first, Qt::Key_L);
    QCOMPARE(clear.count(), 1);
    QCOMPARE(s->first->text(), QString());  // the screen took the key

    QTest::keyClick(s->first, Qt::Key_X, Qt::ShiftModifier);  // Shift: no button
    QTest::keyClick(s->first, Qt::Key_X, Qt::ControlModifier);
    QCOMPARE(back.count(), 0);

    s->back->setEnabled(false);  // a disabled or hidden button is not pressed
    QTest::keyClick(s->first, Qt::Key_X);
    s->back->setEnabled(true);
    s->back->hide();
    QTest::keyClick(s->first, Qt::Key_X);
    QCOMPARE(back.count(), 0);
    s->back->show();

    // Keys reach the screen from inside the grid as well.
    s->grid->setActiveCell(1, 1);
    s->grid->setFocus();
    QTest::keyClick(QApplication::focusWidget(), Qt::Key_X);
    QCOMPARE(back.count(), 1);

    QTest::keyClick(s->first, Qt::Key_Q);  // no button for Q: an ordinary key
    delete s;
}

void TestForm::letterKeyBindingRunsEvenWhenButtonDisabled() {
    auto* s = new KeyScreen;
    s->show();
    int edits = 0;
    s->setLetterKey(QChar('e'), [&edits] { ++edits; });
    s->print->setEnabled(false);
    s->setLetterKey(QChar('P'), [&edits] { edits += 10; });
    s->first->setFocus();
    QTest::keyClick(s->first, Qt::Key_E);
    QTest::keyClick(s->first, Qt::Key_P);
    QCOMPARE(edits, 11);
    s->setLetterKey(QChar('E'), {});
    QTest::keyClick(s->first, Qt::Key_E);
    QCOMPARE(edits, 11);
    delete s;
}

void TestForm::centresWith405TwipsOffTheHeight() {
    auto* f = new platform::Form;
    f->resize(400, 300);
    f->show();
    f->centre();
    const QRect screen = f->screen()->geometry();
    const QRect frame = f->frameGeometry();
    const int offset = qRound(405 * f->screen()->logicalDotsPerInchY() / 1440.0);
    QCOMPARE(f->centringOffset(), offset);
    QCOMPARE(frame.left() - screen.left(), (screen.width() - frame.width()) / 2);
    QCOMPARE(frame.top() - screen.top(), (screen.height() - frame.height() - offset) / 2);
    if (qFuzzyCompare(f->screen()->logicalDotsPerInchY(), 96.0)) QCOMPARE(offset, 27);
    delete f;
}

void TestForm::windowLargerThanScreenStaysOnIt() {
    auto* f = new platform::Form;
    const QRect screen = f->screen()->geometry();
    f->resize(screen.size() + QSize(200, 200));
    f->show();
    f->centre();
    QCOMPARE(f->frameGeometry().topLeft(), screen.topLeft());
    delete f;
}

void TestForm::captions() {
    QCOMPARE(platform::Form::caption(QStringLiteral("簡易仕訳入力"), QStringLiteral("山田商店"),
                                     QStringLiteral("第 3 期")),
             QStringLiteral("簡易仕訳入力 - 山田商店 - 第 3 期"));
    QCOMPARE(platform::Form::caption(QStringLiteral(" 勘定科目台帳入力"), QStringLiteral("山田商店")),
             QStringLiteral(" 勘定科目台帳入力 - 山田商店"));
}

void TestForm::hourglassRestoresThePointer() {
    QVERIFY(!QApplication::overrideCursor());
    {
        platform::Hourglass outer;
        QCOMPARE(QApplication::overrideCursor()->shape(), Qt::WaitCursor);
        {
            platform::Hourglass inner;
            inner.restore();
            QVERIFY(QApplication::overrideCursor());  // the outer guard still holds
        }
        outer.restore();
        QVERIFY(!QApplication::overrideCursor());
    }
    QVERIFY(!QApplication::overrideCursor());
}

// A screen whose message box waits for its answer is not destroyed when its
// もどる(X) is pressed the way assistive technology presses it (past the box's
// modality); once the box is answered the screen closes as usual.
void TestForm::staysWhileAMessageBoxRuns() {
    platform::InstallMessageDialog();
    const auto noDialog = qScopeGuard([] { platform::MsgBox::setDialog({}); });
    auto* screen = new KeyScreen;
    QPointer<KeyScreen> guard(screen);
    connect(screen->back, &QPushButton::clicked, screen, &platform::Form::unload);
    screen->show();
    screen->activateWindow();
    QVERIFY(QTest::qWaitForWindowActive(screen));

    bool stayedDuringBox = false;
    QTimer::singleShot(0, screen, [&] {
        screen->back->click();
        QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
        QApplication::processEvents();
        stayedDuringBox = !guard.isNull() && guard->isVisible();
        auto* box = qobject_cast<QMessageBox*>(QApplication::activeModalWidget());
        if (box) box->button(QMessageBox::Ok)->click();
    });
    QCOMPARE(platform::MsgBox::show(QStringLiteral("Ralvek"), QStringLiteral("確認")), int(platform::vbOK));
    QVERIFY(stayedDuringBox);
    QVERIFY(!guard.isNull());

    screen->back->click();
    QTRY_VERIFY(guard.isNull());
}

QTEST_MAIN(TestForm)
#include "tst_form.moc"
