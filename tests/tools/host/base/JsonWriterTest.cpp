// The JSON writer: what a reader needs escaped, UTF-8 kept, bytes that are none replaced, and
// values that JSON cannot carry written as null.
#include <gtest/gtest.h>

#include <cmath>
#include <limits>

#include "JsonWriter.h"

using vsthost::JsonWriter;

TEST(JsonWriter, EscapesWhatJsonRequiresAndKeepsUtf8) {
    EXPECT_EQ(JsonWriter::quote("a\"b\\c\n\t\x01\x7f"), "\"a\\\"b\\\\c\\n\\t\\u0001\\u007f\"");
    EXPECT_EQ(JsonWriter::quote("Gr\xc3\xbc\xc3\x9f \xe2\x82\xac \xf0\x9f\x8e\xb9"), "\"Gr\xc3\xbc\xc3\x9f \xe2\x82\xac \xf0\x9f\x8e\xb9\"");
    // Latin-1, a cut sequence, an overlong one and a surrogate: none is UTF-8.
    EXPECT_EQ(JsonWriter::quote("\xfc|\xe2\x82|\xc0\xaf|\xed\xa0\x80"),
              "\"\xef\xbf\xbd|\xef\xbf\xbd\xef\xbf\xbd|\xef\xbf\xbd\xef\xbf\xbd|\xef\xbf\xbd\xef\xbf\xbd\xef\xbf\xbd\"");
}

TEST(JsonWriter, PlacesCommasAndWritesNoNumberJsonLacks) {
    JsonWriter json;
    json.beginObject().key("a").beginArray().number(std::int64_t{-1}).number(0.5).boolean(true).null().endArray();
    json.key("b").beginObject().endObject().key("c").number(std::numeric_limits<double>::quiet_NaN());
    json.key("d").number(std::numeric_limits<double>::infinity()).key("e").string("x").endObject();
    EXPECT_EQ(json.text(), "{\"a\":[-1,0.5,true,null],\"b\":{},\"c\":null,\"d\":null,\"e\":\"x\"}");
}
