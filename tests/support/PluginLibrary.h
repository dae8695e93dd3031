#pragma once
// Loads a built plug-in binary the way a host does and looks up its exported functions.

#include "AEffect.h"

using PluginEntry = AEffect*(VST_CALL*)(HostCallback host);

class PluginLibrary {
public:
    // Loads the library at `path`; isLoaded() tells whether that worked.
    explicit PluginLibrary(const char* path);
    ~PluginLibrary();

    bool isLoaded() const { return handle != nullptr; }
    // The exported function `name`, or null.
    PluginEntry entry(const char* name) const;

    PluginLibrary(const PluginLibrary&) = delete;
    PluginLibrary& operator=(const PluginLibrary&) = delete;

private:
    void* handle;
};
