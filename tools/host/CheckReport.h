#pragma once
// The validation's report: one line per check on stdout and a closing count.

#include <string>

namespace vsthost {

class CheckReport {
public:
    void pass(const std::string& name, const std::string& detail = {});
    void fail(const std::string& name, const std::string& detail);
    void skip(const std::string& name, const std::string& reason);
    // Passes or fails `name` on `ok`, with the detail that goes with the verdict; returns `ok`.
    bool check(const std::string& name, bool ok, const std::string& failDetail,
               const std::string& passDetail = {});

    // "N passed, N failed" and, when there were any, ", N skipped".
    void printSummary() const;
    int passed() const { return passed_; }
    int failed() const { return failed_; }
    int skipped() const { return skipped_; }

private:
    void line(const char* verdict, const std::string& name, const std::string& detail);

    int passed_ = 0;
    int failed_ = 0;
    int skipped_ = 0;
};

}  // namespace vsthost
