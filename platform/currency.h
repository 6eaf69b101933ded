#pragma once
// Currency: an exact fixed-point amount, a 64-bit count of 1/10,000 yen.
// Every amount in the system is a Currency; sums are exact integer sums, and
// the database stores the raw count in INTEGER columns.

#include <QString>
#include <QVariant>

#include <compare>
#include <cstdint>
#include <optional>
#include <stdexcept>

// Thrown by Currency arithmetic whose result 64 bits cannot hold.
class CurrencyOverflow : public std::overflow_error {
public:
    CurrencyOverflow() : std::overflow_error("Currency overflow") {}
    // What the operation that was refused tells the user.
    static QString message();
};

class Currency {
public:
    static constexpr std::int64_t kScale = 10000;

    // The largest amount, in whole yen, that the amount boxes accept (either
    // sign); what a file brings in is held to the same limit.
    static constexpr std::int64_t kMaxEnteredYen = 999'999'999'999;

    constexpr Currency() = default;
    // Whole yen.
    static constexpr Currency fromYen(std::int64_t yen) { return Currency(checked(yen, kScale, '*')); }
    // The raw count of 1/10,000 yen, as stored in the database.
    static constexpr Currency fromRaw(std::int64_t raw) { return Currency(raw); }

    // Parses decimal text: an optional sign, digits with optional "," grouping,
    // an optional "." and up to four decimals; surrounding blanks (half- and
    // full-width) and a leading "¥"/"￥" are accepted. Full-width digits count as
    // digits. Empty text or anything else gives nullopt. Decimals past the fourth
    // are rounded half away from zero.
    static std::optional<Currency> parse(QStringView text);
    // parse(), with empty or malformed text giving 0.
    static Currency fromText(const QString& text);
    // A value read from the database (INTEGER raw count) or null.
    static Currency fromVariant(const QVariant& v);

    constexpr std::int64_t raw() const { return raw_; }
    // Whole yen, truncated toward zero.
    constexpr std::int64_t yen() const { return raw_ / kScale; }
    constexpr bool isZero() const { return raw_ == 0; }

    // Locale-independent decimal text without grouping: "-320.5", "1200", "0.0001".
    QString toText() const;
    // Display text with thousands separators: "1,500", "-320.5".
    // decimals < 0 shows as many decimals as needed; otherwise exactly that many
    // (rounded half away from zero).
    QString toDisplay(int decimals = -1) const;

    // Arithmetic is checked: a result beyond what 64 bits hold throws
    // CurrencyOverflow, which the operation that sums turns into a refusal
    // with a message (nothing is stored with a wrapped amount).
    constexpr Currency operator-() const { return Currency(checked(0, raw_, '-')); }
    constexpr Currency operator+(Currency o) const { return Currency(checked(raw_, o.raw_, '+')); }
    constexpr Currency operator-(Currency o) const { return Currency(checked(raw_, o.raw_, '-')); }
    constexpr Currency& operator+=(Currency o) { raw_ = checked(raw_, o.raw_, '+'); return *this; }
    constexpr Currency& operator-=(Currency o) { raw_ = checked(raw_, o.raw_, '-'); return *this; }
    constexpr Currency operator*(std::int64_t n) const { return Currency(checked(raw_, n, '*')); }
    // Product of two amounts, rounded to 1/10,000 half to even (as the original
    // currency type rounds).
    Currency operator*(Currency o) const;
    // Quotient of two amounts, rounded to 1/10,000 half to even. Division by zero
    // gives 0.
    Currency operator/(Currency o) const;
    // Amount times a rate, rounded to 1/10,000 half to even. The rate counts as
    // its decimal text (rateDecimalText), so the product is the one a person
    // computes by hand from the rate as typed.
    Currency timesRate(double rate) const;
    // Rounded to whole yen, half away from zero.
    Currency roundedToYen() const;
    constexpr Currency abs() const { return raw_ < 0 ? -*this : *this; }

    constexpr auto operator<=>(const Currency&) const = default;

private:
    constexpr explicit Currency(std::int64_t raw) : raw_(raw) {}
    static constexpr std::int64_t checked(std::int64_t a, std::int64_t b, char op) {
        std::int64_t r = 0;
        const bool overflow = op == '+'   ? __builtin_add_overflow(a, b, &r)
                              : op == '-' ? __builtin_sub_overflow(a, b, &r)
                                          : __builtin_mul_overflow(a, b, &r);
        if (overflow) throwOverflow();
        return r;
    }
    [[noreturn]] static void throwOverflow();
    std::int64_t raw_ = 0;
};

Q_DECLARE_METATYPE(Currency)

// The decimal text of a rate (a REAL column): the shortest fixed-point text
// that reads back as the value ("110.1234", "0"). A value that a
// single-precision number holds exactly (rates stored by earlier versions,
// which kept them single-precision) gives the shortest text of that
// single-precision number: "110.1234", not "110.12339782714844".
QString rateDecimalText(double rate);
