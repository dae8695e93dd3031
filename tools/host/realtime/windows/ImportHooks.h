#pragma once
// The functions an audio call may not use, as a Windows module imports them: for each, the
// name it is imported by and the function that reports a call and then makes it.

#include <cstddef>

namespace vsthost {

struct ImportHook {
    const char* name;
    void* replacement;
    // Where the replacement finds the function it stands in for; set when a slot is taken over.
    void** original;
};

class ImportHooks {
public:
    static const ImportHook* find(const char* name);
};

}  // namespace vsthost
