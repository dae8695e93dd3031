// Every opcode from -1 to 100 and extreme ones, each with a zeroed buffer: what a host that
// probes its plug-ins sends.
#include <string>
#include <vector>

#include "CheckContext.h"
#include "CheckRegistry.h"
#include "CheckTools.h"
#include "OpcodeNames.h"
#include "Opcodes.h"

namespace vsthost {

namespace {

const char* const kAnswered = "opcodes -1 to 100 and 8 extreme ones with a zeroed 1024-byte buffer";

std::vector<std::string> verdicts(const ValidationOptions&) {
    return {kAnswered, "texts written in the sweep are terminated inside the buffer",
            "nothing written past the buffer in the sweep", "record intact after the opcode sweep"};
}

void run(CheckContext& context) {
    auto effect = context.fresh();
    if (!effect) return;
    effect->dispatch(effOpen);
    const bool hasEditor = effect->hasFlag(effFlagsHasEditor);
    GuardedText text;
    std::vector<VstInt32> unterminated;
    std::vector<VstInt32> overrun;
    int calls = 0;
    for (const VstInt32 opcode : sweepOpcodes()) {
        // Closing ends the instance; it comes last. An editor opens only in a real window.
        if (opcode == effClose || (opcode == effEditOpen && hasEditor)) continue;
        context.step("opcode sweep with a zeroed buffer, opcode " + std::to_string(opcode) + " " +
                     effectOpcodeName(opcode));
        text.reset();
        effect->dispatch(opcode, 0, 0, text.data(), 0.0f);
        ++calls;
        if (!text.terminated()) unterminated.push_back(opcode);
        if (!text.guardIntact()) overrun.push_back(opcode);
    }
    const std::string skipped = hasEditor ? " (editor open left to the editor checks)" : "";
    context.pass(kAnswered, std::to_string(calls) + " calls answered" + skipped);
    context.check("texts written in the sweep are terminated inside the buffer", unterminated.empty(),
                  "unterminated after " + opcodeList(unterminated));
    context.check("nothing written past the buffer in the sweep", overrun.empty(),
                  "written past 1024 bytes by " + opcodeList(overrun));
    context.check("record intact after the opcode sweep", effect->record().magic == kEffectMagic,
                  "magic overwritten");
    context.step("opcode sweep, effClose");
    effect->close();
}

[[maybe_unused]] const bool registered =
    CheckRegistry::add({40, "opcode sweep", Level::strict, verdicts, run, false, nullptr});

}  // namespace

}  // namespace vsthost
