// Several instances processing on threads of their own at once while parameters change from
// two more threads: a plug-in with shared state unguarded shows it here.
#include <algorithm>
#include <atomic>
#include <chrono>
#include <memory>
#include <string>
#include <thread>
#include <vector>

#include "AudioThread.h"
#include "CheckContext.h"
#include "CheckRegistry.h"
#include "Opcodes.h"

namespace vsthost {

namespace {

constexpr int kInstances = 4;
constexpr int kParameterThreads = 2;
constexpr auto kDuration = std::chrono::milliseconds(500);
const char* const kVerdict = "4 instances on 4 audio threads while 2 threads set parameters";

std::vector<std::string> verdicts(const ValidationOptions&) { return {kVerdict}; }

void setParameters(std::vector<Effect>& effects, const std::atomic<bool>& stop, std::size_t seed) {
    for (std::size_t call = seed; !stop; ++call) {
        Effect& effect = effects[call % effects.size()];
        const VstInt32 count = effect.record().numParams;
        if (count <= 0) return;
        effect.setParameter(static_cast<VstInt32>(call % static_cast<std::size_t>(count)),
                            static_cast<float>(call % 7) / 6.0f);
    }
}

void run(CheckContext& context) {
    std::vector<Effect> effects;
    for (int i = 0; i < kInstances; ++i) {
        auto effect = context.fresh();
        if (!effect) return;
        effect->start(48000.0f, 128);
        effects.push_back(std::move(*effect));
    }
    context.step(kVerdict);
    std::vector<std::unique_ptr<AudioThread>> audio;
    for (auto& effect : effects) audio.push_back(std::make_unique<AudioThread>(effect, 48000, 128));
    std::atomic<bool> stop = false;
    std::vector<std::thread> setters;
    for (int i = 0; i < kParameterThreads; ++i) {
        setters.emplace_back([&effects, &stop, i] { setParameters(effects, stop, static_cast<std::size_t>(i)); });
    }
    std::this_thread::sleep_for(kDuration);
    // A loaded machine may not have run every audio thread yet; each must have had its turn.
    for (auto& thread : audio) thread->waitForBlocks(1);
    stop = true;
    for (auto& setter : setters) setter.join();
    std::size_t fewest = ~std::size_t{0};
    bool clean = true;
    for (auto& thread : audio) {
        thread->stop();
        fewest = std::min(fewest, thread->blocks());
        clean = clean && thread->clean();
    }
    const std::string tally = "at least " + std::to_string(fewest) + " blocks on every thread";
    context.check(kVerdict, clean, "NaN, infinity or a write past the frame count", tally);
}

[[maybe_unused]] const bool registered =
    CheckRegistry::add({115, "concurrency", Level::hostile, verdicts, run, false, nullptr});

}  // namespace

}  // namespace vsthost
