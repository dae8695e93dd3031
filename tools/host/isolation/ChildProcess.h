#pragma once
// Runs work in a child process of the tool, so that a plug-in crashing, aborting or hanging in
// it ends only that child: on POSIX systems a fork runs the work; on Windows the tool starts
// itself again with arguments naming the work. The child reports through the ChildChannel;
// the parent takes its messages one by one, each with a deadline, and learns how it ended.

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
        std::string what;       // otherwise how: "segmentation fault (SIGSEGV)", "exit status 1", ...
    };
    enum class Next { message, ended, late };
    using Work = std::function<int()>;

    // `work` runs after a fork; `arguments` are the tool's own for the Windows child, which
    // must do the same work. Lines the child writes outside the channel go to stderr.
    static Expected<ChildProcess> start(const Work& work, const std::vector<std::string>& arguments);

    ChildProcess(ChildProcess&&) noexcept;
    ChildProcess& operator=(ChildProcess&&) noexcept;
    ~ChildProcess();

    // The next message; `ended` once the child is gone and everything it sent was taken,
    // `late` when `deadline` passed first.
    Next next(std::string& line, Clock::time_point deadline);
    // Ends the child (at once when `kill`, else after at most `seconds`) and says how it ended.
    Ending finish(bool kill, int seconds = 5);

    // Called first thing in a child, before a Windows child loads the plug-in: a crash there
    // ends it with a status the parent can name, without a dialog.
    static void prepareChild();
    // Loads the plug-in a command line names. A command started as a child (`--child`) is
    // prepared first, and once the plug-in is loaded, it talks to its parent on standard output.
    static Expected<PluginLibrary> loadPluginOf(const CommandLine& line);

    class Impl;

private:
    explicit ChildProcess(std::unique_ptr<Impl> impl);

    std::unique_ptr<Impl> impl_;
};

}  // namespace vsthost
