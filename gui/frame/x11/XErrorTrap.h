#pragma once
// Xlib's default answer to a protocol error ends the process, and the host's windows may go
// away at any time (the host destroys its window before or after closing the editor). While a
// trap lives, errors on the frame's own connection are counted instead; errors on any other
// connection (the host's) go to whatever handler was there before.

#include <X11/Xlib.h>

class XErrorTrap {
public:
    explicit XErrorTrap(Display* display);
    ~XErrorTrap();
    XErrorTrap(const XErrorTrap&) = delete;
    XErrorTrap& operator=(const XErrorTrap&) = delete;

    // Waits for the server to answer everything sent so far; true when none of it failed.
    bool succeeded();

private:
    static int handle(Display* display, XErrorEvent* error);

    Display* display;
    XErrorHandler previousHandler;
    XErrorTrap* previousTrap;
    int errors = 0;
};
