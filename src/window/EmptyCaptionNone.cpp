// Without X11 there is no window manager's caption to empty: Qt's own empty title is all.
#include "window/EmptyCaption.h"

namespace kiv::window {

void keepCaptionEmpty(QWidget&) {}

}  // namespace kiv::window
