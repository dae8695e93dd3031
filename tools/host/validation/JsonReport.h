#pragma once
// A validation's report as one JSON document, for scripts and tools such as jq: the plug-in, the
// run's level, each check with its time and its verdicts (warnings among them) in the order
// the text report shows them, and the totals.

#include <string>

#include "CheckReport.h"
#include "ValidationOptions.h"

namespace vsthost {

class JsonReport {
public:
    // `refusal`: why the plug-in's library could not be loaded, empty when it could.
    static std::string text(const std::string& plugin, const ValidationOptions& options,
                            const CheckReport& report, const std::string& refusal = {});
};

}  // namespace vsthost
