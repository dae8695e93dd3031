#include "GuestStage.h"

#include <unistd.h>

#include <cctype>
#include <cstdlib>

namespace fs = std::filesystem;

namespace vsthost {

GuestStage::GuestStage(const std::string& program) {
    std::string pattern = (fs::temp_directory_path() / "vsthost-guest.XXXXXX").string();
    if (!mkdtemp(pattern.data())) return;
    path_ = pattern;
    std::error_code error;
    ready_ = fs::copy_file(program, path_ / "vsthost.exe", error);
}

GuestStage::~GuestStage() {
    std::error_code ignored;
    if (!path_.empty()) fs::remove_all(path_, ignored);
}

Expected<std::string> GuestStage::runner() {
    const char* chosen = std::getenv("LANTER5_WIN32_GUEST");
    const std::string script = chosen && *chosen ? chosen : LANTER5_GUEST_SCRIPT;
    if (access(script.c_str(), X_OK) == 0) return script;
    return Error{"32-bit Windows plug-ins run in the emulated 32-bit machine, and its runner " + script +
                 " was not found (set LANTER5_WIN32_GUEST)"};
}

std::string GuestStage::safeName(int index, const fs::path& path) {
    std::string name = path.filename().string();
    for (char& c : name) {
        const bool plain = std::isalnum(static_cast<unsigned char>(c)) || c == '.' || c == '-' || c == '_';
        if (!plain) c = '_';
    }
    return "arg" + std::to_string(index) + "-" + (name.empty() ? "file" : name);
}

bool GuestStage::bringIn(const std::string& file, const std::string& name) const {
    std::error_code error;
    return fs::copy_file(file, path_ / name, error);
}

std::vector<std::string> GuestStage::command(const std::string& runner, int seconds,
                                             const std::vector<std::string>& arguments) const {
    std::vector<std::string> command = {"/bin/bash", runner, "exec", "--timeout", std::to_string(seconds),
                                        path_.string(), "vsthost.exe"};
    command.insert(command.end(), arguments.begin(), arguments.end());
    return command;
}

}  // namespace vsthost
