#pragma once
// The frame's back buffer and its way to the frame's window. Where the X server can share our
// memory (MIT-SHM, a server on this machine), the image lives in a shared segment and a copy
// sends only a request, so showing one changed knob costs no more than drawing it; elsewhere
// each copy carries its pixels through the connection.

#include "CRect.h"

#include <cairo.h>
#include <X11/Xlib.h>
#include <X11/extensions/XShm.h>

#include <memory>

class WindowPixels {
public:
    // Null when the window is not 24-bit true colour, or memory runs out.
    static std::unique_ptr<WindowPixels> make(Display* display, Window window, int width, int height);
    ~WindowPixels();
    WindowPixels(const WindowPixels&) = delete;
    WindowPixels& operator=(const WindowPixels&) = delete;

    // The image to draw into: RGB24, the window's size. Call `settle` before drawing into it.
    cairo_surface_t* surface() const { return buffer; }
    // Sends `area` of the image to the window and flushes; the server may read a shared image
    // after this returns.
    void copy(const CRect& area);
    // Waits, only when its word has not yet come, for the server to have read the last shared
    // copy: one round trip at most.
    void settle();
    // True for the event that says the server read a shared copy; the frame passes each on.
    bool takes(const XEvent& event);
    bool shared() const { return segment.shmaddr != nullptr; }

private:
    WindowPixels(Display* display, Window window) : display(display), window(window) {}
    bool share(int width, int height);
    bool ownMemory(int width, int height);

    Display* display;
    Window window;
    GC copier = nullptr;
    XImage image{};
    XShmSegmentInfo segment{};
    int completionEvent = -1;
    bool reading = false; // a shared copy the server has not yet said it read
    cairo_surface_t* buffer = nullptr;
};
