// Every program selected the way a host does, and its name asked for.
#include <algorithm>
#include <string>
#include <vector>

#include "CheckContext.h"
#include "CheckRegistry.h"
#include "CheckTools.h"
#include "Opcodes.h"

namespace vsthost {

namespace {

const char* const kSelected = "every program selected";
const char* const kNames = "program names terminated";

std::vector<std::string> verdicts(const ValidationOptions&) { return {kSelected, kNames}; }

void run(CheckContext& context) {
    auto effect = context.fresh();
    if (!effect) return;
    const VstInt32 count = std::min(effect->record().numPrograms, kWalkLimit);
    if (count <= 0) {
        context.skipRest("the plug-in has no programs");
        return;
    }
    effect->start(44100.0f, 512);
    GuardedText text;
    std::string wrong;
    bool namesTerminated = true;
    for (VstInt32 program = 0; program < count; ++program) {
        context.step("program " + std::to_string(program) + " selected");
        effect->dispatch(effBeginSetProgram);
        effect->dispatch(effSetProgram, 0, program);
        effect->dispatch(effEndSetProgram);
        const VstIntPtr current = effect->dispatch(effGetProgram);
        if (current != program && wrong.empty()) {
            wrong = "program " + std::to_string(program) + " selected, " + std::to_string(current) +
                    " reported";
        }
        text.reset();
        effect->dispatch(effGetProgramName, 0, 0, text.data());
        namesTerminated = namesTerminated && text.terminated();
        text.reset();
        effect->dispatch(effGetProgramNameIndexed, program, -1, text.data());
        namesTerminated = namesTerminated && text.terminated();
    }
    context.check(kSelected, wrong.empty(), wrong, std::to_string(count) + " programs");
    context.check(kNames, namesTerminated, "a name fills the whole buffer");
}

[[maybe_unused]] const bool registered =
    CheckRegistry::add({100, "programs", Level::normal, verdicts, run, false, nullptr});

}  // namespace

}  // namespace vsthost
