#pragma once

class QWidget;

namespace kiv::window {

// Qt gives a top-level window with an empty title the application's name as the caption that
// window managers show. Boxes that must have no caption call this before they are shown: it
// empties that caption again each time they are shown. Off X11 it does nothing.
void keepCaptionEmpty(QWidget& topLevel);

}  // namespace kiv::window
