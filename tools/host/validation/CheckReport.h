#pragma once
// The validation's report: one line per verdict on stdout as it comes, the verdicts kept for
// reports machines read, and a closing count.

#include <string>
#include <vector>

#include "ValidationOptions.h"

namespace vsthost {

class CheckReport {
public:
    enum class Verdict { pass, fail, skip };

    struct Entry {
        std::string check;  // the check that gave it
        Level level = Level::normal;
        std::string name;
        Verdict verdict = Verdict::pass;
        std::string detail;
    };

    // The check the following verdicts belong to; prints its heading.
    void beginCheck(const std::string& check, Level level);
    void pass(const std::string& name, const std::string& detail = {});
    void fail(const std::string& name, const std::string& detail);
    void skip(const std::string& name, const std::string& reason);
    // A finding that fails nothing; printed, not counted.
    void warn(const std::string& name, const std::string& detail);

    // "N passed, N failed, N skipped"
    void printSummary() const;
    int passed() const { return passed_; }
    int failed() const { return failed_; }
    int skipped() const { return skipped_; }
    const std::vector<Entry>& entries() const { return entries_; }

private:
    void add(Verdict verdict, const char* word, const std::string& name, const std::string& detail);

    std::string check_;
    Level level_ = Level::normal;
    std::vector<Entry> entries_;
    int passed_ = 0;
    int failed_ = 0;
    int skipped_ = 0;
};

}  // namespace vsthost
