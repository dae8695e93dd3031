#pragma once
// `preset save PLUGIN OUT.fxp|OUT.fxb [--program N]`: writes the plug-in's state as a program
// file (the current program, or program N) or as a bank file, as its chunk when the plug-in
// keeps its programs in chunks, else as parameter values and names.
// `preset show FILE`: says what a program or bank file holds, or in one line why it cannot be
// read.

#include "CommandLine.h"

namespace vsthost {

class PresetCommand {
public:
    static int run(const CommandLine& line);
};

}  // namespace vsthost
