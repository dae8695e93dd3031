#include "GuestLauncher.h"

#include <cstdio>
#include <filesystem>
#include <vector>

#include "CommandPaths.h"
#include "ExternalProgram.h"
#include "GuestStage.h"

namespace fs = std::filesystem;

namespace vsthost {

namespace {

struct WrittenPath {
    fs::path inGuest;
    fs::path asked;
};

bool hasBlank(const std::string& text) {
    return text.find_first_of(" \t\n\r\f\v") != std::string::npos;
}

// Copies written files back; a folder's contents merge into the one asked for. A file replaces
// the one asked for whole, by a rename, so that a copy cut short leaves the old one. False when
// anything could not be brought back.
bool bringBack(const std::vector<WrittenPath>& written) {
    bool all = true;
    for (const auto& path : written) {
        std::error_code error;
        if (!fs::exists(path.inGuest)) continue;
        if (fs::is_directory(path.inGuest)) {
            fs::create_directories(path.asked, error);
            if (!error) {
                fs::copy(path.inGuest, path.asked,
                         fs::copy_options::recursive | fs::copy_options::overwrite_existing, error);
            }
        } else {
            fs::path partial = path.asked;
            partial += ".partial";
            if (fs::copy_file(path.inGuest, partial, fs::copy_options::overwrite_existing, error)) {
                fs::rename(partial, path.asked, error);
            }
            std::error_code ignored;
            if (error) fs::remove(partial, ignored);
        }
        if (error) {
            std::fprintf(stderr, "vsthost: cannot write %s: %s\n", path.asked.c_str(),
                         error.message().c_str());
            all = false;
        }
    }
    return all;
}

}  // namespace

int GuestLauncher::run(const std::string& program, int argc, char** argv) {
    const auto runner = GuestStage::runner();
    if (!runner) {
        std::fprintf(stderr, "vsthost: %s\n", runner.error().c_str());
        return 1;
    }
    const GuestStage stage(program);
    if (!stage.ready()) {
        std::fprintf(stderr, "vsthost: cannot prepare the files for the guest\n");
        return 1;
    }
    std::vector<std::string> arguments(argv + 1, argv + argc);
    std::vector<WrittenPath> written;
    std::error_code error;
    for (const auto& path : pathArguments(argc, argv)) {
        std::string& argument = arguments[path.index - 1];
        const std::string name = GuestStage::safeName(path.index, argument);
        if (path.direction == PathArgument::Direction::read) {
            // A file that cannot be read keeps its name, for the host's own message about it.
            if (!stage.bringIn(argument, name)) continue;
        } else {
            written.push_back({stage.path() / name, argument});
            if (path.direction == PathArgument::Direction::writtenFolder) {
                fs::create_directory(stage.path() / name, error);
            }
        }
        argument = name;
    }
    for (const auto& argument : arguments) {
        if (hasBlank(argument)) {
            std::fprintf(stderr, "vsthost: the 32-bit guest takes no blanks in arguments: '%s'\n",
                         argument.c_str());
            return 2;
        }
    }
    // The host's own time limits stop a plug-in that hangs; the guest's only a Wine that does,
    // so it leaves room for long renders in an emulated machine.
    std::fflush(nullptr);
    const int status = ExternalProgram::run(stage.command(*runner, 3600, arguments));
    // A command that succeeded in the guest has failed here if its files did not come back.
    if (!bringBack(written) && status == 0) return 1;
    return status;
}

}  // namespace vsthost
