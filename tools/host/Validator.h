#pragma once
// The validation run: the registered checks of the chosen level, each in a child process of
// its own with a time limit, each verdict on a line of its own, and a closing count that
// accounts for every verdict, those a crash kept from running included.

#include <string>
#include <vector>

#include "CheckRegistry.h"
#include "CheckReport.h"
#include "PluginLibrary.h"
#include "ValidationOptions.h"

namespace vsthost {

class Validator {
public:
    Validator(const PluginLibrary& library, ValidationOptions options);
    // Runs every check; true when none failed.
    bool run();
    const CheckReport& report() const { return report_; }

    // In a child process: runs the one check named `check`; the exit status is 0 when it ran
    // to its end.
    static int runChild(const PluginLibrary& library, const ValidationOptions& options,
                        const std::string& check);
    // The arguments that make the tool run `check` as a child (Windows starts it anew).
    static std::vector<std::string> childArguments(const std::string& pluginPath,
                                                   const ValidationOptions& options,
                                                   const std::string& check);

private:
    void runIsolated(const CheckDefinition& definition, const std::vector<std::string>& verdicts);

    const PluginLibrary& library_;
    ValidationOptions options_;
    CheckReport report_;
};

}  // namespace vsthost
