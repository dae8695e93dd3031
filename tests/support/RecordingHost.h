#pragma once
// A host callback for tests: a plain function that records every call into the one
// RecordingHost alive at the time and answers from that host's table.

#include <map>
#include <vector>

#include "AEffect.h"

struct HostCall {
    AEffect* effect;
    VstInt32 opcode;
    VstInt32 index;
    VstIntPtr value;
    void* ptr;
    float opt;

    bool operator==(const HostCall&) const = default;
};

class RecordingHost {
public:
    // Becomes the host that `callback` records into until it is destroyed.
    RecordingHost();
    ~RecordingHost();

    // Answers `result` to `opcode` from now on; unlisted opcodes answer 0, except the version
    // query (1), which answers 2400 so that the entry point proceeds.
    void answer(VstInt32 opcode, VstIntPtr result) { answers[opcode] = result; }

    // The HostCallback to hand to the effect.
    static VstIntPtr VST_CALL callback(AEffect* effect, VstInt32 opcode, VstInt32 index,
                                       VstIntPtr value, void* ptr, float opt);

    std::vector<HostCall> calls;

    RecordingHost(const RecordingHost&) = delete;
    RecordingHost& operator=(const RecordingHost&) = delete;

private:
    std::map<VstInt32, VstIntPtr> answers;
    RecordingHost* previous;
};
