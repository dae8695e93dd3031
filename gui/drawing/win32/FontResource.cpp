#include "FontResource.h"

#include "WindowClass.h"

#include <cstdint>
#include <map>
#include <mutex>

namespace {

// The bytes of one resource of the plug-in, or none.
struct Bytes {
    const unsigned char* data = nullptr;
    std::size_t size = 0;
};

Bytes resourceBytes(const std::string& name) {
    HMODULE module = getInstanceHandle();
    HRSRC found = FindResourceA(module, name.c_str(), RT_RCDATA);
    if (!found) return {};
    HGLOBAL loaded = LoadResource(module, found);
    const void* data = loaded ? LockResource(loaded) : nullptr;
    if (!data) return {};
    return {static_cast<const unsigned char*>(data), SizeofResource(module, found)};
}

std::uint32_t bigEndian(const Bytes& file, std::size_t at, int length) {
    std::uint32_t value = 0;
    for (int i = 0; i < length; ++i) value = value << 8 | file.data[at + i];
    return value;
}

// The family name a TrueType or OpenType file gives for Windows (name 1 of the naming table
// in UTF-16, US English preferred), which is the name GDI lists it under; empty if it has none.
std::wstring familyName(const Bytes& file) {
    if (file.size < 12) return {};
    const std::uint32_t tables = bigEndian(file, 4, 2);
    std::size_t naming = 0;
    for (std::uint32_t i = 0; i < tables && 12 + 16 * (i + 1) <= file.size; ++i) {
        const std::size_t entry = 12 + 16 * i;
        if (bigEndian(file, entry, 4) == 0x6E616D65) naming = bigEndian(file, entry + 8, 4); // 'name'
    }
    if (naming == 0 || naming + 6 > file.size) return {};
    const std::uint32_t records = bigEndian(file, naming + 2, 2);
    const std::size_t strings = naming + bigEndian(file, naming + 4, 2);
    std::wstring found;
    for (std::uint32_t i = 0; i < records && naming + 6 + 12 * (i + 1) <= file.size; ++i) {
        const std::size_t record = naming + 6 + 12 * i;
        const bool windows = bigEndian(file, record, 2) == 3 && bigEndian(file, record + 2, 2) <= 1;
        if (!windows || bigEndian(file, record + 6, 2) != 1) continue;
        const std::size_t length = bigEndian(file, record + 8, 2);
        const std::size_t start = strings + bigEndian(file, record + 10, 2);
        if (start + length > file.size) continue;
        std::wstring name;
        for (std::size_t at = start; at + 1 < start + length; at += 2) {
            name += static_cast<wchar_t>(bigEndian(file, at, 2));
        }
        if (found.empty() || bigEndian(file, record + 4, 2) == 0x409) found = name;
    }
    return found;
}

std::mutex& registryLock() {
    static std::mutex lock;
    return lock;
}

// Fonts by resource name while anyone uses them; never destroyed, as fonts may outlive statics.
std::map<std::string, std::weak_ptr<const FontResource>>& registry() {
    static auto* fonts = new std::map<std::string, std::weak_ptr<const FontResource>>;
    return *fonts;
}

std::shared_ptr<const FontResource> load(const std::string& name) {
    const Bytes file = resourceBytes(name);
    if (!file.data || file.size > 0x7FFFFFFF) return nullptr;
    std::wstring family = familyName(file);
    if (family.empty() || family.size() >= LF_FACESIZE) return nullptr;
    DWORD count = 0;
    // Private to this process, and gone with it at the latest: nothing is installed.
    HANDLE added = AddFontMemResourceEx(const_cast<unsigned char*>(file.data), static_cast<DWORD>(file.size),
                                        nullptr, &count);
    if (!added) return nullptr;
    return std::make_shared<FontResource>(added, std::move(family));
}

} // namespace

std::shared_ptr<const FontResource> FontResource::find(const std::string& name) {
    const std::lock_guard<std::mutex> hold(registryLock());
    auto& fonts = registry();
    if (auto found = fonts[name].lock()) return found;
    auto made = load(name);
    if (made) {
        fonts[name] = made;
    } else {
        fonts.erase(name);
    }
    return made;
}

FontResource::~FontResource() { RemoveFontMemResourceEx(added); }
