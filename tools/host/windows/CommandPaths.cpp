#include "CommandPaths.h"

#include <map>
#include <string>

#include "CommandLine.h"

namespace vsthost {

namespace {

using Direction = PathArgument::Direction;

const std::map<std::string, Direction> kPathOptions = {{"--midi", Direction::read},
                                                       {"--preset", Direction::read},
                                                       {"--junit", Direction::written},
                                                       {"--shot", Direction::written},
                                                       {"--dir", Direction::writtenFolder}};

}  // namespace

std::vector<PathArgument> pathArguments(int argc, char** argv) {
    std::vector<PathArgument> paths;
    std::vector<int> positional;
    std::string command;
    bool optionsEnded = false;
    for (int i = 1; i < argc; ++i) {
        const std::string argument = argv[i];
        if (argument == "--" && !optionsEnded) {
            optionsEnded = true;
        } else if (!optionsEnded && argument.size() > 2 && argument.starts_with("--")) {
            if (!CommandLine::takesValue(argument) || i + 1 >= argc) continue;
            const auto found = kPathOptions.find(argument);
            if (found != kPathOptions.end()) paths.push_back({i + 1, found->second});
            ++i;
        } else if (command.empty()) {
            command = argument;
        } else {
            positional.push_back(i);
        }
    }
    if (positional.empty()) return paths;
    // preset save PLUGIN OUT, preset show FILE
    if (command == "preset") {
        for (std::size_t i = 1; i < positional.size(); ++i) {
            const bool out = positional.size() == 3 && i == 2;
            paths.push_back({positional[i], out ? Direction::written : Direction::read});
        }
        return paths;
    }
    paths.push_back({positional[0], Direction::read});
    // process PLUGIN [IN] OUT
    if (command == "process" && positional.size() == 3) {
        paths.push_back({positional[1], Direction::read});
        paths.push_back({positional[2], Direction::written});
    } else if (command == "process" && positional.size() == 2) {
        paths.push_back({positional[1], Direction::written});
    }
    return paths;
}

}  // namespace vsthost
