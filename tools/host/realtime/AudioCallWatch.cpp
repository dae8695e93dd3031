#include "AudioCallWatch.h"

#include <atomic>

namespace vsthost {

namespace {

constexpr int kCapacity = 64;

// Written by the one thread inside an audio call and read by it once the call is over; other
// threads never reach the table, since their mark is clear.
SeenCall table[kCapacity];
int used = 0;
std::atomic<bool> listeningNow = false;

// Plain thread-locals with constant initial values: in the program itself they live in the
// thread's static block, so reading them from inside malloc allocates nothing.
constinit thread_local long currentBlock = -1;
constinit thread_local bool blockAllowed = false;
constinit thread_local int paused = 0;

SeenCall* entryFor(const char* function, CallKind kind) {
    for (int i = 0; i < used; ++i) {
        if (table[i].function == function) return &table[i];
    }
    if (used == kCapacity) return nullptr;
    SeenCall& entry = table[used++];
    entry = SeenCall{};
    entry.function = function;
    entry.kind = kind;
    return &entry;
}

}  // namespace

bool AudioCallWatch::listening() { return listeningNow.load(std::memory_order_relaxed); }

void AudioCallWatch::setListening() { listeningNow = true; }

AudioCallWatch::Scope::Scope(long block, bool allowed) {
    blockAllowed = allowed;
    currentBlock = block;
}

AudioCallWatch::Scope::~Scope() { currentBlock = -1; }

AudioCallWatch::Pause::Pause() { ++paused; }

AudioCallWatch::Pause::~Pause() { --paused; }

bool AudioCallWatch::inAudioCall() { return currentBlock >= 0 && paused == 0; }

void AudioCallWatch::heard(const char* function, CallKind kind) {
    if (!inAudioCall()) return;
    // What the recording itself calls (the stack walk) is the watch's own.
    const Pause own;
    SeenCall* entry = entryFor(function, kind);
    if (entry == nullptr) return;
    const bool firstCounted = !blockAllowed && entry->count == 0;
    if (blockAllowed) {
        ++entry->allowed;
    } else {
        ++entry->count;
    }
    if (firstCounted) entry->firstBlock = currentBlock;
    if (firstCounted || entry->frameCount == 0) entry->frameCount = captureStack(entry->frames, SeenCall::kFrames);
}

std::vector<SeenCall> AudioCallWatch::take() {
    std::vector<SeenCall> seen(table, table + used);
    used = 0;
    return seen;
}

std::string siteText(const std::vector<std::string>& inside, const std::string& outside) {
    if (inside.empty()) return outside.empty() ? "an unknown place" : "a place outside the plug-in, in " + outside;
    std::string text = inside.front();
    if (inside.size() > 1 && inside[1] != inside[0]) text += ", called from " + inside[1];
    return text;
}

}  // namespace vsthost
