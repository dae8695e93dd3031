#pragma once
// Another program's standard output as the output of a child's work: the Linux scan hands
// Windows libraries to a Windows vsthost (under Wine, or in the emulated machine) whose lines
// must come back through the child's channel, under the child's time limit.

#include <functional>
#include <string>

namespace vsthost {

class LineRelay {
public:
    // In a child of the tool: runs `start` in a process of its own with its stdout into a pipe
    // (`start` replaces that process, and returns only when it cannot) and sends each line on.
    // With `errorsPath`, the program's stderr goes to that file: its last line is then the
    // reason given when the program fails, and all of it reaches stderr when it succeeds. The
    // child's exit status.
    static int relay(const std::string& name, const std::function<int()>& start, const std::string& errorsPath = {});
};

}  // namespace vsthost
