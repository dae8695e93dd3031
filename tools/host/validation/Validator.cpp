#include "Validator.h"

#include <algorithm>
#include <cstdio>
#include <set>
#include <utility>

#include "CheckContext.h"
#include "ChildChannel.h"
#include "ChildProgress.h"
#include "Host.h"
#include "ShellChoice.h"

namespace vsthost {

Validator::Validator(std::string pluginPath, ValidationOptions options, bool printed)
    : pluginPath_(std::move(pluginPath)), options_(std::move(options)), report_(printed) {}

bool Validator::run() {
    std::string gateClosed;
    for (const CheckDefinition& definition : CheckRegistry::all()) {
        if (definition.wanted && !definition.wanted(options_)) continue;
        const std::vector<std::string> verdicts = definition.verdicts(options_);
        report_.beginCheck(definition.name, definition.level);
        if (!runsWith(definition, options_) || !gateClosed.empty()) {
            const std::string reason =
                gateClosed.empty() ? "needs " + levelText(definition.level) + ", --level " +
                                         std::to_string(static_cast<int>(definition.level))
                                   : gateClosed;
            for (const auto& name : verdicts) report_.skip(name, reason);
            continue;
        }
        const int failedBefore = report_.failed();
        // A child that cannot start would not start for the next check either.
        if (!runInChild(definition, verdicts)) {
            if (!refusal_.empty()) return false;
            gateClosed = "not run: vsthost's child process did not start";
        } else if (definition.gate && report_.failed() > failedBefore) {
            gateClosed = "not run: the " + std::string(definition.name) + " check failed";
        }
    }
    // The child stops by itself after the last check, or after a failed check others need.
    if (child_) child_->finish(false, options_.secondsPerCheck);
    child_.reset();
    report_.printSummary();
    return report_.failed() == 0;
}

bool Validator::runInChild(const CheckDefinition& definition, const std::vector<std::string>& verdicts) {
    if (!child_) {
        const auto work = [&] {
            auto library = ChildProcess::loadInChild(pluginPath_);
            return library ? runChild(*library, options_, definition.name) : 1;
        };
        auto started = ChildProcess::start(work, childArguments(pluginPath_, options_, definition.name));
        if (!started) {
            for (const auto& name : verdicts) report_.fail(name, started.error());
            return false;
        }
        child_.emplace(std::move(*started));
    }
    std::set<std::string> given;
    ChildProgress progress(options_.secondsPerCheck);
    std::string line;
    for (;;) {
        const ChildProcess::Next next = child_->next(line, progress.deadline());
        if (next != ChildProcess::Next::message) {
            const bool late = next == ChildProcess::Next::late;
            const ChildProcess::Ending ending = child_->finish(late);
            child_.reset();
            std::vector<std::string> missing;
            std::copy_if(verdicts.begin(), verdicts.end(), std::back_inserter(missing),
                         [&given](const std::string& name) { return !given.count(name); });
            reportEnding(definition, missing, progress.ending(late, ending));
            return progress.begun();
        }
        ChildChannel::Kind kind;
        std::string name;
        std::string detail;
        if (!ChildChannel::parse(line, kind, name, detail)) continue;
        // A verdict the check declared and has not given yet.
        const auto own = [&] {
            return std::find(verdicts.begin(), verdicts.end(), name) != verdicts.end() && given.insert(name).second;
        };
        switch (kind) {
        case ChildChannel::kBegin:
        case ChildChannel::kEnd:
            if (name != definition.name) continue;
            break;
        case ChildChannel::kStep:
        case ChildChannel::kHostStep:
        case ChildChannel::kDone: break;
        case ChildChannel::kOutput:
        case ChildChannel::kProgress:
        case ChildChannel::kUsage: continue;
        case ChildChannel::kTrace: std::fprintf(stderr, "%s\n", name.c_str()); continue;
        case ChildChannel::kRefused:
            refusal_ = name;
            child_->finish(true);
            child_.reset();
            return false;
        case ChildChannel::kNote: std::fprintf(stderr, "vsthost: %s\n", name.c_str()); continue;
        case ChildChannel::kWarn: report_.warn(name, detail); continue;
        case ChildChannel::kPass:
            if (own()) report_.pass(name, detail);
            continue;
        case ChildChannel::kFail:
            if (own()) report_.fail(name, detail);
            continue;
        case ChildChannel::kSkip:
            if (own()) report_.skip(name, detail);
            continue;
        }
        progress.follow(kind, name);
        if (kind == ChildChannel::kEnd) {
            for (const auto& verdict : verdicts) {
                if (!given.count(verdict)) report_.fail(verdict, "the check gave no verdict");
            }
            return true;
        }
    }
}

void Validator::reportEnding(const CheckDefinition& definition, const std::vector<std::string>& missing,
                             const std::string& text) {
    // The verdict in progress fails; those after it never ran.
    report_.fail(missing.empty() ? std::string(definition.name) + " check ends" : missing.front(), text);
    for (std::size_t i = 1; i < missing.size(); ++i) {
        report_.skip(missing[i], "not reached: the check ended at the failure above");
    }
}

int Validator::runChild(const PluginLibrary& library, const ValidationOptions& options,
                        const std::string& first) {
    bool reached = false;
    for (const CheckDefinition& definition : CheckRegistry::all()) {
        reached = reached || first == definition.name;
        if (!reached || !runsWith(definition, options)) continue;
        ChildChannel::send(ChildChannel::kBegin, definition.name);
        CheckContext context(library, options, definition.verdicts(options));
        definition.run(context);
        ChildChannel::send(ChildChannel::kEnd, definition.name);
        if (definition.gate && context.anyFailed()) break;
    }
    return reached ? 0 : 2;
}

std::vector<std::string> Validator::childArguments(const std::string& pluginPath,
                                                   const ValidationOptions& options,
                                                   const std::string& first) {
    std::vector<std::string> arguments = {"validate", "--level", std::to_string(static_cast<int>(options.level)),
                                          "--timeout", std::to_string(options.secondsPerCheck)};
    if (options.passThrough) arguments.push_back("--passthrough");
    if (options.preset) arguments.insert(arguments.end(), {"--preset", options.presetPath});
    if (Host::instance().tracing()) arguments.push_back("--trace");
    if (ShellChoice::chosen() != 0) {
        arguments.insert(arguments.end(), {"--shell", std::to_string(static_cast<std::uint32_t>(ShellChoice::chosen()))});
    }
    // "--" first: a name may start with dashes too.
    arguments.insert(arguments.end(), {"--child", first, "--", pluginPath});
    return arguments;
}

}  // namespace vsthost
