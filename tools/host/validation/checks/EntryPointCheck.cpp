// The entry point and the record it answers: everything else works on that record.
#include <string>

#include "CheckContext.h"
#include "CheckRegistry.h"
#include "EffectState.h"
#include "Host.h"
#include "Opcodes.h"
#include "ShellChoice.h"
#include "ChildChannel.h"

namespace vsthost {

namespace {

const char* const kPreset = "the preset file taken";

std::vector<std::string> verdicts(const ValidationOptions& options) {
    std::vector<std::string> names = {"entry point",          "entry point answers a record",
                                      "record magic",         "record entries",
                                      "record flags allow processReplacing", "record flags known",
                                      "record counts sane",   "record unique ID set",
                                      "record initial delay sane"};
    if (options.preset) names.push_back(kPreset);
    return names;
}

// Every other check starts its instances from the preset: one the plug-in cannot take ends the run.
void takePreset(CheckContext& context, Effect& effect) {
    const ValidationOptions& options = context.options();
    context.step("setting the preset");
    effect.dispatch(effOpen);
    const auto taken = EffectState::apply(effect, *options.preset);
    context.check(kPreset, static_cast<bool>(taken), taken ? "" : "'" + options.presetPath + "' " + taken.error(),
                  options.preset->description());
}

void checkFields(CheckContext& context, const AEffect& record) {
    std::string missing;
    if (!record.dispatcher) missing += " dispatcher";
    if (!record.setParameter) missing += " setParameter";
    if (!record.getParameter) missing += " getParameter";
    if (!record.processReplacing) missing += " processReplacing";
    context.check("record entries", missing.empty(), "null:" + missing);
    context.check("record flags allow processReplacing", (record.flags & effFlagsCanReplacing) != 0,
                  "flag 16 clear");
    const VstInt32 knownFlags = effFlagsHasEditor | effFlagsHasClip | effFlagsHasVu |
                                effFlagsCanMono | effFlagsCanReplacing | effFlagsProgramChunks |
                                effFlagsIsSynth | effFlagsNoSoundInStop | effFlagsExtIsAsync |
                                effFlagsExtHasBuffer | effFlagsCanDoubleReplacing;
    context.check("record flags known", (record.flags & ~knownFlags) == 0,
                  "unknown bits " + std::to_string(record.flags & ~knownFlags));
    const bool countsSane = record.numInputs >= 0 && record.numInputs <= 128 &&
                            record.numOutputs >= 1 && record.numOutputs <= 128 &&
                            record.numPrograms >= 0 && record.numPrograms <= 1'000'000 &&
                            record.numParams >= 0 && record.numParams <= 1'000'000;
    const std::string counts = std::to_string(record.numInputs) + " inputs, " +
                               std::to_string(record.numOutputs) + " outputs, " +
                               std::to_string(record.numPrograms) + " programs, " +
                               std::to_string(record.numParams) + " parameters";
    context.check("record counts sane", countsSane, counts, counts);
    context.check("record unique ID set", record.uniqueID != 0, "0");
    context.check("record initial delay sane", record.initialDelay >= 0, "negative");
}

void run(CheckContext& context) {
    const PluginLibrary& library = context.library();
    context.pass("entry point", library.entryName() + " exported");
    if (ShellChoice::chosen() != 0) {
        context.step("finding the shell's plug-in");
        if (auto confirmed = ShellChoice::confirm(library); !confirmed) {
            ChildChannel::send(ChildChannel::kRefused, confirmed.error());
            return;
        }
    }
    context.step("entry point call");
    AEffect* record = Effect::callEntry(library, ShellChoice::chosen());
    if (!context.check("entry point answers a record", record != nullptr,
                       "null for a host answering version 2400") ||
        !context.check("record magic", record->magic == kEffectMagic, "not 'VstP'")) {
        // Not a record: touching it further could crash.
        context.skipRest("there is no record to look at");
        return;
    }
    Effect effect = Effect::adopt(record);
    // A shell is no plug-in to validate; its members are.
    if (ShellChoice::chosen() == 0 && ShellChoice::isShell(effect)) {
        ChildChannel::send(ChildChannel::kRefused, ShellChoice::refusal(effect, library.path()));
        return;
    }
    checkFields(context, *record);
    if (context.options().preset) takePreset(context, effect);
    context.step("closing the first instance");
    effect.close();
}

[[maybe_unused]] const bool registered =
    CheckRegistry::add({10, "entry point", Level::normal, verdicts, run, true, nullptr});

}  // namespace

}  // namespace vsthost
