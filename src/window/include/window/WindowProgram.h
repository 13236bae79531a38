#pragma once
// The program Kiv2200P1 around its window: the application in the clerks' language and font, the
// command line the menu program hands over, the window until it hands back. `shown`, when set, is
// called once the window is shown (the tests' probe program hangs its control map there). Without
// a display to open the window on it says so and ends with status 1, before Qt starts.

#include <functional>

class QWidget;

namespace kiv::window {

int runWindowProgram(int argc, char** argv, const std::function<void(QWidget*)>& shown = {});

}  // namespace kiv::window
