// The JSON report parses whatever a plug-in or a check puts into its texts, and holds every
// verdict, warnings included, under the check that gave it.
#include <gtest/gtest.h>

#include <cmath>
#include <limits>
#include <string>

#include "JsonReport.h"
#include "JsonWriter.h"

using vsthost::CheckReport;
using vsthost::JsonReport;
using vsthost::JsonWriter;

TEST(JsonReport, EscapesQuotesBackslashesAndControlCharactersAndKeepsUtf8) {
    const std::string message = std::string("say \"hi\" \\ C:\\dir\x01\x1F\b\f\n\r\t\x7F caf\xC3\xA9 \xF0\x9F\x8E\xB9 "
                                            "latin \xE9 nul ") + '\0' + "end";
    const std::string expected = "say \\\"hi\\\" \\\\ C:\\\\dir\\u0001\\u001f\\b\\f\\n\\r\\t\\u007f caf\xC3\xA9 "
                                 "\xF0\x9F\x8E\xB9 latin \xEF\xBF\xBD nul \\u0000end";
    CheckReport report(false);
    report.beginCheck("texts", vsthost::Level::normal);
    report.fail(message, message);
    const std::string json = JsonReport::text(message, {}, report);
    EXPECT_NE(json.find("\"plugin\":\"" + expected + "\""), std::string::npos) << json;
    EXPECT_NE(json.find("{\"name\":\"" + expected + "\",\"verdict\":\"fail\",\"message\":\"" + expected + "\"}"),
              std::string::npos) << json;
}

TEST(JsonReport, HoldsEveryVerdictUnderItsCheckWithTheTotals) {
    CheckReport report(false);
    report.beginCheck("processing", vsthost::Level::normal);
    report.pass("finite", "");
    report.warn("agrees", "slightly off");
    report.pass("agrees", "near enough");
    report.beginCheck("opcode sweep", vsthost::Level::strict);
    report.skip("every opcode", "needs level 2");
    report.fail("nothing past the buffer", "written past");
    report.printSummary();
    vsthost::ValidationOptions options;
    options.passThrough = true;
    const std::string json = JsonReport::text("p.so", options, report);
    EXPECT_NE(json.find("\"level\":1,\"levelName\":\"normal\",\"passThrough\":true,\"preset\":null,\"refusal\":null,"
                        "\"passed\":false,"),
              std::string::npos) << json;
    EXPECT_NE(json.find("\"totals\":{\"passed\":2,\"failed\":1,\"skipped\":1,\"warnings\":1}"), std::string::npos) << json;
    EXPECT_NE(json.find("\"verdicts\":[{\"name\":\"finite\",\"verdict\":\"pass\",\"message\":\"\"},"
                        "{\"name\":\"agrees\",\"verdict\":\"warn\",\"message\":\"slightly off\"},"
                        "{\"name\":\"agrees\",\"verdict\":\"pass\",\"message\":\"near enough\"}]},"
                        "{\"name\":\"opcode sweep\",\"level\":2,\"seconds\":"),
              std::string::npos) << json;
    EXPECT_NE(json.find("\"verdicts\":[{\"name\":\"every opcode\",\"verdict\":\"skip\",\"message\":\"needs level 2\"},"
                        "{\"name\":\"nothing past the buffer\",\"verdict\":\"fail\",\"message\":\"written past\"}]}]}"),
              std::string::npos) << json;
}

