#pragma once
// The way back from a child process to the parent that runs it: a pipe of its own, one line
// per message. What the plug-in prints goes elsewhere. The plug-in shares the child's process,
// so it can find the pipe and write to it; every message therefore carries a secret the parent
// makes for the run, which reaches the child in memory or through its standard input, never on
// a command line or in the environment. A line without it is not the host's.

#include <cstdint>
#include <string>

namespace vsthost {

class ChildChannel {
public:
    static constexpr char kMarker = '\x1F';

    enum Kind : char {
        kPass = 'P',
        kFail = 'F',
        kUsage = 'U',     // the work failed on the user's words, not on the plug-in or the host
        kSkip = 'S',
        kWarn = 'W',
        kStep = 'T',      // the plug-in is called now, for the report when the child dies in it
        kHostStep = 'H',  // the host works on its own now: nothing to blame the plug-in for
        kBegin = 'B',     // the child has started a check or the work; its time limit counts
        kEnd = 'E',       // a check ran to its end
        kNote = 'N',      // a line of the host's own for the user
        kRefused = 'X',   // the plug-in's library cannot be loaded; the name says why
        kDone = 'D',      // the work is complete and its results are where they belong
        kOutput = 'O',    // a line of the command's own output, for standard output
        kTrace = 'C',     // a line of the host calls' trace, for standard error
        kProgress = 'G',  // how far the work has got, shown over the last such line on a terminal
    };

    // A new secret for a run: random, printable, without tabs or line breaks.
    static std::string makeSecret();
    // The secret this process's messages carry (a child's) or expects (a parent's).
    static void setSecret(const std::string& secret);
    static const std::string& secret();

    // Where a child writes: a pipe's descriptor, or on Windows its inherited handle.
    static void open(std::intptr_t pipe);
    static bool isOpen();
    // Tells the user `text`: through the parent when in a child, else on stderr.
    static void note(const std::string& text);
    // Prints the command's own output: on stdout, or from a child line by line through the
    // parent, since a child's stdout is the plug-in's.
    static void print(const char* format, ...) __attribute__((format(printf, 1, 2)));
    // Sends `kind` with `name` and `detail`; tabs and line breaks in them become spaces.
    static void send(Kind kind, const std::string& name, const std::string& detail = {});

    // Reads a line the parent received; false when it is no message of this run's.
    static bool parse(const std::string& line, Kind& kind, std::string& name, std::string& detail);
};

}  // namespace vsthost
