#pragma once
// The validation's report: one line per verdict on stdout as it comes, the verdicts kept for
// reports machines read, and a closing count.

#include <chrono>
#include <string>
#include <vector>

#include "ValidationOptions.h"

namespace vsthost {

class CheckReport {
public:
    // A warning is kept among the verdicts but counts in none of the totals.
    enum class Verdict { pass, fail, skip, warn };

    struct Entry {
        std::string check;  // the check that gave it
        Level level = Level::normal;
        std::string name;
        Verdict verdict = Verdict::pass;
        std::string detail;
    };

    // A check's time runs from its heading to the next one or to the closing count.
    struct Check {
        std::string name;
        Level level = Level::normal;
        double seconds = 0.0;
    };

    // Without `printed`, the report keeps its lines to itself, for a report in another form.
    explicit CheckReport(bool printed = true) : printed_(printed) {}

    // The check the following verdicts belong to; prints its heading.
    void beginCheck(const std::string& check, Level level);
    void pass(const std::string& name, const std::string& detail = {});
    void fail(const std::string& name, const std::string& detail);
    void skip(const std::string& name, const std::string& reason);
    // A finding that fails nothing; printed and kept, not counted.
    void warn(const std::string& name, const std::string& detail);

    // "N passed, N failed, N skipped"; ends the last check's time.
    void printSummary();
    int passed() const { return passed_; }
    int failed() const { return failed_; }
    int skipped() const { return skipped_; }
    const std::vector<Entry>& entries() const { return entries_; }
    const std::vector<Check>& checks() const { return checks_; }
    // From the first heading to the closing count.
    double seconds() const;

private:
    void add(Verdict verdict, const char* word, const std::string& name, const std::string& detail);
    void endCheckTime();

    using Clock = std::chrono::steady_clock;
    bool printed_ = true;
    std::vector<Check> checks_;
    Clock::time_point checkStart_;
    bool timing_ = false;

    std::string check_;
    Level level_ = Level::normal;
    std::vector<Entry> entries_;
    int passed_ = 0;
    int failed_ = 0;
    int skipped_ = 0;
};

}  // namespace vsthost
