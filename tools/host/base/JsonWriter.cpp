#include "JsonWriter.h"

#include <cmath>
#include <cstdio>

namespace vsthost {

namespace {

// The length of the well-formed UTF-8 sequence at `at`, or 0 for a byte that starts none.
std::size_t sequenceLength(const std::string& text, std::size_t at) {
    const auto lead = static_cast<unsigned char>(text[at]);
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

}  // namespace

std::string JsonWriter::quote(const std::string& text) {
    std::string quoted = "\"";
    for (std::size_t at = 0; at < text.size(); ++at) {
        const char c = text[at];
        const auto byte = static_cast<unsigned char>(c);
        if (byte >= 0x80) {
            // Plug-ins' texts come in any encoding; bytes that are no UTF-8 become U+FFFD.
            const std::size_t length = sequenceLength(text, at);
            if (length == 0) {
                quoted += "\xEF\xBF\xBD";
            } else {
                quoted.append(text, at, length);
                at += length - 1;
            }
            continue;
        }
        switch (c) {
        case '"': quoted += "\\\""; break;
        case '\\': quoted += "\\\\"; break;
        case '\n': quoted += "\\n"; break;
        case '\r': quoted += "\\r"; break;
        case '\t': quoted += "\\t"; break;
        case '\b': quoted += "\\b"; break;
        case '\f': quoted += "\\f"; break;
        default:
            if (byte < 0x20 || byte == 0x7F) {
                char escape[8];
                std::snprintf(escape, sizeof escape, "\\u%04x", byte);
                quoted += escape;
            } else {
                quoted += c;
            }
        }
    }
    return quoted + "\"";
}

void JsonWriter::beforeValue() {
    if (afterKey_) {
        afterKey_ = false;
        return;
    }
    if (!filled_.empty()) {
        if (filled_.back()) text_ += ',';
        filled_.back() = true;
    }
}

JsonWriter& JsonWriter::beginObject() {
    beforeValue();
    text_ += '{';
    filled_.push_back(false);
    return *this;
}

JsonWriter& JsonWriter::endObject() {
    text_ += '}';
    if (!filled_.empty()) filled_.pop_back();
    return *this;
}

JsonWriter& JsonWriter::beginArray() {
    beforeValue();
    text_ += '[';
    filled_.push_back(false);
    return *this;
}

JsonWriter& JsonWriter::endArray() {
    text_ += ']';
    if (!filled_.empty()) filled_.pop_back();
    return *this;
}

JsonWriter& JsonWriter::key(const std::string& name) {
    beforeValue();
    text_ += quote(name) + ':';
    afterKey_ = true;
    return *this;
}

JsonWriter& JsonWriter::string(const std::string& text) {
    beforeValue();
    text_ += quote(text);
    return *this;
}

JsonWriter& JsonWriter::number(std::int64_t value) {
    beforeValue();
    text_ += std::to_string(value);
    return *this;
}

JsonWriter& JsonWriter::number(double value) {
    if (!std::isfinite(value)) return null();
    beforeValue();
    char digits[32];
    std::snprintf(digits, sizeof digits, "%.17g", value);
    text_ += digits;
    return *this;
}

JsonWriter& JsonWriter::boolean(bool value) {
    beforeValue();
    text_ += value ? "true" : "false";
    return *this;
}

JsonWriter& JsonWriter::null() {
    beforeValue();
    text_ += "null";
    return *this;
}

}  // namespace vsthost
