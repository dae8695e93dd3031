// The texts a host asks for, each into a zeroed buffer of 1024 bytes with guards after it.
#include <string>
#include <vector>

#include "CheckContext.h"
#include "CheckRegistry.h"
#include "CheckTools.h"
#include "OpcodeNames.h"
#include "Opcodes.h"

namespace vsthost {

namespace {

std::vector<std::string> verdicts(const ValidationOptions&) {
    return {"texts written are terminated inside the buffer", "nothing written past the buffer"};
}

// What a host asks with a buffer and index 0: the names only where there is something to name.
std::vector<VstInt32> textOpcodes(const AEffect& record) {
    std::vector<VstInt32> opcodes = {effGetEffectName, effGetVendorString, effGetProductString};
    if (record.numPrograms > 0) {
        opcodes.insert(opcodes.end(), {effGetProgramName, effGetProgramNameIndexed});
    }
    if (record.numParams > 0) {
        opcodes.insert(opcodes.end(), {effGetParamName, effGetParamLabel, effGetParamDisplay});
    }
    return opcodes;
}

void run(CheckContext& context) {
    auto effect = context.fresh();
    if (!effect) return;
    effect->dispatch(effOpen);
    GuardedText text;
    std::vector<VstInt32> unterminated;
    std::vector<VstInt32> overrun;
    for (const VstInt32 opcode : textOpcodes(effect->record())) {
        context.step("text of opcode " + std::to_string(opcode) + " " + effectOpcodeName(opcode));
        text.reset();
        effect->dispatch(opcode, 0, opcode == effGetProgramNameIndexed ? -1 : 0, text.data());
        if (!text.terminated()) unterminated.push_back(opcode);
        if (!text.guardIntact()) overrun.push_back(opcode);
    }
    context.check("texts written are terminated inside the buffer", unterminated.empty(),
                  "unterminated after " + opcodeList(unterminated));
    context.check("nothing written past the buffer", overrun.empty(),
                  "written past 1024 bytes by " + opcodeList(overrun));
}

[[maybe_unused]] const bool registered =
    CheckRegistry::add({30, "texts", Level::normal, verdicts, run, false, nullptr});

}  // namespace

}  // namespace vsthost
