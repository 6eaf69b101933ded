#pragma once
// platform::TextGuard: what the text boxes and text cells accept from the
// user, by the rules of cp932rules.h (nothing the CP932 backup could not write
// back, no control characters; look-alikes stored as CP932's twin).
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
#include <QRegularExpression>
#include <QString>
#include <QValidator>
#include <optional>

#include "platform/cp932rules.h"

class QLineEdit;
class QWidget;

namespace platform {

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
    // Limits what may be inserted to the characters the pattern matches one by
    // one (e.g. "[0-9-]"); any other is refused whole, with a message naming it.
    // An empty pattern takes away the limit.
    void setAllowedCharacters(const QString& pattern);

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
    QRegularExpression allowed_;
    QString before_;  // the text before the edit being validated
    int maxBytes_ = 0;
    bool codeSetting_ = false;
};

}  // namespace platform
