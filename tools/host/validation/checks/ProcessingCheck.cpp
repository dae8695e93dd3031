// Processing at every common sample rate in blocks from 1 frame to the announced size: the
// output must be numbers, and nothing may be written past the frame count.
#include <string>
#include <vector>

#include "ChannelBuffers.h"
#include "CheckContext.h"
#include "CheckRegistry.h"
#include "Host.h"
#include "Opcodes.h"
#include "TestSignal.h"

namespace vsthost {

namespace {

constexpr VstInt32 kLargestBlock = 4096;
constexpr int kSampleRates[] = {22050, 32000, 44100, 48000, 88200, 96000, 176400, 192000};
constexpr VstInt32 kBlockSizes[] = {1, 3, 4, 5, 31, 64, 512, 1024, 4096};
const char* const kOverruns = "nothing written past the frame count";

std::string rateVerdict(int rate) {
    return "processing at " + std::to_string(rate) + " Hz, blocks of 1 to 4096 frames";
}

std::vector<std::string> verdicts(const ValidationOptions&) {
    std::vector<std::string> names;
    for (const int rate : kSampleRates) names.push_back(rateVerdict(rate));
    names.push_back(kOverruns);
    return names;
}

void restartAt(Effect& effect, int rate) {
    effect.stop();
    Host::instance().setSampleRate(static_cast<float>(rate));
    effect.dispatch(effSetSampleRate, 0, 0, nullptr, static_cast<float>(rate));
    effect.dispatch(effSetBlockSize, 0, kLargestBlock);
    effect.resume();
}

void run(CheckContext& context) {
    auto effect = context.fresh();
    if (!effect) return;
    effect->start(44100.0f, kLargestBlock);
    const auto capacity = static_cast<std::size_t>(kLargestBlock);
    ChannelBuffers inputs(effect->record().numInputs, capacity);
    ChannelBuffers outputs(effect->record().numOutputs, capacity);
    // Subnormal output costs time but harms nothing; a strict run counts it all the same.
    const bool subnormalFails = context.atLeast(Level::strict);
    std::string overrun;
    for (const int rate : kSampleRates) {
        restartAt(*effect, rate);
        const AudioData signal = TestSignal::clean(rate, capacity * 2, 2);
        SampleFault fault;
        VstInt32 faultBlock = 0;
        for (const VstInt32 block : kBlockSizes) {
            context.step("processing at " + std::to_string(rate) + " Hz in blocks of " + std::to_string(block));
            const auto frames = static_cast<std::size_t>(block);
            for (std::size_t round = 0; round < 3; ++round) {
                inputs.load(signal, round * frames, frames);
                outputs.mark();
                effect->process(inputs.pointers(), outputs.pointers(), block);
                const SampleFault found = outputs.firstFault(frames);
                if (found && (!fault || (found.nonFinite() && !fault.nonFinite()))) {
                    fault = found;
                    faultBlock = block;
                }
                if (!outputs.guardsIntact(frames) && overrun.empty()) {
                    overrun = "at " + std::to_string(rate) + " Hz, block " + std::to_string(block);
                }
            }
        }
        const std::string where = fault.text() + " in blocks of " + std::to_string(faultBlock);
        if (fault && !fault.nonFinite() && !subnormalFails) {
            context.warn(rateVerdict(rate), where);
            context.pass(rateVerdict(rate), "subnormal output only");
        } else {
            context.check(rateVerdict(rate), !fault, where);
        }
    }
    context.check(kOverruns, overrun.empty(), overrun);
}

[[maybe_unused]] const bool registered =
    CheckRegistry::add({70, "processing", Level::normal, verdicts, run, false, nullptr});

}  // namespace

}  // namespace vsthost
