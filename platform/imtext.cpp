#include "platform/imtext.h"

#include <QFocusEvent>
#include <QInputMethodEvent>
#include <QValidator>

#include "platform/cp932.h"

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

// The longest start of `text` that takes at most `budget` CP932 bytes, never
// splitting a surrogate pair.
QString fittingStart(const QString& text, int budget) {
    int used = 0;
    int i = 0;
    while (i < text.size()) {
        const int len = (text.at(i).isHighSurrogate() && i + 1 < text.size()) ? 2 : 1;
        const int bytes = cp932::byteLength(text.mid(i, len));
        if (used + bytes > budget) break;
        used += bytes;
        i += len;
    }
    return text.left(i);
}

// Cuts what the user inserts down to the box's byte limit. Knows the text
// before the edit, so that it can tell the inserted part, and lets edits that
// do not make an (already over-long, stored) text longer pass unchanged.
class ByteLimitValidator : public QValidator {
public:
    ByteLimitValidator(const int* maxBytes, const QString* before, const bool* codeSetting, QObject* parent)
        : QValidator(parent), maxBytes_(maxBytes), before_(before), codeSetting_(codeSetting) {}

    State validate(QString& input, int& pos) const override {
        const int limit = *maxBytes_;
        if (limit <= 0 || *codeSetting_) return Acceptable;
        const int bytes = cp932::byteLength(input);
        if (bytes <= limit || bytes <= cp932::byteLength(*before_)) return Acceptable;
        input = fit(*before_, input, limit, &pos);
        return Acceptable;
    }

    static QString fit(const QString& before, const QString& after, int limit, int* cursor) {
        int prefix = 0;
        const int shorter = int(std::min(before.size(), after.size()));
        while (prefix < shorter && before.at(prefix) == after.at(prefix)) ++prefix;
        int suffix = 0;
        while (suffix < shorter - prefix &&
               before.at(before.size() - 1 - suffix) == after.at(after.size() - 1 - suffix)) {
            ++suffix;
        }
        // Keep a surrogate pair whole at the edges of the inserted part.
        if (prefix > 0 && after.at(prefix - 1).isHighSurrogate()) --prefix;
        if (suffix > 0 && after.at(after.size() - suffix).isLowSurrogate()) --suffix;
        const QString kept = after.left(prefix) + after.right(suffix);
        const QString inserted = after.mid(prefix, after.size() - prefix - suffix);
        const int budget = limit - cp932::byteLength(kept);
        const QString fitted = budget > 0 ? fittingStart(inserted, budget) : QString();
        *cursor = int(prefix + fitted.size());
        return after.left(prefix) + fitted + after.right(suffix);
    }

private:
    const int* maxBytes_;
    const QString* before_;
    const bool* codeSetting_;
};

}  // namespace

ImText::ImText(QWidget* parent) : QLineEdit(parent) {
    setAttribute(Qt::WA_InputMethodEnabled, true);
    setValidator(new ByteLimitValidator(&maxBytes_, &lastText_, &codeSetting_, this));
    connect(this, &QLineEdit::textChanged, this, [this](const QString& text) { lastText_ = text; });
    connect(this, &QLineEdit::textEdited, this, &ImText::onTextEdited);
}

void ImText::setText(const QString& text) {
    const bool outer = codeSetting_;
    codeSetting_ = true;
    QLineEdit::setText(text);
    codeSetting_ = outer;
}

void ImText::setMaxBytes(int bytes) {
    maxBytes_ = std::max(0, bytes);
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
    if (maxBytes_ > 0) {
        added = fittingStart(reading, maxBytes_ - cp932::byteLength(text()));
    }
    if (!added.isEmpty()) setText(text() + added);
}

void ImText::focusOutEvent(QFocusEvent* event) {
    QLineEdit::focusOutEvent(event);
    if (event->reason() != Qt::PopupFocusReason) emit lostFocus();
}

}  // namespace platform
