#pragma once
// The plug-ins of a render as the command line names them: links apart by `+`, each a plug-in
// followed by its own --param, --preset and --automation; the last link is followed by the
// input (none for an instrument) and the output. Every other option is the whole render's and
// may stand anywhere:
//   vsthost process Kars-vst.so --param volume=0.5 + MVerb-vst.so --preset hall.fxp OUT --midi song.mid

#include <string>
#include <vector>

#include "CommandLine.h"
#include "Expected.h"

namespace vsthost {

class ChainLine {
public:
    struct Link {
        std::string plugin;
        std::vector<std::string> parameters;  // NAME=VALUE, in the order given
        std::string preset;                   // empty: the plug-in's own first state
        std::string automation;               // empty: none
    };

    // From the command's words as typed.
    static Expected<ChainLine> parse(const std::vector<std::string>& tokens);
    static bool isLinkOption(const std::string& option);

    const std::vector<Link>& links() const { return links_; }
    const std::string& input() const { return input_; }
    const std::string& output() const { return output_; }
    // The files the render reads, so that none is overwritten by its output.
    std::vector<std::string> readFiles() const;
    // The same names as they stand now, for a child whose plug-in may change the working folder.
    void makeAbsolute();
    // The links, input and output as words that parse to this chain again.
    std::vector<std::string> words() const;

private:
    std::vector<Link> links_;
    std::string input_;
    std::string output_;
};

}  // namespace vsthost
