#pragma once
// `info PLUGIN`: the record's fields with the flags spelled out, and the plug-in's answers to
// the informational opcodes.

#include "CommandLine.h"

namespace vsthost {

class InfoCommand {
public:
    static int run(const CommandLine& line);
};

}  // namespace vsthost
