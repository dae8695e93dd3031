// Many instances of one plug-in, in turn and alive together, as a host's project holds them.
#include <algorithm>
#include <cstdint>
#include <string>
#include <vector>

#include "ChannelBuffers.h"
#include "CheckContext.h"
#include "CheckRegistry.h"
#include "Host.h"
#include "Opcodes.h"
#include "ShellChoice.h"
#include "TestSignal.h"

namespace vsthost {

namespace {

// A host opens a plug-in a few times per session; only a strict run takes the time for 100,
// which some plug-ins need seconds each for.
constexpr int kInstancesInTurn = 20;
constexpr int kStrictInstancesInTurn = 100;
constexpr int kInstancesAlive = 8;

int instancesInTurn(const ValidationOptions& options) {
    return options.level >= Level::strict ? kStrictInstancesInTurn : kInstancesInTurn;
}

std::string inTurnVerdict(int count) { return std::to_string(count) + " instances opened and closed in turn"; }

std::vector<std::string> verdicts(const ValidationOptions& options) {
    return {inTurnVerdict(instancesInTurn(options)), "8 instances alive at once",
            "live instances have records of their own",
            "live instances report the same record values",
            "closing one instance leaves the others working",
            "a new instance works after all were closed"};
}

void checkInTurn(CheckContext& context) {
    const int count = instancesInTurn(context.options());
    int good = 0;
    for (int i = 0; i < count; ++i) {
        context.step("instance " + std::to_string(i + 1) + " of " + std::to_string(count) +
                     " opened and closed in turn");
        AEffect* record = Effect::callEntry(context.library(), ShellChoice::chosen());
        if (record == nullptr || record->magic != kEffectMagic) continue;
        Effect effect = Effect::adopt(record);
        effect.dispatch(effOpen);
        effect.close();
        ++good;
    }
    const std::string tally = std::to_string(good) + " of " + std::to_string(count) + " good";
    context.check(inTurnVerdict(count), good == count, tally, tally);
}

bool recordsDisjoint(std::vector<Effect>& effects) {
    std::vector<std::uintptr_t> starts;
    for (auto& effect : effects) starts.push_back(reinterpret_cast<std::uintptr_t>(&effect.record()));
    std::sort(starts.begin(), starts.end());
    for (std::size_t i = 1; i < starts.size(); ++i) {
        if (starts[i] - starts[i - 1] < sizeof(AEffect)) return false;
    }
    return true;
}

bool sameValues(std::vector<Effect>& effects) {
    const AEffect& first = effects.front().record();
    return std::all_of(effects.begin(), effects.end(), [&first](Effect& effect) {
        const AEffect& record = effect.record();
        return record.numInputs == first.numInputs && record.numOutputs == first.numOutputs &&
               record.numParams == first.numParams && record.uniqueID == first.uniqueID;
    });
}

// Closing one must leave the others' records and processing intact.
bool othersWorkAfterClosingOne(CheckContext& context, std::vector<Effect>& effects,
                               VstIntPtr version) {
    effects.front().close();
    bool othersWork = true;
    const AudioData signal = TestSignal::clean(44100, 512, 2);
    for (std::size_t i = 1; i < effects.size(); ++i) {
        context.step("instance " + std::to_string(i + 1) + " of 8 after the first was closed");
        Effect& effect = effects[i];
        ChannelBuffers inputs(effect.record().numInputs, 512);
        ChannelBuffers outputs(effect.record().numOutputs, 512);
        inputs.load(signal, 0, 512);
        effect.process(inputs.pointers(), outputs.pointers(), 512);
        othersWork = othersWork && effect.record().magic == kEffectMagic &&
                     effect.dispatch(effGetVstVersion) == version && outputs.clean(512) &&
                     outputs.guardsIntact(512);
    }
    return othersWork;
}

void checkAlive(CheckContext& context) {
    context.step("8 instances alive at once");
    std::vector<Effect> effects;
    for (int i = 0; i < kInstancesAlive; ++i) {
        auto effect = Effect::create(context.library());
        if (!effect) break;
        effect->start(44100.0f, 512);
        effects.push_back(std::move(*effect));
    }
    const std::string created = std::to_string(effects.size()) + " created";
    if (!context.check("8 instances alive at once", effects.size() == kInstancesAlive, created,
                       created)) {
        context.skipRest("not all 8 instances were created");
        return;
    }
    context.check("live instances have records of their own", recordsDisjoint(effects),
                  "records overlap");
    context.check("live instances report the same record values", sameValues(effects),
                  "values differ");
    const VstIntPtr version = effects.back().dispatch(effGetVstVersion);
    context.check("closing one instance leaves the others working",
                  othersWorkAfterClosingOne(context, effects, version),
                  "a remaining instance changed or processes badly");
    context.step("closing 7 instances in reverse order");
    while (!effects.empty()) effects.pop_back();
    context.step("a new instance after all were closed");
    auto later = Effect::create(context.library());
    context.check("a new instance works after all were closed",
                  later && later->dispatch(effGetVstVersion) == version,
                  later ? "answers differently" : later.error());
}

void run(CheckContext& context) {
    checkInTurn(context);
    checkAlive(context);
}

[[maybe_unused]] const bool registered =
    CheckRegistry::add({20, "instances", Level::normal, verdicts, run, false, nullptr});

}  // namespace

}  // namespace vsthost
