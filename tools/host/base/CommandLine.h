#pragma once
// The tool's arguments: a command, its positional arguments and its options.

#include <map>
#include <optional>
#include <string>
#include <vector>

#include "Expected.h"

namespace vsthost {

struct CommandLine {
    std::string command;
    std::vector<std::string> arguments;
    std::map<std::string, std::string> options;  // "--block" -> "512"; flags map to ""
    std::vector<std::string> tokens;             // the words after the command, in order

    // Options that take a value; every other "--name" is a flag.
    static Expected<CommandLine> parse(int argc, char** argv);
    static bool takesValue(const std::string& option);

    bool has(const std::string& option) const { return options.count(option) != 0; }
    // Where the plug-in stands among the arguments: the first, but the second of `preset save`;
    // -1 for a command that names none (`preset show`).
    static int pluginPosition(const std::string& command, const std::vector<std::string>& arguments);
    // The option's value as a positive integer, `fallback` when absent.
    Expected<long> positive(const std::string& option, long fallback, long largest) const;
    // The option's value as a number from `smallest` to `largest`; none when absent.
    Expected<std::optional<double>> number(const std::string& option, double smallest, double largest) const;
};

}  // namespace vsthost
