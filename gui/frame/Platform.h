#pragma once
// What views ask of the system under them, answered by each platform's frame code, so that no
// view includes a platform's headers.

#include <cstdint>

namespace platform {

// The longest time between two clicks that still makes them a double click, in milliseconds,
// as the user set it.
std::int32_t doubleClickMilliseconds();

} // namespace platform
