#include "JunitReport.h"

#include <cstdio>

namespace vsthost {

namespace {

std::string escaped(const std::string& text) {
    std::string out;
    for (const char c : text) {
        switch (c) {
        case '&': out += "&amp;"; break;
        case '<': out += "&lt;"; break;
        case '>': out += "&gt;"; break;
        case '"': out += "&quot;"; break;
        default:
            // XML 1.0 allows no other control characters.
            if (static_cast<unsigned char>(c) >= 0x20 || c == '\t') out += c;
        }
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
    std::FILE* file = std::fopen(path.c_str(), "wb");
    if (file == nullptr) return Error{"cannot write " + path};
    const std::string xml = text(plugin, report);
    const bool written = std::fwrite(xml.data(), 1, xml.size(), file) == xml.size();
    if (std::fclose(file) != 0 || !written) return Error{"cannot write " + path};
    return true;
}

}  // namespace vsthost
