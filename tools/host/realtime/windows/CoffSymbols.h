#pragma once
// The name of the function at a relative address in a PE image, from the COFF symbol table a
// MinGW build keeps unless it was stripped.

#include <cstdint>
#include <optional>
#include <string>

namespace vsthost {

class CoffSymbols {
public:
    // Demangled; nothing when the file keeps no symbols or none starts at or before `address`.
    static std::optional<std::string> functionAt(const std::string& path, std::uint32_t address);
};

}  // namespace vsthost
