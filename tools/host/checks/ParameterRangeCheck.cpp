// Parameter values outside 0 to 1 and NaN: the plug-in must keep what it reads back in range.
#include <algorithm>
#include <limits>
#include <string>
#include <vector>

#include "CheckContext.h"
#include "CheckRegistry.h"
#include "Opcodes.h"

namespace vsthost {

namespace {

constexpr VstInt32 kWalkLimit = 1024;
const float kValues[] = {-1.0f, 2.0f, std::numeric_limits<float>::quiet_NaN()};
const char* const kValueNames[] = {"-1", "2", "NaN"};

std::string valueVerdict(const char* value) {
    return std::string("parameters set to ") + value + " and read back";
}

std::vector<std::string> verdicts(const ValidationOptions&) {
    std::vector<std::string> names;
    for (const char* value : kValueNames) names.push_back(valueVerdict(value));
    return names;
}

void run(CheckContext& context) {
    auto effect = context.fresh();
    if (!effect) return;
    const VstInt32 count = std::min(effect->record().numParams, kWalkLimit);
    if (count <= 0) {
        context.skipRest("the plug-in has no parameters");
        return;
    }
    effect->start(44100.0f, 512);
    for (std::size_t v = 0; v < std::size(kValues); ++v) {
        std::string bad;
        for (VstInt32 index = 0; index < count; ++index) {
            context.step("parameter " + std::to_string(index) + " set to " + kValueNames[v]);
            effect->setParameter(index, kValues[v]);
            const float back = effect->getParameter(index);
            if (!(back >= 0.0f && back <= 1.0f) && bad.empty()) {
                bad = "parameter " + std::to_string(index) + " reads back " + std::to_string(back);
            }
        }
        context.check(valueVerdict(kValueNames[v]), bad.empty(), bad,
                      std::to_string(count) + " read back from 0 to 1");
    }
}

[[maybe_unused]] const bool registered =
    CheckRegistry::add({95, "parameter range", Level::strict, verdicts, run, false, nullptr});

}  // namespace

}  // namespace vsthost
