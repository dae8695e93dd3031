#pragma once
// A command's work that calls the plug-in, run in a child process and followed from the
// parent: the child's lines of output reach stdout, its notes stderr, and its failure the
// result; a crash, hang or exit in it is told with the step it happened in. The work counts as
// done only when the child says so and then ends well.

#include <functional>
#include <string>
#include <vector>

#include "ChildProcess.h"
#include "CommandLine.h"
#include "Expected.h"

namespace vsthost {

class ChildWork {
public:
    // Given the plug-in and the command's arguments, their names made absolute.
    using PluginWork = std::function<Expected<bool>(const PluginLibrary&, const std::vector<std::string>&)>;
    // What a command that is not timed by its user may take once the plug-in is loaded.
    static constexpr int kCommandSeconds = 60;

    // A whole command whose work needs the plug-in that `line` names at `pluginPosition`: in a
    // child, or as the child when started with --child; the command's exit status.
    static int command(const CommandLine& line, int pluginPosition, const PluginWork& work);
    using OutputSink = std::function<void(const std::string&)>;
    // Runs `work` (in a fork, or on Windows the tool again with `arguments`) with `seconds`
    // for it once it has begun; empty when it was done, else why not in one line. The child's
    // output lines go to `output`, or to stdout without one.
    static std::string run(const ChildProcess::Work& work, const std::vector<std::string>& arguments, int seconds,
                           const OutputSink& output = {});
    // The same, with the failure's kind: a usage failure when the child's work said its error
    // was one (the child's own exit status cannot tell, a plug-in may end the process anyhow).
    static Expected<bool> follow(const ChildProcess::Work& work, const std::vector<std::string>& arguments,
                                 int seconds, const OutputSink& output = {});
    // The arguments that make the tool do `line`'s command as a Windows child: its options,
    // `extra` ones, then `names` after "--" (a name may start with dashes too).
    static std::vector<std::string> childArguments(const CommandLine& line, const std::vector<std::string>& names,
                                                   const std::vector<std::string>& extra = {});
    // In the child: loads the plug-in, says the work `name` has begun, runs `work` and says how
    // it went, a usage error as one; the child's exit status.
    static int inChild(const std::string& name, const std::string& pluginPath,
                       const std::function<Expected<bool>(const PluginLibrary&)>& work);
};

}  // namespace vsthost
