#pragma once
// Where "today" comes from for the date checks and the calendars, and where the time passing
// comes from for pacing the progress shown; tests set both.

#include <QDate>
#include <chrono>

namespace kiv::commands {

class Clock {
public:
    virtual ~Clock() = default;
    virtual QDate today() const = 0;
};

class SystemClock : public Clock {
public:
    QDate today() const override { return QDate::currentDate(); }
};

class FixedClock : public Clock {
public:
    explicit FixedClock(QDate day) : m_day(day) {}
    QDate today() const override { return m_day; }
    void set(QDate day) { m_day = day; }

private:
    QDate m_day;
};

// A clock that only goes forward, read in milliseconds.
class Ticker {
public:
    virtual ~Ticker() = default;
    virtual std::chrono::milliseconds now() const = 0;
};

class SteadyTicker : public Ticker {
public:
    std::chrono::milliseconds now() const override {
        return std::chrono::duration_cast<std::chrono::milliseconds>(
            std::chrono::steady_clock::now().time_since_epoch());
    }
};

// Moves on by a fixed step each time it is read (zero: only when told to).
class SteppingTicker : public Ticker {
public:
    explicit SteppingTicker(std::chrono::milliseconds step = {}) : m_step(step) {}
    std::chrono::milliseconds now() const override { return m_now += m_step; }
    void advance(std::chrono::milliseconds by) { m_now += by; }

private:
    std::chrono::milliseconds m_step;
    mutable std::chrono::milliseconds m_now{0};
};

}  // namespace kiv::commands
