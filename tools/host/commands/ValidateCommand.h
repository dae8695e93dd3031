#pragma once
// `validate PLUGIN [--level N] [--passthrough] [--timeout S] [--junit FILE] [--json]`: the
// validation run; exit status 1 on any failed check.

#include "CommandLine.h"
#include "Expected.h"
#include "ValidationOptions.h"

namespace vsthost {

class ValidateCommand {
public:
    static int run(const CommandLine& line);
    static Expected<ValidationOptions> options(const CommandLine& line);
};

}  // namespace vsthost
