// A test plug-in with three programs of one parameter, kept in chunks, whose bank chunk forgets
// one piece of the state as LANTER5_FORGETS says: "current", which program was current; "names",
// the programs' names (their values come back); "others", every program's values but the
// current one's; "editor", the page its editor shows, kept only in the chunk. Otherwise it gives
// everything back.
#include <cstdlib>
#include <cstring>
#include <string>

#include "AEffect.h"
#include "Opcodes.h"

#include "StereoRecord.h"
#include "TestExport.h"

namespace {

constexpr int kPrograms = 3;
constexpr std::size_t kNameBytes = 24;
constexpr VstInt32 kBankMagic = fourCharacters('f', 'g', 't', 'B');
constexpr VstInt32 kProgramMagic = fourCharacters('f', 'g', 't', 'P');

struct Program {
    char name[kNameBytes];
    float value;
};

struct Bank {
    VstInt32 magic;
    VstInt32 current;
    VstInt32 editorPage;
    Program programs[kPrograms];
};

struct ProgramChunk {
    VstInt32 magic;
    Program program;
};

struct State {
    Program programs[kPrograms] = {{"First", 0.5f}, {"Second", 0.5f}, {"Third", 0.5f}};
    VstInt32 current = 0;
    // Each instance opens its editor on a page of its own until a bank says otherwise.
    VstInt32 editorPage = nextPage++;
    Bank bank{};
    static inline VstInt32 nextPage = 1;
    ProgramChunk single{};
};

bool forgets(const char* what) {
    const char* chosen = std::getenv("LANTER5_FORGETS");
    return chosen != nullptr && std::strcmp(chosen, what) == 0;
}

State& stateOf(AEffect* record) { return *static_cast<State*>(record->object); }

VstIntPtr setChunk(State& state, VstInt32 isProgram, VstIntPtr size, const void* data) {
    if (isProgram) {
        if (size != sizeof(ProgramChunk)) return 0;
        ProgramChunk given;
        std::memcpy(&given, data, sizeof given);
        if (given.magic != kProgramMagic) return 0;
        state.programs[state.current] = given.program;
        return 1;
    }
    if (size != sizeof(Bank)) return 0;
    Bank given;
    std::memcpy(&given, data, sizeof given);
    if (given.magic != kBankMagic || given.current < 0 || given.current >= kPrograms) return 0;
    for (int index = 0; index < kPrograms; ++index) {
        Program restored = given.programs[index];
        if (forgets("names")) std::memcpy(restored.name, state.programs[index].name, kNameBytes);
        if (forgets("others") && index != given.current) restored.value = state.programs[index].value;
        state.programs[index] = restored;
    }
    if (!forgets("current")) state.current = given.current;
    if (!forgets("editor")) state.editorPage = given.editorPage;
    return 1;
}

VstIntPtr VST_CALL dispatch(AEffect* record, VstInt32 opcode, VstInt32 index, VstIntPtr value, void* ptr, float) {
    State& state = stateOf(record);
    switch (opcode) {
    case effSetProgram:
        if (value >= 0 && value < kPrograms) state.current = static_cast<VstInt32>(value);
        return 0;
    case effGetProgram: return state.current;
    case effSetProgramName:
        std::strncpy(state.programs[state.current].name, static_cast<const char*>(ptr), kNameBytes - 1);
        return 0;
    case effGetProgramName: std::strcpy(static_cast<char*>(ptr), state.programs[state.current].name); return 0;
    case effGetProgramNameIndexed:
        if (index < 0 || index >= kPrograms) return 0;
        std::strcpy(static_cast<char*>(ptr), state.programs[index].name);
        return 1;
    case effGetParamName: std::strcpy(static_cast<char*>(ptr), "Level"); return 0;
    case effGetChunk:
        if (index) {
            state.single = {kProgramMagic, state.programs[state.current]};
            *static_cast<void**>(ptr) = &state.single;
            return sizeof state.single;
        }
        state.bank.magic = kBankMagic;
        state.bank.current = state.current;
        state.bank.editorPage = state.editorPage;
        std::memcpy(state.bank.programs, state.programs, sizeof state.programs);
        *static_cast<void**>(ptr) = &state.bank;
        return sizeof state.bank;
    case effSetChunk: return setChunk(state, index, value, ptr);
    case effClose:
        delete &state;
        delete record;
        return 1;
    default: return 0;
    }
}

void VST_CALL process(AEffect* record, float** inputs, float** outputs, VstInt32 frames) {
    const float level = stateOf(record).programs[stateOf(record).current].value;
    for (int channel = 0; channel < 2; ++channel) {
        for (VstInt32 frame = 0; frame < frames; ++frame) outputs[channel][frame] = inputs[channel][frame] * level;
    }
}

void VST_CALL setParameter(AEffect* record, VstInt32, float value) {
    stateOf(record).programs[stateOf(record).current].value = value;
}
float VST_CALL getParameter(AEffect* record, VstInt32) {
    return stateOf(record).programs[stateOf(record).current].value;
}

}  // namespace

extern "C" TEST_EXPORT AEffect* VST_CALL VSTPluginMain(HostCallback) {
    auto* record = newStereoRecord(dispatch, setParameter, getParameter, process, fourCharacters('t', 'F', 'g', 't'));
    record->numPrograms = kPrograms;
    record->numParams = 1;
    record->flags |= effFlagsProgramChunks;
    record->object = new State;
    return record;
}
