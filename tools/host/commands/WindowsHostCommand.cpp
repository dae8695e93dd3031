#include "WindowsHostCommand.h"

#include <unistd.h>

#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <string>
#include <vector>

#include "BinaryKind.h"
#include "GuestLauncher.h"
#include "WineLauncher.h"

namespace fs = std::filesystem;

namespace vsthost {

namespace {

const char* variableFor(BinaryKind kind) {
    return kind == BinaryKind::windows32 ? "LANTER5_VSTHOST_WIN32" : "LANTER5_VSTHOST_WIN64";
}

// The Windows host beside this one (an installed prefix), or in the build folder of the same
// width beside this build (build/native/bin -> build/win64/bin), unless the environment names
// one. Each candidate must be a Windows program of the plug-in's own width.
std::optional<std::string> findWindowsHost(BinaryKind kind) {
    if (const char* chosen = std::getenv(variableFor(kind)); chosen && *chosen) {
        if (binaryKindOf(chosen) == kind) return std::string(chosen);
        return std::nullopt;
    }
    std::error_code error;
    const fs::path self = fs::read_symlink("/proc/self/exe", error).parent_path();
    const char* build = kind == BinaryKind::windows32 ? "win32" : "win64";
    for (const fs::path& candidate :
         {self / "vsthost.exe", self / ".." / ".." / build / "bin" / "vsthost.exe"}) {
        if (binaryKindOf(candidate.string()) == kind) return fs::weakly_canonical(candidate, error).string();
    }
    return std::nullopt;
}

}  // namespace

std::optional<std::string> WindowsHostCommand::findHost(BinaryKind kind) { return findWindowsHost(kind); }

std::optional<int> WindowsHostCommand::run(const CommandLine& line, int argc, char** argv) {
    const int position = CommandLine::pluginPosition(line.command, line.arguments);
    if (position < 0) return std::nullopt;
    const std::string& plugin = line.arguments[static_cast<std::size_t>(position)];
    const BinaryKind kind = binaryKindOf(plugin);
    if (kind == BinaryKind::other) return std::nullopt;
    const auto host = findWindowsHost(kind);
    if (!host) {
        std::fprintf(stderr,
                     "vsthost: %s is a %s Windows plug-in, and no %s Windows vsthost.exe was found "
                     "beside this vsthost or in its build folder (set %s)\n",
                     plugin.c_str(), widthName(kind), widthName(kind), variableFor(kind));
        return 1;
    }
    if (kind == BinaryKind::windows32) return GuestLauncher::run(*host, argc, argv);
    return WineLauncher::replaceProcess(*host, std::vector<std::string>(argv + 1, argv + argc));
}

}  // namespace vsthost
