#pragma once
// The pop-up window on X11: a child of the root window that the window manager leaves alone
// (override-redirect), on the frame's own connection, so its events arrive in the frame's idle
// like the frame window's own. It draws through a back buffer of its own; a list that the user
// chooses from also takes the pointer and the keyboard while it shows.

#include "PopupWindow.h"

#include "CPoint.h"

#include <X11/Xlib.h>

#include <memory>
#include <optional>

class CFrame;
class WindowPixels;

class OverrideWindow final : public PopupWindow {
public:
    // What the window hears of the pointer while it holds it, in its own coordinates.
    class Input {
    public:
        virtual ~Input() = default;
        virtual void moved(const CPoint& where) = 0;
        virtual void pressed(const CPoint& where, bool inside) = 0;
        virtual void released(const CPoint& where) = 0;
    };

    // Null when the frame has no window or the window cannot be made. `anchor`, when given, is
    // the part of the frame the window belongs by (a list's control): the window is kept on the
    // screen, above the anchor where it would run past the bottom below it.
    static std::unique_ptr<OverrideWindow> make(CFrame& frame, const CRect& where, Paint paint, Input* input = nullptr,
                                                std::optional<CRect> anchor = std::nullopt);
    ~OverrideWindow() override;

    void* nativeHandle() const override { return reinterpret_cast<void*>(window); }
    Window id() const { return window; }
    // Holds the pointer and the keyboard for the window: every click and key comes to it
    // wherever it happens. False when another program holds either.
    bool grab();
    // Draws the window anew and shows it.
    void redraw();
    // One event of the window's, from the frame. The window may be gone when this returns.
    void handle(const XEvent& event);

private:
    OverrideWindow(CFrame& frame, Paint paint, Input* input);
    bool create(const CRect& where, const std::optional<CRect>& anchor);
    // A pixel of the window in the frame's units.
    CPoint toUnits(int x, int y) const;

    CFrame& frame;
    Display* display;
    Window window = 0;
    CRect area;       // in units, as painted
    CRect deviceArea; // the window's pixels
    std::unique_ptr<WindowPixels> pixels;
    Paint paint;
    Input* input;
    bool grabbed = false;
};
