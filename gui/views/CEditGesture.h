#pragma once
// One gesture of the user's on a control: a press, perhaps a drag, a release, or one turn of
// the wheel. The host hears of it as one edit: beginEdit before the first change of value, the
// listener once for every change, endEdit when the gesture ends, and nothing at all when the
// value never changed.
//
// A drag is followed by the platform: on Windows through the window's own messages while every
// other message goes on to its window, so `follow` returns with the button up; on X11 across
// the host's calls, so `follow` returns at once and the host's own loop is never held up. A
// control writes its drag once, as what happens on each move and at the release.

#include "CPoint.h"
#include "HostRecords.h"

#include <cstdint>
#include <functional>
#include <memory>

class CControl;
class CDrawContext;

class CEditGesture {
public:
    // How much of a movement counts while Shift is held, for fine adjustment.
    static constexpr float kFine = 0.1f;

    // What a drag does as the mouse moves with its button held: the position in the control's
    // own coordinates and the modifier keys held at the time (`kShiftKey` ...).
    using Move = std::function<void(CEditGesture& gesture, const CPoint& where, std::int32_t modifiers)>;
    // What it does once the button is up (or the drag was taken away), before the edit ends.
    using Release = std::function<void(CEditGesture& gesture)>;

    // The control is kept alive for the gesture; `context` is only handed on to the listener.
    CEditGesture(CControl& control, CDrawContext* context);
    ~CEditGesture();
    CEditGesture(const CEditGesture&) = delete;
    CEditGesture& operator=(const CEditGesture&) = delete;

    // A gesture that can outlive the call that made it, as a drag must; null without memory.
    static std::unique_ptr<CEditGesture> start(CControl& control, CDrawContext* context);
    // Follows the mouse until its button is up, then ends the gesture. Without a frame window
    // there is no drag: `release` runs at once.
    static void follow(std::unique_ptr<CEditGesture> gesture, Move move, Release release = {});

    // Moves the control to `value`, kept within its range; when that is a change, the edit
    // begins if it has not, and the listener hears of it. True when the value changed.
    bool change(float value);
    // What a control remembers of its last plain click, to tell a double click.
    struct ClickMemory {
        std::uint32_t ticks = 0; // the frame's clock
        CPoint where;
        bool armed = false;
    };
    // How far apart, in pixels either way, the two clicks of a double click may be.
    static constexpr std::int32_t kDoubleClickSlack = 4;

    // A Control-click (the left button with Control, nothing else), or a double click (a second
    // plain click near `where` within the control's double-click time), restores the control's
    // default, as one edit when that is a change; a double click runs the control's own
    // double-click action instead when it has one. True when the press was such a click.
    bool restoreDefaultOn(std::int32_t buttons, const CPoint& where, ClickMemory& last);
    // Turns the value by `notches` of the wheel, each the control's wheel increment of its
    // range, a tenth as much with Shift held.
    bool turnWheel(float notches);
    // Which way an arrow key moves a value: 1 for Up and Right, -1 for Down and Left, 0 for
    // any other key.
    static int arrowDirection(const VstKeyCode& keyCode);
    // An arrow key on the focused control moves its value by `step` of its range, a tenth as
    // much with Shift held, as one edit. True when the key was an arrow.
    bool stepByArrow(const VstKeyCode& keyCode, float step);

    CControl& getControl() const { return control; }
    // The frame went away during the drag, and its editor with it: there is nobody left to
    // hear the end of the edit.
    void forsake() { forsaken = true; }

private:
    CControl& control;
    CDrawContext* context;
    bool begun = false;
    bool forsaken = false;
};
