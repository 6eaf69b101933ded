#include "platform/msgboxdialog.h"

#include <QAbstractButton>
#include <QApplication>
#include <QCursor>
#include <QMessageBox>
#include <QPointer>
#include <algorithm>
#include <vector>

#include "platform/msgbox.h"

namespace platform {

namespace {

struct ButtonMap {
    QMessageBox::StandardButton button;
    int result;
};

// The captions a Japanese desktop gives its message-box buttons (Qt's own are
// English); the letter in brackets answers the box without Alt.
QString captionOf(int result) {
    switch (result) {
    case vbOK:
        return QStringLiteral("OK");
    case vbCancel:
        return QStringLiteral("キャンセル");
    case vbAbort:
        return QStringLiteral("中止(&A)");
    case vbRetry:
        return QStringLiteral("再試行(&R)");
    case vbIgnore:
        return QStringLiteral("無視(&I)");
    case vbYes:
        return QStringLiteral("はい(&Y)");
    case vbNo:
        return QStringLiteral("いいえ(&N)");
    }
    return QString();
}

std::vector<ButtonMap> buttonsOf(MsgButtons b) {
    using SB = QMessageBox::StandardButton;
    switch (b) {
    case MsgButtons::Ok:
        return {{SB::Ok, vbOK}};
    case MsgButtons::OkCancel:
        return {{SB::Ok, vbOK}, {SB::Cancel, vbCancel}};
    case MsgButtons::YesNo:
        return {{SB::Yes, vbYes}, {SB::No, vbNo}};
    case MsgButtons::YesNoCancel:
        return {{SB::Yes, vbYes}, {SB::No, vbNo}, {SB::Cancel, vbCancel}};
    case MsgButtons::RetryCancel:
        return {{SB::Retry, vbRetry}, {SB::Cancel, vbCancel}};
    case MsgButtons::AbortRetryIgnore:
        return {{SB::Abort, vbAbort}, {SB::Retry, vbRetry}, {SB::Ignore, vbIgnore}};
    }
    return {{SB::Ok, vbOK}};
}

int showDialog(const MsgRequest& rq) {
    // On the heap and watched: should its parent window go away all the same,
    // the box goes with it instead of being freed twice.
    auto* box = new QMessageBox(QApplication::activeWindow());
    const QPointer<QMessageBox> alive(box);
    box->setWindowTitle(rq.title);
    box->setText(rq.text);
    switch (rq.icon) {
    case MsgIcon::None: box->setIcon(QMessageBox::NoIcon); break;
    case MsgIcon::Information: box->setIcon(QMessageBox::Information); break;
    case MsgIcon::Warning: box->setIcon(QMessageBox::Warning); break;
    case MsgIcon::Critical: box->setIcon(QMessageBox::Critical); break;
    case MsgIcon::Question: box->setIcon(QMessageBox::Question); break;
    }
    const std::vector<ButtonMap> map = buttonsOf(rq.buttons);
    QMessageBox::StandardButtons all;
    for (const ButtonMap& m : map) all |= m.button;
    box->setStandardButtons(all);
    for (const ButtonMap& m : map) box->button(m.button)->setText(captionOf(m.result));
    const int def = std::clamp(rq.defaultButton, 1, int(map.size())) - 1;
    box->setDefaultButton(map[def].button);
    // A message asked for in the middle of long work shows the normal pointer,
    // not the hourglass of the work around it.
    const bool busy = QApplication::overrideCursor() != nullptr;
    if (busy) QApplication::setOverrideCursor(QCursor(Qt::ArrowCursor));
    const int pressed = box->exec();
    if (busy) QApplication::restoreOverrideCursor();
    delete alive.data();
    for (const ButtonMap& m : map) {
        if (m.button == pressed) return m.result;
    }
    // Closed with the window's close box: the cancelling answer if there is one.
    for (const ButtonMap& m : map) {
        if (m.result == vbCancel || m.result == vbNo) return m.result;
    }
    return map.front().result;
}

}  // namespace

void InstallMessageDialog() {
    MsgBox::setDialog(showDialog);
}

}  // namespace platform
