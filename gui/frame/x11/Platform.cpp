#include "Platform.h"

#include "CDrawContext.h"
#include "CFrame.h"

#include <chrono>
#include <thread>

namespace platform {

// X11 keeps no such setting of the user's; this is what desktops commonly default to.
std::int32_t doubleClickMilliseconds() { return 400; }

CPoint pointerPosition(CDrawContext* context) {
    CPoint where;
    if (context && context->getFrame()) context->getFrame()->getCurrentLocation(where);
    return where;
}

std::uint32_t ticks() {
    using namespace std::chrono;
    return static_cast<std::uint32_t>(duration_cast<milliseconds>(steady_clock::now().time_since_epoch()).count());
}

void sleepFor(std::uint32_t milliseconds) { std::this_thread::sleep_for(std::chrono::milliseconds(milliseconds)); }

bool enterUserInterfaceThread() { return false; }

void leaveUserInterfaceThread() {}

// Exposures are read by the frame's own idle, the only place its connection is read.
void paintOnce() {}

} // namespace platform
