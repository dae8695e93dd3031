#pragma once
// The way back from a child process to the parent that runs it: a pipe of its own that the
// plug-in does not write to, one line per message. What the plug-in prints goes elsewhere.

#include <cstdint>
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
        kNote = 'N',      // a line of the host's own for the user
        kTemporary = 'R', // a file the parent removes if the child dies before it is done
    };

    // Where a child writes: a pipe's descriptor, or on Windows its inherited handle.
    static void open(std::intptr_t pipe);
    static bool isOpen();
    // Tells the user `text`: through the parent when in a child, else on stderr.
    static void note(const std::string& text);
    // Sends `kind` with `name` and `detail`; tabs and line breaks in them become spaces.
    static void send(Kind kind, const std::string& name, const std::string& detail = {});

    // Reads a line the parent received; false when it is not a message.
    static bool parse(const std::string& line, Kind& kind, std::string& name, std::string& detail);
};

}  // namespace vsthost
