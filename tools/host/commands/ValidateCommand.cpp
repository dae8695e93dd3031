#include "ValidateCommand.h"

#include <cstdio>

#include "ChildChannel.h"
#include "ChildProcess.h"
#include "FileName.h"
#include "JsonReport.h"
#include "JunitReport.h"
#include "PluginLibrary.h"
#include "Validator.h"

namespace vsthost {

namespace {

constexpr const char* kUsage =
    "vsthost: usage: vsthost validate PLUGIN [--level N|normal|strict|hostile] [--passthrough] "
    "[--timeout S] [--preset FILE] [--junit FILE] [--json]\n";

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
    const std::string plugin = FileName::absolute(line.arguments[0]);
    if (line.has("--child")) {
        // Started anew by a validation run on Windows, with the channel it was told.
        auto entered = ChildProcess::enterChild(line);
        if (!entered) {
            std::fprintf(stderr, "vsthost: %s\n", entered.error().c_str());
            return 2;
        }
        auto library = ChildProcess::loadInChild(plugin);
        return library ? Validator::runChild(*library, *options, line.options.at("--child")) : 1;
    }
    if (!FileName::isRegularFile(plugin)) {
        std::fprintf(stderr, "vsthost: cannot find plug-in '%s'\n", line.arguments[0].c_str());
        return 1;
    }
    if (line.has("--junit")) {
        if (auto refused = FileName::refuseOverwriting(line.options.at("--junit"), {plugin}); !refused) {
            std::fprintf(stderr, "vsthost: %s\n", refused.error().c_str());
            return 2;
        }
    }
    const bool json = line.has("--json");
    Validator validator(plugin, *options, !json);
    const bool passed = validator.run();
    if (json) {
        const std::string document = JsonReport::text(line.arguments[0], *options, validator.report(), validator.refusal());
        std::printf("%s\n", document.c_str());
        std::fflush(stdout);
    }
    if (!validator.refusal().empty()) {
        std::fprintf(stderr, "vsthost: %s\n", validator.refusal().c_str());
        return 1;
    }
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
