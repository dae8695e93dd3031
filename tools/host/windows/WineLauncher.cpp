#include "WineLauncher.h"

#include <fcntl.h>
#include <sys/file.h>
#include <unistd.h>

#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <optional>

#include "ExternalProgram.h"

namespace vsthost {

namespace {

const std::vector<std::string> kWineFolders = {"/usr/lib/wine", "/usr/lib64/wine", "/opt/wine-stable/bin"};

struct WineTools {
    std::string wine;
    std::string server;
};

std::optional<WineTools> findWine() {
    const auto wine = ExternalProgram::find({"wine64"}, kWineFolders);
    const auto server = ExternalProgram::find({"wineserver64", "wineserver"}, kWineFolders);
    if (!wine || !server) return std::nullopt;
    return WineTools{*wine, *server};
}

void setEnvironment(const std::string& prefix) {
    setenv("WINEPREFIX", prefix.c_str(), 1);
    setenv("WINEARCH", "win64", 1);
    setenv("WINEDEBUG", "-all", 0);
    setenv("WINEDLLOVERRIDES", "mscoree,mshtml=;winemenubuilder.exe=d", 1);
}

// Made under a lock, and marked ready only once complete, so that tools started together and
// an interrupted first run both end with one whole prefix.
bool makePrefix(const WineTools& tools, const std::string& prefix) {
    std::error_code ignored;
    std::filesystem::create_directories(std::filesystem::path(prefix).parent_path(), ignored);
    const int lock = open((prefix + ".lock").c_str(), O_RDWR | O_CREAT | O_CLOEXEC, 0644);
    if (lock < 0 || flock(lock, LOCK_EX) != 0) return false;
    const std::string ready = prefix + "/.ready";
    bool made = std::filesystem::exists(ready);
    if (!made) {
        std::fprintf(stderr, "vsthost: making the Wine prefix %s (once)\n", prefix.c_str());
        std::filesystem::remove_all(prefix, ignored);
        using Output = ExternalProgram::Output;
        ExternalProgram::run({tools.wine, "wineboot", "--init"}, Output::discarded);
        const std::vector<std::vector<std::string>> settings = {
            {"HKCU\\Software\\Wine\\Drivers", "/v", "Graphics", "/d", "null"},
            {"HKCU\\Software\\Wine\\WineDbg", "/v", "ShowCrashDialog", "/t", "REG_DWORD", "/d", "0"},
            {"HKLM\\Software\\Microsoft\\Windows NT\\CurrentVersion\\AeDebug", "/v", "Auto", "/d", "1"}};
        made = true;
        for (const auto& setting : settings) {
            std::vector<std::string> command = {tools.wine, "reg", "add"};
            command.insert(command.end(), setting.begin(), setting.end());
            command.push_back("/f");
            made = ExternalProgram::run(command, Output::discarded) == 0 && made;
        }
        ExternalProgram::run({tools.server, "-w"}, Output::discarded);
        if (made) std::fclose(std::fopen(ready.c_str(), "w"));
    }
    close(lock);
    return made;
}

// Wine's server and its background programs outlive the command; started here, detached, they
// do not hold the caller's output open after the command has ended, and the commands of the
// next half minute find them running. The server refuses to start (status 2) beside itself.
void startServices(const WineTools& tools) {
    using Output = ExternalProgram::Output;
    constexpr int kStarted = 0;
    if (ExternalProgram::run({tools.server, "-p30"}, Output::discarded) == kStarted) {
        ExternalProgram::run({tools.wine, "cmd", "/c", "exit"}, Output::discarded);
    }
}

}  // namespace

std::string WineLauncher::prefixPath() {
    // A relative base folder is to be ignored, as if unset.
    const char* cache = std::getenv("XDG_CACHE_HOME");
    const char* home = std::getenv("HOME");
    std::string folder = cache && cache[0] == '/' ? cache : std::string(home ? home : "/tmp") + "/.cache";
    return folder + "/vsthost/wine64";
}

int WineLauncher::replaceProcess(const std::string& program, const std::vector<std::string>& arguments) {
    const auto tools = findWine();
    if (!tools) {
        std::fprintf(stderr, "vsthost: 64-bit Windows plug-ins run under Wine, and wine64 was not found "
                             "(install Debian's wine64)\n");
        return 1;
    }
    const std::string prefix = prefixPath();
    setEnvironment(prefix);
    unsetenv("DISPLAY");
    if (!makePrefix(*tools, prefix)) {
        std::fprintf(stderr, "vsthost: cannot make the Wine prefix %s\n", prefix.c_str());
        return 1;
    }
    startServices(*tools);
    std::vector<std::string> command = {tools->wine, program};
    command.insert(command.end(), arguments.begin(), arguments.end());
    ExternalProgram::replaceProcess(command);
    std::fprintf(stderr, "vsthost: cannot start %s\n", tools->wine.c_str());
    return 1;
}

}  // namespace vsthost
