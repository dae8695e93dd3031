#pragma once
// Which control the mouse is over and which one its button went down on, as the frame's window
// reports the pointer: the controls hear of it through their hovered and pressed state, and
// the frame learns which cursor to show. Neither control is retained; the frame has the
// tracker forget a view that leaves it.

#include "CPoint.h"
#include "PointerShape.h"

#include <cstdint>

class CControl;
class CFrame;
class CView;

class PointerTracker {
public:
    // The pointer is at `where`, in the frame's coordinates. True when the cursor to show
    // changed; `shape` tells it.
    bool moveTo(const CFrame& frame, const CPoint& where);
    // The pointer left the frame's window.
    bool leave();
    void press();
    void release();
    // `view` leaves the frame: the tracker lets go of it, and of any control inside it. True
    // when the cursor to show changed.
    bool forget(const CView* view);

    PointerShape shape() const { return shown; }
    CControl* getHovered() const { return hovered; }

    // The cursor that suits `control` by what it does with the mouse, the dial's by `knobMode`.
    static PointerShape shapeFor(const CControl& control, std::int32_t knobMode);

private:
    bool show(PointerShape shape);

    CControl* hovered = nullptr;
    CControl* pressed = nullptr;
    PointerShape shown = PointerShape::host;
};
