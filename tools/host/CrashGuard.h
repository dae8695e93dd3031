#pragma once
// Turns a crash inside a plug-in into a last report line naming the step that crashed and a
// nonzero exit, instead of a silent death.

namespace vsthost {

class CrashGuard {
public:
    static void install();
    // What runs now; kept in a fixed buffer, since the handler may not allocate.
    static void setStep(const char* step);
    static void setCounts(int passed, int failed);
};

}  // namespace vsthost
