#pragma once
// The frame's tooltips: the frame reports where the mouse moves, when it leaves the window and
// when a click or a key comes; once the mouse has rested on a view with a tooltip text for
// `kRest` of the frame's clock, the frame's idle shows the text in a pop-up near the pointer.
// The tip stays while the mouse moves within its view and goes on anything else.

#include "CPoint.h"

#include <cstdint>
#include <memory>
#include <string>

class CFrame;
class CView;
class PopupWindow;

class TooltipTracker {
public:
    // How long the mouse rests before the tip shows, in milliseconds.
    static constexpr std::uint32_t kRest = 500;

    TooltipTracker();
    ~TooltipTracker();
    TooltipTracker(const TooltipTracker&) = delete;
    TooltipTracker& operator=(const TooltipTracker&) = delete;

    // `where` is in the frame's coordinates.
    void moved(CFrame& frame, const CPoint& where);
    // The left button went down, or came up: no tip while it is held.
    void press();
    void release() { held = false; }
    // The mouse left the frame, a button or a key was pressed, or a view went: the tip goes,
    // and the next one waits for the mouse to move again.
    void dismiss();
    void idle(CFrame& frame);

    // The tip's window as the platform knows it, null while none shows.
    void* tipWindow() const;
    const std::string& tipText() const { return text; }

private:
    void show(CFrame& frame, const CView& view);

    bool resting = false;
    bool held = false;
    CPoint where;
    std::uint32_t since = 0;
    const CView* tipped = nullptr; // compared only, never followed
    std::string text;
    std::unique_ptr<PopupWindow> tip;
};
