// The JUnit report stays well-formed XML whatever a plug-in names its parameters or a check
// says: every character XML 1.0 does not allow becomes U+FFFD.
#include <gtest/gtest.h>

#include <string>

#include "JunitReport.h"

using vsthost::CheckReport;
using vsthost::JunitReport;

TEST(JunitReport, ReplacesWhatXmlDoesNotAllow) {
    const std::string replaced = "\xEF\xBF\xBD";
    const struct {
        const char* what;
        std::string name;
        std::string text;
    } cases[] = {
        {"U+FFFE and U+FFFF", "a\xEF\xBF\xBE" "b\xEF\xBF\xBF", "a" + replaced + "b" + replaced},
        {"control characters", std::string("a\x01\x1F\0b", 5), "a" + replaced + replaced + replaced + "b"},
        {"a lone surrogate", "a\xED\xA0\x80", "a" + replaced + replaced + replaced},
        {"bytes that are no UTF-8", "a\xFF\xC0\x80\xE2\x82", "a" + replaced + replaced + replaced + replaced + replaced},
        {"tab, line feed and return kept", "a\tb\nc\rd", "a&#9;b&#10;c&#13;d"},
        {"markup", "<&\">", "&lt;&amp;&quot;&gt;"},
        {"what XML allows", "\x7F\xC2\x80\xEF\xBF\xBD\xF0\x9F\x8E\xB9", "\x7F\xC2\x80\xEF\xBF\xBD\xF0\x9F\x8E\xB9"},
    };
    for (const auto& named : cases) {
        CheckReport report;
        report.beginCheck("names", vsthost::Level::normal);
        report.fail(named.name, named.name);
        const std::string xml = JunitReport::text(named.name, report);
        EXPECT_NE(xml.find("name=\"" + named.text + "\""), std::string::npos) << named.what << "\n" << xml;
        EXPECT_NE(xml.find("message=\"" + named.text + "\""), std::string::npos) << named.what << "\n" << xml;
        EXPECT_NE(xml.find("validate " + named.text + "\""), std::string::npos) << named.what << "\n" << xml;
    }
}

// A warning fails nothing, and JUnit has no verdict for it: it is no test case there.
TEST(JunitReport, LeavesWarningsOut) {
    CheckReport report(false);
    report.beginCheck("processing", vsthost::Level::normal);
    report.warn("agrees", "slightly off");
    report.pass("agrees", "near enough");
    const std::string xml = JunitReport::text("p.so", report);
    EXPECT_EQ(xml.find("slightly off"), std::string::npos) << xml;
    EXPECT_NE(xml.find("tests=\"1\" failures=\"0\" skipped=\"0\""), std::string::npos) << xml;
}
