#pragma once
// Other programs the Linux tool starts: found on the PATH, run to their end, or put in the
// tool's place so that their output and exit status become the tool's own.

#include <optional>
#include <string>
#include <vector>

namespace vsthost {

class ExternalProgram {
public:
    enum class Output { shown, discarded };

    // The first of `names` that is an executable on the PATH or in one of `folders`.
    static std::optional<std::string> find(const std::vector<std::string>& names,
                                           const std::vector<std::string>& folders = {});
    // Runs and waits: the exit status (127 when it could not be started), 128 + the signal for
    // one that was killed, -1 when no process could be made. Discarded output also lets go of the caller's terminal and
    // pipes, for programs that leave servers running behind them.
    static int run(const std::vector<std::string>& arguments, Output output = Output::shown);
    // Becomes the program; returns only when it cannot be started.
    static void replaceProcess(const std::vector<std::string>& arguments);
};

}  // namespace vsthost
