#include "platform/imtext.h"

#include <QFocusEvent>
#include <QInputMethodEvent>

#include "platform/cp932.h"
#include "platform/textguard.h"

namespace platform {

namespace {

QColor displayOnlyBackground() {
    return QColor(0xC0, 0xC0, 0xC0);
}

bool isBlankHalfWidth(const QString& text) {
    for (QChar c : text) {
        if (c != QLatin1Char(' ')) return false;
    }
    return true;
}

}  // namespace

ImText::ImText(QWidget* parent) : QLineEdit(parent) {
    setAttribute(Qt::WA_InputMethodEnabled, true);
    guard_ = new TextGuard(this);
    connect(this, &QLineEdit::textChanged, this, [this](const QString& text) { lastText_ = text; });
    connect(this, &QLineEdit::textEdited, this, &ImText::onTextEdited);
}

void ImText::setText(const QString& text) {
    TextGuard::CodeSetting code(guard_);
    QLineEdit::setText(text);
}

void ImText::setMaxBytes(int bytes) {
    guard_->setMaxBytes(bytes);
}

int ImText::maxBytes() const {
    return guard_->maxBytes();
}

void ImText::setInputMethodOn(bool on) {
    setAttribute(Qt::WA_InputMethodEnabled, on);
    setInputMethodHints(on ? Qt::ImhNone : Qt::ImhLatinOnly);
}

bool ImText::isInputMethodOn() const {
    return testAttribute(Qt::WA_InputMethodEnabled);
}

void ImText::setDisplayOnly(bool on) {
    setReadOnly(on);
    setFocusPolicy(on ? Qt::ClickFocus : Qt::StrongFocus);
    if (on) {
        QPalette p = palette();
        p.setColor(QPalette::Base, displayOnlyBackground());
        setPalette(p);
    } else {
        setPalette(QPalette());
    }
}

void ImText::onTextEdited(const QString& text) {
    // textEdited comes before textChanged, so lastText_ still holds the text
    // before the edit. An insertion cut away entirely leaves the text as it was.
    if (text != lastText_) emit change();
}

QString ImText::toKatakana(const QString& kana) {
    QString out = kana;
    for (QChar& c : out) {
        const char16_t u = c.unicode();
        if (u >= 0x3041 && u <= 0x3096)
            c = QChar(char16_t(u + 0x60));  // ぁ..ゖ -> ァ..ヶ
        else if (u == 0x309D || u == 0x309E)
            c = QChar(char16_t(u + 0x60));  // ゝゞ -> ヽヾ
    }
    return out;
}

bool ImText::isKana(const QString& text) {
    if (text.isEmpty()) return false;
    for (QChar c : text) {
        const char16_t u = c.unicode();
        const bool hiragana = u >= 0x3041 && u <= 0x309F;
        const bool katakana = u >= 0x30A0 && u <= 0x30FF;  // includes ー and ・
        const bool halfKatakana = u >= 0xFF66 && u <= 0xFF9F;
        if (!hiragana && !katakana && !halfKatakana) return false;
    }
    return true;
}

void ImText::inputMethodEvent(QInputMethodEvent* event) {
    const QString preedit = event->preeditString();
    const QString commit = event->commitString();
    // The reading of a commit is the last all-kana preedit shown before it
    // (the kana typed before conversion). A preedit that arrives with a commit
    // already belongs to the next segment.
    const QString kanaBefore = composingKana_;
    if (!commit.isEmpty()) {
        composingKana_ = isKana(preedit) ? preedit : QString();
    } else if (isKana(preedit)) {
        composingKana_ = preedit;
    } else if (preedit.isEmpty()) {
        composingKana_.clear();  // composition cancelled
    }
    // Whether this box was blank is decided before the commit lands in it.
    const bool wasBlank = isBlankHalfWidth(text());
    QLineEdit::inputMethodEvent(event);
    if (commit.isEmpty()) return;
    QString kana = !kanaBefore.isEmpty() ? kanaBefore : (isKana(commit) ? commit : QString());
    if (kana.isEmpty()) return;
    kana = toKatakana(kana);
    if (readingBox_) {
        if (wasBlank) readingBox_->setText(QString());
        readingBox_->appendReading(kana);
    }
    emit reading(kana);
}

void ImText::appendReading(const QString& reading) {
    QString added = reading;
    if (maxBytes() > 0) {
        added = TextGuard::fittingStart(reading, maxBytes() - cp932::byteLength(text()));
    }
    if (!added.isEmpty()) setText(text() + added);
}

void ImText::focusOutEvent(QFocusEvent* event) {
    QLineEdit::focusOutEvent(event);
    if (event->reason() != Qt::PopupFocusReason) emit lostFocus();
}

}  // namespace platform
