#include "ValidateCommand.h"

#include <cstdio>

#include "PluginLibrary.h"
#include "Validator.h"

namespace vsthost {

int ValidateCommand::run(const CommandLine& line) {
    if (line.arguments.size() != 1) {
        std::fprintf(stderr, "vsthost: usage: vsthost validate PLUGIN [--passthrough]\n");
        return 2;
    }
    auto library = PluginLibrary::load(line.arguments[0]);
    if (!library) {
        std::fprintf(stderr, "vsthost: %s\n", library.error().c_str());
        return 1;
    }
    Validator validator(*library, {line.has("--passthrough")});
    return validator.run() ? 0 : 1;
}

}  // namespace vsthost
