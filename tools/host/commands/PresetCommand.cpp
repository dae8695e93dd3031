#include "PresetCommand.h"

#include <cstdio>
#include <cstdlib>
#include <string>

#include "ChildChannel.h"
#include "ChildWork.h"
#include "Effect.h"
#include "EffectState.h"
#include "FileName.h"
#include "Opcodes.h"
#include "PresetFile.h"
#include "RecordText.h"

namespace vsthost {

namespace {

constexpr const char* kUsage =
    "vsthost: usage: vsthost preset save PLUGIN OUT.fxp|OUT.fxb [--program N] | vsthost preset show FILE\n";

// In the child: the plug-in's program or bank, written to `out`.
Expected<bool> saveFrom(const PluginLibrary& library, const CommandLine& line, const std::string& out) {
    ChildChannel::send(ChildChannel::kStep, "taking the state");
    auto created = Effect::create(library);
    if (!created) return Error{created.error()};
    Effect& effect = *created;
    effect.dispatch(effOpen);
    const VstInt32 programs = effect.record().numPrograms;
    if (line.has("--program")) {
        const std::string& text = line.options.at("--program");
        char* end = nullptr;
        const long chosen = std::strtol(text.c_str(), &end, 10);
        if (*end != '\0' || chosen < 0 || chosen >= programs) {
            return Error{"--program wants a program from 0 to " + std::to_string(programs - 1) + ", not '" + text +
                         "'"};
        }
        effect.dispatch(effSetProgram, 0, chosen);
    }
    const bool bank = out.ends_with(".fxb");
    auto file = EffectState::capture(effect, bank ? PresetFile::Kind::bank : PresetFile::Kind::program);
    effect.close();
    if (!file) return Error{file.error()};
    ChildChannel::send(ChildChannel::kHostStep, "writing the file");
    const std::string bytes = file->bytes();
    if (auto written = FileName::write(out, bytes.data(), bytes.size()); !written) {
        return Error{"cannot write '" + out + "': " + written.error()};
    }
    ChildChannel::print("%s: %s\n", out.c_str(), file->description().c_str());
    return true;
}

int save(const CommandLine& line) {
    const std::string& out = line.arguments[2];
    if (!out.ends_with(".fxb") && !out.ends_with(".fxp")) {
        std::fprintf(stderr, "vsthost: '%s' names no preset file: it ends in .fxp (a program) or .fxb (a bank)\n",
                     out.c_str());
        return 2;
    }
    if (auto refused = FileName::refuseOverwriting(out, {line.arguments[1]}); !refused) {
        std::fprintf(stderr, "vsthost: %s\n", refused.error().c_str());
        return 2;
    }
    return ChildWork::command(line, 1, [&line](const PluginLibrary& library, const std::vector<std::string>& named) {
        return saveFrom(library, line, named[2]);
    });
}

int show(const std::string& path) {
    const auto file = PresetFile::read(path);
    if (!file) {
        std::fprintf(stderr, "vsthost: %s\n", file.error().c_str());
        return 1;
    }
    std::printf("%s: %s\n", path.c_str(), file->description().c_str());
    std::printf("plug-in %s, version %d; format version %d\n", EffectState::idText(file->pluginId).c_str(),
                static_cast<int>(file->pluginVersion), static_cast<int>(file->formatVersion));
    if (file->kind == PresetFile::Kind::bank && file->formatVersion >= 2) {
        std::printf("current program %d\n", static_cast<int>(file->currentProgram));
    }
    for (std::size_t i = 0; i < file->programs.size(); ++i) {
        std::printf("program %zu %s:", i, quoted(file->programs[i].name).c_str());
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
