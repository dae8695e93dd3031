#pragma once
// The host's one connection to the X server, for its own windows and their pictures; null when
// there is no display. Opened on first use and kept for the process's life.

#include <X11/Xlib.h>

namespace vsthost {

Display* hostDisplay();

}  // namespace vsthost
