#include "platform/imnumber.h"

#include <QFocusEvent>
#include <QRegularExpression>

namespace platform {

namespace {

// More integer digits than this cannot be a Currency amount of the program.
constexpr int kMaxIntegerDigits = 15;

QColor displayOnlyBackground() {
    return QColor(0xC0, 0xC0, 0xC0);
}

}  // namespace

QString formatNumber(const std::optional<Currency>& value, const NumberFormat& format) {
    if (!value) return QString();
    QString text = value->toDisplay(format.decimals);
    if (!format.grouping) text.remove(QLatin1Char(','));
    return text;
}

std::optional<Currency> parseNumber(const QString& text) {
    return Currency::parse(text);
}

NumberValidator::NumberValidator(const NumberFormat& format, QObject* parent)
    : QValidator(parent), format_(format) {}

QValidator::State NumberValidator::validate(QString& input, int& pos) const {
    Q_UNUSED(pos);
    QString s = input;
    s.remove(QLatin1Char(','));
    if (s.isEmpty()) return Intermediate;
    static const QRegularExpression shape(QStringLiteral("^(-?)(\\d*)(?:(\\.)(\\d*))?$"));
    const QRegularExpressionMatch m = shape.match(s);
    if (!m.hasMatch()) return Invalid;
    const bool negative = !m.captured(1).isEmpty();
    const QString whole = m.captured(2);
    const bool point = !m.captured(3).isEmpty();
    const QString fraction = m.captured(4);
    if (negative && format_.min >= Currency()) return Invalid;
    if (point && format_.decimals <= 0) return Invalid;
    if (fraction.size() > format_.decimals) return Invalid;
    if (whole.size() > kMaxIntegerDigits) return Invalid;
    if (whole.isEmpty() && fraction.isEmpty()) return Intermediate;  // "-", "." or "-."
    const std::optional<Currency> v = Currency::parse(s);
    if (!v) return Invalid;
    // Typing more digits only moves a value further from zero: beyond the
    // range on its own side it can never come back.
    if (*v > format_.max) return *v > Currency() ? Invalid : Intermediate;
    if (*v < format_.min) return *v < Currency() ? Invalid : Intermediate;
    return Acceptable;
}

ImNumber::ImNumber(QWidget* parent) : QLineEdit(parent), validator_(new NumberValidator(format_, this)) {
    setValidator(validator_);
    setAlignment(Qt::AlignRight | Qt::AlignVCenter);
    // Amounts are typed in half-width digits: the Japanese input method stays off.
    setAttribute(Qt::WA_InputMethodEnabled, false);
    setInputMethodHints(Qt::ImhFormattedNumbersOnly);
    connect(this, &QLineEdit::textEdited, this, &ImNumber::onTextEdited);
    showValue();
}

void ImNumber::setFormat(const NumberFormat& format) {
    format_ = format;
    validator_->setFormat(format);
    showValue();
}

void ImNumber::setValue(const std::optional<Currency>& value) {
    value_ = value;
    showValue();
}

void ImNumber::setText(const QString& text) {
    setValue(parseNumber(text));
}

void ImNumber::clear() {
    setValue(std::nullopt);
}

void ImNumber::setDisplayOnly(bool on) {
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

void ImNumber::showValue() {
    const QString text = editing_ ? (value_ ? value_->toText() : QString()) : formatNumber(value_, format_);
    QLineEdit::setText(text);
}

void ImNumber::onTextEdited(const QString& text) {
    const std::optional<Currency> typed = parseNumber(text);
    if (typed == value_) return;
    value_ = typed;
    emit change();
}

void ImNumber::focusInEvent(QFocusEvent* event) {
    QLineEdit::focusInEvent(event);
    if (event->reason() == Qt::PopupFocusReason || editing_ || isReadOnly()) return;
    editing_ = true;
    showValue();
    selectAll();
}

void ImNumber::focusOutEvent(QFocusEvent* event) {
    QLineEdit::focusOutEvent(event);
    if (event->reason() == Qt::PopupFocusReason) return;
    editing_ = false;
    showValue();
    emit lostFocus();
}

}  // namespace platform
