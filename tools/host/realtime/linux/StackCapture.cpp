#include <execinfo.h>

#include "AudioCallWatch.h"

namespace vsthost {

// The unwinder is loaded by the first walk; the watch walks once before it listens, so that a
// walk inside an audio call loads nothing.
int captureStack(void** frames, int capacity) { return backtrace(frames, capacity); }

}  // namespace vsthost
