#pragma once
// A host that records its calls, an effect bound to it and an editor that records the edits the
// frame forwards: what frame and control tests on every platform listen with.

#include "AEffGUIEditor.h"
#include "AudioEffect.h"
#include "AudioEffectX.h"

#include <cstring>
#include <string>
#include <vector>

// Records every host call; answers "sizeWindow" and the resize itself as told.
struct HostRecorder {
    struct Call {
        VstInt32 opcode;
        VstInt32 index;
        VstIntPtr value;
        std::string text;
    };
    std::vector<Call> calls;
    bool canSizeWindow = false;
    bool acceptsSize = false;

    static inline HostRecorder* current = nullptr;

    static VstIntPtr VST_CALL callback(AEffect*, VstInt32 opcode, VstInt32 index, VstIntPtr value,
                                       void* ptr, float) {
        HostRecorder& self = *current;
        const bool isText = opcode == 37 && ptr;
        self.calls.push_back({opcode, index, value, isText ? static_cast<char*>(ptr) : ""});
        switch (opcode) {
        case 1: return 2400; // audioMasterVersion
        case 37: return self.canSizeWindow && isText && std::strcmp(static_cast<char*>(ptr), "sizeWindow") == 0;
        case 15: return self.acceptsSize ? 1 : 0; // audioMasterSizeWindow
        default: return 0;
        }
    }
    int count(VstInt32 opcode) const {
        int n = 0;
        for (const Call& call : calls) n += call.opcode == opcode;
        return n;
    }
};

class TestEffect : public AudioEffectX {
public:
    explicit TestEffect(HostRecorder& host) : AudioEffectX(bind(host), 1, 2) {}
    void processReplacing(float**, float**, VstInt32) override {}

private:
    static HostCallback bind(HostRecorder& host) {
        HostRecorder::current = &host;
        return &HostRecorder::callback;
    }
};

// An editor that records what the frame forwards to it.
class TestEditor : public AEffGUIEditor {
public:
    explicit TestEditor(AudioEffect* effect) : AEffGUIEditor(effect) {}
    // A test's editor lives beside its effect, not in it: the effect must not delete it too.
    ~TestEditor() override {
        if (effect) effect->setEditor(nullptr);
    }
    void beginEdit(VstInt32 index) override { edits.push_back("begin" + std::to_string(index)); }
    void endEdit(VstInt32 index) override { edits.push_back("end" + std::to_string(index)); }
    void idlePump() override { ++pumps; }

    std::vector<std::string> edits;
    int pumps = 0;
};
