#pragma once
// What a check works with inside the child process that runs it: the plug-in, the options,
// fresh instances, and the verdicts and steps it sends back to the parent.

#include <set>
#include <string>
#include <utility>
#include <vector>

#include "Effect.h"
#include "Expected.h"
#include "PluginLibrary.h"
#include "ValidationOptions.h"

namespace vsthost {

class CheckContext {
public:
    // `verdicts`: the lines the check declares.
    CheckContext(const PluginLibrary& library, const ValidationOptions& options,
                 std::vector<std::string> verdicts)
        : library_(library), options_(options), verdicts_(std::move(verdicts)) {}

    const PluginLibrary& library() const { return library_; }
    const ValidationOptions& options() const { return options_; }
    bool atLeast(Level level) const { return options_.level >= level; }

    // Names what runs now; a crash or hang is reported against the last step named.
    void step(const std::string& text);
    void pass(const std::string& name, const std::string& detail = {});
    void fail(const std::string& name, const std::string& detail);
    void skip(const std::string& name, const std::string& reason);
    // A finding that fails nothing.
    void warn(const std::string& name, const std::string& detail);
    // Passes or fails `name` on `ok`, with the detail that goes with the verdict; returns `ok`.
    bool check(const std::string& name, bool ok, const std::string& failDetail,
               const std::string& passDetail = {});

    bool anyFailed() const { return anyFailed_; }
    // Skips every declared verdict not given yet.
    void skipRest(const std::string& reason);
    // A new instance; when there is none, every declared verdict not given yet fails.
    Expected<Effect> fresh();

private:
    void send(char kind, const std::string& name, const std::string& detail);

    const PluginLibrary& library_;
    const ValidationOptions& options_;
    std::vector<std::string> verdicts_;
    std::set<std::string> given_;
    bool anyFailed_ = false;
};

}  // namespace vsthost
