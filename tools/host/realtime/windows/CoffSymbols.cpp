#include "CoffSymbols.h"

#include <windows.h>

#include <cxxabi.h>

#include <cstdlib>
#include <cstring>
#include <fstream>
#include <iterator>
#include <vector>

namespace vsthost {

namespace {

using Bytes = std::vector<char>;

constexpr WORD kFunctionType = 0x20;

template <typename Record>
const Record* at(const Bytes& bytes, std::uint64_t offset) {
    if (offset > bytes.size() || bytes.size() - offset < sizeof(Record)) return nullptr;
    return reinterpret_cast<const Record*>(bytes.data() + offset);
}

// 32-bit images put an underscore before every C name, so before a C++ one's "_Z" too.
std::string demangled(std::string name) {
    if (sizeof(void*) == 4 && name.starts_with("__Z")) name.erase(0, 1);
    int status = 0;
    char* readable = abi::__cxa_demangle(name.c_str(), nullptr, nullptr, &status);
    if (status != 0 || readable == nullptr) return name;
    std::string text = readable;
    std::free(readable);
    return text;
}

std::string nameOf(const Bytes& bytes, const IMAGE_SYMBOL& symbol, std::uint64_t strings) {
    if (symbol.N.Name.Short != 0) {
        return std::string(reinterpret_cast<const char*>(symbol.N.ShortName),
                           strnlen(reinterpret_cast<const char*>(symbol.N.ShortName), 8));
    }
    const std::uint64_t offset = strings + symbol.N.Name.Long;
    if (offset >= bytes.size() || std::memchr(bytes.data() + offset, 0, bytes.size() - offset) == nullptr) return {};
    return bytes.data() + offset;
}

}  // namespace

std::optional<std::string> CoffSymbols::functionAt(const std::string& path, std::uint32_t address) {
    std::ifstream file(path, std::ios::binary);
    const Bytes bytes{std::istreambuf_iterator<char>(file), std::istreambuf_iterator<char>()};
    const auto* dos = at<IMAGE_DOS_HEADER>(bytes, 0);
    if (dos == nullptr || dos->e_magic != IMAGE_DOS_SIGNATURE) return std::nullopt;
    const auto* headers = at<IMAGE_NT_HEADERS>(bytes, static_cast<std::uint64_t>(dos->e_lfanew));
    if (headers == nullptr || headers->Signature != IMAGE_NT_SIGNATURE) return std::nullopt;
    const IMAGE_FILE_HEADER& image = headers->FileHeader;
    const std::uint64_t sectionsAt = static_cast<std::uint64_t>(dos->e_lfanew) +
                                     offsetof(IMAGE_NT_HEADERS, OptionalHeader) + image.SizeOfOptionalHeader;
    const std::uint64_t strings = std::uint64_t{image.PointerToSymbolTable} +
                                  std::uint64_t{image.NumberOfSymbols} * IMAGE_SIZEOF_SYMBOL;
    if (image.PointerToSymbolTable == 0 || strings > bytes.size()) return std::nullopt;
    std::optional<std::string> best;
    std::uint32_t bestStart = 0;
    for (DWORD i = 0; i < image.NumberOfSymbols; ++i) {
        const auto* symbol = at<IMAGE_SYMBOL>(bytes, image.PointerToSymbolTable + std::uint64_t{i} * IMAGE_SIZEOF_SYMBOL);
        if (symbol == nullptr) break;
        const SHORT section = symbol->SectionNumber;
        if (symbol->Type == kFunctionType && section > 0 && section <= image.NumberOfSections) {
            const auto* header = at<IMAGE_SECTION_HEADER>(
                bytes, sectionsAt + static_cast<std::uint64_t>(section - 1) * sizeof(IMAGE_SECTION_HEADER));
            const std::uint32_t start = header ? header->VirtualAddress + symbol->Value : 0;
            if (header && start <= address && (!best || start > bestStart)) {
                best = nameOf(bytes, *symbol, strings);
                bestStart = start;
            }
        }
        i += symbol->NumberOfAuxSymbols;
    }
    if (best && best->empty()) return std::nullopt;
    return best ? std::optional<std::string>(demangled(*best)) : std::nullopt;
}

}  // namespace vsthost
