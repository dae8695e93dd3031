#include "EffectState.h"

#include <cstring>
#include <string>

#include "Opcodes.h"

namespace vsthost {

namespace {

constexpr auto kLargestChunk = static_cast<VstIntPtr>(PresetFile::kLargestChunk);

PresetProgram currentValues(Effect& effect) {
    PresetProgram program{effect.text(effGetProgramName), {}};
    for (VstInt32 index = 0; index < effect.record().numParams; ++index) {
        program.parameters.push_back(effect.getParameter(index));
    }
    return program;
}

void setValues(Effect& effect, const PresetProgram& program) {
    for (std::size_t index = 0; index < program.parameters.size(); ++index) {
        effect.setParameter(static_cast<VstInt32>(index), program.parameters[index]);
    }
    char name[PresetFile::kNameBytes] = {};
    std::strncpy(name, program.name.c_str(), sizeof name - 1);
    effect.dispatch(effSetProgramName, 0, 0, name);
}

std::string counted(std::size_t count, const char* what) { return std::to_string(count) + " " + what; }

// Why `file` cannot go into this plug-in as it is; empty when it can.
std::string misfit(const Effect& effect, const PresetFile& file) {
    const AEffect& record = effect.record();
    if (file.pluginId != record.uniqueID) {
        return "is for the plug-in " + EffectState::idText(file.pluginId) + ", not this one, " +
               EffectState::idText(record.uniqueID);
    }
    if (file.opaque) return effect.hasFlag(effFlagsProgramChunks) ? "" : "holds a chunk, and the plug-in takes none";
    const auto parameters = static_cast<std::size_t>(record.numParams);
    for (const auto& program : file.programs) {
        if (program.parameters.size() != parameters) {
            return "holds " + counted(program.parameters.size(), "parameter values") + " a program; the plug-in has " +
                   counted(parameters, "parameters");
        }
    }
    if (file.kind == PresetFile::Kind::bank && file.programs.size() != static_cast<std::size_t>(record.numPrograms)) {
        return "holds " + counted(file.programs.size(), "programs") + "; the plug-in has " +
               counted(static_cast<std::size_t>(record.numPrograms), "programs");
    }
    return {};
}

}  // namespace

std::string EffectState::idText(std::int32_t id) {
    std::string text;
    for (int shift = 24; shift >= 0; shift -= 8) {
        const char c = static_cast<char>(static_cast<std::uint32_t>(id) >> shift);
        text += c >= 0x20 && c < 0x7F ? c : '.';
    }
    return "'" + text + "' (" + std::to_string(id) + ")";
}

Expected<PresetFile> EffectState::capture(Effect& effect, PresetFile::Kind kind) {
    const AEffect& record = effect.record();
    const bool program = kind == PresetFile::Kind::program;
    PresetFile file;
    file.kind = kind;
    file.formatVersion = program ? 1 : PresetFile::kNewestBankVersion;
    file.pluginId = record.uniqueID;
    file.pluginVersion = record.version;
    file.currentProgram = static_cast<std::int32_t>(effect.dispatch(effGetProgram));
    file.opaque = effect.hasFlag(effFlagsProgramChunks);
    if (!program && !file.opaque && record.numPrograms <= 0) {
        return Error{"the plug-in has no programs: a bank of it holds nothing; its state goes in a program file"};
    }
    if (file.opaque) {
        void* data = nullptr;
        const VstIntPtr size = effect.dispatch(effGetChunk, program ? 1 : 0, 0, &data);
        if (data == nullptr || size < 0 || size > kLargestChunk) {
            return Error{"the plug-in gave no chunk of its state (" + std::to_string(size) + " bytes)"};
        }
        file.chunk.assign(static_cast<const char*>(data), static_cast<std::size_t>(size));
        file.count = program ? record.numParams : record.numPrograms;
        if (program) file.programs = {PresetProgram{effect.text(effGetProgramName), {}}};
        return file;
    }
    if (program) {
        file.programs = {currentValues(effect)};
        return file;
    }
    for (VstInt32 index = 0; index < record.numPrograms; ++index) {
        effect.dispatch(effSetProgram, 0, index);
        file.programs.push_back(currentValues(effect));
    }
    effect.dispatch(effSetProgram, 0, file.currentProgram);
    return file;
}

Expected<bool> EffectState::apply(Effect& effect, const PresetFile& file) {
    if (const std::string why = misfit(effect, file); !why.empty()) return Error{why};
    const bool program = file.kind == PresetFile::Kind::program;
    if (file.opaque) {
        // The plug-in may keep the pointer for the call only; it gets a copy it may not write past.
        std::string chunk = file.chunk;
        const VstIntPtr taken = effect.dispatch(effSetChunk, program ? 1 : 0, static_cast<VstIntPtr>(chunk.size()),
                                                chunk.data());
        if (taken == 0) return Error{"holds a chunk the plug-in refused"};
        return true;
    }
    if (program) {
        setValues(effect, file.programs[0]);
        return true;
    }
    for (std::size_t index = 0; index < file.programs.size(); ++index) {
        effect.dispatch(effSetProgram, 0, static_cast<VstIntPtr>(index));
        setValues(effect, file.programs[index]);
    }
    effect.dispatch(effSetProgram, 0, file.formatVersion >= 2 ? file.currentProgram : 0);
    return true;
}

}  // namespace vsthost
