#pragma once
// Runs a piece of work in a child process of the tool, so that a plug-in crashing, aborting or
// hanging in it ends only that child: on POSIX systems a fork runs the work; on Windows the
// tool starts itself again with arguments naming the work. The child reports through the
// ChildChannel; the parent hears each line as it comes and learns how the child ended.

#include <functional>
#include <string>
#include <vector>

namespace vsthost {

class ChildProcess {
public:
    // The exit status of a child that aborted on a system where that is no signal.
    static constexpr int kAbortStatus = 134;

    struct Ending {
        bool finished = false;  // ended by itself with status 0
        std::string what;       // otherwise how: "segmentation fault (SIGSEGV)", "no answer within 30 s", ...
    };
    using Work = std::function<int()>;
    using Listener = std::function<void(const std::string& line)>;

    // `work` runs after a fork; `arguments` are the tool's own for the Windows child, which
    // must run the same work. Lines the child writes outside the channel go to stderr.
    static Ending run(const Work& work, const std::vector<std::string>& arguments, int seconds,
                      const Listener& listener);

    // Called first thing in a child: a crash there ends it with a status the parent can name,
    // without a dialog.
    static void prepareChild();
};

}  // namespace vsthost
