#pragma once
// platform::ImNumber: the number box for amounts and rates.
//
// The box holds an exact Currency value or nothing: value() is nullopt for an
// empty box, 0 for a box showing 0. Read value() (or valueOrZero()), never the
// QLineEdit text, which shows the value formatted: with thousands separators
// and the format's decimals while the box is not being edited ("1,500",
// "1.0000"), as plain digits while the user types ("1500").
//
//   auto* txtRate = new platform::ImNumber(this);
//   txtRate->setFormat({Currency::fromYen(0), Currency::fromRaw(99'999'999), 4, true});  // "#,###.0000"
//   txtRate->setValue(Currency::fromYen(1));
//   connect(txtRate, &platform::ImNumber::change, ...);   // user edits only
//
// Typing is limited to what the format allows (sign only when the minimum is
// negative, the format's decimals, nothing beyond the range). change() is
// raised by the user's edits only, never by setValue()/setText() from code.
// lostFocus() is raised when the box loses the focus (not to its own popups).
// setDisplayOnly(true) makes a grey, read-only box that Tab skips.
// The input method is off in number boxes.
// Give every box a buddy label (QLabel::setBuddy) or an accessible name.

#include <QLineEdit>
#include <QValidator>
#include <optional>

#include "platform/currency.h"

namespace platform {

// The display and input rules of a number box or a number column of a grid.
struct NumberFormat {
    Currency min = Currency::fromYen(-999'999'999'999);
    Currency max = Currency::fromYen(999'999'999'999);
    int decimals = 0;      // decimals typed and shown (0 to 4)
    bool grouping = true;  // thousands separators in the display
};

// The display text of a value: "" for no value, otherwise the value with the
// format's decimals (rounded half away from zero) and separators.
QString formatNumber(const std::optional<Currency>& value, const NumberFormat& format);
// Reads typed or stored text ("1,500", "-320.5", "１２"): nullopt when the text
// is empty or not a number. The range is not applied.
std::optional<Currency> parseNumber(const QString& text);

// Accepts what can become a number of the format while it is typed.
class NumberValidator : public QValidator {
    Q_OBJECT
public:
    explicit NumberValidator(const NumberFormat& format, QObject* parent = nullptr);
    void setFormat(const NumberFormat& format) { format_ = format; }
    State validate(QString& input, int& pos) const override;

private:
    NumberFormat format_;
};

class ImNumber : public QLineEdit {
    Q_OBJECT
public:
    explicit ImNumber(QWidget* parent = nullptr);

    void setFormat(const NumberFormat& format);
    const NumberFormat& format() const { return format_; }

    std::optional<Currency> value() const { return value_; }
    Currency valueOrZero() const { return value_.value_or(Currency()); }
    bool isEmpty() const { return !value_.has_value(); }
    void setValue(const std::optional<Currency>& value);
    void setValue(Currency value) { setValue(std::optional<Currency>(value)); }
    // Sets the value from text ("0", "1,500", ""); text that is not a number
    // empties the box. Hides QLineEdit::setText so that code always goes
    // through the value.
    void setText(const QString& text);
    // Empties the box (no value).
    void clear();

    void setDisplayOnly(bool on);

signals:
    void change();
    void lostFocus();

protected:
    void focusInEvent(QFocusEvent* event) override;
    void focusOutEvent(QFocusEvent* event) override;

private:
    void showValue();
    void onTextEdited(const QString& text);

    NumberFormat format_;
    NumberValidator* validator_;
    std::optional<Currency> value_;
    bool editing_ = false;
};

}  // namespace platform
