#include "WineScan.h"

#include <sys/wait.h>
#include <unistd.h>

#include <cstdio>
#include <cstdlib>

#include "ChildChannel.h"
#include "WineLauncher.h"

namespace vsthost {

namespace {

// In the child: starts the program with its stdout into a pipe, and passes each line on.
int relay(const std::string& program, const std::vector<std::string>& arguments) {
    int ends[2];
    if (pipe(ends) != 0) return 1;
    const pid_t pid = fork();
    if (pid < 0) return 1;
    if (pid == 0) {
        dup2(ends[1], STDOUT_FILENO);
        close(ends[0]);
        close(ends[1]);
        _exit(WineLauncher::replaceProcess(program, arguments));
    }
    close(ends[1]);
    ChildChannel::send(ChildChannel::kBegin, "scan under Wine");
    std::FILE* lines = fdopen(ends[0], "r");
    char* line = nullptr;
    std::size_t size = 0;
    for (ssize_t length; (length = getline(&line, &size, lines)) > 0;) {
        std::string text(line, static_cast<std::size_t>(length));
        while (!text.empty() && (text.back() == '\n' || text.back() == '\r')) text.pop_back();
        ChildChannel::send(ChildChannel::kOutput, text);
    }
    std::free(line);
    std::fclose(lines);
    int status = 0;
    waitpid(pid, &status, 0);
    if (WIFEXITED(status) && WEXITSTATUS(status) == 0) {
        ChildChannel::send(ChildChannel::kDone, "scan under Wine");
        return 0;
    }
    ChildChannel::send(ChildChannel::kFail, "the Windows vsthost under Wine ended with status " +
                                                std::to_string(WIFEXITED(status) ? WEXITSTATUS(status) : 128 + WTERMSIG(status)));
    return 1;
}

}  // namespace

std::string WineScan::run(const std::string& program, const std::vector<std::string>& arguments, int seconds,
                          const ChildWork::OutputSink& output) {
    return ChildWork::run([&] { return relay(program, arguments); }, {}, seconds, output);
}

}  // namespace vsthost
