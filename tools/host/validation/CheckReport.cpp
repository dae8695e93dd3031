#include "CheckReport.h"

#include <cstdio>

namespace vsthost {

namespace {

void printLine(bool printed, const char* word, const std::string& name, const std::string& detail) {
    if (!printed) return;
    if (detail.empty()) std::printf("%s %s\n", word, name.c_str());
    else std::printf("%s %s: %s\n", word, name.c_str(), detail.c_str());
    std::fflush(stdout);
}

}  // namespace

void CheckReport::beginCheck(const std::string& check, Level level) {
    endCheckTime();
    check_ = check;
    level_ = level;
    checks_.push_back({check, level, 0.0});
    checkStart_ = Clock::now();
    timing_ = true;
    if (printed_) std::printf("-- %s, %s\n", check.c_str(), levelText(level).c_str());
}

void CheckReport::endCheckTime() {
    if (!timing_) return;
    timing_ = false;
    checks_.back().seconds = std::chrono::duration<double>(Clock::now() - checkStart_).count();
}

double CheckReport::seconds() const {
    double total = 0.0;
    for (const auto& check : checks_) total += check.seconds;
    return total;
}

void CheckReport::pass(const std::string& name, const std::string& detail) {
    ++passed_;
    add(Verdict::pass, "PASS", name, detail);
}

void CheckReport::fail(const std::string& name, const std::string& detail) {
    ++failed_;
    add(Verdict::fail, "FAIL", name, detail);
}

void CheckReport::skip(const std::string& name, const std::string& reason) {
    ++skipped_;
    add(Verdict::skip, "SKIP", name, reason);
}

void CheckReport::warn(const std::string& name, const std::string& detail) {
    add(Verdict::warn, "WARN", name, detail);
}

void CheckReport::printSummary() {
    endCheckTime();
    if (!printed_) return;
    std::printf("%d passed, %d failed, %d skipped\n", passed_, failed_, skipped_);
    std::fflush(stdout);
}

void CheckReport::add(Verdict verdict, const char* word, const std::string& name,
                      const std::string& detail) {
    entries_.push_back({check_, level_, name, verdict, detail});
    printLine(printed_, word, name, detail);
}

}  // namespace vsthost
