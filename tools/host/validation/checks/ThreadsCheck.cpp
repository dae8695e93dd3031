// Audio on a thread of its own while the host's user interface thread sends opcodes, as in
// every host.
#include <algorithm>
#include <chrono>
#include <cstring>
#include <string>
#include <vector>

#include "AudioThread.h"
#include "CheckContext.h"
#include "CheckRegistry.h"
#include "CheckTools.h"
#include "Opcodes.h"

namespace vsthost {

namespace {

const char* const kBoth = "audio on a second thread while the first sends parameter and idle opcodes";
const char* const kClean = "output clean while opcodes arrive from another thread";

std::vector<std::string> verdicts(const ValidationOptions&) { return {kBoth, kClean}; }

void run(CheckContext& context) {
    auto effect = context.fresh();
    if (!effect) return;
    context.step(kBoth);
    effect->start(48000.0f, 256);
    const VstInt32 parameters = std::min(effect->record().numParams, kWalkLimit);
    std::size_t calls = 0;
    AudioThread audio(*effect, 48000, 256);
    audio.waitForBlocks(1);
    const auto deadline = std::chrono::steady_clock::now() + std::chrono::seconds(3);
    GuardedText text;
    while ((audio.blocks() < 200 || calls < 2000) && std::chrono::steady_clock::now() < deadline) {
        const auto index = parameters > 0 ? static_cast<VstInt32>(calls % parameters) : 0;
        if (parameters > 0) {
            effect->setParameter(index, static_cast<float>(calls % 11) / 10.0f);
            effect->getParameter(index);
            text.reset();
            effect->dispatch(effGetParamDisplay, index, 0, text.data());
        }
        effect->dispatch(effLegacyIdle);
        effect->dispatch(effEditIdle);
        calls += parameters > 0 ? 5 : 2;
    }
    audio.stop();
    const std::string tally =
        std::to_string(audio.blocks()) + " blocks, " + std::to_string(calls) + " calls";
    context.check(kBoth, audio.blocks() > 0 && calls > 0, tally, tally);
    context.check(kClean, audio.clean(), "NaN, infinity or a write past the frame count");
}

[[maybe_unused]] const bool registered =
    CheckRegistry::add({110, "threads", Level::normal, verdicts, run, false, nullptr});

}  // namespace

}  // namespace vsthost
