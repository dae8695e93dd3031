// Offline renders and frozen tracks rely on a plug-in rendering the same input alike: two new
// instances must, and so must one instance after a reset. A plug-in may be random on purpose,
// so at the default level a difference is reported, not failed.
#include <algorithm>
#include <string>
#include <vector>

#include "CheckContext.h"
#include "CheckRegistry.h"
#include "CheckTools.h"
#include "EventBatch.h"
#include "Opcodes.h"
#include "TestSignal.h"

namespace vsthost {

namespace {

constexpr int kRate = 48000;
constexpr VstInt32 kBlock = 256;
constexpr std::size_t kFrames = 48000;
const char* const kInstances = "two new instances render alike";
const char* const kReset = "an instance renders alike after a reset";

std::vector<std::string> verdicts(const ValidationOptions&) { return {kInstances, kReset}; }

// Middle C at frame 100 for an instrument, which the clean signal leaves silent.
AudioData render(Effect& effect, const AudioData& signal) {
    reset(effect);
    if (effect.isInstrument()) {
        EventBatch note({EventBatch::midi(100, 0x90, 60, 100)});
        effect.dispatch(effProcessEvents, 0, 0, note.list());
    }
    return processAll(effect, signal, kBlock, false);
}

void judge(CheckContext& context, const char* verdict, const AudioData& first, const AudioData& second) {
    const std::string differs = firstDifference(first, second);
    if (differs.empty()) {
        context.pass(verdict, std::to_string(kFrames) + " frames bit for bit");
    } else if (context.atLeast(Level::strict)) {
        context.fail(verdict, differs);
    } else {
        context.warn(verdict, differs + "; random on purpose, or state that outlives a reset");
        context.pass(verdict, "differs, reported above");
    }
}

void run(CheckContext& context) {
    auto first = context.fresh();
    if (!first) return;
    auto second = context.fresh();
    if (!second) return;
    const AudioData signal = TestSignal::clean(kRate, kFrames, std::max(first->record().numInputs, 1));
    first->start(static_cast<float>(kRate), kBlock);
    second->start(static_cast<float>(kRate), kBlock);
    context.step("rendering in two new instances");
    const AudioData once = render(*first, signal);
    judge(context, kInstances, once, render(*second, signal));
    context.step("rendering again after a reset");
    judge(context, kReset, once, render(*first, signal));
}

[[maybe_unused]] const bool registered =
    CheckRegistry::add({106, "determinism", Level::normal, verdicts, run, false, nullptr});

}  // namespace

}  // namespace vsthost
