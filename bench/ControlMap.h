#pragma once
// A map of where the window's named controls stand on screen, for the window benchmark, the tests
// and the screenshots, which drive the real window from outside with input events: linked only
// into the window's probe program (Kiv2200P1_probe), never into Kiv2200P1. It only reads the
// widgets, and does nothing unless the environment asks for it.

class QWidget;

namespace kiv::bench {

// KIV2200_CONTROL_MAP=FILE: keep FILE listing "name x y w h text" per visible named control.
void startControlMap(QWidget* window);

}  // namespace kiv::bench
