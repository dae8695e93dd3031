#include "ValidateCommand.h"

#include <cstdio>

#include "ChildChannel.h"
#include "ChildProcess.h"
#include "JunitReport.h"
#include "PluginLibrary.h"
#include "Validator.h"

namespace vsthost {

namespace {

constexpr const char* kUsage =
    "vsthost: usage: vsthost validate PLUGIN [--level N|normal|strict|hostile] [--passthrough] "
    "[--timeout S] [--preset FILE] [--junit FILE]\n";

}  // namespace

Expected<ValidationOptions> ValidateCommand::options(const CommandLine& line) {
    ValidationOptions options;
    options.passThrough = line.has("--passthrough");
    if (line.has("--level")) {
        auto level = parseLevel(line.options.at("--level"));
        if (!level) return Error{level.error()};
        options.level = *level;
    }
    auto seconds = line.positive("--timeout", ValidationOptions::kDefaultSeconds, 24 * 3600);
    if (!seconds) return Error{seconds.error()};
    options.secondsPerCheck = static_cast<int>(*seconds);
    if (line.has("--preset")) {
        auto preset = PresetFile::read(line.options.at("--preset"));
        if (!preset) return Error{preset.error()};
        options.presetPath = line.options.at("--preset");
        options.preset = std::move(*preset);
    }
    return options;
}

int ValidateCommand::run(const CommandLine& line) {
    auto options = ValidateCommand::options(line);
    if (line.arguments.size() != 1 || !options) {
        if (!options) std::fprintf(stderr, "vsthost: %s\n", options.error().c_str());
        else std::fprintf(stderr, "%s", kUsage);
        return 2;
    }
    auto library = ChildProcess::loadPluginOf(line);
    if (!library) {
        ChildChannel::note(library.error());
        return 1;
    }
    // Started anew by a validation run on Windows, with the channel it was told.
    if (line.has("--child")) return Validator::runChild(*library, *options, line.options.at("--child"));
    Validator validator(*library, *options);
    const bool passed = validator.run();
    if (line.has("--junit")) {
        auto written = JunitReport::write(line.options.at("--junit"), line.arguments[0], validator.report());
        if (!written) {
            std::fprintf(stderr, "vsthost: %s\n", written.error().c_str());
            return 1;
        }
    }
    return passed ? 0 : 1;
}

}  // namespace vsthost
