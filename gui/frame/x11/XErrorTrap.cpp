#include "XErrorTrap.h"

namespace {

// Only the user-interface thread runs frames, so one innermost trap at a time.
XErrorTrap* innermost = nullptr;

} // namespace

XErrorTrap::XErrorTrap(Display* display)
    : display(display), previousHandler(XSetErrorHandler(&XErrorTrap::handle)), previousTrap(innermost) {
    innermost = this;
}

XErrorTrap::~XErrorTrap() {
    XSync(display, False);
    innermost = previousTrap;
    XSetErrorHandler(previousHandler);
}

bool XErrorTrap::succeeded() {
    XSync(display, False);
    return errors == 0;
}

int XErrorTrap::handle(Display* display, XErrorEvent* error) {
    for (XErrorTrap* trap = innermost; trap; trap = trap->previousTrap) {
        if (trap->display == display) {
            ++trap->errors;
            return 0;
        }
    }
    XErrorTrap* outermost = innermost;
    while (outermost && outermost->previousTrap) outermost = outermost->previousTrap;
    XErrorHandler before = outermost ? outermost->previousHandler : nullptr;
    return before ? before(display, error) : 0;
}
