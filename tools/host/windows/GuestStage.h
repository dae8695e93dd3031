#pragma once
// The folder the emulated 32-bit machine is handed for one run of a Windows program: the
// program and the files it reads are copied in, under names the guest's command line can
// carry, and the folder goes with the object. Also the runner that starts the guest.

#include <filesystem>
#include <string>
#include <vector>

#include "Expected.h"

namespace vsthost {

class GuestStage {
public:
    // A new folder holding `program` as vsthost.exe; ready() tells whether that worked.
    explicit GuestStage(const std::string& program);
    ~GuestStage();
    GuestStage(const GuestStage&) = delete;
    GuestStage& operator=(const GuestStage&) = delete;

    bool ready() const { return ready_; }
    const std::filesystem::path& path() const { return path_; }

    // The runner script, or why there is none, in one line.
    static Expected<std::string> runner();
    // The guest splits its command line at blanks and shares no file names with this side:
    // the name a file given as argument `index` has in the folder.
    static std::string safeName(int index, const std::filesystem::path& path);
    // Copies `file` in as `name`; false when it cannot be read.
    bool bringIn(const std::string& file, const std::string& name) const;
    // The command that runs vsthost.exe with `arguments` in the guest, `seconds` at most.
    std::vector<std::string> command(const std::string& runner, int seconds,
                                     const std::vector<std::string>& arguments) const;

private:
    std::filesystem::path path_;
    bool ready_ = false;
};

}  // namespace vsthost
