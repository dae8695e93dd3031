#include "OverrideWindow.h"

#include "CDrawContext.h"
#include "Drawing.h"
#include "CFrame.h"
#include "WindowPixels.h"
#include "XErrorTrap.h"

#include <algorithm>
#include <new>

namespace {

constexpr long kPointerEvents = ButtonPressMask | ButtonReleaseMask | PointerMotionMask;

// Moves a window of `width` by `height` at (`x`, `y`) of the screen wholly onto it: sideways as
// far as it must, and above `anchorTop` where it would run past the bottom. A window that fits
// neither below nor above covers its anchor rather than leave rows out of reach.
void keepOnScreen(int& x, int& y, int width, int height, int anchorTop, int screenWidth, int screenHeight) {
    x = std::max(std::min(x, screenWidth - width), 0);
    if (y + height <= screenHeight) return;
    y = anchorTop - height;
    if (y < 0) y = std::max(screenHeight - height, 0);
}

} // namespace

std::unique_ptr<PopupWindow> PopupWindow::open(CFrame& frame, const CRect& where, Paint paint) {
    return OverrideWindow::make(frame, where, std::move(paint));
}

std::unique_ptr<OverrideWindow> OverrideWindow::make(CFrame& frame, const CRect& where, Paint paint, Input* input,
                                                     std::optional<CRect> anchor) {
    if (!frame.getDisplay() || !frame.getSystemWindow() || where.width() <= 0 || where.height() <= 0) return nullptr;
    std::unique_ptr<OverrideWindow> popup(new (std::nothrow) OverrideWindow(frame, std::move(paint), input));
    if (!popup || !popup->create(where, anchor)) return nullptr;
    return popup;
}

OverrideWindow::OverrideWindow(CFrame& frame, Paint paint, Input* input)
    : frame(frame), display(frame.getDisplay()), paint(std::move(paint)), input(input) {}

bool OverrideWindow::create(const CRect& where, const std::optional<CRect>& anchor) {
    const CRect device = scaledRect(where, frame.getScale());
    XErrorTrap trap(display);
    const Window root = DefaultRootWindow(display);
    int x = 0;
    int y = 0;
    Window child = 0;
    if (!XTranslateCoordinates(display, frame.getSystemWindow(), root, device.left, device.top, &x, &y, &child)) {
        return false;
    }
    if (anchor) {
        const int screen = DefaultScreen(display);
        const int anchorTop = y + scaledRect(*anchor, frame.getScale()).top - device.top;
        keepOnScreen(x, y, device.width(), device.height(), anchorTop, DisplayWidth(display, screen),
                     DisplayHeight(display, screen));
    }
    XSetWindowAttributes attributes{};
    attributes.override_redirect = True;
    attributes.background_pixmap = None;
    attributes.event_mask = ExposureMask | (input ? kPointerEvents | KeyPressMask | KeyReleaseMask : 0);
    window = XCreateWindow(display, root, x, y, static_cast<unsigned>(device.width()),
                           static_cast<unsigned>(device.height()), 0, CopyFromParent, InputOutput, CopyFromParent,
                           CWOverrideRedirect | CWBackPixmap | CWEventMask, &attributes);
    area = CRect(0, 0, where.width(), where.height());
    deviceArea = CRect(0, 0, device.width(), device.height());
    if (window) pixels = WindowPixels::make(display, window, deviceArea.width(), deviceArea.height());
    if (!trap.succeeded() || !pixels) {
        if (window) XDestroyWindow(display, window);
        window = 0;
        return false;
    }
    frame.addPopup(this);
    XMapRaised(display, window);
    redraw();
    return true;
}

OverrideWindow::~OverrideWindow() {
    if (!window) return;
    frame.removePopup(this);
    pixels.reset();
    XErrorTrap trap(display);
    if (grabbed) {
        XUngrabKeyboard(display, CurrentTime);
        XUngrabPointer(display, CurrentTime);
    }
    XDestroyWindow(display, window);
    XFlush(display);
}

bool OverrideWindow::grab() {
    // A map waits for nothing on a window the window manager leaves alone, but the grab wants
    // the window viewable by the time the server reads it, which the round trip makes sure of.
    XSync(display, False);
    const int pointer = XGrabPointer(display, window, False, kPointerEvents, GrabModeAsync, GrabModeAsync, None,
                                     None, CurrentTime);
    const int keyboard = XGrabKeyboard(display, window, False, GrabModeAsync, GrabModeAsync, CurrentTime);
    grabbed = true;
    if (pointer == GrabSuccess && keyboard == GrabSuccess) return true;
    return false;
}

void OverrideWindow::redraw() {
    pixels->settle();
    CDrawContext* context = new (std::nothrow) CDrawContext(&frame, pixels->surface());
    if (!context) return;
    // A context starts clipped to the frame, which the pop-up may well outgrow.
    context->setClipRect(area);
    if (paint) paint(context, area);
    context->release();
    pixels->copy(deviceArea);
}

CPoint OverrideWindow::toUnits(int x, int y) const { return unscaledPoint(CPoint(x, y), frame.getScale()); }

void OverrideWindow::handle(const XEvent& event) {
    if (pixels->takes(event)) return;
    switch (event.type) {
    case Expose: pixels->copy(deviceArea); break;
    case MotionNotify:
        if (input) input->moved(toUnits(event.xmotion.x, event.xmotion.y));
        break;
    case ButtonPress:
        if (input) {
            const CPoint where = toUnits(event.xbutton.x, event.xbutton.y);
            input->pressed(where, area.pointInside(where));
        }
        break;
    case ButtonRelease:
        if (input) input->released(toUnits(event.xbutton.x, event.xbutton.y));
        break;
    default: break;
    }
}
