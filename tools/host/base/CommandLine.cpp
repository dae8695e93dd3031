#include "CommandLine.h"

#include <cerrno>
#include <cstdio>
#include <cstdlib>
#include <set>

namespace vsthost {

namespace {

const std::set<std::string> kValueOptions = {"--block", "--rate",  "--dir",   "--idle", "--shot",
                                             "--level", "--timeout", "--junit", "--child", "--map",
                                             "--midi", "--tail", "--tempo", "--meter", "--channel", "--program",
                                             "--preset", "--temporary", "--scale", "--shell",
                                             "--param", "--automation"};
const std::set<std::string> kFlags = {"--trace", "--passthrough", "--json", "--entries", "--double"};

std::string shortNumber(double value) {
    char text[32];
    std::snprintf(text, sizeof text, "%g", value);
    return text;
}

}  // namespace

Expected<CommandLine> CommandLine::parse(int argc, char** argv) {
    CommandLine line;
    bool optionsEnded = false;
    for (int i = 1; i < argc; ++i) {
        const std::string argument = argv[i];
        if (!line.command.empty()) line.tokens.push_back(argument);
        if (argument == "--" && !optionsEnded) {
            // Everything after it is a name, "--odd.wav" too.
            optionsEnded = true;
        } else if (!optionsEnded && argument.size() > 2 && argument.starts_with("--")) {
            if (kFlags.count(argument)) {
                line.options[argument] = "";
            } else if (kValueOptions.count(argument)) {
                if (i + 1 >= argc || argv[i + 1][0] == '\0') return Error{"option " + argument + " needs a value"};
                line.options[argument] = argv[++i];
                if (!line.command.empty()) line.tokens.push_back(argv[i]);
            } else {
                return Error{"unknown option " + argument};
            }
        } else if (line.command.empty()) {
            line.command = argument;
        } else {
            line.arguments.push_back(argument);
        }
    }
    if (line.command.empty()) return Error{"no command given"};
    const bool takesChild = line.command == "process" || line.command == "validate" || line.command == "info" ||
                            line.command == "preset" || line.command == "scan";
    const bool child = line.has("--child");
    const bool channel = line.has("--channel");
    if ((child || channel || line.has("--temporary")) && !(takesChild && child && channel)) {
        return Error{"--child and --channel are for the child processes vsthost starts itself"};
    }
    return line;
}

bool CommandLine::takesValue(const std::string& option) { return kValueOptions.count(option) != 0; }

Expected<long> CommandLine::positive(const std::string& option, long fallback, long largest) const {
    const auto found = options.find(option);
    if (found == options.end()) return fallback;
    errno = 0;
    char* end = nullptr;
    const long value = std::strtol(found->second.c_str(), &end, 10);
    if (errno != 0 || end == found->second.c_str() || *end != '\0' || value < 1 || value > largest) {
        return Error{option + " wants a whole number from 1 to " + std::to_string(largest) +
                     ", not '" + found->second + "'"};
    }
    return value;
}

Expected<std::optional<double>> CommandLine::number(const std::string& option, double smallest,
                                                   double largest) const {
    const auto found = options.find(option);
    if (found == options.end()) return std::optional<double>();
    errno = 0;
    char* end = nullptr;
    const double value = std::strtod(found->second.c_str(), &end);
    // Written so that NaN, which compares false with everything, is refused too.
    const bool inRange = value >= smallest && value <= largest;
    if (errno != 0 || end == found->second.c_str() || *end != '\0' || !inRange) {
        return Error{option + " wants a number from " + shortNumber(smallest) + " to " + shortNumber(largest) +
                     ", not '" + found->second + "'"};
    }
    return std::optional<double>(value);
}

int CommandLine::pluginPosition(const std::string& command, const std::vector<std::string>& arguments) {
    if (command != "preset") return arguments.empty() ? -1 : 0;
    return arguments.size() > 1 && arguments[0] == "save" ? 1 : -1;
}

}  // namespace vsthost
