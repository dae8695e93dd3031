// Windows: a module is heard through its own import table, each watched function's slot taken
// over by a replacement that reports the call; a call's site is its module and offset.
#include <windows.h>

#include <cstdio>
#include <cstdint>
#include <string>
#include <vector>

#include "AudioCallWatch.h"
#include "CoffSymbols.h"
#include "ImportHooks.h"

namespace vsthost {

namespace {

HMODULE moduleOf(const void* address) {
    HMODULE module = nullptr;
    GetModuleHandleExW(GET_MODULE_HANDLE_EX_FLAG_FROM_ADDRESS | GET_MODULE_HANDLE_EX_FLAG_UNCHANGED_REFCOUNT,
                       static_cast<LPCWSTR>(address), &module);
    return module;
}

std::string pathOf(HMODULE module) {
    char path[MAX_PATH] = {};
    GetModuleFileNameA(module, path, MAX_PATH);
    return path;
}

std::string describe(HMODULE module, const void* address) {
    const auto relative = static_cast<std::uint32_t>(static_cast<const char*>(address) - reinterpret_cast<const char*>(module));
    char offset[32];
    std::snprintf(offset, sizeof offset, "+0x%lx", static_cast<unsigned long>(relative));
    const std::string path = pathOf(module);
    const std::string where = path.substr(path.find_last_of("\\/") + 1) + offset;
    const auto function = CoffSymbols::functionAt(path, relative);
    return function ? *function + " (" + where + ")" : where;
}

bool takeOver(IMAGE_THUNK_DATA* slot, const ImportHook& hook) {
    DWORD previous = 0;
    if (!VirtualProtect(&slot->u1.Function, sizeof slot->u1.Function, PAGE_READWRITE, &previous)) return false;
    void* current = reinterpret_cast<void*>(slot->u1.Function);
    if (current != hook.replacement) {
        if (*hook.original == nullptr) *hook.original = current;
        slot->u1.Function = reinterpret_cast<ULONG_PTR>(hook.replacement);
    }
    VirtualProtect(&slot->u1.Function, sizeof slot->u1.Function, previous, &previous);
    return true;
}

// Every slot of the module's import table that holds a watched function, by name; slots bound
// by ordinal name nothing and stay.
std::string patchImports(HMODULE module) {
    auto* base = reinterpret_cast<BYTE*>(module);
    const auto* dos = reinterpret_cast<const IMAGE_DOS_HEADER*>(base);
    const auto* headers = reinterpret_cast<const IMAGE_NT_HEADERS*>(base + dos->e_lfanew);
    const IMAGE_DATA_DIRECTORY& imports = headers->OptionalHeader.DataDirectory[IMAGE_DIRECTORY_ENTRY_IMPORT];
    if (imports.VirtualAddress == 0) return {};
    for (auto* library = reinterpret_cast<IMAGE_IMPORT_DESCRIPTOR*>(base + imports.VirtualAddress); library->Name;
         ++library) {
        if (library->OriginalFirstThunk == 0) continue;
        auto* names = reinterpret_cast<IMAGE_THUNK_DATA*>(base + library->OriginalFirstThunk);
        auto* slots = reinterpret_cast<IMAGE_THUNK_DATA*>(base + library->FirstThunk);
        for (; names->u1.AddressOfData != 0; ++names, ++slots) {
            if (IMAGE_SNAP_BY_ORDINAL(names->u1.Ordinal)) continue;
            const auto* named = reinterpret_cast<const IMAGE_IMPORT_BY_NAME*>(base + names->u1.AddressOfData);
            const ImportHook* hook = ImportHooks::find(reinterpret_cast<const char*>(named->Name));
            if (hook != nullptr && !takeOver(slots, *hook)) {
                return std::string("its import slot of ") + hook->name + " cannot be written";
            }
        }
    }
    return {};
}

}  // namespace

int captureStack(void** frames, int capacity) {
    return RtlCaptureStackBackTrace(0, static_cast<DWORD>(capacity), frames, nullptr);
}

std::string AudioCallWatch::watchModule(const void* address) {
    const HMODULE module = moduleOf(address);
    if (module == nullptr) return "no module holds the plug-in's code";
    const std::string refused = patchImports(module);
    if (refused.empty()) setListening();
    return refused;
}

std::string AudioCallWatch::siteOf(const SeenCall& call, const void* moduleAddress) {
    const HMODULE module = moduleOf(moduleAddress);
    const HMODULE self = moduleOf(reinterpret_cast<const void*>(&AudioCallWatch::siteOf));
    std::vector<std::string> inside;
    std::string outside;
    for (int i = 0; i < call.frameCount && inside.size() < 2; ++i) {
        // A return address: the call itself is the byte before it.
        const void* address = static_cast<const char*>(call.frames[i]) - 1;
        const HMODULE holder = moduleOf(address);
        if (holder == nullptr) continue;
        if (holder == module) inside.push_back(describe(holder, address));
        if (outside.empty() && holder != self && holder != module) outside = describe(holder, address);
    }
    return siteText(inside, outside);
}

}  // namespace vsthost
