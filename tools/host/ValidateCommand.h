#pragma once
// `validate PLUGIN [--passthrough]`: the validation run; exit status 1 on any failed check.

#include "CommandLine.h"

namespace vsthost {

class ValidateCommand {
public:
    static int run(const CommandLine& line);
};

}  // namespace vsthost
