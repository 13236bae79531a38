#pragma once
// The clocks of the tests: one fixed day for every test that needs "today", and a ticker that
// moves on as the test says.

#include <QDate>

#include "commands/Clock.h"

namespace kiv::test {

class FixedClock : public kiv::commands::Clock {
public:
    explicit FixedClock(QDate day) : m_day(day) {}
    QDate today() const override { return m_day; }

private:
    QDate m_day;
};

// The day every test takes for today.
inline const QDate kToday(2026, 12, 7);
inline const FixedClock kTodayClock(kToday);
// The day `days` after the tests' today, as kiv2200's options take it: 2026-12-08.
inline QString isoDay(int days) {
    return kToday.addDays(days).toString(Qt::ISODate);
}

// Moves on by a fixed step each time it is read.
class SteppingTicker : public kiv::commands::Ticker {
public:
    explicit SteppingTicker(std::chrono::milliseconds step = {}) : m_step(step) {}
    std::chrono::milliseconds now() const override { return m_now += m_step; }

private:
    std::chrono::milliseconds m_step;
    mutable std::chrono::milliseconds m_now{0};
};

}  // namespace kiv::test
