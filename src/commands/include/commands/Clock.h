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

}  // namespace kiv::commands
