#pragma once
// The Linux scan's way to 64-bit Windows libraries: the Windows vsthost, under Wine, inspects
// them all in one run (each in a child of its own there) and prints a line per library, which
// comes back here. One Wine start serves the whole batch.

#include <string>
#include <vector>

#include "ChildWork.h"

namespace vsthost {

class WineScan {
public:
    // Runs `program` with `arguments` under Wine in a child, `seconds` at most; its output
    // lines go to `output`. Empty when it ended well, else why not in one line.
    static std::string run(const std::string& program, const std::vector<std::string>& arguments, int seconds,
                           const ChildWork::OutputSink& output);
};

}  // namespace vsthost
