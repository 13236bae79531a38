#include "commands/BusyState.h"

namespace kiv::commands {

BusyState::~BusyState() {
    if (m_buttonDisabled) {
        button(true);
    }
    if (m_pointerBusy) {
        pointer(false);
    }
    if (m_labelShown) {
        label(false);
    }
}

void BusyState::idle() {
    button(true);
    pointer(false);
    label(false);
}

void BusyState::button(bool enabled) {
    m_screen.setConfirmEnabled(m_tab, enabled);
    m_buttonDisabled = !enabled;
}

void BusyState::pointer(bool busy) {
    m_screen.setBusyPointer(busy);
    m_pointerBusy = busy;
}

void BusyState::label(bool visible) {
    m_screen.setBusyVisible(m_tab, visible);
    m_labelShown = visible;
}

}  // namespace kiv::commands
