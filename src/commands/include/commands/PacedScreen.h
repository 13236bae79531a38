#pragma once
// A screen in front of another that lets the bill counts and the event processing through at a
// pace of its own instead of at every call: an engine counts and asks for events thousands of
// times a run, and each one repaints the window or prints a line.
//
// A count is held back and an event request is passed on only when `interval` has gone by since
// the last one passed on, or right after a step (a busy text). A step and every other call first
// show the count held back (and the events held back), so every step is shown in its order and
// the last count of a pass always reaches the screen.

#include <chrono>
#include <optional>

#include "commands/Clock.h"
#include "screen/Screen.h"

namespace kiv::commands {

class PacedScreen : public kiv::screen::Screen {
public:
    PacedScreen(kiv::screen::Screen& inner, const Ticker& ticker,
                std::chrono::milliseconds interval);

    void showMessage(const QString& text, kiv::screen::Title title,
                     kiv::screen::Icon icon) override;
    bool askYesNo(const QString& text, kiv::screen::Title title) override;
    void setBusyText(kiv::screen::Tab tab, const QString& text) override;
    void setProgress(kiv::screen::Tab tab, qint64 count) override;
    void setBusyVisible(kiv::screen::Tab tab, bool visible) override;
    void setConfirmEnabled(kiv::screen::Tab tab, bool enabled) override;
    void setBusyPointer(bool busy) override;
    void setFocus(kiv::screen::Field field) override;
    void processEvents() override;

    // Shows what is held back now.
    void flush();

private:
    struct HeldCount {
        kiv::screen::Tab tab;
        qint64 count;
    };

    kiv::screen::Screen& m_inner;
    const Ticker& m_ticker;
    std::chrono::milliseconds m_interval;
    std::optional<std::chrono::milliseconds> m_lastRefresh;
    std::optional<HeldCount> m_held;
    bool m_eventsHeld = false;
    bool m_afterStep = false;
};

}  // namespace kiv::commands
