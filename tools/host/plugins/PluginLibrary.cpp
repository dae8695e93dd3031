#include "PluginLibrary.h"

#include <utility>

#include "FileName.h"

#if defined(_WIN32)
#include <windows.h>
#else
#include <dlfcn.h>
#endif

namespace vsthost {

namespace {

#if defined(_WIN32)
void* openLibrary(const std::string& path, std::string& reason) {
    // No error dialog boxes: a bad file must give a line on stderr, not a modal window.
    const UINT previous = SetErrorMode(SEM_FAILCRITICALERRORS | SEM_NOOPENFILEERRORBOX);
    HMODULE module = LoadLibraryW(FileName::wide(path).c_str());
    const DWORD code = GetLastError();
    SetErrorMode(previous);
    if (module == nullptr) {
        reason = code == ERROR_BAD_EXE_FORMAT ? "not a library of this platform"
                                              : "Windows error " + std::to_string(code);
    }
    return reinterpret_cast<void*>(module);
}
void* findSymbol(void* handle, const char* name) {
    return reinterpret_cast<void*>(GetProcAddress(static_cast<HMODULE>(handle), name));
}
void closeLibrary(void* handle) { FreeLibrary(static_cast<HMODULE>(handle)); }
#else
void* openLibrary(const std::string& path, std::string& reason) {
    // A relative name without a slash would be searched on the library path instead.
    const std::string name = path.find('/') == std::string::npos ? "./" + path : path;
    void* handle = dlopen(name.c_str(), RTLD_NOW | RTLD_LOCAL);
    if (handle == nullptr) {
        const char* text = dlerror();
        reason = text ? text : "unknown reason";
    }
    return handle;
}
void* findSymbol(void* handle, const char* name) { return dlsym(handle, name); }
void closeLibrary(void* handle) { dlclose(handle); }
#endif

}  // namespace

Expected<PluginLibrary> PluginLibrary::load(const std::string& path) {
    if (!FileName::isRegularFile(path)) return Error{"cannot find plug-in '" + path + "'"};
    std::string reason;
    void* handle = openLibrary(path, reason);
    if (handle == nullptr) return Error{"'" + path + "' is not a loadable plug-in: " + reason};
    for (const char* name : {"VSTPluginMain", "main"}) {
        if (void* symbol = findSymbol(handle, name)) {
            return PluginLibrary(handle, reinterpret_cast<EntryPoint>(symbol), name, path);
        }
    }
    closeLibrary(handle);
    return Error{"'" + path + "' is not a plug-in: it exports neither VSTPluginMain nor main"};
}

PluginLibrary::PluginLibrary(void* handle, EntryPoint entry, std::string entryName,
                             std::string path)
    : handle_(handle), entry_(entry), entryName_(std::move(entryName)), path_(std::move(path)) {}

PluginLibrary::PluginLibrary(PluginLibrary&& other) noexcept
    : handle_(std::exchange(other.handle_, nullptr)),
      entry_(std::exchange(other.entry_, nullptr)),
      entryName_(std::move(other.entryName_)),
      path_(std::move(other.path_)) {}

PluginLibrary& PluginLibrary::operator=(PluginLibrary&& other) noexcept {
    if (this != &other) {
        unload();
        handle_ = std::exchange(other.handle_, nullptr);
        entry_ = std::exchange(other.entry_, nullptr);
        entryName_ = std::move(other.entryName_);
        path_ = std::move(other.path_);
    }
    return *this;
}

PluginLibrary::~PluginLibrary() { unload(); }

void PluginLibrary::unload() {
    if (handle_ != nullptr) closeLibrary(handle_);
    handle_ = nullptr;
    entry_ = nullptr;
}

}  // namespace vsthost
