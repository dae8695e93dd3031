#pragma once
// The way back from a child process to the parent that runs it: one line per message, marked
// so that whatever a plug-in itself prints can be told apart.

#include <string>

namespace vsthost {

class ChildChannel {
public:
    static constexpr char kMarker = '\x1F';

    enum Kind : char {
        kPass = 'P',
        kFail = 'F',
        kSkip = 'S',
        kWarn = 'W',
        kStep = 'T',      // the plug-in is called now, for the report when the child dies in it
        kHostStep = 'H',  // the host works on its own now: nothing to blame the plug-in for
        kBegin = 'B',     // the child has started a check or the work; its time limit counts
        kEnd = 'E',       // a check ran to its end
    };

    // Where a child writes: a pipe's descriptor after fork, or standard output on Windows.
    static void open(long descriptor);
    static bool isOpen();
    // Sends `kind` with `name` and `detail`; tabs and line breaks in them become spaces.
    static void send(Kind kind, const std::string& name, const std::string& detail = {});

    // Reads a line the parent received; false when it is not a message.
    static bool parse(const std::string& line, Kind& kind, std::string& name, std::string& detail);
};

}  // namespace vsthost
