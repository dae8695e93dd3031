#pragma once
// Every validation check, each defined in a file of its own under checks/ that adds itself
// here while the program starts; adding a check means adding its file.

#include <string>
#include <vector>

#include "ValidationOptions.h"

namespace vsthost {

class CheckContext;

struct CheckDefinition {
    int order = 0;              // place in the run
    const char* name = "";      // also names the check to the child process that runs it
    Level level = Level::normal;
    // The verdict lines the check gives, known before it runs, so that a line it never
    // reached, because the plug-in crashed first, is counted all the same.
    std::vector<std::string> (*verdicts)(const ValidationOptions& options) = nullptr;
    void (*run)(CheckContext& context) = nullptr;
    // A failure here leaves nothing for the other checks to work on.
    bool gate = false;
    // Null: the check belongs to every run.
    bool (*wanted)(const ValidationOptions& options) = nullptr;
};

// True when `definition` belongs to a run with `options` and its level is not above theirs.
bool runsWith(const CheckDefinition& definition, const ValidationOptions& options);

class CheckRegistry {
public:
    static bool add(const CheckDefinition& definition);
    // In the order of the run.
    static std::vector<CheckDefinition> all();
    static const CheckDefinition* find(const std::string& name);

private:
    static std::vector<CheckDefinition>& definitions();
};

}  // namespace vsthost
