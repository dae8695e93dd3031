#include "BinaryKind.h"

#include <array>
#include <cstdint>
#include <fstream>

#include "FileName.h"

namespace vsthost {

namespace {

constexpr std::streamoff kNewHeaderOffsetField = 0x3C;
constexpr std::uint32_t kLargestNewHeaderOffset = 1 << 20;
constexpr std::size_t kFileHeaderSize = 20;
constexpr std::uint16_t kPe32Magic = 0x10B;
constexpr std::uint16_t kPe32PlusMagic = 0x20B;

std::uint32_t littleEndian(const unsigned char* bytes, int count) {
    std::uint32_t value = 0;
    for (int i = count - 1; i >= 0; --i) value = value << 8 | bytes[i];
    return value;
}

}  // namespace

BinaryKind binaryKindOf(const std::string& path) {
    std::ifstream file(FileName::path(path), std::ios::binary);
    std::array<unsigned char, 4> field{};
    if (!file.read(reinterpret_cast<char*>(field.data()), 2) || field[0] != 'M' || field[1] != 'Z') {
        return BinaryKind::other;
    }
    if (!file.seekg(kNewHeaderOffsetField).read(reinterpret_cast<char*>(field.data()), 4)) {
        return BinaryKind::other;
    }
    const std::uint32_t newHeader = littleEndian(field.data(), 4);
    if (newHeader > kLargestNewHeaderOffset) return BinaryKind::other;
    std::array<unsigned char, 4 + kFileHeaderSize + 2> header{};
    if (!file.seekg(newHeader).read(reinterpret_cast<char*>(header.data()), header.size())) {
        return BinaryKind::other;
    }
    if (header[0] != 'P' || header[1] != 'E' || header[2] != 0 || header[3] != 0) return BinaryKind::other;
    const auto magic = littleEndian(header.data() + 4 + kFileHeaderSize, 2);
    if (magic == kPe32Magic) return BinaryKind::windows32;
    if (magic == kPe32PlusMagic) return BinaryKind::windows64;
    return BinaryKind::other;
}

const char* widthName(BinaryKind kind) { return kind == BinaryKind::windows32 ? "32-bit" : "64-bit"; }

}  // namespace vsthost
