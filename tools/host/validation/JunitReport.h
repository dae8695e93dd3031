#pragma once
// A validation's verdicts as JUnit XML, the report CI systems display: one test case per
// verdict, grouped by the check that gave it.

#include <string>

#include "CheckReport.h"
#include "Expected.h"

namespace vsthost {

class JunitReport {
public:
    static std::string text(const std::string& plugin, const CheckReport& report);
    static Expected<bool> write(const std::string& path, const std::string& plugin,
                                const CheckReport& report);
};

}  // namespace vsthost
