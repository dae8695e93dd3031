#pragma once
// Runs the 32-bit Windows vsthost for the Linux tool in the emulated 32-bit machine, for
// kernels that cannot run 32-bit code. The guest sees only a folder handed to it, so the files
// a command reads are copied in under safe names and the files it writes are copied back to
// where the caller asked for them.

#include <string>

namespace vsthost {

class GuestLauncher {
public:
    // The exit status of `program` run in the guest with this command line's arguments, or a
    // failure status after one line saying why it could not run.
    static int run(const std::string& program, int argc, char** argv);
};

}  // namespace vsthost
