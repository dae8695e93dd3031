#pragma once
// The validation run: the registered checks of the chosen level, each verdict on a line of its
// own, and a closing count that accounts for every verdict, those a crash kept from running
// included. The checks run in a child process, one after another, each with a time limit that
// counts from the moment the child begins it; when the plug-in crashes, aborts or hangs in one,
// that check fails, naming how and in which step, and a fresh child goes on with the next check.
// Only the child loads the plug-in. A child gives each of its check's declared verdicts once;
// anything else it sends is not taken.

#include <optional>
#include <string>
#include <vector>

#include "CheckRegistry.h"
#include "CheckReport.h"
#include "ChildProcess.h"
#include "PluginLibrary.h"
#include "ValidationOptions.h"

namespace vsthost {

class Validator {
public:
    // Without `printed`, no line of the report reaches stdout.
    Validator(std::string pluginPath, ValidationOptions options, bool printed = true);
    // Runs every check; true when none failed.
    bool run();
    const CheckReport& report() const { return report_; }
    // Why the plug-in's library could not be loaded, when it could not: then no check ran.
    const std::string& refusal() const { return refusal_; }

    // In a child process: runs the checks of the run from the one named `first` on, until one
    // that the others depend on fails; the exit status is 0 when they ran to their end.
    static int runChild(const PluginLibrary& library, const ValidationOptions& options,
                        const std::string& first);
    // The arguments that make the tool do that as a child (Windows starts it anew).
    static std::vector<std::string> childArguments(const std::string& pluginPath,
                                                   const ValidationOptions& options,
                                                   const std::string& first);

private:
    // False when the child did not start the check: it gave no sign of life in time.
    bool runInChild(const CheckDefinition& definition, const std::vector<std::string>& verdicts);
    void reportEnding(const CheckDefinition& definition, const std::vector<std::string>& missing,
                      const std::string& text);

    std::string pluginPath_;
    ValidationOptions options_;
    std::string refusal_;
    CheckReport report_;
    std::optional<ChildProcess> child_;  // runs the checks; gone after a crash until the next check
};

}  // namespace vsthost
