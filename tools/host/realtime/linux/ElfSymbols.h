#pragma once
// The name of the function at an offset in an ELF shared object, from its full symbol table
// where it kept one, else from its dynamic one.

#include <cstdint>
#include <optional>
#include <string>

namespace vsthost {

class ElfSymbols {
public:
    // Demangled; nothing when the file is no 64-bit ELF or names no function there.
    static std::optional<std::string> functionAt(const std::string& path, std::uintptr_t offset);
};

}  // namespace vsthost
