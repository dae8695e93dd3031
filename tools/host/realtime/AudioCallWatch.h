#pragma once
// What a plug-in calls while the host is inside one of its audio calls, on the thread that made
// the call: the watched functions report here, and only a thread that marked itself as inside an
// audio call is heard. Reporting neither allocates nor locks, since it runs inside malloc and
// inside the locks themselves.

#include <cstddef>
#include <string>
#include <vector>

namespace vsthost {

enum class CallKind { memory, lock, sleep, io, hostCall };

// One watched function as it was seen: how often, in which blocks, and the stack of its first
// call that counted (the first one at all while every call was allowed).
struct SeenCall {
    static constexpr int kFrames = 24;
    const char* function = "";
    CallKind kind = CallKind::memory;
    long count = 0;    // outside the blocks that may allocate
    long allowed = 0;  // in the first block after a resume
    long firstBlock = -1;
    void* frames[kFrames] = {};
    int frameCount = 0;
};

class AudioCallWatch {
public:
    // Whether this program hears the watched functions at all; set by the platform's watcher.
    static bool listening();
    static void setListening();

    // Starts hearing what the module that holds `address` calls, where the platform must
    // prepare for it (the import table on Windows); empty on success, else why not.
    static std::string watchModule(const void* address);

    // The calling thread is inside audio call number `block` while a Scope lives; `allowed`: the
    // block may do what a first block after a resume may.
    class Scope {
    public:
        Scope(long block, bool allowed);
        ~Scope();
        Scope(const Scope&) = delete;
        Scope& operator=(const Scope&) = delete;
    };
    // The host's own work inside an audio call (its callback answering): not the plug-in's.
    class Pause {
    public:
        Pause();
        ~Pause();
        Pause(const Pause&) = delete;
        Pause& operator=(const Pause&) = delete;
    };

    static bool inAudioCall();
    // Called by every watched function; `function` must outlive the watch (a literal).
    static void heard(const char* function, CallKind kind);
    // What was heard since the last take, in the order first heard.
    static std::vector<SeenCall> take();
    // Where `call` came from: the function of the watched module that made it, by name where the
    // module names its functions, else as module+offset; failing that, the nearest caller
    // outside this program. Platform code.
    static std::string siteOf(const SeenCall& call, const void* moduleAddress);
};

// "at F (module+0x10), called from G (module+0x20)" from the plug-in's two innermost frames, or
// the nearest frame outside the host when the plug-in has none.
std::string siteText(const std::vector<std::string>& inside, const std::string& outside);

// The stack of the calling thread, innermost first; platform code.
int captureStack(void** frames, int capacity);

}  // namespace vsthost
