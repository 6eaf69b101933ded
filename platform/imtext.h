#pragma once
// platform::ImText: the text box of the screens.
//
//   auto* txtKaisyaName = new platform::ImText(this);
//   txtKaisyaName->setMaxBytes(60);                    // CP932 bytes, full-width = 2
//   txtKaisyaName->setReadingBox(txtKaisyaFurigana);   // furigana capture
//   connect(txtKaisyaName, &platform::ImText::change, ...);   // user edits only
//
// Text is the QLineEdit text (text()/setText()).
// - setMaxBytes(n): the user cannot type, paste or commit through the input
//   method more than n bytes of CP932 (Shift-JIS as Japanese Windows writes it);
//   what does not fit is cut from the end of the inserted text. Text set by code
//   is kept whole, so stored text is never shortened by showing it.
// - What the user inserts passes platform::TextGuard (textguard.h): a
//   character CP932 cannot hold, ¥ and control characters are refused with a
//   message naming them.
// - change(): raised by the user's edits only, never by setText() from code.
// - reading(kana): the reading of text the user has just committed through the
//   Japanese input method, in full-width katakana (taken from the kana the input
//   method showed before conversion). setReadingBox(box) feeds those readings
//   into a furigana box: when this box was blank (half-width blanks only) before
//   the commit, the furigana box is emptied first; then the reading is appended
//   (as far as the furigana box's byte limit allows). Text typed directly into the
//   furigana box stays.
// - lostFocus(): the box lost the focus (not to its own context menu).
// - setInputMethodOn(false) for boxes of half-width text (postal code,
//   telephone); setDisplayOnly(true) for a grey, read-only box that Tab skips.
// Give every box a buddy label (QLabel::setBuddy) or an accessible name.

#include <QLineEdit>
#include <QPointer>

#include "platform/textguard.h"

namespace platform {

class ImText : public QLineEdit {
    Q_OBJECT
public:
    explicit ImText(QWidget* parent = nullptr);

    // Sets the text from code: kept whole (no byte limit), no change().
    // Hides QLineEdit::setText; call it through an ImText pointer.
    void setText(const QString& text);

    void setMaxBytes(int bytes);  // 0: no limit
    int maxBytes() const;

    // Off: the box tells the input method that it takes no input-method text,
    // so keys reach it as typed even when the input method is in kana mode.
    // Limits the box to the characters the pattern matches one by one
    // ("[0-9]"); others are refused with a message (TextGuard).
    void setAllowedCharacters(const QString& pattern);

    void setInputMethodOn(bool on);
    bool isInputMethodOn() const { return inputMethodOn_; }

    using QLineEdit::inputMethodQuery;
    QVariant inputMethodQuery(Qt::InputMethodQuery query) const override;

    void setDisplayOnly(bool on);

    void setReadingBox(ImText* box) { readingBox_ = box; }
    ImText* readingBox() const { return readingBox_; }

    // Appends a reading as the furigana capture does (used by setReadingBox).
    void appendReading(const QString& reading);

    // Full-width katakana of a kana text (hiragana turned into katakana).
    static QString toKatakana(const QString& kana);
    // True when the text is made of kana (and the prolonged sound mark) only.
    static bool isKana(const QString& text);
    // The kana shown in a preedit ("" when it holds anything else), a final
    // pending romaji n read as ん.
    static QString preeditKana(const QString& preedit);

signals:
    void change();
    void reading(const QString& kana);
    void lostFocus();

protected:
    void inputMethodEvent(QInputMethodEvent* event) override;
    void focusOutEvent(QFocusEvent* event) override;

private:
    void onTextEdited(const QString& text);

    TextGuard* guard_;          // refuses what CP932 cannot hold, applies the byte limit
    bool inputMethodOn_ = true;
    QString lastText_;          // the text before the edit being processed
    QString composingKana_;     // the last all-kana preedit of the current composition
    QPointer<ImText> readingBox_;
};

}  // namespace platform
