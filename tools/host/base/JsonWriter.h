#pragma once
// A JSON document written as it goes: objects, arrays, keys and values in order, the commas
// between them placed by the writer. Texts are escaped so that any bytes make valid JSON: UTF-8
// passes through, a byte that is not part of UTF-8 becomes U+FFFD. A number that is not finite
// becomes null, which is the nearest JSON has.

#include <cstdint>
#include <string>
#include <vector>

namespace vsthost {

class JsonWriter {
public:
    void beginObject();
    void endObject();
    void beginArray();
    void endArray();
    // The name of the next member of the object being written.
    void key(const std::string& name);
    void string(const std::string& value);
    void number(double value);
    void number(std::int64_t value);
    void number(int value) { number(static_cast<std::int64_t>(value)); }
    void boolean(bool value);
    void null();

    // The document so far; whole once every object and array begun has ended.
    const std::string& text() const { return text_; }

    // `value` as the inside of a JSON string, without its quotes.
    static std::string escaped(const std::string& value);

private:
    // Before a value or key: the comma after the one before it, unless a key has just come.
    void separate();
    void open(char bracket);
    void close(char bracket);

    std::string text_;
    std::vector<bool> firstInside_;  // per open object or array: nothing written in it yet
    bool afterKey_ = false;
};

}  // namespace vsthost
