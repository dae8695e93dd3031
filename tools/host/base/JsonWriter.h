#pragma once
// A JSON document written as it goes: objects, arrays, keys and values in order, commas placed
// by the writer. Texts are escaped as JSON requires and their UTF-8 bytes pass through; a number
// that is not finite becomes null, which JSON can carry.

#include <cstdint>
#include <string>
#include <vector>

namespace vsthost {

class JsonWriter {
public:
    JsonWriter& beginObject();
    JsonWriter& endObject();
    JsonWriter& beginArray();
    JsonWriter& endArray();
    // The next value's name inside an object.
    JsonWriter& key(const std::string& name);
    JsonWriter& string(const std::string& text);
    JsonWriter& number(std::int64_t value);
    JsonWriter& number(double value);
    JsonWriter& number(int value) { return number(static_cast<std::int64_t>(value)); }
    JsonWriter& boolean(bool value);
    JsonWriter& null();

    // The document so far; whole once every object and array is ended.
    const std::string& text() const { return text_; }

    // `text` as a JSON string, quotes included.
    static std::string quote(const std::string& text);

private:
    void beforeValue();

    std::string text_;
    // Per open object or array: whether it holds a member yet.
    std::vector<bool> filled_;
    bool afterKey_ = false;
};

}  // namespace vsthost
