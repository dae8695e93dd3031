// A test plug-in that passes two channels through and, in every block, does one thing an audio
// call must not: with ALLOCATES it allocates and frees a scratch buffer, with LOCKS it takes a
// lock, with PRINTS it writes a line to stderr, with ASKS it asks the host for its time, which
// is allowed, and to update its display, which is not. With PREPARES it allocates only in its
// first block after each resume, which a host allows.
#include <cstdio>
#include <cstring>
#include <memory>

#if defined(_WIN32)
#include <windows.h>
#else
#include <mutex>
#endif

#include "AEffect.h"
#include "Opcodes.h"

#include "StereoRecord.h"
#include "TestExport.h"

namespace {

HostCallback host = nullptr;
bool resumed = false;
std::unique_ptr<float[]> prepared;

#if defined(_WIN32)
CRITICAL_SECTION guard;
#else
std::mutex guard;
#endif

[[gnu::noinline, maybe_unused]] float allocateScratch(VstInt32 frames) {
    const auto scratch = std::make_unique<float[]>(static_cast<std::size_t>(frames) + 1);
    scratch[0] = 1.0f;
    return scratch[static_cast<std::size_t>(frames)];
}

[[gnu::noinline, maybe_unused]] void takeLock() {
#if defined(_WIN32)
    EnterCriticalSection(&guard);
    LeaveCriticalSection(&guard);
#else
    const std::lock_guard held(guard);
#endif
}

[[gnu::noinline, maybe_unused]] void printBlock() { std::fputs("a block\n", stderr); }

[[gnu::noinline, maybe_unused]] void askHost(AEffect* record) {
    host(record, audioMasterUpdateDisplay, 0, 0, nullptr, 0.0f);
    host(record, audioMasterGetTime, 0, 0, nullptr, 0.0f);
}

[[gnu::noinline, maybe_unused]] void prepareOnce(VstInt32 frames) {
    if (!resumed) return;
    resumed = false;
    prepared = std::make_unique<float[]>(static_cast<std::size_t>(frames));
}

VstIntPtr VST_CALL dispatch(AEffect* record, VstInt32 opcode, VstInt32, VstIntPtr value, void*, float) {
    if (opcode == effMainsChanged && value != 0) resumed = true;
    if (opcode == effClose) delete record;
    return 0;
}

void VST_CALL process([[maybe_unused]] AEffect* record, float** inputs, float** outputs, VstInt32 frames) {
#if defined(ALLOCATES)
    if (allocateScratch(frames) != 0.0f) return;
#elif defined(LOCKS)
    takeLock();
#elif defined(PRINTS)
    printBlock();
#elif defined(ASKS)
    askHost(record);
#elif defined(PREPARES)
    prepareOnce(frames);
#endif
    for (int channel = 0; channel < 2; ++channel) {
        std::memmove(outputs[channel], inputs[channel], sizeof(float) * static_cast<std::size_t>(frames));
    }
}

void VST_CALL setParameter(AEffect*, VstInt32, float) {}
float VST_CALL getParameter(AEffect*, VstInt32) { return 0.0f; }

}  // namespace

extern "C" TEST_EXPORT AEffect* VST_CALL VSTPluginMain(HostCallback callback) {
    host = callback;
#if defined(_WIN32)
    InitializeCriticalSection(&guard);
#endif
    return newStereoRecord(dispatch, setParameter, getParameter, process, fourCharacters('t', 'R', 'T', 'o'));
}
