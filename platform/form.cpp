#include "platform/form.h"

#include <QAbstractButton>
#include <QApplication>
#include <QCloseEvent>
#include <QKeyEvent>
#include <QLabel>
#include <QPushButton>
#include <QScreen>
#include <QShowEvent>
#include <QTextBlock>
#include <QTextDocument>
#include <algorithm>

#include "platform/msgbox.h"
#include "platform/spreadgrid.h"

namespace platform {

namespace {

constexpr int kCentringTwips = 405;
constexpr int kTwipsPerInch = 1440;

// True when the widget sits inside a grid, which handles Enter and Escape itself.
bool insideGrid(QWidget* w, QWidget* window) {
    for (QWidget* p = w; p && p != window; p = p->parentWidget()) {
        if (qobject_cast<SpreadGrid*>(p)) return true;
    }
    return false;
}

// The target of the first link of a rich text, empty when it has none.
QString firstLink(const QString& richText) {
    QTextDocument doc;
    doc.setHtml(richText);
    for (QTextBlock b = doc.begin(); b.isValid(); b = b.next()) {
        for (auto it = b.begin(); !it.atEnd(); ++it) {
            const QTextCharFormat f = it.fragment().charFormat();
            if (f.isAnchor() && !f.anchorHref().isEmpty()) return f.anchorHref();
        }
    }
    return QString();
}

bool hasBlockingModifier(Qt::KeyboardModifiers m) {
    return m & (Qt::ShiftModifier | Qt::ControlModifier | Qt::AltModifier | Qt::MetaModifier);
}

}  // namespace

Form::Form(QWidget* parent) : QWidget(parent) {
    setAttribute(Qt::WA_DeleteOnClose);
    // The screen sees every key before its controls.
    qApp->installEventFilter(this);
}

// QWidget's destructor, which runs after this one, closes the window and so
// takes the focus from the control holding it: the controls signal as they
// lose it (a date box's lostFocus, a grid's cell leave) while the screen's own
// part is already gone. Nothing a control sends may reach the screen then.
Form::~Form() {
    for (QObject* child : findChildren<QObject*>()) child->disconnect(this);
}

void Form::showFrom(QWidget* opener) {
    opener_ = opener;
    ensureLoaded();
    show();
    raise();
    activateWindow();
    // Hidden after this screen is shown, so that a screen whose load failed
    // (it closes at its queued activation) still finds its opener to show.
    if (opener && opener != this) opener->hide();
}

bool Form::unload() {
    return close();
}

void Form::ensureLoaded() {
    if (loadRan_) return;
    loadRan_ = true;
    Form_Load();
}

void Form::showEvent(QShowEvent* event) {
    QWidget::showEvent(event);
    ensureLoaded();
    if (event->spontaneous() || activationQueued_) return;
    activationQueued_ = true;
    QMetaObject::invokeMethod(this, &Form::activate, Qt::QueuedConnection);
}

void Form::activate() {
    activationQueued_ = false;
    if (!isVisible()) return;
    Form_Activate();
    if (!loaded_) close();
}

void Form::closeEvent(QCloseEvent* event) {
    // A message box is waiting for its answer: the code that showed it runs on
    // once it is answered and may still use its screen. The box blocks the
    // screens for the user, but assistive technology can still press a
    // screen's buttons; the screen stays until the box is answered.
    if (MsgBox::isRunning()) {
        event->ignore();
        return;
    }
    bool cancel = false;
    Form_Unload(cancel);
    if (cancel) {
        event->ignore();
        return;
    }
    event->accept();
    QWidget* back = opener_;
    if (back && back != this) {
        back->show();
        back->raise();
        back->activateWindow();
    }
}

int Form::centringOffset() const {
    const QScreen* s = screen() ? screen() : QGuiApplication::primaryScreen();
    const qreal dpi = s ? s->logicalDotsPerInchY() : 96.0;
    return qRound(kCentringTwips * dpi / kTwipsPerInch);
}

void Form::centre() {
    const QScreen* s = screen() ? screen() : QGuiApplication::primaryScreen();
    if (!s) return;
    if (!testAttribute(Qt::WA_Resized)) adjustSize();
    const QRect area = s->geometry();
    const QSize outer = frameGeometry().size();
    // Never above or left of the screen: a window larger than the screen
    // keeps its title bar (and its top left controls) reachable.
    const int left = std::max(0, (area.width() - outer.width()) / 2);
    const int top = std::max(0, (area.height() - outer.height() - centringOffset()) / 2);
    move(area.x() + left, area.y() + top);
}

QString Form::caption(const QString& own, const QString& company) {
    return own + QStringLiteral(" - ") + company;
}

QString Form::caption(const QString& own, const QString& company, const QString& fiscal) {
    return caption(own, company) + QStringLiteral(" - ") + fiscal;
}

void Form::setLetterKey(QChar letter, std::function<void()> action) {
    const QChar key = letter.toUpper();
    if (action) {
        letterKeys_.insert(key, std::move(action));
    } else {
        letterKeys_.remove(key);
    }
}

bool Form::eventFilter(QObject* watched, QEvent* event) {
    if (event->type() != QEvent::KeyPress || !watched->isWidgetType()) return false;
    auto* receiver = static_cast<QWidget*>(watched);
    if (receiver->window() != this) return false;
    // Only the first delivery counts: a key a control ignores travels on to its
    // parents, and must not be handled twice.
    QWidget* first = focusWidget() ? focusWidget() : this;
    if (receiver != first) return false;
    return handleKey(receiver, static_cast<QKeyEvent*>(event));
}

bool Form::handleKey(QWidget* receiver, QKeyEvent* key) {
    const Qt::KeyboardModifiers mods = key->modifiers() & ~Qt::KeypadModifier;
    if (hasBlockingModifier(mods)) return false;
    const int k = key->key();
    if (k >= Qt::Key_A && k <= Qt::Key_Z) return pressLetter(QChar('A' + (k - Qt::Key_A)));
    if (k == Qt::Key_Return || k == Qt::Key_Enter || k == Qt::Key_Escape) {
        if (insideGrid(receiver, this)) return false;
        const bool forward = k != Qt::Key_Escape;
        // A label whose links are reached with Tab follows a link with Enter:
        // the link that has the focus, else its first one.
        if (auto* label = qobject_cast<QLabel*>(receiver);
            forward && label && (label->textInteractionFlags() & Qt::LinksAccessibleByKeyboard)) {
            if (label->hasSelectedText()) return false;
            if (const QString href = firstLink(label->text()); !href.isEmpty()) {
                emit label->linkActivated(href);
                return true;
            }
        }
        if (forward && !enterMovesOn_) {
            if (auto* button = qobject_cast<QPushButton*>(receiver)) {
                button->click();
                return true;
            }
        }
        focusNextPrevChild(forward);
        return true;
    }
    return false;
}

bool Form::pressLetter(QChar letter) {
    if (auto it = letterKeys_.constFind(letter); it != letterKeys_.constEnd()) {
        const std::function<void()> action = it.value();  // the action may unbind itself
        action();
        return true;
    }
    const QString suffix = QStringLiteral("(") + letter + QStringLiteral(")");
    const QList<QPushButton*> buttons = findChildren<QPushButton*>();
    for (QPushButton* button : buttons) {
        if (button->window() != this || !button->isVisible() || !button->isEnabled()) continue;
        if (button->text().trimmed().endsWith(suffix, Qt::CaseInsensitive)) {
            button->click();
            return true;
        }
    }
    return false;
}

}  // namespace platform
