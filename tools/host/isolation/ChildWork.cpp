#include "ChildWork.h"

#include <cstdio>

#include "ChildChannel.h"
#include "ChildProgress.h"
#include "FileName.h"

#if defined(_WIN32)
#include <io.h>
#else
#include <unistd.h>
#endif

namespace vsthost {

namespace {

// Progress is for a person watching; a log or a pipe gets none of it.
bool stderrIsTerminal() {
#if defined(_WIN32)
    return _isatty(_fileno(stderr)) != 0;
#else
    return isatty(STDERR_FILENO) != 0;
#endif
}

}  // namespace

std::string ChildWork::run(const ChildProcess::Work& work, const std::vector<std::string>& arguments, int seconds,
                           const OutputSink& output) {
    auto done = follow(work, arguments, seconds, output);
    return done ? std::string() : done.error();
}

Expected<bool> ChildWork::follow(const ChildProcess::Work& work, const std::vector<std::string>& arguments,
                                 int seconds, const OutputSink& output) {
    auto child = ChildProcess::start(work, arguments);
    if (!child) return Error{child.error()};
    ChildProgress progress(seconds);
    std::string failure;
    Error::Kind failureKind = Error::Kind::failure;
    bool done = false;
    std::string message;
    ChildProcess::Next next;
    const bool terminal = stderrIsTerminal();
    bool progressShown = false;
    while ((next = child->next(message, progress.deadline())) == ChildProcess::Next::message) {
        ChildChannel::Kind kind;
        std::string text;
        std::string unused;
        if (!ChildChannel::parse(message, kind, text, unused)) continue;
        progress.follow(kind, text);
        const bool failed = kind == ChildChannel::kFail || kind == ChildChannel::kRefused || kind == ChildChannel::kUsage;
        if (failed && failure.empty()) {
            failure = text;
            if (kind == ChildChannel::kUsage) failureKind = Error::Kind::usage;
        }
        if (progressShown && (kind == ChildChannel::kNote || kind == ChildChannel::kTrace)) {
            // A line of its own, not the rest of the progress line.
            std::fputc('\n', stderr);
            progressShown = false;
        }
        if (kind == ChildChannel::kNote) std::fprintf(stderr, "vsthost: %s\n", text.c_str());
        if (kind == ChildChannel::kOutput && output) output(text);
        else if (kind == ChildChannel::kOutput) std::printf("%s\n", text.c_str());
        if (kind == ChildChannel::kTrace) std::fprintf(stderr, "%s\n", text.c_str());
        if (kind == ChildChannel::kDone) done = true;
        if (kind == ChildChannel::kProgress && terminal) {
            std::fprintf(stderr, "\r\x1B[K%s", text.c_str());
            std::fflush(stderr);
            progressShown = true;
        }
    }
    std::fflush(stdout);
    if (progressShown) std::fputc('\n', stderr);
    const bool late = next == ChildProcess::Next::late;
    const ChildProcess::Ending ending = child->finish(late);
    if (!failure.empty()) return Error{failure, failureKind};
    if (done && ending.finished) return true;
    return Error{progress.ending(late, ending)};
}

int ChildWork::command(const CommandLine& line, int pluginPosition, const PluginWork& work) {
    std::vector<std::string> arguments = line.arguments;
    std::string& plugin = arguments[static_cast<std::size_t>(pluginPosition)];
    const auto named = [&](const PluginLibrary& library) { return work(library, arguments); };
    if (line.has("--child")) {
        auto entered = ChildProcess::enterChild(line);
        if (!entered) {
            std::fprintf(stderr, "vsthost: %s\n", entered.error().c_str());
            return 2;
        }
        return inChild(line.command, plugin, named);
    }
    if (!FileName::isRegularFile(plugin)) {
        std::fprintf(stderr, "vsthost: cannot find plug-in '%s'\n", plugin.c_str());
        return 1;
    }
    // Names as they stand now: the plug-in may change the working folder.
    for (std::size_t i = static_cast<std::size_t>(pluginPosition); i < arguments.size(); ++i) {
        arguments[i] = FileName::absolute(arguments[i]);
    }
    const std::string failure =
        run([&] { return inChild(line.command, plugin, named); }, childArguments(line, arguments), kCommandSeconds);
    if (failure.empty()) return 0;
    std::fprintf(stderr, "vsthost: %s\n", failure.c_str());
    return 1;
}

std::vector<std::string> ChildWork::childArguments(const CommandLine& line, const std::vector<std::string>& names,
                                                   const std::vector<std::string>& extra) {
    std::vector<std::string> arguments = {line.command};
    for (const auto& [option, value] : line.options) {
        arguments.push_back(option);
        if (!value.empty()) arguments.push_back(value);
    }
    arguments.insert(arguments.end(), extra.begin(), extra.end());
    arguments.insert(arguments.end(), {"--child", line.command, "--"});
    arguments.insert(arguments.end(), names.begin(), names.end());
    return arguments;
}

int ChildWork::inChild(const std::string& name, const std::string& pluginPath,
                       const std::function<Expected<bool>(const PluginLibrary&)>& work) {
    auto library = ChildProcess::loadInChild(pluginPath);
    if (!library) return 1;
    ChildChannel::send(ChildChannel::kBegin, name);
    const auto done = work(*library);
    if (!done) {
        ChildChannel::send(done.isUsageError() ? ChildChannel::kUsage : ChildChannel::kFail, done.error());
        return 1;
    }
    ChildChannel::send(ChildChannel::kDone, name);
    return 0;
}

}  // namespace vsthost
