#include "ChildProgress.h"

#include <cstdlib>

namespace vsthost {

namespace {

// Creating a process and loading a library takes well under a second on a desktop, and tens
// of seconds in an emulated machine under load; this only catches a start that never ends.
constexpr int kDefaultStartSeconds = 120;

}  // namespace

ChildProgress::ChildProgress(int workSeconds)
    : workSeconds_(workSeconds),
      startSeconds_(startSeconds()),
      deadline_(ChildProcess::Clock::now() + std::chrono::seconds(startSeconds_)) {}

int ChildProgress::startSeconds() {
    const char* chosen = std::getenv("LANTER5_CHILD_START_SECONDS");
    if (chosen == nullptr || *chosen == '\0') return kDefaultStartSeconds;
    char* end = nullptr;
    const long seconds = std::strtol(chosen, &end, 10);
    return *end == '\0' && seconds > 0 && seconds <= 24 * 3600 ? static_cast<int>(seconds)
                                                                : kDefaultStartSeconds;
}

void ChildProgress::follow(ChildChannel::Kind kind, const std::string& name) {
    switch (kind) {
    case ChildChannel::kBegin:
        begun_ = true;
        pluginCalled_ = false;
        step_ = "the start of " + name;
        deadline_ = ChildProcess::Clock::now() + std::chrono::seconds(workSeconds_);
        return;
    case ChildChannel::kStep:
    case ChildChannel::kHostStep:
        pluginCalled_ = kind == ChildChannel::kStep;
        step_ = name;
        return;
    default: return;
    }
}

std::string ChildProgress::ending(bool late, const ChildProcess::Ending& ending) const {
    const int seconds = begun_ ? workSeconds_ : startSeconds_;
    const std::string limit = "no answer within " + std::to_string(seconds) + " s";
    const std::string how = late ? "hung: " + limit
                            : ending.exited ? "ended the process: " + ending.what
                                            : "crashed: " + ending.what;
    if (pluginCalled_) return "the plug-in " + how + ", in step \"" + step_ + "\"";
    if (!begun_) {
        return late ? "vsthost's child process did not start within " + std::to_string(startSeconds_) + " s"
                    : "vsthost's child process ended before it started: " + ending.what;
    }
    return "vsthost itself " + how + ", in its own step \"" + step_ + "\"";
}

}  // namespace vsthost
