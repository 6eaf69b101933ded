#pragma once
// platform::Clock: the one source of "today" and "now" for the whole program.
// Everything that depends on the current date asks the clock, never QDate or
// QDateTime directly, so tests can fix the date and get the same results on
// any day they run.

#include <QDate>
#include <QDateTime>

namespace platform {

class Clock {
public:
    // The current local date, or the fixed date.
    static QDate today();
    // The current local date and time. With only a date fixed, the fixed date
    // with the real time of day; with a date and time fixed, exactly that.
    static QDateTime now();

    // Fixes the date (tests). The time of day keeps running.
    static void setFixed(const QDate& date);
    // Fixes date and time (tests).
    static void setFixed(const QDateTime& dateTime);
    // Back to the system clock.
    static void reset();
    static bool isFixed();
};

// Fixes the clock for the lifetime of the object and restores the system clock
// afterwards (tests).
class FixedClock {
public:
    explicit FixedClock(const QDate& date) { Clock::setFixed(date); }
    explicit FixedClock(const QDateTime& dateTime) { Clock::setFixed(dateTime); }
    ~FixedClock() { Clock::reset(); }
    FixedClock(const FixedClock&) = delete;
    FixedClock& operator=(const FixedClock&) = delete;
};

}  // namespace platform
