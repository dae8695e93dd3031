#include "JsonReport.h"

#include <cmath>

#include "JsonWriter.h"

namespace vsthost {

namespace {

const char* verdictName(CheckReport::Verdict verdict) {
    switch (verdict) {
    case CheckReport::Verdict::pass: return "pass";
    case CheckReport::Verdict::fail: return "fail";
    case CheckReport::Verdict::skip: return "skip";
    case CheckReport::Verdict::warn: return "warn";
    }
    return "fail";
}

// Milliseconds are all a reader of times this noisy can use.
double rounded(double seconds) { return std::round(seconds * 1000.0) / 1000.0; }

void writeVerdicts(JsonWriter& json, const CheckReport& report, const std::string& check) {
    json.key("verdicts");
    json.beginArray();
    for (const auto& entry : report.entries()) {
        if (entry.check != check) continue;
        json.beginObject();
        json.key("name");
        json.string(entry.name);
        json.key("verdict");
        json.string(verdictName(entry.verdict));
        json.key("message");
        json.string(entry.detail);
        json.endObject();
    }
    json.endArray();
}

void writeChecks(JsonWriter& json, const CheckReport& report) {
    json.key("checks");
    json.beginArray();
    for (const auto& check : report.checks()) {
        json.beginObject();
        json.key("name");
        json.string(check.name);
        json.key("level");
        json.number(static_cast<int>(check.level));
        json.key("seconds");
        json.number(rounded(check.seconds));
        writeVerdicts(json, report, check.name);
        json.endObject();
    }
    json.endArray();
}

void writeTotals(JsonWriter& json, const CheckReport& report) {
    int warnings = 0;
    for (const auto& entry : report.entries()) warnings += entry.verdict == CheckReport::Verdict::warn;
    json.key("totals");
    json.beginObject();
    json.key("passed");
    json.number(report.passed());
    json.key("failed");
    json.number(report.failed());
    json.key("skipped");
    json.number(report.skipped());
    json.key("warnings");
    json.number(warnings);
    json.endObject();
}

}  // namespace

std::string JsonReport::text(const std::string& plugin, const ValidationOptions& options,
                             const CheckReport& report, const std::string& refusal) {
    JsonWriter json;
    json.beginObject();
    json.key("plugin");
    json.string(plugin);
    json.key("level");
    json.number(static_cast<int>(options.level));
    json.key("levelName");
    json.string(levelName(options.level));
    json.key("passThrough");
    json.boolean(options.passThrough);
    json.key("preset");
    if (options.presetPath.empty()) json.null();
    else json.string(options.presetPath);
    json.key("refusal");
    if (refusal.empty()) json.null();
    else json.string(refusal);
    json.key("passed");
    json.boolean(refusal.empty() && report.failed() == 0);
    json.key("seconds");
    json.number(rounded(report.seconds()));
    writeTotals(json, report);
    writeChecks(json, report);
    json.endObject();
    return json.text();
}

}  // namespace vsthost
