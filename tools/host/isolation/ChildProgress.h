#pragma once
// How far a child process has got, from its messages, and how long it may take for the next
// one. Until the child says it has begun, only a start limit of the host's own applies: a slow
// machine, an emulator or a debugger can take long to create a process and load a library, and
// none of that is the plug-in's doing, but for its library's own start-up code, which the start
// limit covers too. From the begin message on, the plug-in's limit counts. A crash, a hang or
// an exit is blamed on the plug-in only in a step where the plug-in was called.

#include <string>

#include "ChildChannel.h"
#include "ChildProcess.h"

namespace vsthost {

class ChildProgress {
public:
    // `workSeconds`: the limit for the work, counted from the child's begin message.
    explicit ChildProgress(int workSeconds);

    // Seconds a child has to begin: LANTER5_CHILD_START_SECONDS, else a generous default.
    static int startSeconds();

    ChildProcess::Clock::time_point deadline() const { return deadline_; }
    bool begun() const { return begun_; }
    // Follows one of the child's messages: the begin message starts the work's clock, the
    // steps name what runs.
    void follow(ChildChannel::Kind kind, const std::string& name);
    // The report's words for a child that was late (`late`) or ended as `ending` says, before it
    // said its work was done.
    std::string ending(bool late, const ChildProcess::Ending& ending) const;

private:
    int workSeconds_;
    int startSeconds_;
    ChildProcess::Clock::time_point deadline_;
    bool begun_ = false;
    bool pluginCalled_ = false;  // the current step calls the plug-in
    std::string step_;
};

}  // namespace vsthost
