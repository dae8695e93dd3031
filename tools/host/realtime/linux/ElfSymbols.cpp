#include "ElfSymbols.h"

#include <cxxabi.h>
#include <elf.h>

#include <cstdlib>
#include <cstring>
#include <fstream>
#include <iterator>
#include <vector>

namespace vsthost {

namespace {

using Bytes = std::vector<char>;

template <typename Record>
const Record* at(const Bytes& bytes, std::uint64_t offset) {
    if (offset > bytes.size() || bytes.size() - offset < sizeof(Record)) return nullptr;
    return reinterpret_cast<const Record*>(bytes.data() + offset);
}

std::string demangled(const char* name) {
    int status = 0;
    char* readable = abi::__cxa_demangle(name, nullptr, nullptr, &status);
    if (status != 0 || readable == nullptr) return name;
    std::string text = readable;
    std::free(readable);
    return text;
}

// The function of `table` (a symbol section, with its string section at `link`) that spans
// `offset`.
std::optional<std::string> search(const Bytes& bytes, const Elf64_Shdr* sections, std::uint16_t count,
                                  const Elf64_Shdr& table, std::uintptr_t offset) {
    if (table.sh_link >= count || table.sh_entsize != sizeof(Elf64_Sym)) return std::nullopt;
    const Elf64_Shdr& strings = sections[table.sh_link];
    for (std::uint64_t i = 0; i < table.sh_size / sizeof(Elf64_Sym); ++i) {
        const auto* symbol = at<Elf64_Sym>(bytes, table.sh_offset + i * sizeof(Elf64_Sym));
        if (symbol == nullptr) break;
        if (ELF64_ST_TYPE(symbol->st_info) != STT_FUNC || symbol->st_value > offset ||
            offset >= symbol->st_value + symbol->st_size || symbol->st_name >= strings.sh_size) {
            continue;
        }
        const std::uint64_t name = strings.sh_offset + symbol->st_name;
        if (name >= bytes.size() || std::memchr(bytes.data() + name, 0, bytes.size() - name) == nullptr) continue;
        return demangled(bytes.data() + name);
    }
    return std::nullopt;
}

}  // namespace

std::optional<std::string> ElfSymbols::functionAt(const std::string& path, std::uintptr_t offset) {
    std::ifstream file(path, std::ios::binary);
    const Bytes bytes{std::istreambuf_iterator<char>(file), std::istreambuf_iterator<char>()};
    const auto* header = at<Elf64_Ehdr>(bytes, 0);
    if (header == nullptr || std::memcmp(header->e_ident, ELFMAG, SELFMAG) != 0 ||
        header->e_ident[EI_CLASS] != ELFCLASS64 || header->e_shentsize != sizeof(Elf64_Shdr)) {
        return std::nullopt;
    }
    const auto* sections = at<Elf64_Shdr>(bytes, header->e_shoff);
    if (sections == nullptr || bytes.size() - header->e_shoff < std::uint64_t{header->e_shnum} * sizeof(Elf64_Shdr)) {
        return std::nullopt;
    }
    for (const std::uint32_t kind : {SHT_SYMTAB, SHT_DYNSYM}) {
        for (std::uint16_t i = 0; i < header->e_shnum; ++i) {
            if (sections[i].sh_type != kind) continue;
            if (auto name = search(bytes, sections, header->e_shnum, sections[i], offset)) return name;
        }
    }
    return std::nullopt;
}

}  // namespace vsthost
