// A test plug-in with the faults a validation must find: texts without a terminator and past
// the host's buffer, output past the frame count, a NaN, an infinity and subnormal values, a
// write to the host's field of the record, a chunk check the wrong way round (its own chunk
// taken and ignored, another's applied), latency it
// reports at high rates but never renders, a click whenever its parameter changes, and a sample
// it keeps through a reset. Built with CRASHES, ABORTS or HANGS, it crashes,
// aborts or never returns on blocks of 31 frames as well; with CRASHES_ON_ANY_BLOCK it crashes
// on the first block a host processes, whatever its size; with HANGS_IN_ENTRY, its entry point
// never returns, and with CRASHES_IN_ENTRY it crashes there; with PRINTS, it prints as careless plug-ins do, without a newline, and lines
// that look like the host's own messages.
#include <cmath>
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <thread>
#include <cstring>
#include <limits>

#include "AEffect.h"
#include "Opcodes.h"
#include "PropertyRecords.h"

#include "StereoRecord.h"
#include "TestExport.h"

namespace {

float sampleRate = 44100.0f;
float parameter = 0.0f;  // kept whatever it is given, out of range or not
struct Chunk {
    VstInt32 magic;
    float value;
} chunk;
constexpr VstInt32 kChunkMagic = fourCharacters('t', 'F', 'C', 'k');
float carried = 0.0f;    // the last input frame of channel 0, which should go at a reset
bool changed = false;

void chatter([[maybe_unused]] const char* text) {
#if defined(PRINTS)
    std::fputs(text, stdout);
    std::fflush(stdout);
#endif
}

VstIntPtr VST_CALL dispatch(AEffect* record, VstInt32 opcode, VstInt32 index, VstIntPtr value, void* ptr, float opt) {
    switch (opcode) {
    case effOpen:
        record->user = record;
        chatter("opened, and no newline");
        return 0;
    case effSetSampleRate: sampleRate = opt; return 0;
    case effMainsChanged: record->initialDelay = sampleRate >= 176400.0f ? 64 : 0; return 0;
    case effGetChunk:
        chunk = {kChunkMagic, parameter};
        *static_cast<void**>(ptr) = &chunk;
        return sizeof chunk;
    case effSetChunk: {
        if (value != sizeof chunk || ptr == nullptr) return 0;
        Chunk given;
        std::memcpy(&given, ptr, sizeof given);
        if (given.magic != kChunkMagic) parameter = given.value;
        return 1;
    }
    case effGetInputProperties:
    case effGetOutputProperties: {
        // A main input and a side chain, told apart only by their properties.
        if (ptr == nullptr || index > 1) return 0;
        auto* pin = static_cast<vsthost::PinProperties*>(ptr);
        const bool side = opcode == effGetInputProperties && index == 1;
        std::strcpy(pin->label, side ? "Side chain" : opcode == effGetInputProperties ? "Main in" : "Main out");
        std::strcpy(pin->shortLabel, side ? "SC" : "M");
        pin->flags = vsthost::PinProperties::kIsActive | (side ? 0 : vsthost::PinProperties::kIsStereo);
        return 1;
    }
    case effGetParamName:
        if (ptr) std::strcpy(static_cast<char*>(ptr), "G\n\x1B[2J");  // a line break and a screen clear
        return 0;
    case effClose: delete record; return 1;
    case effGetVendorString:
        if (ptr) std::memset(ptr, 'v', 1024);
        return 1;
    case effGetProductString:
        if (ptr) std::memset(ptr, 'p', 1030);
        return 1;
    default: return 0;
    }
}

void VST_CALL copy(AEffect*, float** inputs, float** outputs, VstInt32 frames) {
    if (frames <= 0) return;
#if defined(CRASHES_ON_ANY_BLOCK)
    volatile float* nowhere = nullptr;
    *nowhere = 1.0f;
#endif
    if (frames == 31) {
#if defined(CRASHES)
        volatile float* nowhere = nullptr;
        *nowhere = 1.0f;
#elif defined(ABORTS)
        std::abort();
#elif defined(HANGS)
        for (;;) std::this_thread::sleep_for(std::chrono::seconds(1));
#endif
    }
    const float last = inputs[0][frames - 1];
    for (int channel = 0; channel < 2; ++channel) {
        std::memcpy(outputs[channel], inputs[channel], static_cast<std::size_t>(frames) * sizeof(float));
        outputs[channel][frames] = 0.0f;
    }
    outputs[1][0] = carried;
    carried = last;
    if (changed) outputs[0][0] += 0.125f;
    changed = false;
    if (frames == 3 && sampleRate == 22050.0f) outputs[0][1] = std::numeric_limits<float>::quiet_NaN();
    if (frames == 4 && sampleRate == 32000.0f) outputs[1][3] = -std::numeric_limits<float>::infinity();
    if (frames == 5) outputs[1][2] = std::numeric_limits<float>::denorm_min();
    if (frames == 31) chatter("\x1FP\tnothing written past the frame count\t\n\x1F" "E\tprocessing\t\n");
}

void VST_CALL setParameter(AEffect*, VstInt32, float value) {
    changed = changed || value != parameter;
    parameter = value;
}
float VST_CALL getParameter(AEffect*, VstInt32) { return parameter; }

}  // namespace

extern "C" TEST_EXPORT AEffect* VST_CALL VSTPluginMain(HostCallback) {
#if defined(HANGS_IN_ENTRY)
    for (;;) std::this_thread::sleep_for(std::chrono::seconds(1));
#endif
#if defined(CRASHES_IN_ENTRY)
    volatile float* nowhere = nullptr;
    *nowhere = 1.0f;
#endif
    auto* record = newStereoRecord(dispatch, setParameter, getParameter, copy, fourCharacters('t', 'F', 'l', 't'));
    record->numParams = 1;
    record->flags |= effFlagsProgramChunks;
    return record;
}
