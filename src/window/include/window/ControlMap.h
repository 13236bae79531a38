#pragma once
// A map of where the window's named controls stand on screen, for tests and screenshots that
// drive the real window from outside with input events. It only reads the widgets, and it does
// nothing at all unless the environment asks for it.

class QWidget;

namespace kiv::window {

// KIV2200_CONTROL_MAP=FILE: keep FILE listing "name x y w h text" per visible named control.
void startControlMap(QWidget* window);

}  // namespace kiv::window
