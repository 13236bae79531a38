#pragma once

class QWidget;

namespace kiv::window {

// Qt gives a top-level window with an empty title the application's name as the caption that
// window managers show. Boxes that must have no caption call this before they are shown: it
// creates their native window and empties that caption again. Off X11 it does nothing.
void keepCaptionEmpty(QWidget& topLevel);

}  // namespace kiv::window
