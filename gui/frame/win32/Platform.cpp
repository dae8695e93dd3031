#include "Platform.h"

#include <windows.h>

namespace platform {

std::int32_t doubleClickMilliseconds() { return static_cast<std::int32_t>(GetDoubleClickTime()); }

} // namespace platform
