#include "Utf8Text.h"

#include <cstdint>

namespace vsthost {

std::size_t utf8SequenceLength(const std::string& text, std::size_t at) {
    const auto lead = static_cast<unsigned char>(text[at]);
    if (lead < 0x80) return 1;
    const std::size_t length = lead >= 0xF0 && lead <= 0xF4 ? 4 : lead >= 0xE0 ? 3 : lead >= 0xC2 && lead < 0xE0 ? 2 : 0;
    if (length == 0 || at + length > text.size()) return 0;
    std::uint32_t point = lead & (0xFF >> (length + 1));
    for (std::size_t i = 1; i < length; ++i) {
        const auto next = static_cast<unsigned char>(text[at + i]);
        if ((next & 0xC0) != 0x80) return 0;
        point = point << 6 | (next & 0x3F);
    }
    const bool shortest = length == 2 || (length == 3 && point >= 0x800) || (length == 4 && point >= 0x10000);
    const bool surrogate = point >= 0xD800 && point <= 0xDFFF;
    return shortest && !surrogate && point <= 0x10FFFF ? length : 0;
}

}  // namespace vsthost
