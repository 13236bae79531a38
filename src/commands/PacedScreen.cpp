#include "commands/PacedScreen.h"

#include <utility>

namespace kiv::commands {

using kiv::screen::Icon;
using kiv::screen::Tab;
using kiv::screen::Title;

PacedScreen::PacedScreen(kiv::screen::Screen& inner, const Ticker& ticker,
                         std::chrono::milliseconds interval)
    : m_inner(inner), m_ticker(ticker), m_interval(interval) {}

void PacedScreen::flush() {
    if (m_held) {
        const HeldCount held = *std::exchange(m_held, std::nullopt);
        m_inner.setProgress(held.tab, held.count);
    }
    if (std::exchange(m_eventsHeld, false)) {
        m_inner.processEvents();
    }
}

void PacedScreen::setProgress(Tab tab, qint64 count) {
    m_held = HeldCount{tab, count};
}

void PacedScreen::setBusyText(Tab tab, const QString& text) {
    flush();
    m_inner.setBusyText(tab, text);
    m_afterStep = true;
}

void PacedScreen::processEvents() {
    m_eventsHeld = true;
    const std::chrono::milliseconds now = m_ticker.now();
    if (std::exchange(m_afterStep, false) || !m_lastRefresh || now - *m_lastRefresh >= m_interval) {
        m_lastRefresh = now;
        flush();
    }
}

void PacedScreen::showMessage(const QString& text, Title title, Icon icon) {
    flush();
    m_inner.showMessage(text, title, icon);
}

bool PacedScreen::askYesNo(const QString& text, Title title) {
    flush();
    return m_inner.askYesNo(text, title);
}

void PacedScreen::setBusyVisible(Tab tab, bool visible) {
    flush();
    m_inner.setBusyVisible(tab, visible);
}

void PacedScreen::setConfirmEnabled(Tab tab, bool enabled) {
    flush();
    m_inner.setConfirmEnabled(tab, enabled);
}

void PacedScreen::setBusyPointer(bool busy) {
    flush();
    m_inner.setBusyPointer(busy);
}

void PacedScreen::setFocus(kiv::screen::Field field) {
    flush();
    m_inner.setFocus(field);
}

}  // namespace kiv::commands
