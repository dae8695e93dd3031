// A host's start-up sequence, suspend and resume, and the record's field that is the host's.
#include <string>
#include <vector>

#include "ChannelBuffers.h"
#include "CheckContext.h"
#include "CheckRegistry.h"
#include "CheckTools.h"
#include "Opcodes.h"
#include "TestSignal.h"

namespace vsthost {

namespace {

std::vector<std::string> verdicts(const ValidationOptions&) {
    return {"start-up sequence", "suspend and resume 50 times", "record's user field left to the host"};
}

// Finite throughout; subnormal values are slow, not wrong.
bool cleanOutput(const AudioData& audio) {
    for (const auto& channel : audio.channels) {
        for (const float sample : channel) {
            if (SampleFault{SampleFault::classify(sample)}.nonFinite()) return false;
        }
    }
    return true;
}

void run(CheckContext& context) {
    auto effect = context.fresh();
    if (!effect) return;
    int marker = 0;
    effect->record().user = &marker;
    context.step("start-up sequence");
    effect->start(44100.0f, 512);
    const AudioData signal = TestSignal::clean(44100, 512, 2);
    const bool clean = cleanOutput(processAll(*effect, signal, 512, false));
    effect->stop();
    context.check("start-up sequence", clean, "output of the first block not clean",
                  "open, sample rate, block size, resume, start, a block, stop, suspend");

    context.step("suspend and resume 50 times");
    bool cycledClean = true;
    for (int i = 0; i < 50; ++i) {
        effect->dispatch(effMainsChanged, 0, 1);
        ChannelBuffers inputs(effect->record().numInputs, 64);
        ChannelBuffers outputs(effect->record().numOutputs, 64);
        inputs.load(signal, 0, 64);
        effect->process(inputs.pointers(), outputs.pointers(), 64);
        cycledClean = cycledClean && outputs.clean(64) && outputs.guardsIntact(64);
        effect->dispatch(effMainsChanged, 0, 0);
    }
    context.check("suspend and resume 50 times", cycledClean, "output not clean after a resume");
    context.check("record's user field left to the host", effect->record().user == &marker,
                  "the plug-in overwrote it");
    effect->record().user = nullptr;
}

[[maybe_unused]] const bool registered =
    CheckRegistry::add({60, "start-up", Level::normal, verdicts, run, false, nullptr});

}  // namespace

}  // namespace vsthost
