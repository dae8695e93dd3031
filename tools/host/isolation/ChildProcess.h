#pragma once
// Runs work in a child process of the tool, so that a plug-in crashing, aborting, hanging or
// ending the process in it ends only that child: on POSIX systems a fork runs the work; on
// Windows the tool starts itself again with arguments naming the work. The plug-in's library
// is loaded only in the child, so its start-up code runs there too. The child reports through
// the ChildChannel; the parent takes its messages one by one, each with a deadline, and learns
// how it ended from the process itself, not from its pipes, which anything the plug-in starts
// may hold open. Whatever the plug-in started goes with the child: its process group, or on
// Windows its job.

#include <chrono>
#include <functional>
#include <memory>
#include <string>
#include <vector>

#include "CommandLine.h"
#include "Expected.h"
#include "PluginLibrary.h"

namespace vsthost {

class ChildProcess {
public:
    using Clock = std::chrono::steady_clock;
    // The exit status of a child that aborted on a system where that is no signal.
    static constexpr int kAbortStatus = 134;

    struct Ending {
        bool finished = false;  // ended by itself with status 0
        bool exited = false;    // ended by itself through exit, with any status
        std::string what;       // "segmentation fault (SIGSEGV)", "exit status 1", "killed", ...
    };
    enum class Next { message, ended, late };
    using Work = std::function<int()>;

    // `work` runs after a fork; `arguments` are the tool's own for the Windows child, which
    // must do the same work. Lines the child writes outside the channel go to stderr.
    static Expected<ChildProcess> start(const Work& work, const std::vector<std::string>& arguments);

    ChildProcess(ChildProcess&&) noexcept;
    ChildProcess& operator=(ChildProcess&&) noexcept;
    ~ChildProcess();

    // The next message; `ended` once the child is gone and what it sent was taken, `late` when
    // `deadline` passed first.
    Next next(std::string& line, Clock::time_point deadline);
    // Ends the child (at once when `kill`, else after at most `seconds`) and everything it
    // started, and says how it ended.
    Ending finish(bool kill, int seconds = 5);

    // A file the parent made for a child's work, removed should the parent itself be ended by
    // SIGTERM, SIGINT or SIGHUP (the child goes then too); empty when there is none.
    static void removeOnSignal(const std::string& path);

    // Called first thing in a child, before a Windows child loads the plug-in: a crash there
    // ends it with a status the parent can name, without a dialog.
    static void prepareChild();
    // In a Windows child started with `--child`: takes the channel and the run's secret.
    static Expected<bool> enterChild(const CommandLine& line);
    // In a child: loads the plug-in, its library's start-up code being the plug-in's first
    // step; on failure the parent is told why.
    static Expected<PluginLibrary> loadInChild(const std::string& path);

    class Impl;

private:
    explicit ChildProcess(std::unique_ptr<Impl> impl);

    std::unique_ptr<Impl> impl_;
};

}  // namespace vsthost
