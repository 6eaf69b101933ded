#include "platform/imtext.h"

#include <QFocusEvent>
#include <QGuiApplication>
#include <QInputMethod>
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

void ImText::setAllowedCharacters(const QString& pattern) {
    guard_->setAllowedCharacters(pattern);
}

void ImText::setInputMethodOn(bool on) {
    inputMethodOn_ = on;
    setAttribute(Qt::WA_InputMethodEnabled, on && !isReadOnly());
    setInputMethodHints(on ? Qt::ImhNone : Qt::ImhLatinOnly);
    if (hasFocus()) QGuiApplication::inputMethod()->update(Qt::ImEnabled | Qt::ImHints);
}

QVariant ImText::inputMethodQuery(Qt::InputMethodQuery query) const {
    // The input method asks the focused widget whether it takes its text;
    // QLineEdit answers from its read-only state alone.
    if (query == Qt::ImEnabled) return inputMethodOn_ && QLineEdit::inputMethodQuery(query).toBool();
    return QLineEdit::inputMethodQuery(query);
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

// The kana of a preedit, "" when it holds anything else. A final romaji n is
// still pending in the preedit ("しょうてｎ"): the input method makes it ん
// when it converts, and so does the reading.
QString ImText::preeditKana(const QString& preedit) {
    QString kana = preedit;
    if (!kana.isEmpty()) {
        const char16_t last = kana.back().unicode();
        if (last == u'n' || last == u'N' || last == u'ｎ' || last == u'Ｎ') kana.back() = QChar(u'ん');
    }
    return isKana(kana) ? kana : QString();
}

void ImText::inputMethodEvent(QInputMethodEvent* event) {
    const QString preedit = event->preeditString();
    const QString preeditAsKana = preeditKana(preedit);
    const QString commit = event->commitString();
    // The reading of a commit is the last all-kana preedit shown before it
    // (the kana typed before conversion; a converted preedit keeps it). A
    // preedit that arrives with a commit already belongs to the next segment;
    // an empty preedit without a commit cancels the composition.
    const QString kanaBefore = composingKana_;
    if (!commit.isEmpty() || !preeditAsKana.isEmpty() || preedit.isEmpty()) composingKana_ = preeditAsKana;
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
