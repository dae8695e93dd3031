#pragma once
// The Linux tool given a Windows plug-in: the Windows vsthost of the plug-in's width does the
// command instead, with the same arguments, and its output, exit status and files pass through.
// A 64-bit DLL runs under Wine, a 32-bit one in the emulated 32-bit machine.

#include <optional>

#include "BinaryKind.h"
#include "CommandLine.h"

namespace vsthost {

class WindowsHostCommand {
public:
    // The command's exit status, or nothing when the command names no Windows plug-in.
    static std::optional<int> run(const CommandLine& line, int argc, char** argv);
    // The Windows vsthost for plug-ins of `kind`'s width, when there is one.
    static std::optional<std::string> findHost(BinaryKind kind);
};

}  // namespace vsthost
