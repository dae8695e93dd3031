#include "RecordText.h"

#include <cstdint>
#include <cstdio>

namespace vsthost {

std::string fourCharacterText(VstInt32 code) {
    char text[32];
    const auto bits = static_cast<std::uint32_t>(code);
    std::snprintf(text, sizeof text, "0x%08X", static_cast<unsigned>(bits));
    std::string result = text;
    std::string characters;
    for (int shift = 24; shift >= 0; shift -= 8) {
        const char c = static_cast<char>((bits >> shift) & 0xFFu);
        if (c < 0x20 || c > 0x7E) return result;
        characters += c;
    }
    return result + " '" + characters + "'";
}

std::string flagsText(VstInt32 flags) {
    static const char* const names[13] = {"hasEditor", "hasClip", "hasVu", "canMono",
                                          "canReplacing", "programChunks", nullptr, nullptr,
                                          "isSynth", "noSoundInStop", "extIsAsync",
                                          "extHasBuffer", "canDoubleReplacing"};
    char hex[16];
    std::snprintf(hex, sizeof hex, "0x%08X", static_cast<unsigned>(flags));
    std::string spelled;
    for (int bit = 0; bit < 32; ++bit) {
        if ((static_cast<std::uint32_t>(flags) >> bit & 1u) == 0) continue;
        if (!spelled.empty()) spelled += " | ";
        spelled += bit < 13 && names[bit] ? names[bit] : "bit " + std::to_string(bit);
    }
    return std::string(hex) + " (" + (spelled.empty() ? "none" : spelled) + ")";
}

std::string quoted(const std::string& text) {
    std::string result = "\"";
    for (const char c : text) {
        const auto byte = static_cast<unsigned char>(c);
        if (byte < 0x20 || byte > 0x7E || c == '"' || c == '\\') {
            char escaped[8];
            std::snprintf(escaped, sizeof escaped, "\\x%02X", byte);
            result += escaped;
        } else {
            result += c;
        }
    }
    return result + "\"";
}

std::string productVersionText(VstIntPtr version) {
    char text[48];
    const auto value = static_cast<unsigned long>(version);
    if (version >= 0x10000) {
        std::snprintf(text, sizeof text, "%lu.%lu.%lu", (value >> 16) & 0xFFu, (value >> 8) & 0xFFu, value & 0xFFu);
    } else {
        std::snprintf(text, sizeof text, "%lu.%lu.%lu", value / 1000, value / 100 % 10, value % 100);
    }
    return text;
}

std::string interfaceVersionText(VstIntPtr version) {
    if (version < 2000) return "1.0";
    char text[32];
    std::snprintf(text, sizeof text, "%ld.%ld", static_cast<long>(version / 1000),
                  static_cast<long>(version / 100 % 10));
    return text;
}

std::string bitNames(VstInt32 flags, const char* const* names, int count) {
    std::string text;
    for (int bit = 0; bit < 32; ++bit) {
        if ((flags & (VstInt32{1} << bit)) == 0) continue;
        if (!text.empty()) text += " | ";
        text += bit < count && names[bit] ? names[bit] : "bit " + std::to_string(bit);
    }
    return text.empty() ? "none" : text;
}

}  // namespace vsthost
