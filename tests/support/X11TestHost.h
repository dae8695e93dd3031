#pragma once
// A host's window on the test X server, and the test's hands on it: real pointer, button and key
// events sent with XTest, pixels read back from the window. There is no window manager on the
// test server, so the window sits at the root's origin and its coordinates are the screen's.
// Include after GoogleTest: Xlib's macros (None, Bool) would break its names.

#include <X11/Xlib.h>
#include <X11/Xutil.h>
#include <X11/extensions/XTest.h>

#include <cstddef>
#include <vector>

class X11TestHost {
public:
    X11TestHost(int width, int height) : display(XOpenDisplay(nullptr)) {
        if (!display) return;
        window = XCreateSimpleWindow(display, DefaultRootWindow(display), 0, 0, static_cast<unsigned>(width),
                                     static_cast<unsigned>(height), 0, 0, 0);
        XMapWindow(display, window);
        XSync(display, False);
    }
    ~X11TestHost() {
        if (!display) return;
        XTestFakeButtonEvent(display, 1, False, CurrentTime);
        XDestroyWindow(display, window);
        XCloseDisplay(display);
    }
    X11TestHost(const X11TestHost&) = delete;
    X11TestHost& operator=(const X11TestHost&) = delete;

    // The round trips make sure the server has acted on the test's requests and on what the
    // frame's own connection (`frameDisplay`) sent, and that the events they caused arrived.
    void settle(Display* frameDisplay) {
        XSync(display, False);
        if (frameDisplay) XSync(frameDisplay, False);
    }
    void pointerTo(int x, int y) { XTestFakeMotionEvent(display, -1, x, y, CurrentTime); }
    void button(unsigned int which, bool down) { XTestFakeButtonEvent(display, which, down ? True : False, CurrentTime); }
    void key(KeySym symbol, bool down) {
        XTestFakeKeyEvent(display, XKeysymToKeycode(display, symbol), down ? True : False, CurrentTime);
    }
    // 0xRRGGBB, row by row; ~0 for each pixel that cannot be read.
    std::vector<unsigned long> pixels(int left, int top, int right, int bottom) {
        const auto count = static_cast<std::size_t>((right - left) * (bottom - top));
        XImage* image = XGetImage(display, window, left, top, static_cast<unsigned>(right - left),
                                  static_cast<unsigned>(bottom - top), AllPlanes, ZPixmap);
        if (!image) return std::vector<unsigned long>(count, ~0UL);
        std::vector<unsigned long> result;
        for (int y = 0; y < bottom - top; ++y) {
            for (int x = 0; x < right - left; ++x) result.push_back(XGetPixel(image, x, y) & 0xFFFFFF);
        }
        XDestroyImage(image);
        return result;
    }

    Display* display;
    Window window = 0;
};
