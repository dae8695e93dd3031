#pragma once
// The cursor a frame shows over a control. `automatic` lets the frame choose by what the
// control does with the mouse; `host` leaves the cursor the host shows around the editor.

enum class PointerShape {
    automatic,
    host,
    hand,       // pressed or clicked: switches and buttons
    upDown,     // dragged up and down
    leftRight,  // dragged sideways
    textInsert, // typed into
};
