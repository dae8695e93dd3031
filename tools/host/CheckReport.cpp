#include "CheckReport.h"

#include <cstdio>

#include "CrashGuard.h"

namespace vsthost {

void CheckReport::pass(const std::string& name, const std::string& detail) {
    ++passed_;
    line("PASS", name, detail);
}

void CheckReport::fail(const std::string& name, const std::string& detail) {
    ++failed_;
    line("FAIL", name, detail);
}

void CheckReport::skip(const std::string& name, const std::string& reason) {
    ++skipped_;
    line("SKIP", name, reason);
}

bool CheckReport::check(const std::string& name, bool ok, const std::string& failDetail,
                        const std::string& passDetail) {
    if (ok) pass(name, passDetail);
    else fail(name, failDetail);
    return ok;
}

void CheckReport::printSummary() const {
    if (skipped_ > 0) std::printf("%d passed, %d failed, %d skipped\n", passed_, failed_, skipped_);
    else std::printf("%d passed, %d failed\n", passed_, failed_);
    std::fflush(stdout);
}

void CheckReport::line(const char* verdict, const std::string& name, const std::string& detail) {
    if (detail.empty()) std::printf("%s %s\n", verdict, name.c_str());
    else std::printf("%s %s: %s\n", verdict, name.c_str(), detail.c_str());
    // A crash in the next check must not swallow this line.
    std::fflush(stdout);
    CrashGuard::setCounts(passed_, failed_);
}

}  // namespace vsthost
