// A sample rate and a block size of 0, and a block of 0 frames: no host means them, but a
// plug-in must not fall over them.
#include <string>
#include <vector>

#include "ChannelBuffers.h"
#include "CheckContext.h"
#include "CheckRegistry.h"
#include "Opcodes.h"
#include "TestSignal.h"

namespace vsthost {

namespace {

const char* const kAnnounced = "sample rate 0 and block size 0 announced";
const char* const kEmptyBlock = "a block of 0 frames processed";

std::vector<std::string> verdicts(const ValidationOptions&) { return {kAnnounced, kEmptyBlock}; }

void run(CheckContext& context) {
    auto effect = context.fresh();
    if (!effect) return;
    effect->dispatch(effOpen);
    context.step("sample rate 0");
    effect->dispatch(effSetSampleRate, 0, 0, nullptr, 0.0f);
    context.step("block size 0");
    effect->dispatch(effSetBlockSize, 0, 0);
    context.step("resume after sample rate 0 and block size 0");
    effect->dispatch(effMainsChanged, 0, 1);
    effect->dispatch(effMainsChanged, 0, 0);
    context.pass(kAnnounced, "then resumed and suspended");

    effect->start(44100.0f, 512);
    ChannelBuffers inputs(effect->record().numInputs, 512);
    ChannelBuffers outputs(effect->record().numOutputs, 512);
    inputs.load(TestSignal::clean(44100, 512, 2), 0, 512);
    outputs.mark();
    context.step("a block of 0 frames");
    effect->process(inputs.pointers(), outputs.pointers(), 0);
    context.check(kEmptyBlock, outputs.guardsIntact(0), "samples written for 0 frames");
}

[[maybe_unused]] const bool registered =
    CheckRegistry::add({80, "zero sizes", Level::strict, verdicts, run, false, nullptr});

}  // namespace

}  // namespace vsthost
