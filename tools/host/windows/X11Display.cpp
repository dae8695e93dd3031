#include "X11Display.h"

namespace vsthost {

Display* hostDisplay() {
    static Display* const display = XOpenDisplay(nullptr);
    return display;
}

}  // namespace vsthost
