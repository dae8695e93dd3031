// Parameter values outside 0 to 1 and NaN: the plug-in must keep what it reads back in range.
#include <limits>
#include <string>
#include <vector>

#include "CheckContext.h"
#include "CheckRegistry.h"
#include "CheckTools.h"
#include "Opcodes.h"

namespace vsthost {

namespace {

const float kValues[] = {-1.0f, 2.0f, std::numeric_limits<float>::quiet_NaN()};
const char* const kValueNames[] = {"-1", "2", "NaN"};

std::vector<std::string> verdicts(const ValidationOptions&) { return parameterVerdicts(kValueNames); }

void run(CheckContext& context) {
    auto effect = context.fresh();
    if (!effect) return;
    const VstInt32 count = parametersToWalk(context, *effect);
    if (count == 0) return;
    effect->start(44100.0f, 512);
    for (std::size_t v = 0; v < std::size(kValues); ++v) {
        walkParameters(context, *effect, count, kValues[v], kValueNames[v]);
    }
}

[[maybe_unused]] const bool registered =
    CheckRegistry::add({95, "parameter range", Level::strict, verdicts, run, false, nullptr});

}  // namespace

}  // namespace vsthost
