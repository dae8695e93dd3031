#include "ChildProcess.h"

#include <algorithm>
#include <chrono>
#include <csignal>
#include <cstdio>
#include <mutex>

#include "ChildChannel.h"

#if defined(_WIN32)
#include <windows.h>

#include <thread>
#else
#include <fcntl.h>
#include <poll.h>
#include <sys/wait.h>
#include <unistd.h>
#endif

namespace vsthost {

namespace {

using Clock = std::chrono::steady_clock;

// Splits what arrives into lines; messages go to the listener, anything else to stderr.
class LineSplitter {
public:
    explicit LineSplitter(const ChildProcess::Listener& listener) : listener_(listener) {}
    void add(const char* data, std::size_t size) {
        pending_.append(data, size);
        for (std::size_t end; (end = pending_.find('\n')) != std::string::npos;) {
            deliver(pending_.substr(0, end));
            pending_.erase(0, end + 1);
        }
    }
    void finish() {
        if (!pending_.empty()) deliver(pending_);
        pending_.clear();
    }

private:
    void deliver(const std::string& line) {
        if (!line.empty() && line[0] == ChildChannel::kMarker) listener_(line);
        else std::fprintf(stderr, "%s\n", line.c_str());
    }

    const ChildProcess::Listener& listener_;
    std::string pending_;
};

std::string timeLimitText(int seconds) { return "no answer within " + std::to_string(seconds) + " s"; }

#if defined(_WIN32)
const char* exceptionName(DWORD code) {
    switch (code) {
    case EXCEPTION_ACCESS_VIOLATION: return "access violation";
    case EXCEPTION_STACK_OVERFLOW: return "stack overflow";
    case EXCEPTION_ILLEGAL_INSTRUCTION: return "illegal instruction";
    case EXCEPTION_INT_DIVIDE_BY_ZERO: return "integer division by zero";
    case EXCEPTION_PRIV_INSTRUCTION: return "privileged instruction";
    case EXCEPTION_DATATYPE_MISALIGNMENT: return "misaligned data";
    case EXCEPTION_IN_PAGE_ERROR: return "page error";
    case 0xC0000409: return "stack buffer overrun";
    default: return "exception";
    }
}

std::string endingText(DWORD status) {
    char text[96];
    if (status >= 0xC0000000u) {
        std::snprintf(text, sizeof text, "%s, exception 0x%08lX", exceptionName(status),
                      static_cast<unsigned long>(status));
    } else if (status == ChildProcess::kAbortStatus) {
        std::snprintf(text, sizeof text, "abort (SIGABRT)");
    } else {
        std::snprintf(text, sizeof text, "exit status %lu", static_cast<unsigned long>(status));
    }
    return text;
}

LONG WINAPI onUnhandledException(EXCEPTION_POINTERS* info) {
    TerminateProcess(GetCurrentProcess(), info->ExceptionRecord->ExceptionCode);
    return EXCEPTION_EXECUTE_HANDLER;
}

void onAbort(int) { TerminateProcess(GetCurrentProcess(), ChildProcess::kAbortStatus); }

std::string commandLine(const std::vector<std::string>& arguments) {
    char self[MAX_PATH] = {};
    GetModuleFileNameA(nullptr, self, MAX_PATH);
    std::string line = std::string("\"") + self + "\"";
    for (const auto& argument : arguments) line += " \"" + argument + "\"";
    return line;
}

HANDLE inheritableCopy(HANDLE handle) {
    HANDLE copy = nullptr;
    if (handle == nullptr || handle == INVALID_HANDLE_VALUE ||
        !DuplicateHandle(GetCurrentProcess(), handle, GetCurrentProcess(), &copy, 0, TRUE,
                         DUPLICATE_SAME_ACCESS)) {
        return nullptr;
    }
    return copy;
}
#else
std::string signalText(int signal) {
    switch (signal) {
    case SIGSEGV: return "segmentation fault (SIGSEGV)";
    case SIGBUS: return "bus error (SIGBUS)";
    case SIGFPE: return "arithmetic exception (SIGFPE)";
    case SIGILL: return "illegal instruction (SIGILL)";
    case SIGABRT: return "abort (SIGABRT)";
    case SIGKILL: return "killed (SIGKILL)";
    case SIGTERM: return "terminated (SIGTERM)";
    default: return "signal " + std::to_string(signal);
    }
}
#endif

}  // namespace

void ChildProcess::prepareChild() {
#if defined(_WIN32)
    SetErrorMode(SEM_FAILCRITICALERRORS | SEM_NOGPFAULTERRORBOX);
    SetUnhandledExceptionFilter(onUnhandledException);
    std::signal(SIGABRT, onAbort);
#endif
}

#if defined(_WIN32)
ChildProcess::Ending ChildProcess::run(const Work&, const std::vector<std::string>& arguments,
                                       int seconds, const Listener& listener) {
    SECURITY_ATTRIBUTES security{sizeof security, nullptr, TRUE};
    HANDLE readEnd = nullptr;
    HANDLE writeEnd = nullptr;
    if (!CreatePipe(&readEnd, &writeEnd, &security, 0)) return {false, "cannot make a pipe"};
    SetHandleInformation(readEnd, HANDLE_FLAG_INHERIT, 0);
    HANDLE errors = inheritableCopy(GetStdHandle(STD_ERROR_HANDLE));
    STARTUPINFOA startup{};
    startup.cb = sizeof startup;
    startup.dwFlags = STARTF_USESTDHANDLES;
    startup.hStdOutput = writeEnd;
    startup.hStdError = errors ? errors : writeEnd;
    PROCESS_INFORMATION process{};
    std::string line = commandLine(arguments);
    std::fflush(stdout);
    const BOOL started = CreateProcessA(nullptr, line.data(), nullptr, nullptr, TRUE, 0, nullptr,
                                        nullptr, &startup, &process);
    CloseHandle(writeEnd);
    if (errors) CloseHandle(errors);
    if (!started) {
        CloseHandle(readEnd);
        return {false, "cannot start " + line};
    }

    std::mutex mutex;
    std::string received;
    std::thread reader([&] {
        char buffer[4096];
        DWORD count = 0;
        while (ReadFile(readEnd, buffer, sizeof buffer, &count, nullptr) && count > 0) {
            const std::lock_guard lock(mutex);
            received.append(buffer, count);
        }
    });
    LineSplitter lines(listener);
    auto drain = [&] {
        std::string chunk;
        {
            const std::lock_guard lock(mutex);
            chunk.swap(received);
        }
        lines.add(chunk.data(), chunk.size());
    };
    const auto deadline = Clock::now() + std::chrono::seconds(seconds);
    bool timedOut = false;
    while (WaitForSingleObject(process.hProcess, 20) == WAIT_TIMEOUT) {
        drain();
        if (Clock::now() >= deadline) {
            TerminateProcess(process.hProcess, 1);
            WaitForSingleObject(process.hProcess, INFINITE);
            timedOut = true;
            break;
        }
    }
    reader.join();
    CloseHandle(readEnd);
    drain();
    lines.finish();
    DWORD status = 0;
    GetExitCodeProcess(process.hProcess, &status);
    CloseHandle(process.hProcess);
    CloseHandle(process.hThread);
    if (timedOut) return {false, timeLimitText(seconds)};
    return {status == 0, status == 0 ? std::string() : endingText(status)};
}
#else
ChildProcess::Ending ChildProcess::run(const Work& work, const std::vector<std::string>&,
                                       int seconds, const Listener& listener) {
    int ends[2];
    if (pipe2(ends, O_CLOEXEC) != 0) return {false, "cannot make a pipe"};
    std::fflush(stdout);
    std::fflush(stderr);
    const pid_t child = fork();
    if (child < 0) {
        close(ends[0]);
        close(ends[1]);
        return {false, "cannot fork"};
    }
    if (child == 0) {
        close(ends[0]);
        // What the plug-in prints must not mix with the report on stdout.
        dup2(STDERR_FILENO, STDOUT_FILENO);
        ChildChannel::open(ends[1]);
        prepareChild();
        // _exit: no exit handlers, no flushing of the parent's copied buffers.
        _exit(work());
    }
    close(ends[1]);
    LineSplitter lines(listener);
    const auto deadline = Clock::now() + std::chrono::seconds(seconds);
    bool timedOut = false;
    char buffer[4096];
    for (;;) {
        const auto left = std::chrono::duration_cast<std::chrono::milliseconds>(deadline - Clock::now());
        pollfd ready{ends[0], POLLIN, 0};
        const int count = timedOut ? poll(&ready, 1, 1000)
                                   : poll(&ready, 1, static_cast<int>(std::max<long long>(left.count(), 0)));
        if (count == 0) {
            if (timedOut) break;  // a grandchild keeps the pipe open; stop listening
            kill(child, SIGKILL);
            timedOut = true;
            continue;
        }
        if (count < 0) continue;
        const ssize_t got = read(ends[0], buffer, sizeof buffer);
        if (got <= 0) break;
        lines.add(buffer, static_cast<std::size_t>(got));
    }
    lines.finish();
    close(ends[0]);
    int status = 0;
    waitpid(child, &status, 0);
    if (timedOut) return {false, timeLimitText(seconds)};
    if (WIFSIGNALED(status)) return {false, signalText(WTERMSIG(status))};
    const int code = WEXITSTATUS(status);
    return {code == 0, code == 0 ? std::string() : "exit status " + std::to_string(code)};
}
#endif

}  // namespace vsthost
