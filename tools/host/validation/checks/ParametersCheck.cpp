// Every parameter set to values a host sends, read back, and its texts asked for.
#include <string>
#include <vector>

#include "CheckContext.h"
#include "CheckRegistry.h"
#include "CheckTools.h"
#include "Opcodes.h"

namespace vsthost {

namespace {

constexpr float kValues[] = {0.0f, 1.0f, 0.5f};
const char* const kValueNames[] = {"0", "1", "0.5"};
const char* const kTexts = "parameter names, labels and displays terminated";

std::vector<std::string> verdicts(const ValidationOptions&) {
    std::vector<std::string> names = parameterVerdicts(kValueNames);
    names.push_back(kTexts);
    return names;
}

void run(CheckContext& context) {
    auto effect = context.fresh();
    if (!effect) return;
    const VstInt32 count = parametersToWalk(context, *effect);
    if (count == 0) return;
    effect->start(44100.0f, 512);
    GuardedText text;
    bool textsTerminated = true;
    const auto askTexts = [&](VstInt32 index) {
        for (const VstInt32 opcode : {effGetParamDisplay, effGetParamName, effGetParamLabel}) {
            text.reset();
            effect->dispatch(opcode, index, 0, text.data());
            textsTerminated = textsTerminated && text.terminated();
        }
    };
    for (std::size_t v = 0; v < std::size(kValues); ++v) {
        walkParameters(context, *effect, count, kValues[v], kValueNames[v], askTexts);
    }
    context.check(kTexts, textsTerminated, "a text fills the whole buffer");
}

[[maybe_unused]] const bool registered =
    CheckRegistry::add({90, "parameters", Level::normal, verdicts, run, false, nullptr});

}  // namespace

}  // namespace vsthost
