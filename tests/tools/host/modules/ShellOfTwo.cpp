// A shell of two effects, told apart by what they do: "Pass Through" ('tSh1') gives its input
// back, "Half" ('tSh2') halves it. Opened with no member asked for, the entry point answers the
// shell itself, which names the two in turn.
#include <cstring>

#include "AEffect.h"
#include "Opcodes.h"

#include "StereoRecord.h"
#include "TestExport.h"

namespace {

constexpr VstIntPtr kShellCategory = 10;
constexpr VstIntPtr kEffectCategory = 1;

struct Member {
    VstInt32 id;
    const char* name;
    float gain;
};

constexpr Member kMembers[] = {{fourCharacters('t', 'S', 'h', '1'), "Pass Through", 1.0f},
                               {fourCharacters('t', 'S', 'h', '2'), "Half", 0.5f}};

// What an instance is: a member, or the shell with how far it has named its members.
struct Instance {
    const Member* member = nullptr;
    int named = 0;
};

Instance& instanceOf(AEffect* record) { return *static_cast<Instance*>(record->object); }

VstIntPtr VST_CALL dispatch(AEffect* record, VstInt32 opcode, VstInt32, VstIntPtr, void* ptr, float) {
    Instance& instance = instanceOf(record);
    switch (opcode) {
    case effGetPlugCategory: return instance.member ? kEffectCategory : kShellCategory;
    case effShellGetNextPlugin: {
        if (instance.member || instance.named >= 2) return 0;
        const Member& next = kMembers[instance.named++];
        std::strcpy(static_cast<char*>(ptr), next.name);
        return next.id;
    }
    case effGetEffectName:
        std::strcpy(static_cast<char*>(ptr), instance.member ? instance.member->name : "Shell of Two");
        return 1;
    case effGetVendorString: std::strcpy(static_cast<char*>(ptr), "Lanter5 Tests"); return 1;
    case effClose:
        delete &instance;
        delete record;
        return 1;
    default: return 0;
    }
}

void VST_CALL process(AEffect* record, float** inputs, float** outputs, VstInt32 frames) {
    const Member* member = instanceOf(record).member;
    const float gain = member ? member->gain : 0.0f;
    for (int channel = 0; channel < 2; ++channel) {
        for (VstInt32 frame = 0; frame < frames; ++frame) outputs[channel][frame] = inputs[channel][frame] * gain;
    }
}

void VST_CALL setParameter(AEffect*, VstInt32, float) {}
float VST_CALL getParameter(AEffect*, VstInt32) { return 0.0f; }

}  // namespace

extern "C" TEST_EXPORT AEffect* VST_CALL VSTPluginMain(HostCallback host) {
    const auto asked = static_cast<VstInt32>(host(nullptr, audioMasterCurrentId, 0, 0, nullptr, 0.0f));
    auto* instance = new Instance;
    for (const Member& member : kMembers) {
        if (member.id == asked) instance->member = &member;
    }
    auto* record = newStereoRecord(dispatch, setParameter, getParameter, process,
                                   instance->member ? instance->member->id : fourCharacters('t', 'S', 'h', 'l'));
    record->object = instance;
    return record;
}
