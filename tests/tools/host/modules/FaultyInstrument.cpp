// A test instrument with the faults a validation must find: it plays every event one block after
// the block it came with, drops events past its own largest block, and once a note's release has
// faded it puts out NaN.
#include <cmath>
#include <limits>
#include <numbers>
#include <vector>

#include "AEffect.h"
#include "EventRecords.h"
#include "Opcodes.h"

#include "TestExport.h"

namespace {

constexpr int kReleaseFrames = 256;
constexpr VstInt32 kLargestBlock = 2048;
constexpr float kStep = 2.0f * std::numbers::pi_v<float> * 440.0f / 44100.0f;

struct Instance {
    AEffect record{};
    std::vector<VstMidiEvent> arrived;  // for the next block, as the host meant
    std::vector<VstMidiEvent> played;   // from the block before, played now
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
    if (instance.voice == Voice::faded) return std::numeric_limits<float>::quiet_NaN();
    float level = 0.5f;
    if (instance.voice == Voice::releasing) {
        level *= 1.0f - static_cast<float>(instance.released) / kReleaseFrames;
        if (++instance.released == kReleaseFrames) instance.voice = Voice::faded;
    }
    instance.phase += kStep;
    return level * std::sin(instance.phase);
}

VstIntPtr VST_CALL dispatch(AEffect* record, VstInt32 opcode, VstInt32, VstIntPtr, void* ptr, float) {
    Instance* instance = instanceOf(record);
    switch (opcode) {
    case effClose: delete instance; return 1;
    case effProcessEvents: {
        if (ptr == nullptr) return 0;
        const auto* list = static_cast<const VstEvents*>(ptr);
        for (VstInt32 i = 0; i < list->numEvents; ++i) {
            const VstEvent* event = list->events[i];
            if (event && event->type == kVstMidiType && event->deltaFrames < kLargestBlock) {
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
    for (VstInt32 i = 0; i < frames; ++i) {
        for (const VstMidiEvent& event : instance.played) {
            if (event.deltaFrames == i) take(instance, event);
        }
        outputs[0][i] = outputs[1][i] = next(instance);
    }
    instance.played = std::move(instance.arrived);
    instance.arrived.clear();
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
    record.object = instance;
    record.uniqueID = fourCharacters('t', 'I', 'n', 's');
    record.version = 1;
    return &record;
}
