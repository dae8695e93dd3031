#include "PresetCommand.h"

#include <cstdio>
#include <cstdlib>
#include <string>

#include "Effect.h"
#include "FileName.h"
#include "Opcodes.h"
#include "PluginLibrary.h"
#include "PresetFile.h"

namespace vsthost {

namespace {

constexpr const char* kUsage =
    "vsthost: usage: vsthost preset save PLUGIN OUT.fxp|OUT.fxb [--program N] | vsthost preset show FILE\n";
// A chunk larger than this is a plug-in's mistake, not its state.
constexpr VstIntPtr kLargestChunk = 1 << 28;

bool endsWith(const std::string& text, const std::string& end) {
    return text.size() >= end.size() && text.compare(text.size() - end.size(), end.size(), end) == 0;
}

PresetProgram currentValues(Effect& effect) {
    PresetProgram program{effect.text(effGetProgramName), {}};
    for (VstInt32 index = 0; index < effect.record().numParams; ++index) {
        program.parameters.push_back(effect.getParameter(index));
    }
    return program;
}

Expected<PresetFile> stateOf(Effect& effect, PresetFile::Kind kind) {
    const AEffect& record = effect.record();
    PresetFile file;
    file.kind = kind;
    file.formatVersion = kind == PresetFile::Kind::bank ? PresetFile::kNewestBankVersion : 1;
    file.pluginId = record.uniqueID;
    file.pluginVersion = record.version;
    file.currentProgram = static_cast<std::int32_t>(effect.dispatch(effGetProgram));
    file.opaque = effect.hasFlag(effFlagsProgramChunks);
    if (file.opaque) {
        void* data = nullptr;
        const VstIntPtr size = effect.dispatch(effGetChunk, kind == PresetFile::Kind::program ? 1 : 0, 0, &data);
        if (data == nullptr || size < 0 || size > kLargestChunk) {
            return Error{"the plug-in gave no chunk of its state (" + std::to_string(size) + " bytes)"};
        }
        file.chunk.assign(static_cast<const char*>(data), static_cast<std::size_t>(size));
        file.count = kind == PresetFile::Kind::program ? record.numParams : record.numPrograms;
        if (kind == PresetFile::Kind::program) file.programs = {PresetProgram{effect.text(effGetProgramName), {}}};
        return file;
    }
    if (kind == PresetFile::Kind::program) {
        file.programs = {currentValues(effect)};
        return file;
    }
    for (VstInt32 program = 0; program < record.numPrograms; ++program) {
        effect.dispatch(effSetProgram, 0, program);
        file.programs.push_back(currentValues(effect));
    }
    effect.dispatch(effSetProgram, 0, file.currentProgram);
    return file;
}

int save(const CommandLine& line) {
    const std::string& out = line.arguments[2];
    const bool bank = endsWith(out, ".fxb");
    if (!bank && !endsWith(out, ".fxp")) {
        std::fprintf(stderr, "vsthost: '%s' names no preset file: it ends in .fxp (a program) or .fxb (a bank)\n",
                     out.c_str());
        return 2;
    }
    auto library = PluginLibrary::load(line.arguments[1]);
    if (!library) {
        std::fprintf(stderr, "vsthost: %s\n", library.error().c_str());
        return 1;
    }
    auto effect = Effect::create(*library);
    if (!effect) {
        std::fprintf(stderr, "vsthost: %s\n", effect.error().c_str());
        return 1;
    }
    effect->dispatch(effOpen);
    const VstInt32 programs = effect->record().numPrograms;
    if (line.has("--program")) {
        const std::string& text = line.options.at("--program");
        char* end = nullptr;
        const long chosen = std::strtol(text.c_str(), &end, 10);
        if (*end != '\0' || chosen < 0 || chosen >= programs) {
            std::fprintf(stderr, "vsthost: --program wants a program from 0 to %d, not '%s'\n",
                         static_cast<int>(programs) - 1, text.c_str());
            return 2;
        }
        effect->dispatch(effSetProgram, 0, chosen);
    }
    auto file = stateOf(*effect, bank ? PresetFile::Kind::bank : PresetFile::Kind::program);
    effect->close();
    if (!file) {
        std::fprintf(stderr, "vsthost: %s\n", file.error().c_str());
        return 1;
    }
    const std::string bytes = file->bytes();
    std::FILE* written = FileName::openStream(out, "wb");
    const bool whole = written != nullptr && std::fwrite(bytes.data(), 1, bytes.size(), written) == bytes.size();
    if (written == nullptr || std::fclose(written) != 0 || !whole) {
        FileName::remove(out);
        std::fprintf(stderr, "vsthost: cannot write '%s'\n", out.c_str());
        return 1;
    }
    std::printf("%s: %s\n", out.c_str(), file->description().c_str());
    return 0;
}

std::string idText(std::int32_t id) {
    std::string text;
    for (int shift = 24; shift >= 0; shift -= 8) {
        const char c = static_cast<char>(static_cast<std::uint32_t>(id) >> shift);
        text += c >= 0x20 && c < 0x7F ? c : '.';
    }
    return "'" + text + "' (" + std::to_string(id) + ")";
}

int show(const std::string& path) {
    std::string bytes;
    if (!FileName::read(path, bytes)) {
        std::fprintf(stderr, "vsthost: cannot read '%s'\n", path.c_str());
        return 1;
    }
    const auto file = PresetFile::parse(bytes);
    if (!file) {
        std::fprintf(stderr, "vsthost: '%s' %s\n", path.c_str(), file.error().c_str());
        return 1;
    }
    std::printf("%s: %s\n", path.c_str(), file->description().c_str());
    std::printf("plug-in %s, version %d; format version %d\n", idText(file->pluginId).c_str(),
                static_cast<int>(file->pluginVersion), static_cast<int>(file->formatVersion));
    if (file->kind == PresetFile::Kind::bank && file->formatVersion >= 2) {
        std::printf("current program %d\n", static_cast<int>(file->currentProgram));
    }
    for (std::size_t i = 0; i < file->programs.size(); ++i) {
        std::printf("program %zu \"%s\":", i, file->programs[i].name.c_str());
        for (const float value : file->programs[i].parameters) std::printf(" %.9g", static_cast<double>(value));
        std::printf("\n");
    }
    return 0;
}

}  // namespace

int PresetCommand::run(const CommandLine& line) {
    const auto& arguments = line.arguments;
    if (arguments.size() == 3 && arguments[0] == "save") return save(line);
    if (arguments.size() == 2 && arguments[0] == "show") return show(arguments[1]);
    std::fprintf(stderr, "%s", kUsage);
    return 2;
}

}  // namespace vsthost
