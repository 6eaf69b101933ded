#include "platform/imnumber.h"

#include <QFocusEvent>
#include <QApplication>
#include <QMouseEvent>
#include <QRegularExpression>
#include <utility>

#include "platform/textguard.h"

namespace platform {

namespace {

// More integer digits than this cannot be a Currency amount of the program.
constexpr int kMaxIntegerDigits = 15;
// Longer typed text is no number of the program at all.
constexpr int kMaxTypedLength = 40;

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

QString halfWidthNumberText(const QString& text) {
    QString out = text;
    for (QChar& c : out) {
        const char16_t u = c.unicode();
        if (u >= 0xFF10 && u <= 0xFF19) {
            c = QChar(char16_t(u - 0xFF10 + '0'));
        } else if (u == 0xFF0C) {
            c = QLatin1Char(',');
        } else if (u == 0xFF0E) {
            c = QLatin1Char('.');
        } else if (u == 0xFF0D || u == 0x2212) {
            c = QLatin1Char('-');
        } else if (u == 0xFF0B) {
            c = QLatin1Char('+');
        } else if (u == 0x3000) {
            c = QLatin1Char(' ');
        }
    }
    return out;
}

TypedNumber checkTypedNumber(const QString& text, const NumberFormat& format) {
    TypedNumber result;
    const QString s = halfWidthNumberText(text.normalized(QString::NormalizationForm_KC)).trimmed();
    if (s.isEmpty()) {
        result.ok = true;
        return result;
    }
    const QString quoted = QStringLiteral("「%1」").arg(text);
    static const QRegularExpression shape(
        QStringLiteral("^([-+]?)([0-9]{1,3}(?:,[0-9]{3})+|[0-9]*)(?:\\.([0-9]+))?$"));
    const QRegularExpressionMatch m = shape.match(s);
    QString whole = m.captured(2);
    QString fraction = m.captured(3);
    whole.remove(QLatin1Char(','));
    if (!m.hasMatch() || (whole.isEmpty() && fraction.isEmpty()) || whole.size() > kMaxIntegerDigits) {
        result.message = quoted + QStringLiteral("は数値として入力できません。");
        return result;
    }
    const int decimals = std::clamp(format.decimals, 0, 4);
    for (int i = decimals; i < fraction.size(); ++i) {
        if (fraction.at(i) != QLatin1Char('0')) {
            result.message = quoted + (decimals == 0 ? QStringLiteral("は入力できません。小数点以下は入力できません。")
                                                     : QStringLiteral("は入力できません。小数点以下は%1桁までです。")
                                                           .arg(decimals));
            return result;
        }
    }
    fraction.truncate(decimals);
    const std::optional<Currency> value =
        Currency::parse(m.captured(1) + (whole.isEmpty() ? QStringLiteral("0") : whole) +
                        (fraction.isEmpty() ? QString() : QLatin1Char('.') + fraction));
    if (!value) {
        result.message = quoted + QStringLiteral("は数値として入力できません。");
        return result;
    }
    if (*value < format.min || *value > format.max) {
        result.message = quoted + QStringLiteral("は入力できません。%1から%2までの数値を入力してください。")
                                      .arg(format.min.toDisplay(decimals), format.max.toDisplay(decimals));
        return result;
    }
    result.ok = true;
    result.value = value;
    return result;
}

NumberValidator::NumberValidator(const NumberFormat& format, QObject* parent)
    : QValidator(parent), format_(format) {}

QValidator::State NumberValidator::validate(QString& input, int& pos) const {
    Q_UNUSED(pos);
    input = halfWidthNumberText(input);
    // Whatever else is typed stands until the edit ends, when it is read whole
    // or refused with a message (never dropped silently, as a line edit drops
    // text it does not find acceptable when it loses the focus).
    return input.size() > kMaxTypedLength ? Invalid : Acceptable;
}

ImNumber::ImNumber(QWidget* parent) : QLineEdit(parent), validator_(new NumberValidator(format_, this)) {
    setValidator(validator_);
    setAlignment(Qt::AlignRight | Qt::AlignVCenter);
    // Amounts are typed in half-width digits: the Japanese input method stays
    // off (see inputMethodQuery).
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
    committed_ = value;
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

QVariant ImNumber::inputMethodQuery(Qt::InputMethodQuery query) const {
    // Amounts are typed in half-width digits: the box tells the input method
    // that it takes no input-method text, so digits reach it as typed even
    // when the input method is in kana mode. QLineEdit would say yes.
    if (query == Qt::ImEnabled) return false;
    return QLineEdit::inputMethodQuery(query);
}

void ImNumber::showValue() {
    const QString text = editing_ ? (value_ ? value_->toText() : QString()) : formatNumber(value_, format_);
    QLineEdit::setText(text);
}

void ImNumber::onTextEdited(const QString& text) {
    // Text that is no number of the format leaves the value as it was before
    // the edit; it is refused when the user leaves the box.
    const TypedNumber check = checkTypedNumber(text, format_);
    const std::optional<Currency> typed = check.ok ? check.value : committed_;
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
    selectOnPress_ = event->reason() == Qt::MouseFocusReason;
}

// The click that gave the box the focus would leave the cursor where it
// landed (before a shown "0", say), and digits typed at once would join the
// old value instead of replacing it.
void ImNumber::mousePressEvent(QMouseEvent* event) {
    QLineEdit::mousePressEvent(event);
    if (std::exchange(selectOnPress_, false) && event->button() == Qt::LeftButton) selectAll();
}

void ImNumber::focusOutEvent(QFocusEvent* event) {
    QLineEdit::focusOutEvent(event);
    if (event->reason() == Qt::PopupFocusReason) return;
    editing_ = false;
    selectOnPress_ = false;
    const TypedNumber check = checkTypedNumber(QLineEdit::text(), format_);
    if (!check.ok && !isReadOnly()) {
        QApplication::beep();
        showInputMessage(this, check.message);
    }
    committed_ = value_;
    showValue();
    emit lostFocus();
}

}  // namespace platform
