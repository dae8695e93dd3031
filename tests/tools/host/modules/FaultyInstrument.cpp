// A test instrument with the faults a validation must find: it plays every event one block after
// the block it came with, drops events past its own largest block, and once a note's release has
// faded it puts out NaN. Built with LATE, it has none of these: it reports 256 frames of latency
// and plays every event exactly that late, as an instrument that looks ahead does, and a resume
// clears what it played before.
#include <cmath>
#include <limits>
#include <numbers>
#include <utility>
#include <vector>

#include "AEffect.h"
#include "EventRecords.h"
#include "Opcodes.h"

#include "TestExport.h"

namespace {

constexpr int kReleaseFrames = 256;
constexpr VstInt32 kLargestBlock = 2048;
constexpr float kStep = 2.0f * std::numbers::pi_v<float> * 440.0f / 44100.0f;
#if defined(LATE)
constexpr bool kLate = true;
#else
constexpr bool kLate = false;
#endif
constexpr VstInt32 kLatency = 256;

struct Instance {
    AEffect record{};
    std::vector<VstMidiEvent> arrived;  // with the block to come
    std::vector<std::pair<long long, VstMidiEvent>> due;  // played at these frames
    long long now = 0;  // the frame the next block starts at
    enum class Voice { silent, held, releasing, faded } voice = Voice::silent;
    int released = 0;  // frames since the note-off
    float phase = 0.0f;
};

Instance* instanceOf(AEffect* record) { return static_cast<Instance*>(record->object); }

void take(Instance& instance, const VstMidiEvent& event) {
    const int kind = event.midiData[0] & 0xF0;
    if (kind == 0x90 && event.midiData[2] != 0) {
        instance.voice = Instance::Voice::held;
    } else if (kind == 0x80 || kind == 0x90) {
        instance.voice = Instance::Voice::releasing;
        instance.released = 0;
    }
}

float next(Instance& instance) {
    using Voice = Instance::Voice;
    if (instance.voice == Voice::silent) return 0.0f;
    if (instance.voice == Voice::faded) return kLate ? 0.0f : std::numeric_limits<float>::quiet_NaN();
    float level = 0.5f;
    if (instance.voice == Voice::releasing) {
        level *= 1.0f - static_cast<float>(instance.released) / kReleaseFrames;
        if (++instance.released == kReleaseFrames) instance.voice = Voice::faded;
    }
    instance.phase += kStep;
    return level * std::sin(instance.phase);
}

VstIntPtr VST_CALL dispatch(AEffect* record, VstInt32 opcode, VstInt32, VstIntPtr value, void* ptr, float) {
    Instance* instance = instanceOf(record);
    switch (opcode) {
    case effClose: delete instance; return 1;
    case effMainsChanged:
        // A resume starts the well-made one afresh: no voice, no event pending, the phase at 0.
        if (kLate && value != 0) *instance = Instance{instance->record, {}, {}, 0};
        return 0;
    case effProcessEvents: {
        if (ptr == nullptr) return 0;
        const auto* list = static_cast<const VstEvents*>(ptr);
        for (VstInt32 i = 0; i < list->numEvents; ++i) {
            const VstEvent* event = list->events[i];
            if (event && event->type == kVstMidiType && (kLate || event->deltaFrames < kLargestBlock)) {
                instance->arrived.push_back(*reinterpret_cast<const VstMidiEvent*>(event));
            }
        }
        return 1;
    }
    default: return 0;
    }
}

void VST_CALL play(AEffect* record, float**, float** outputs, VstInt32 frames) {
    Instance& instance = *instanceOf(record);
    for (const VstMidiEvent& event : instance.arrived) {
        instance.due.emplace_back(instance.now + event.deltaFrames + (kLate ? kLatency : frames), event);
    }
    instance.arrived.clear();
    for (VstInt32 i = 0; i < frames; ++i) {
        for (const auto& [frame, event] : instance.due) {
            if (frame == instance.now + i) take(instance, event);
        }
        outputs[0][i] = outputs[1][i] = next(instance);
    }
    instance.now += frames;
    std::erase_if(instance.due, [&](const auto& pending) { return pending.first < instance.now; });
}

void VST_CALL setParameter(AEffect*, VstInt32, float) {}
float VST_CALL getParameter(AEffect*, VstInt32) { return 0.0f; }

}  // namespace

extern "C" TEST_EXPORT AEffect* VST_CALL VSTPluginMain(HostCallback) {
    auto* instance = new Instance;
    AEffect& record = instance->record;
    record.magic = kEffectMagic;
    record.dispatcher = dispatch;
    record.setParameter = setParameter;
    record.getParameter = getParameter;
    record.processReplacing = play;
    record.numOutputs = 2;
    record.flags = effFlagsCanReplacing | effFlagsIsSynth;
    record.ioRatio = 1.0f;
    record.initialDelay = kLate ? kLatency : 0;
    record.object = instance;
    record.uniqueID = fourCharacters('t', 'I', 'n', 's');
    record.version = 1;
    return &record;
}
