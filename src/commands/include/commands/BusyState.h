#pragma once
// The busy state of a tab while its command runs: its confirm button, its busy label and the
// mouse pointer. The tab's pipeline owns it and sets each part at the moment the clerk should see
// it change; whatever path the command takes, the tab is idle again when the guard goes.

#include <QString>

#include "screen/Screen.h"

namespace kiv::commands {

class BusyState {
public:
    BusyState(kiv::screen::Screen& screen, kiv::screen::Tab tab) : m_screen(screen), m_tab(tab) {}
    // Whatever is still busy: button enabled, pointer normal, label hidden.
    ~BusyState();
    BusyState(const BusyState&) = delete;
    BusyState& operator=(const BusyState&) = delete;

    // The tab idle again: button enabled, pointer normal, label hidden, each said once more even
    // where it already was.
    void idle();
    void button(bool enabled);
    void pointer(bool busy);
    void label(bool visible);
    void labelText(const QString& text) { m_screen.setBusyText(m_tab, text); }

private:
    kiv::screen::Screen& m_screen;
    kiv::screen::Tab m_tab;
    bool m_buttonDisabled = false;
    bool m_pointerBusy = false;
    bool m_labelShown = false;
};

}  // namespace kiv::commands
