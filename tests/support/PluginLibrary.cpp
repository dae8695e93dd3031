#include "PluginLibrary.h"

#if defined(_WIN32)
#include <windows.h>
#else
#include <dlfcn.h>
#endif

#if defined(_WIN32)

PluginLibrary::PluginLibrary(const char* path)
    : handle(reinterpret_cast<void*>(LoadLibraryA(path))) {}

PluginLibrary::~PluginLibrary() {
    if (handle) FreeLibrary(static_cast<HMODULE>(handle));
}

PluginEntry PluginLibrary::entry(const char* name) const {
    if (handle == nullptr) return nullptr;
    return reinterpret_cast<PluginEntry>(
        reinterpret_cast<void*>(GetProcAddress(static_cast<HMODULE>(handle), name)));
}

#else

PluginLibrary::PluginLibrary(const char* path) : handle(dlopen(path, RTLD_NOW | RTLD_LOCAL)) {}

PluginLibrary::~PluginLibrary() {
    if (handle) dlclose(handle);
}

PluginEntry PluginLibrary::entry(const char* name) const {
    if (handle == nullptr) return nullptr;
    return reinterpret_cast<PluginEntry>(dlsym(handle, name));
}

#endif
