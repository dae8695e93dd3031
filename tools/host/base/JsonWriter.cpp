#include "JsonWriter.h"

#include <charconv>
#include <cmath>
#include <cstdio>

namespace vsthost {

namespace {

// The length of the UTF-8 sequence at `at`, or 0 where the bytes there are not one: a stray or
// overlong byte, a surrogate, a code point past U+10FFFF, a sequence cut short.
std::size_t utf8Length(const std::string& text, std::size_t at) {
    const auto byte = [&](std::size_t i) { return static_cast<unsigned char>(text[i]); };
    const unsigned char lead = byte(at);
    if (lead < 0x80) return 1;
    const std::size_t length = lead >= 0xC2 && lead <= 0xDF ? 2 : lead >= 0xE0 && lead <= 0xEF ? 3
                             : lead >= 0xF0 && lead <= 0xF4 ? 4 : 0;
    if (length == 0 || at + length > text.size()) return 0;
    for (std::size_t i = 1; i < length; ++i) {
        if ((byte(at + i) & 0xC0) != 0x80) return 0;
    }
    const unsigned char second = byte(at + 1);
    if ((lead == 0xE0 && second < 0xA0) || (lead == 0xED && second > 0x9F) || (lead == 0xF0 && second < 0x90) ||
        (lead == 0xF4 && second > 0x8F)) {
        return 0;
    }
    return length;
}

void appendControl(std::string& out, unsigned char c) {
    switch (c) {
    case '\b': out += "\\b"; return;
    case '\f': out += "\\f"; return;
    case '\n': out += "\\n"; return;
    case '\r': out += "\\r"; return;
    case '\t': out += "\\t"; return;
    default: break;
    }
    char code[8];
    std::snprintf(code, sizeof code, "\\u%04X", static_cast<unsigned>(c));
    out += code;
}

}  // namespace

std::string JsonWriter::escaped(const std::string& value) {
    std::string out;
    for (std::size_t at = 0; at < value.size();) {
        const std::size_t length = utf8Length(value, at);
        const auto c = static_cast<unsigned char>(value[at]);
        if (length == 0) {
            out += "\xEF\xBF\xBD";
            ++at;
            continue;
        }
        if (c == '"' || c == '\\') {
            out += '\\';
            out += static_cast<char>(c);
        } else if (c < 0x20) {
            appendControl(out, c);
        } else {
            out.append(value, at, length);
        }
        at += length;
    }
    return out;
}

void JsonWriter::separate() {
    if (afterKey_) {
        afterKey_ = false;
        return;
    }
    if (firstInside_.empty()) return;
    if (!firstInside_.back()) text_ += ',';
    firstInside_.back() = false;
}

void JsonWriter::open(char bracket) {
    separate();
    text_ += bracket;
    firstInside_.push_back(true);
}

void JsonWriter::close(char bracket) {
    if (!firstInside_.empty()) firstInside_.pop_back();
    text_ += bracket;
    if (firstInside_.empty()) text_ += '\n';
}

void JsonWriter::beginObject() { open('{'); }
void JsonWriter::endObject() { close('}'); }
void JsonWriter::beginArray() { open('['); }
void JsonWriter::endArray() { close(']'); }

void JsonWriter::key(const std::string& name) {
    separate();
    text_ += '"' + escaped(name) + "\":";
    afterKey_ = true;
}

void JsonWriter::string(const std::string& value) {
    separate();
    text_ += '"' + escaped(value) + '"';
}

void JsonWriter::number(double value) {
    if (!std::isfinite(value)) return null();
    separate();
    // The shortest text that reads back as the same double, whatever the locale.
    char digits[32];
    const auto written = std::to_chars(digits, digits + sizeof digits, value);
    text_.append(digits, written.ptr);
}

void JsonWriter::number(std::int64_t value) {
    separate();
    text_ += std::to_string(value);
}

void JsonWriter::boolean(bool value) {
    separate();
    text_ += value ? "true" : "false";
}

void JsonWriter::null() {
    separate();
    text_ += "null";
}

}  // namespace vsthost
