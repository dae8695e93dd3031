#include "InfoCommand.h"

#include <cstdio>
#include <cstring>
#include <string>

#include "ChildChannel.h"
#include "ChildWork.h"
#include "Effect.h"
#include "InfoJson.h"
#include "InfoTables.h"
#include "Opcodes.h"
#include "PluginLibrary.h"
#include "PropertyRecords.h"
#include "RecordText.h"
#include "ShellChoice.h"

namespace vsthost {

namespace {

using InfoTables::categoryName;
using InfoTables::kCapabilities;
using InfoTables::kListLimit;

const char* canDoName(VstIntPtr answer) {
    return answer > 0 ? "yes" : answer < 0 ? "no" : "don't know";
}

std::string supplied(Effect& effect, VstInt32 opcode) {
    // Twice the size the plug-in is told of: some write past it.
    char buffer[Effect::kTextBufferSize * 2] = {};
    const VstIntPtr answer = effect.dispatch(opcode, 0, 0, buffer);
    buffer[Effect::kTextBufferSize - 1] = '\0';
    if (answer == 0 && buffer[0] == '\0') return "(not supplied)";
    return quoted(buffer);
}

std::string programName(Effect& effect, VstInt32 program) { return quoted(InfoJson::programName(effect, program)); }

void printRecord(const PluginLibrary& library, const AEffect& record) {
    ChildChannel::print("plug-in          %s (entry point %s)\n", library.path().c_str(),
                library.entryName().c_str());
    ChildChannel::print("magic            %s\n", fourCharacterText(record.magic).c_str());
    ChildChannel::print("uniqueID         %s\n", fourCharacterText(record.uniqueID).c_str());
    ChildChannel::print("version          %d (%s)\n", static_cast<int>(record.version),
                productVersionText(record.version).c_str());
    ChildChannel::print("numPrograms      %d\n", static_cast<int>(record.numPrograms));
    ChildChannel::print("numParams        %d\n", static_cast<int>(record.numParams));
    ChildChannel::print("numInputs        %d\n", static_cast<int>(record.numInputs));
    ChildChannel::print("numOutputs       %d\n", static_cast<int>(record.numOutputs));
    ChildChannel::print("flags            %s\n", flagsText(record.flags).c_str());
    ChildChannel::print("initialDelay     %d\n", static_cast<int>(record.initialDelay));
    ChildChannel::print("realQualities    %d\n", static_cast<int>(record.realQualities));
    ChildChannel::print("offQualities     %d\n", static_cast<int>(record.offQualities));
    ChildChannel::print("ioRatio          %g\n", static_cast<double>(record.ioRatio));
    ChildChannel::print("entries          dispatcher %s, process %s, setParameter %s, getParameter %s,\n"
                "                 processReplacing %s, processDoubleReplacing %s\n",
                present(record.dispatcher), present(record.process), present(record.setParameter),
                present(record.getParameter), present(record.processReplacing),
                present(record.processDoubleReplacing));
}

void printAnswers(Effect& effect) {
    ChildChannel::print("effect name      %s\n", supplied(effect, effGetEffectName).c_str());
    ChildChannel::print("vendor           %s\n", supplied(effect, effGetVendorString).c_str());
    ChildChannel::print("product          %s\n", supplied(effect, effGetProductString).c_str());
    const VstIntPtr vendorVersion = effect.dispatch(effGetVendorVersion);
    ChildChannel::print("vendor version   %ld (%s)\n", static_cast<long>(vendorVersion),
                productVersionText(vendorVersion).c_str());
    const VstIntPtr interfaceVersion = effect.dispatch(effGetVstVersion);
    ChildChannel::print("VST version      %ld (%s)\n", static_cast<long>(interfaceVersion),
                interfaceVersionText(interfaceVersion).c_str());
    const VstIntPtr category = effect.dispatch(effGetPlugCategory);
    ChildChannel::print("category         %ld (%s)\n", static_cast<long>(category), categoryName(category));
    ChildChannel::print("tail size        %ld\n", static_cast<long>(effect.dispatch(effGetTailSize)));
    ChildChannel::print("current program  %ld\n", static_cast<long>(effect.dispatch(effGetProgram)));
}

// A shell opened without --shell: which plug-ins it holds, and how to reach one.
void printMembers(Effect& effect) {
    if (ShellChoice::chosen() != 0 || !ShellChoice::isShell(effect)) return;
    const auto members = ShellChoice::members(effect);
    ChildChannel::print("shell members    %d (a shell: pick one with --shell ID)\n", static_cast<int>(members.size()));
    for (const auto& member : members) {
        ChildChannel::print("  %-24s %s\n", ShellChoice::idText(member.id).c_str(), quoted(member.name).c_str());
    }
}

void printPrograms(Effect& effect) {
    const VstInt32 count = effect.record().numPrograms;
    ChildChannel::print("programs         %d\n", static_cast<int>(count));
    for (VstInt32 program = 0; program < count && program < kListLimit; ++program) {
        ChildChannel::print("  %4d  %s\n", static_cast<int>(program), programName(effect, program).c_str());
    }
    if (count > kListLimit) ChildChannel::print("  ... and %d more\n", static_cast<int>(count - kListLimit));
}

// Zeroed room beyond the record, for plug-ins that write more than it holds.
template <class Record>
struct PropertyBuffer {
    Record record{};
    char spare[1024]{};
};

std::string fixedText(const char* text, std::size_t size) {
    return quoted(std::string(text, strnlen(text, size)));
}

void printPins(Effect& effect, VstInt32 opcode, const char* heading, const char* kind, VstInt32 count) {
    static const char* const flagNames[] = {"active", "stereo", "useSpeaker"};
    ChildChannel::print("%-17s%d\n", heading, static_cast<int>(count));
    for (VstInt32 pin = 0; pin < count && pin < kListLimit; ++pin) {
        PropertyBuffer<PinProperties> buffer;
        if (effect.dispatch(opcode, pin, 0, &buffer.record) == 0) {
            ChildChannel::print("  %s %-3d (no properties)\n", kind, static_cast<int>(pin));
            continue;
        }
        const PinProperties& properties = buffer.record;
        ChildChannel::print("  %s %-3d %s  short %s  flags %s  arrangement %d\n", kind, static_cast<int>(pin),
                    fixedText(properties.label, sizeof properties.label).c_str(),
                    fixedText(properties.shortLabel, sizeof properties.shortLabel).c_str(),
                    bitNames(properties.flags, flagNames, 3).c_str(),
                    static_cast<int>(properties.arrangementType));
    }
}

void printParameterProperties(Effect& effect, VstInt32 index) {
    static const char* const flagNames[] = {"isSwitch", "usesIntegerMinMax", "usesFloatStep",
                                            "usesIntStep", "supportsDisplayIndex",
                                            "supportsDisplayCategory", "canRamp"};
    PropertyBuffer<ParameterProperties> buffer;
    if (effect.dispatch(effGetParameterProperties, index, 0, &buffer.record) == 0) return;
    const ParameterProperties& p = buffer.record;
    ChildChannel::print("        properties %s short %s flags %s", fixedText(p.label, sizeof p.label).c_str(),
                fixedText(p.shortLabel, sizeof p.shortLabel).c_str(), bitNames(p.flags, flagNames, 7).c_str());
    if (p.flags & ParameterProperties::kUsesFloatStep) {
        ChildChannel::print(" steps %g/%g/%g", static_cast<double>(p.stepFloat), static_cast<double>(p.smallStepFloat),
                    static_cast<double>(p.largeStepFloat));
    }
    if (p.flags & ParameterProperties::kUsesIntegerMinMax) {
        ChildChannel::print(" range %d to %d", static_cast<int>(p.minInteger), static_cast<int>(p.maxInteger));
    }
    if (p.flags & ParameterProperties::kUsesIntStep) {
        ChildChannel::print(" integer steps %d/%d", static_cast<int>(p.stepInteger), static_cast<int>(p.largeStepInteger));
    }
    if (p.flags & ParameterProperties::kSupportsDisplayIndex) ChildChannel::print(" display index %d", p.displayIndex);
    if (p.flags & ParameterProperties::kSupportsDisplayCategory) {
        ChildChannel::print(" category %d %s of %d", p.category,
                    fixedText(p.categoryLabel, sizeof p.categoryLabel).c_str(), p.numParametersInCategory);
    }
    ChildChannel::print("\n");
}

void printParameters(Effect& effect) {
    const VstInt32 count = effect.record().numParams;
    ChildChannel::print("parameters       %d\n", static_cast<int>(count));
    for (VstInt32 index = 0; index < count && index < kListLimit; ++index) {
        ChildChannel::print("  %4d  name %s  label %s  display %s  value %g  automatable %s\n",
                    static_cast<int>(index), quoted(effect.text(effGetParamName, index)).c_str(),
                    quoted(effect.text(effGetParamLabel, index)).c_str(),
                    quoted(effect.text(effGetParamDisplay, index)).c_str(),
                    static_cast<double>(effect.getParameter(index)),
                    effect.dispatch(effCanBeAutomated, index) != 0 ? "yes" : "no");
        printParameterProperties(effect, index);
    }
    if (count > kListLimit) ChildChannel::print("  ... and %d more\n", static_cast<int>(count - kListLimit));
}

void printCapabilities(Effect& effect) {
    ChildChannel::print("canDo\n");
    for (const char* capability : kCapabilities) {
        char text[64] = {};
        std::snprintf(text, sizeof text, "%s", capability);
        const VstIntPtr answer = effect.dispatch(effCanDo, 0, 0, text);
        ChildChannel::print("  %-20s %ld (%s)\n", capability, static_cast<long>(answer), canDoName(answer));
    }
}

}  // namespace

int InfoCommand::run(const CommandLine& line) {
    if (line.arguments.size() != 1) {
        std::fprintf(stderr, "vsthost: usage: vsthost info PLUGIN [--shell ID] [--json]\n");
        return 2;
    }
    const bool json = line.has("--json");
    return ChildWork::command(line, 0, [json](const PluginLibrary& library, const std::vector<std::string>&) -> Expected<bool> {
        ChildChannel::send(ChildChannel::kStep, "asking the plug-in");
        auto created = Effect::create(library, Effect::Shells::allowed);
        if (!created) return Error{created.error()};
        Effect& effect = *created;
        if (json) {
            effect.dispatch(effOpen);
            ChildChannel::print("%s\n", InfoJson::document(library, effect).c_str());
            effect.close();
            return true;
        }
        printRecord(library, effect.record());
        effect.dispatch(effOpen);
        printAnswers(effect);
        printMembers(effect);
        printPins(effect, effGetInputProperties, "input pins", "in", effect.record().numInputs);
        printPins(effect, effGetOutputProperties, "output pins", "out", effect.record().numOutputs);
        printPrograms(effect);
        printParameters(effect);
        printCapabilities(effect);
        effect.close();
        return true;
    });
}

}  // namespace vsthost
