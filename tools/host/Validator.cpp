#include "Validator.h"

#include <algorithm>
#include <set>

#include "CheckContext.h"
#include "ChildChannel.h"
#include "ChildProcess.h"
#include "Host.h"

namespace vsthost {

Validator::Validator(const PluginLibrary& library, ValidationOptions options)
    : library_(library), options_(options) {}

bool Validator::run() {
    std::string gateClosed;
    for (const CheckDefinition& definition : CheckRegistry::all()) {
        if (definition.wanted && !definition.wanted(options_)) continue;
        const std::vector<std::string> verdicts = definition.verdicts(options_);
        report_.beginCheck(definition.name, definition.level);
        if (definition.level > options_.level || !gateClosed.empty()) {
            const std::string reason =
                gateClosed.empty() ? "needs " + levelText(definition.level) + ", --level " +
                                         std::to_string(static_cast<int>(definition.level))
                                   : gateClosed;
            for (const auto& name : verdicts) report_.skip(name, reason);
            continue;
        }
        const int failedBefore = report_.failed();
        runIsolated(definition, verdicts);
        if (definition.gate && report_.failed() > failedBefore) {
            gateClosed = "not run: the " + std::string(definition.name) + " check failed";
        }
    }
    report_.printSummary();
    return report_.failed() == 0;
}

void Validator::runIsolated(const CheckDefinition& definition,
                            const std::vector<std::string>& verdicts) {
    std::set<std::string> given;
    std::string step = "starting";
    auto listen = [&](const std::string& line) {
        ChildChannel::Kind kind;
        std::string name;
        std::string detail;
        if (!ChildChannel::parse(line, kind, name, detail)) return;
        switch (kind) {
        case ChildChannel::kStep: step = name; return;
        case ChildChannel::kPass: report_.pass(name, detail); break;
        case ChildChannel::kFail: report_.fail(name, detail); break;
        case ChildChannel::kSkip: report_.skip(name, detail); break;
        case ChildChannel::kWarn: report_.warn(name, detail); return;
        }
        given.insert(name);
    };
    const ChildProcess::Ending ending = ChildProcess::run(
        [&] { return runChild(library_, options_, definition.name); },
        childArguments(library_.path(), options_, definition.name), options_.secondsPerCheck, listen);

    std::vector<std::string> missing;
    std::copy_if(verdicts.begin(), verdicts.end(), std::back_inserter(missing),
                 [&given](const std::string& name) { return !given.count(name); });
    if (ending.finished) {
        for (const auto& name : missing) report_.fail(name, "the check gave no verdict");
        return;
    }
    const bool hung = ending.what.starts_with("no answer");
    const std::string what = (hung ? "the plug-in hung: " : "the plug-in crashed: ") + ending.what +
                             ", in step \"" + step + "\"";
    // The verdict in progress fails; those after it never ran.
    report_.fail(missing.empty() ? std::string(definition.name) + " check ends" : missing.front(), what);
    for (std::size_t i = 1; i < missing.size(); ++i) {
        report_.skip(missing[i], "not reached: the check ended at the failure above");
    }
}

int Validator::runChild(const PluginLibrary& library, const ValidationOptions& options,
                        const std::string& check) {
    const CheckDefinition* definition = CheckRegistry::find(check);
    if (definition == nullptr) return 2;
    CheckContext context(library, options, definition->verdicts(options));
    definition->run(context);
    return 0;
}

std::vector<std::string> Validator::childArguments(const std::string& pluginPath,
                                                   const ValidationOptions& options,
                                                   const std::string& check) {
    std::vector<std::string> arguments = {"validate", pluginPath, "--level",
                                          std::to_string(static_cast<int>(options.level))};
    if (options.passThrough) arguments.push_back("--passthrough");
    if (Host::instance().tracing()) arguments.push_back("--trace");
    arguments.insert(arguments.end(), {"--child", check});
    return arguments;
}

}  // namespace vsthost
