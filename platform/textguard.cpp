#include "platform/textguard.h"

#include <QLineEdit>

#include "platform/cp932.h"
#include "platform/msgbox.h"

namespace platform {

namespace {

int charLength(const QString& text, int pos) {
    return text[pos].isHighSurrogate() && pos + 1 < text.size() && text[pos + 1].isLowSurrogate() ? 2 : 1;
}

}  // namespace

TextGuard::TextGuard(QLineEdit* edit) : QValidator(edit), edit_(edit) {
    before_ = edit->text();
    connect(edit, &QLineEdit::textChanged, this, [this](const QString& text) { before_ = text; });
    edit->setValidator(this);
}

void TextGuard::setAllowedCharacters(const QString& pattern) {
    allowed_ = pattern.isEmpty() ? QRegularExpression()
                                 : QRegularExpression(QRegularExpression::anchoredPattern(pattern));
}

QString TextGuard::fittingStart(const QString& text, int budget) {
    int used = 0;
    int i = 0;
    while (i < text.size()) {
        const int len = charLength(text, i);
        const int bytes = cp932::byteLength(text.mid(i, len));
        if (used + bytes > budget) break;
        used += bytes;
        i += len;
    }
    return text.left(i);
}

QValidator::State TextGuard::validate(QString& input, int& pos) const {
    if (codeSetting_) return Acceptable;
    // The inserted part: what lies between the common start and the common end
    // of the text before and after the edit (a surrogate pair kept whole).
    int prefix = 0;
    const int shorter = int(std::min(before_.size(), input.size()));
    while (prefix < shorter && before_.at(prefix) == input.at(prefix)) ++prefix;
    int suffix = 0;
    while (suffix < shorter - prefix &&
           before_.at(before_.size() - 1 - suffix) == input.at(input.size() - 1 - suffix)) {
        ++suffix;
    }
    if (prefix > 0 && input.at(prefix - 1).isHighSurrogate()) --prefix;
    if (suffix > 0 && input.at(input.size() - suffix).isLowSurrogate()) --suffix;
    QString inserted = input.mid(prefix, input.size() - prefix - suffix);
    if (inserted.isEmpty()) return Acceptable;

    if (const std::optional<TextRefusal> refusal = refusedCharacter(inserted)) {
        if (edit_) showInputMessage(edit_, refusal->message);
        return Invalid;
    }
    if (!allowed_.pattern().isEmpty()) {
        for (int i = 0; i < inserted.size(); i += charLength(inserted, i)) {
            const QString ch = inserted.mid(i, charLength(inserted, i));
            if (allowed_.match(ch).hasMatch()) continue;
            if (edit_) showInputMessage(edit_, QStringLiteral("「%1」はこの欄には入力できません。").arg(ch));
            return Invalid;
        }
    }
    inserted = cp932Form(inserted);
    const QString kept = input.left(prefix) + input.right(suffix);
    QString after = input.left(prefix) + inserted + input.right(suffix);
    if (maxBytes_ > 0) {
        const int bytes = cp932::byteLength(after);
        if (bytes > maxBytes_ && bytes > cp932::byteLength(before_)) {
            const int budget = maxBytes_ - cp932::byteLength(kept);
            inserted = budget > 0 ? fittingStart(inserted, budget) : QString();
            after = input.left(prefix) + inserted + input.right(suffix);
            pos = int(prefix + inserted.size());
        }
    }
    input = after;
    return Acceptable;
}

void showInputMessage(QWidget* w, const QString& message) {
    QPointer<QWidget> from(w);
    QMetaObject::invokeMethod(
        w,
        [from, message] {
            const QString title = from ? from->window()->windowTitle() : QString();
            MsgBox::show(title, message, MsgIcon::Warning);
        },
        Qt::QueuedConnection);
}

}  // namespace platform
