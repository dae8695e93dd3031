#include "JunitReport.h"

#include <cstdio>

#include "FileName.h"
#include "Utf8Text.h"

namespace vsthost {

namespace {

// XML 1.0 allows neither U+FFFE nor U+FFFF, which a plug-in's name may hold all the same.
bool isNonCharacter(const std::string& text, std::size_t at, std::size_t length) {
    return length == 3 && text.compare(at, 2, "\xEF\xBF") == 0 && static_cast<unsigned char>(text[at + 2]) >= 0xBE;
}

// The report says it is UTF-8, so any byte that is not part of UTF-8 (a file name in another
// encoding, say) and any character XML does not allow becomes U+FFFD rather than a document no
// parser reads. Tab, line feed and return are references: an attribute would turn them into spaces.
std::string escaped(const std::string& text) {
    std::string out;
    for (std::size_t at = 0; at < text.size();) {
        const char c = text[at];
        const std::size_t length = utf8SequenceLength(text, at);
        if (length == 0 || isNonCharacter(text, at, length)) {
            out += kReplacementCharacter;
            at += length == 0 ? 1 : length;
            continue;
        }
        switch (c) {
        case '&': out += "&amp;"; break;
        case '<': out += "&lt;"; break;
        case '>': out += "&gt;"; break;
        case '"': out += "&quot;"; break;
        case '\t': out += "&#9;"; break;
        case '\n': out += "&#10;"; break;
        case '\r': out += "&#13;"; break;
        default:
            if (static_cast<unsigned char>(c) >= 0x20) out.append(text, at, length);
            else out += kReplacementCharacter;
        }
        at += length;
    }
    return out;
}

}  // namespace

std::string JunitReport::text(const std::string& plugin, const CheckReport& report) {
    const int total = report.passed() + report.failed() + report.skipped();
    std::string xml = "<?xml version=\"1.0\" encoding=\"UTF-8\"?>\n";
    xml += "<testsuites>\n<testsuite name=\"vsthost validate " + escaped(plugin) + "\" tests=\"" +
           std::to_string(total) + "\" failures=\"" + std::to_string(report.failed()) +
           "\" skipped=\"" + std::to_string(report.skipped()) + "\" errors=\"0\">\n";
    for (const auto& entry : report.entries()) {
        // JUnit has no verdict that fails nothing.
        if (entry.verdict == CheckReport::Verdict::warn) continue;
        xml += "  <testcase classname=\"" + escaped(entry.check) + " (" + levelText(entry.level) +
               ")\" name=\"" + escaped(entry.name) + "\"";
        if (entry.verdict == CheckReport::Verdict::pass) {
            xml += "/>\n";
            continue;
        }
        const char* element = entry.verdict == CheckReport::Verdict::fail ? "failure" : "skipped";
        xml += ">\n    <" + std::string(element) + " message=\"" + escaped(entry.detail) + "\"/>\n  </testcase>\n";
    }
    xml += "</testsuite>\n</testsuites>\n";
    return xml;
}

Expected<bool> JunitReport::write(const std::string& path, const std::string& plugin,
                                  const CheckReport& report) {
    const std::string xml = text(plugin, report);
    if (auto written = FileName::write(path, xml.data(), xml.size()); !written) {
        return Error{"cannot write " + path + ": " + written.error()};
    }
    return true;
}

}  // namespace vsthost
