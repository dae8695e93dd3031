#pragma once
// An editor opened, idled and closed in a window of the host's, as a host's user-interface
// thread does it: the window's messages delivered after every call.

#include <string>

#include "Effect.h"
#include "HostWindow.h"

namespace vsthost {

class CheckContext;

class EditorSession {
public:
    // Open-and-close cycles a check runs: enough for a slow loss to show.
    static constexpr int kCycles = 200;
    static constexpr int kIdles = 50;

    EditorSession(Effect& effect, HostWindow& host) : effect_(effect), host_(host) {}

    // True when the editor says it opened or made a window in the host's.
    bool open();
    void idle(int times);
    // True when the editor's window is gone.
    bool close();
    // Opens, idles and closes `times` times, naming each cycle as a step after `step`; answers
    // how many cycles went well.
    int cycles(CheckContext& context, int times, const std::string& step);

private:
    Effect& effect_;
    HostWindow& host_;
};

}  // namespace vsthost
