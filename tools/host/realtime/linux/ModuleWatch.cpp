// Linux: the watched functions are the program's own definitions, so a module needs nothing to
// be heard; a call's site is read from the loader's view of the address and the module's symbols.
#include <dlfcn.h>

#include <cstdio>
#include <optional>
#include <string>
#include <vector>

#include "AudioCallWatch.h"
#include "ElfSymbols.h"

namespace vsthost {

namespace {

struct Place {
    std::string file;
    const void* base = nullptr;
    std::uintptr_t offset = 0;
};

std::optional<Place> placeOf(const void* address) {
    Dl_info info{};
    if (dladdr(address, &info) == 0 || info.dli_fbase == nullptr) return std::nullopt;
    const auto offset = reinterpret_cast<std::uintptr_t>(address) - reinterpret_cast<std::uintptr_t>(info.dli_fbase);
    return Place{info.dli_fname ? info.dli_fname : "?", info.dli_fbase, offset};
}

std::string baseName(const std::string& path) { return path.substr(path.find_last_of('/') + 1); }

std::string describe(const Place& place) {
    char offset[32];
    std::snprintf(offset, sizeof offset, "+0x%zx", static_cast<std::size_t>(place.offset));
    const std::string where = baseName(place.file) + offset;
    const auto function = ElfSymbols::functionAt(place.file, place.offset);
    return function ? *function + " (" + where + ")" : where;
}

}  // namespace

std::string AudioCallWatch::watchModule(const void*) {
    if (!listening()) return "this program does not watch the functions an audio call may not use";
    void* frames[4];
    captureStack(frames, 4);
    return {};
}

std::string AudioCallWatch::siteOf(const SeenCall& call, const void* moduleAddress) {
    const auto module = placeOf(moduleAddress);
    const auto self = placeOf(reinterpret_cast<const void*>(&AudioCallWatch::siteOf));
    std::vector<std::string> inside;
    std::string outside;
    for (int i = 0; i < call.frameCount && inside.size() < 2; ++i) {
        // A return address: the call itself is the byte before it.
        const auto place = placeOf(static_cast<const char*>(call.frames[i]) - 1);
        if (!place) continue;
        const bool plugins = module && place->base == module->base;
        if (plugins) inside.push_back(describe(*place));
        if (outside.empty() && !plugins && !(self && place->base == self->base)) outside = describe(*place);
    }
    return siteText(inside, outside);
}

}  // namespace vsthost
