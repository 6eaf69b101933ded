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
// What the user types is read by checkTypedNumber(): full-width digits count
// as digits, "1,500" and "1,500.00" are 1,500 in a box without decimals. Text
// that is no number of the box's format ("1.5" without decimals, "1e3",
// "12,34", a value beyond the range) is never cut or reinterpreted: while it
// stands the box keeps the value it had, and when the user leaves the box the
// text is refused whole (the value shown again) with a message. change() is
// raised when the value changes by the user's edits, never by
// setValue()/setText() from code.
// lostFocus() is raised when the box loses the focus (not to its own popups).
// Entering the box, by Tab or by a click, selects the whole value, so that
// what is typed replaces it; a click in the box being edited places the cursor.
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
    Currency min = Currency::fromYen(-Currency::kMaxEnteredYen);
    Currency max = Currency::fromYen(Currency::kMaxEnteredYen);
    int decimals = 0;      // decimals typed and shown (0 to 4)
    bool grouping = true;  // thousands separators in the display
};

// The display text of a value: "" for no value, otherwise the value with the
// format's decimals (rounded half away from zero) and separators.
QString formatNumber(const std::optional<Currency>& value, const NumberFormat& format);
// Reads typed or stored text ("1,500", "-320.5", "１２"): nullopt when the text
// is empty or not a number. The range is not applied.
std::optional<Currency> parseNumber(const QString& text);

// What the user typed into a number box or cell of the format. Full-width
// characters count as their half-width forms (NFKC); blanks around the text are
// ignored. Accepted: an optional sign, digits either plain or grouped by
// commas in threes ("1,500"), and an optional "." with decimals; decimals
// beyond the format's are accepted only as zeros ("1,500.00" is 1,500 where no
// decimals are allowed). Empty text is accepted as no value. Anything else,
// and a value outside the format's range, is refused with a message that
// quotes the text.
struct TypedNumber {
    bool ok = false;
    std::optional<Currency> value;  // nullopt for an accepted empty text
    QString message;                // why the text was refused
};
TypedNumber checkTypedNumber(const QString& text, const NumberFormat& format);

// Half-width forms of the full-width digits, signs, comma, point and blank
// (one character for one, so cursor positions stay).
QString halfWidthNumberText(const QString& text);

// Lets the user type freely (text that is no number of the format is read or
// refused whole when the edit ends, by checkTypedNumber) and turns full-width
// digits into digits.
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

    using QLineEdit::inputMethodQuery;
    QVariant inputMethodQuery(Qt::InputMethodQuery query) const override;

signals:
    void change();
    void lostFocus();

protected:
    void focusInEvent(QFocusEvent* event) override;
    void focusOutEvent(QFocusEvent* event) override;
    void mousePressEvent(QMouseEvent* event) override;

private:
    void showValue();
    void onTextEdited(const QString& text);

    NumberFormat format_;
    NumberValidator* validator_;
    std::optional<Currency> value_;
    std::optional<Currency> committed_;  // the value before the current edit
    bool editing_ = false;
    bool selectOnPress_ = false;  // the focus came with a click: it keeps the value selected
};

}  // namespace platform
