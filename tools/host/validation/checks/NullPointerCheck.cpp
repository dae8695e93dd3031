// Every opcode with a null pointer where a buffer may be due: a plug-in that checks its
// arguments survives it.
#include <string>
#include <vector>

#include "CheckContext.h"
#include "CheckRegistry.h"
#include "CheckTools.h"
#include "OpcodeNames.h"
#include "Opcodes.h"

namespace vsthost {

namespace {

const char* const kAnswered = "opcodes -1 to 100 and 8 extreme ones with a null pointer";

std::vector<std::string> verdicts(const ValidationOptions&) { return {kAnswered}; }

void run(CheckContext& context) {
    auto effect = context.fresh();
    if (!effect) return;
    effect->dispatch(effOpen);
    const bool hasEditor = effect->hasFlag(effFlagsHasEditor);
    int calls = 0;
    for (const VstInt32 opcode : sweepOpcodes()) {
        if (opcode == effClose || (opcode == effEditOpen && hasEditor)) continue;
        context.step("opcode sweep with a null pointer, opcode " + std::to_string(opcode) + " " +
                     effectOpcodeName(opcode));
        effect->dispatch(opcode, 0, 0, nullptr, 0.0f);
        ++calls;
    }
    context.pass(kAnswered, std::to_string(calls) + " calls answered");
    context.step("null-pointer sweep, effClose");
    effect->close();
}

[[maybe_unused]] const bool registered =
    CheckRegistry::add({50, "null pointers", Level::hostile, verdicts, run, false, nullptr});

}  // namespace

}  // namespace vsthost
