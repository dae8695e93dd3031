#pragma once
// What views and the editor bridge ask of the system under them, answered by each platform's
// frame code, so that neither includes a platform's headers.

#include "CPoint.h"

#include <cstdint>

class CDrawContext;

namespace platform {

// The longest time between two clicks that still makes them a double click, in milliseconds,
// as the user set it.
std::int32_t doubleClickMilliseconds();

// Where the pointer is, in the coordinates a context's `screenOffset` counts from: the screen's
// on Windows, the frame window's on X11.
CPoint pointerPosition(CDrawContext* context);

// A millisecond count that wraps after 49.7 days.
std::uint32_t ticks();
void sleepFor(std::uint32_t milliseconds);

// What the user-interface thread needs of the system while an editor exists (OLE, for drag and
// drop on Windows). True when this call set it up, and so must undo it.
bool enterUserInterfaceThread();
void leaveUserInterfaceThread();

// Delivers one waiting paint request of this thread's windows, so a host that only idles
// still sees the editor drawn.
void paintOnce();

} // namespace platform
