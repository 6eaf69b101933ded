#pragma once
// What the text boxes and text cells accept from the user.
//
// Every text the program stores must come back the same from the CP932 text
// backup. So a text input refuses:
//   - characters CP932 cannot hold (𠮷, emoji, a right-to-left mark);
//   - characters CP932 turns into a different ASCII character (¥ U+00A5
//     becomes "\", ‾ U+203E becomes "~");
//   - control characters (tab, line breaks), which would split the choice
//     lists and the backup's lines.
// Characters that CP932 holds only as a look-alike twin (〜 U+301C as ～
// U+FF5E, − U+2212 as － U+FF0D, ‖ — ¢ £ ¬) are stored as that twin, which is
// what the input methods of Japanese Windows produce anyway.
//
//   auto* guard = new platform::TextGuard(lineEdit);   // installs itself as validator
//   guard->setMaxBytes(60);
//   { platform::TextGuard::CodeSetting code(guard); lineEdit->setText(stored); }
//
// The guard checks only what the user inserts (typed, pasted, dropped,
// committed by the input method): an insertion holding a refused character
// is refused whole, the box keeps its text, and a message naming the
// character is shown once the event is over. Text set from code inside a
// CodeSetting scope is taken whole (stored text is shown as it is, never cut).

#include <QPointer>
#include <QString>
#include <QValidator>
#include <optional>

class QLineEdit;
class QWidget;

namespace platform {

struct TextRefusal {
    QString character;  // the refused character (a surrogate pair is one character)
    QString message;    // for the user, naming the character and its code
};

// The first character of text that a text input refuses, or nullopt.
std::optional<TextRefusal> refusedCharacter(const QString& text);

// True when the character (one code point) comes back unchanged from CP932,
// i.e. the backup stores it as it is.
bool survivesCp932(const QString& character);

// The text with each look-alike character replaced by its CP932 twin.
QString cp932Form(const QString& text);

// Shows a warning about what the user typed into w once the current event is
// over (never from inside a line edit's own processing of a key, a paste or
// an input-method commit). Titled with w's window title.
void showInputMessage(QWidget* w, const QString& message);

class TextGuard : public QValidator {
    Q_OBJECT
public:
    explicit TextGuard(QLineEdit* edit);

    void setMaxBytes(int bytes) { maxBytes_ = std::max(0, bytes); }  // 0: no limit
    int maxBytes() const { return maxBytes_; }

    // While one exists, text set on the line edit is taken whole.
    class CodeSetting {
    public:
        explicit CodeSetting(TextGuard* guard) : guard_(guard), outer_(guard && guard->codeSetting_) {
            if (guard_) guard_->codeSetting_ = true;
        }
        ~CodeSetting() {
            if (guard_) guard_->codeSetting_ = outer_;
        }
        CodeSetting(const CodeSetting&) = delete;
        CodeSetting& operator=(const CodeSetting&) = delete;

    private:
        TextGuard* guard_;
        bool outer_;
    };

    State validate(QString& input, int& pos) const override;

    // The longest start of text that takes at most budget CP932 bytes, never
    // splitting a surrogate pair.
    static QString fittingStart(const QString& text, int budget);

private:
    QPointer<QLineEdit> edit_;
    QString before_;  // the text before the edit being validated
    int maxBytes_ = 0;
    bool codeSetting_ = false;
};

}  // namespace platform
