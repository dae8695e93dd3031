#include "GuestScan.h"

#include <algorithm>
#include <cstdio>

#include "ExternalProgram.h"
#include "GuestStage.h"
#include "LineRelay.h"

namespace vsthost {

namespace {

// What the guest takes to start or restore, and to hand its results back, on a busy machine.
constexpr int kStartSeconds = 420;
// What each library may take in the guest beyond its own limit: its child's start there.
constexpr int kChildStartSeconds = 130;
constexpr int kLargestSeconds = 3600;

}  // namespace

std::string GuestScan::nameInGuest(std::size_t index, const std::string& path) {
    return GuestStage::safeName(static_cast<int>(index) + 1, path);
}

GuestScan::Outcome GuestScan::run(const std::string& program, const std::vector<std::string>& libraries, int seconds,
                                  const ChildWork::OutputSink& output) {
    Outcome outcome;
    const auto runner = GuestStage::runner();
    if (!runner) {
        outcome.failure = runner.error();
        return outcome;
    }
    outcome.started = true;
    const GuestStage stage(program);
    if (!stage.ready()) {
        outcome.failure = "cannot prepare the files for the emulated 32-bit machine";
        return outcome;
    }
    const int guestSeconds = std::min(seconds * kSlowness, kLargestSeconds);
    std::vector<std::string> arguments = {"scan", "--entries", "--timeout", std::to_string(guestSeconds), "--"};
    for (std::size_t i = 0; i < libraries.size(); ++i) {
        const std::string name = nameInGuest(i, libraries[i]);
        if (stage.bringIn(libraries[i], name)) arguments.push_back(name);
        else outcome.unreadable.push_back(i);
    }
    if (outcome.unreadable.size() == libraries.size()) return outcome;
    // The guest's own limit stops a Windows host that hangs; this one only a guest that does.
    const int count = static_cast<int>(libraries.size());
    const int programSeconds = count * (guestSeconds + kChildStartSeconds);
    const auto command = stage.command(*runner, programSeconds, arguments);
    // Beside the folder, not in it: the guest gets a copy of all that is in it.
    const std::string errors = stage.path().string() + ".errors";
    const auto start = [&] {
        ExternalProgram::replaceProcess(command);
        return 127;
    };
    outcome.failure = ChildWork::run([&] { return LineRelay::relay("the emulated 32-bit machine", start, errors); },
                                     {}, programSeconds + kStartSeconds, output);
    std::remove(errors.c_str());
    return outcome;
}

}  // namespace vsthost
