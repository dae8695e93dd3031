#pragma once
// Runs the 64-bit Windows vsthost under Wine for the Linux tool, in a Wine prefix the tool
// keeps in a cache folder of its own, made on first use: headless (the null graphics driver),
// and a crash ends the program instead of waiting for a debugger.

#include <string>
#include <vector>

namespace vsthost {

class WineLauncher {
public:
    // Becomes `program` with `arguments` under wine64, so that its output and exit status are
    // the tool's. Returns only on failure, with the exit status for the one line it printed.
    static int replaceProcess(const std::string& program, const std::vector<std::string>& arguments);

    // $XDG_CACHE_HOME/vsthost/wine64, or ~/.cache/vsthost/wine64.
    static std::string prefixPath();
};

}  // namespace vsthost
