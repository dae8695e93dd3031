#include "CheckRegistry.h"

#include <algorithm>

namespace vsthost {

bool runsWith(const CheckDefinition& definition, const ValidationOptions& options) {
    return (!definition.wanted || definition.wanted(options)) && definition.level <= options.level;
}

std::vector<CheckDefinition>& CheckRegistry::definitions() {
    // Built on first use: the checks add themselves during static initialisation.
    static std::vector<CheckDefinition> list;
    return list;
}

bool CheckRegistry::add(const CheckDefinition& definition) {
    definitions().push_back(definition);
    return true;
}

std::vector<CheckDefinition> CheckRegistry::all() {
    std::vector<CheckDefinition> list = definitions();
    std::stable_sort(list.begin(), list.end(),
                     [](const CheckDefinition& a, const CheckDefinition& b) { return a.order < b.order; });
    return list;
}

const CheckDefinition* CheckRegistry::find(const std::string& name) {
    for (const auto& definition : definitions()) {
        if (name == definition.name) return &definition;
    }
    return nullptr;
}

}  // namespace vsthost
