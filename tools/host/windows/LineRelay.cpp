#include "LineRelay.h"

#include <fcntl.h>
#include <sys/wait.h>
#include <unistd.h>

#include <cstdio>
#include <cstdlib>
#include <fstream>

#include "ChildChannel.h"

namespace vsthost {

namespace {

std::string statusText(int status) {
    return WIFEXITED(status) ? "status " + std::to_string(WEXITSTATUS(status))
                             : "signal " + std::to_string(WTERMSIG(status));
}

// The last line that says anything, or all of the file to stderr.
std::string lastLine(const std::string& path) {
    std::ifstream file(path);
    std::string last;
    for (std::string line; std::getline(file, line);) {
        if (line.find_first_not_of(" \t\r") != std::string::npos) last = line;
    }
    while (!last.empty() && last.back() == '\r') last.pop_back();
    return last;
}

void passOn(const std::string& path) {
    std::ifstream file(path);
    for (std::string line; std::getline(file, line);) std::fprintf(stderr, "%s\n", line.c_str());
}

}  // namespace

int LineRelay::relay(const std::string& name, const std::function<int()>& start, const std::string& errorsPath) {
    int ends[2];
    if (pipe(ends) != 0) return 1;
    const pid_t pid = fork();
    if (pid < 0) return 1;
    if (pid == 0) {
        dup2(ends[1], STDOUT_FILENO);
        close(ends[0]);
        close(ends[1]);
        if (!errorsPath.empty()) {
            const int errors = open(errorsPath.c_str(), O_WRONLY | O_CREAT | O_TRUNC | O_CLOEXEC, 0644);
            if (errors >= 0) dup2(errors, STDERR_FILENO);
        }
        _exit(start());
    }
    close(ends[1]);
    ChildChannel::send(ChildChannel::kBegin, name);
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
        if (!errorsPath.empty()) passOn(errorsPath);
        ChildChannel::send(ChildChannel::kDone, name);
        return 0;
    }
    const std::string said = errorsPath.empty() ? std::string() : lastLine(errorsPath);
    ChildChannel::send(ChildChannel::kFail, said.empty() ? name + " ended with " + statusText(status) : said);
    return 1;
}

}  // namespace vsthost
