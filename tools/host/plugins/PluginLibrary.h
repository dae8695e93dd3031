#pragma once
// A plug-in binary loaded into the process (LoadLibrary or dlopen) and its entry point.

#include <string>

#include "AEffect.h"
#include "Expected.h"

namespace vsthost {

using EntryPoint = AEffect*(VST_CALL*)(HostCallback host);

class PluginLibrary {
public:
    // Fails with one readable line for a missing file, a file that is no loadable library of
    // this platform, or a library exporting neither VSTPluginMain nor main.
    static Expected<PluginLibrary> load(const std::string& path);

    PluginLibrary(PluginLibrary&& other) noexcept;
    PluginLibrary& operator=(PluginLibrary&& other) noexcept;
    PluginLibrary(const PluginLibrary&) = delete;
    PluginLibrary& operator=(const PluginLibrary&) = delete;
    ~PluginLibrary();

    EntryPoint entryPoint() const { return entry_; }
    const std::string& entryName() const { return entryName_; }
    const std::string& path() const { return path_; }

private:
    PluginLibrary(void* handle, EntryPoint entry, std::string entryName, std::string path);
    void unload();

    void* handle_ = nullptr;
    EntryPoint entry_ = nullptr;
    std::string entryName_;
    std::string path_;
};

}  // namespace vsthost
