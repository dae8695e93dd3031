// For a plug-in that says it passes audio through: bit for bit, awkward values included, in
// separate buffers and in place.
#include <string>
#include <vector>

#include "CheckContext.h"
#include "CheckRegistry.h"
#include "CheckTools.h"
#include "TestSignal.h"

namespace vsthost {

namespace {

constexpr VstInt32 kLargestBlock = 4096;
const char* const kSeparate = "bit-exact pass-through, separate buffers";
const char* const kInPlace = "bit-exact pass-through, in place";

std::vector<std::string> verdicts(const ValidationOptions&) { return {kSeparate, kInPlace}; }

bool wanted(const ValidationOptions& options) { return options.passThrough; }

void run(CheckContext& context) {
    auto effect = context.fresh();
    if (!effect) return;
    const AEffect& record = effect->record();
    if (record.numInputs != record.numOutputs || record.numInputs < 1) {
        const std::string counts = std::to_string(record.numInputs) + " inputs but " +
                                   std::to_string(record.numOutputs) + " outputs";
        context.fail(kSeparate, counts);
        context.fail(kInPlace, counts);
        return;
    }
    effect->start(48000.0f, kLargestBlock);
    const AudioData signal = TestSignal::awkward(48000, 48000, record.numInputs);
    std::string differs;
    for (const VstInt32 block : {1, 3, 64, 512, 4096}) {
        context.step("bit-exact pass-through in blocks of " + std::to_string(block));
        if (!sameBits(processAll(*effect, signal, block, false), signal) && differs.empty()) {
            differs = "differs in blocks of " + std::to_string(block);
        }
    }
    context.check(kSeparate, differs.empty(), differs,
                  "-0.0, largest, smallest and subnormal values kept, blocks of 1 to 4096");
    context.step("bit-exact pass-through in place");
    context.check(kInPlace, sameBits(processAll(*effect, signal, 512, true), signal), "output differs");
}

[[maybe_unused]] const bool registered =
    CheckRegistry::add({130, "pass-through", Level::normal, verdicts, run, false, wanted});

}  // namespace

}  // namespace vsthost
