#include "platform/clock.h"

#include <mutex>

namespace platform {

namespace {

struct FixedState {
    std::mutex mutex;
    QDate date;  // valid when fixed
    QTime time;  // valid when the time of day is fixed too
};

FixedState& state() {
    static FixedState s;
    return s;
}

}  // namespace

QDate Clock::today() {
    FixedState& s = state();
    std::lock_guard lock(s.mutex);
    return s.date.isValid() ? s.date : QDate::currentDate();
}

QDateTime Clock::now() {
    FixedState& s = state();
    std::lock_guard lock(s.mutex);
    if (!s.date.isValid()) return QDateTime::currentDateTime();
    return QDateTime(s.date, s.time.isValid() ? s.time : QTime::currentTime());
}

void Clock::setFixed(const QDate& date) {
    FixedState& s = state();
    std::lock_guard lock(s.mutex);
    s.date = date;
    s.time = QTime();
}

void Clock::setFixed(const QDateTime& dateTime) {
    FixedState& s = state();
    std::lock_guard lock(s.mutex);
    s.date = dateTime.date();
    s.time = dateTime.time();
}

void Clock::reset() {
    FixedState& s = state();
    std::lock_guard lock(s.mutex);
    s.date = QDate();
    s.time = QTime();
}

bool Clock::isFixed() {
    FixedState& s = state();
    std::lock_guard lock(s.mutex);
    return s.date.isValid();
}

}  // namespace platform
