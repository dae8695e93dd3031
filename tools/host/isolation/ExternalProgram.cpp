#include "ExternalProgram.h"

#include <fcntl.h>
#include <sys/wait.h>
#include <unistd.h>

#include <cerrno>
#include <cstdlib>
#include <sstream>

namespace vsthost {

namespace {

std::vector<char*> argumentVector(const std::vector<std::string>& arguments) {
    std::vector<char*> vector;
    for (const auto& argument : arguments) vector.push_back(const_cast<char*>(argument.c_str()));
    vector.push_back(nullptr);
    return vector;
}

void detachOutput() {
    const int null = open("/dev/null", O_RDWR);
    for (int stream = 0; stream <= 2; ++stream) dup2(null, stream);
    if (null > 2) close(null);
    setsid();
}

}  // namespace

std::optional<std::string> ExternalProgram::find(const std::vector<std::string>& names,
                                                 const std::vector<std::string>& folders) {
    std::vector<std::string> searched;
    const char* path = std::getenv("PATH");
    std::stringstream entries(path ? path : "");
    for (std::string entry; std::getline(entries, entry, ':');) {
        if (!entry.empty()) searched.push_back(entry);
    }
    searched.insert(searched.end(), folders.begin(), folders.end());
    for (const auto& name : names) {
        for (const auto& folder : searched) {
            const std::string candidate = folder + "/" + name;
            if (access(candidate.c_str(), X_OK) == 0) return candidate;
        }
    }
    return std::nullopt;
}

int ExternalProgram::run(const std::vector<std::string>& arguments, Output output) {
    auto vector = argumentVector(arguments);
    const pid_t child = fork();
    if (child < 0) return -1;
    if (child == 0) {
        if (output == Output::discarded) detachOutput();
        execv(vector[0], vector.data());
        _exit(127);
    }
    int status = 0;
    while (waitpid(child, &status, 0) < 0) {
        if (errno != EINTR) return -1;
    }
    if (WIFSIGNALED(status)) return 128 + WTERMSIG(status);
    return WEXITSTATUS(status);
}

void ExternalProgram::replaceProcess(const std::vector<std::string>& arguments) {
    auto vector = argumentVector(arguments);
    execv(vector[0], vector.data());
}

}  // namespace vsthost
