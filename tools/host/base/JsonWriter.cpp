#include "JsonWriter.h"

#include <cmath>
#include <cstdio>

#include "Utf8Text.h"

namespace vsthost {

std::string JsonWriter::quote(const std::string& text) {
    std::string quoted = "\"";
    for (std::size_t at = 0; at < text.size(); ++at) {
        const char c = text[at];
        const auto byte = static_cast<unsigned char>(c);
        if (byte >= 0x80) {
            // Plug-ins' texts come in any encoding; bytes that are no UTF-8 become U+FFFD.
            const std::size_t length = utf8SequenceLength(text, at);
            if (length == 0) {
                quoted += kReplacementCharacter;
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
