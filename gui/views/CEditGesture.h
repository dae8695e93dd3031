#pragma once
// One gesture of the user's on a control: a press, perhaps a drag, a release, or one turn of
// the wheel. The host hears of it as one edit: beginEdit before the first change of value, the
// listener once for every change, endEdit when the gesture ends, and nothing at all when the
// value never changed. A drag follows the mouse through the window's own messages while every
// other message goes on to its window, so the host keeps painting and its timers keep running.

#include "CPoint.h"

#include <windows.h>

#include <cstdint>

class CControl;
class CDrawContext;

class CEditGesture {
public:
    // How much of a movement counts while Shift is held, for fine adjustment.
    static constexpr float kFine = 0.1f;

    // The control is kept alive for the gesture; without a frame there is no drag, and
    // `context` is only handed on to the listener.
    CEditGesture(CControl& control, CDrawContext* context);
    ~CEditGesture();
    CEditGesture(const CEditGesture&) = delete;
    CEditGesture& operator=(const CEditGesture&) = delete;

    // Moves the control to `value`, kept within its range; when that is a change, the edit
    // begins if it has not, and the listener hears of it. True when the value changed.
    bool change(float value);
    // A Control-click (the left button with Control, nothing else) restores the control's
    // default, as one edit when that is a change. True when `buttons` were such a click.
    bool restoreDefaultOn(std::int32_t buttons);
    // Turns the value by `notches` of the wheel, each the control's wheel increment of its
    // range, a tenth as much with Shift held.
    bool turnWheel(float notches);
    // Waits for the mouse to move while its button is held: true with the position in the
    // control's own coordinates and the modifier keys (`kShiftKey` ...) held at the time;
    // false once the button is up, the capture was taken away or the window has gone.
    bool nextMove(CPoint& where, std::int32_t& modifiers);

private:
    bool follows(const MSG& message) const;

    CControl& control;
    CDrawContext* context;
    HWND window;
    bool begun = false;
    bool windowGone = false;
    bool captured = false;
};
