#pragma once
// Whether the windowing system Qt would start on has a display to open a window on, decided
// before QApplication exists: without one Qt aborts with a message about its platform plugin.
// Reads the environment and the command line only; links Qt Core alone, for the menu program too.

#include <QString>

namespace kiv::window {

// What Qt chooses its windowing system from.
struct DisplaySettings {
    QString platformOption;  // -platform NAME on the command line
    QString qtPlatform;      // QT_QPA_PLATFORM
    QString x11Display;      // DISPLAY
    QString waylandDisplay;  // WAYLAND_DISPLAY
};

DisplaySettings displaySettings(int argc, char** argv);

// Two lines, English and Traditional Chinese, naming the display that is missing and how to start
// the program anyway; empty when one of the systems Qt would try has its display.
QString missingDisplayMessage(const QString& program, const DisplaySettings& settings);

// For main(), before QApplication is constructed: prints the message on standard error and
// answers true when the program must end (exit status 1) instead of letting Qt abort.
bool refuseWithoutDisplay(const QString& program, int argc, char** argv);

}  // namespace kiv::window
