#pragma once
// `scan FOLDER...`: every plug-in library in the folders, each inspected in a child of its own
// with a time limit, so that one that crashes, hangs or ends the process is named with what
// happened and the scan goes on. On Linux the 64-bit Windows libraries go to the Windows
// vsthost under Wine together, and the 32-bit ones to the 32-bit Windows vsthost in the
// emulated 32-bit machine together.

#include "CommandLine.h"

namespace vsthost {

class ScanCommand {
public:
    static int run(const CommandLine& line);
};

}  // namespace vsthost
