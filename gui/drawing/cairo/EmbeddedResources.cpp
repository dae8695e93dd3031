#include "EmbeddedResources.h"

#include <cstring>

// Weak, so that a plug-in without resources still links: the table's address is then null;
// hidden, so that another module's table in the same host can never stand in for it.
extern "C" __attribute__((weak, visibility("hidden"))) const EmbeddedResource lanter5EmbeddedResources[];

__attribute__((weak)) const EmbeddedResource* findEmbeddedResource(const char* name) {
    const EmbeddedResource* entry = lanter5EmbeddedResources;
    if (!name || !entry) return nullptr;
    for (; entry->name; ++entry) {
        if (std::strcmp(entry->name, name) == 0) return entry;
    }
    return nullptr;
}
