#include "ChildProcess.h"

#include <algorithm>
#include <condition_variable>
#include <csignal>
#include <cstdio>
#include <cstdlib>
#include <deque>
#include <mutex>
#include <thread>

#include "ChildChannel.h"

#if defined(_WIN32)
#include <windows.h>
#else
#include <fcntl.h>
#include <poll.h>
#include <sys/wait.h>
#include <unistd.h>
#endif

namespace vsthost {

namespace {

// Splits what arrives into lines; messages are queued, anything else goes to stderr.
class LineSplitter {
public:
    void add(const char* data, std::size_t size) {
        pending_.append(data, size);
        std::size_t start = 0;
        for (std::size_t end; (end = pending_.find('\n', start)) != std::string::npos; start = end + 1) {
            deliver(pending_.substr(start, end - start));
        }
        pending_.erase(0, start);
    }
    void finish() {
        if (!pending_.empty()) deliver(pending_);
        pending_.clear();
    }
    bool waiting() const { return !messages_.empty(); }
    bool take(std::string& line) {
        if (messages_.empty()) return false;
        line = std::move(messages_.front());
        messages_.pop_front();
        return true;
    }

private:
    void deliver(const std::string& line) {
        if (!line.empty() && line[0] == ChildChannel::kMarker) messages_.push_back(line);
        else std::fprintf(stderr, "%s\n", line.c_str());
    }

    std::string pending_;
    std::deque<std::string> messages_;
};

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

// For tests only: a child that takes this many seconds to start, as on a slow machine.
void delayStartForTests() {
    const char* seconds = std::getenv("LANTER5_CHILD_START_DELAY");
    if (seconds != nullptr && *seconds != '\0') std::this_thread::sleep_for(std::chrono::seconds(std::atoi(seconds)));
}

}  // namespace

#if defined(_WIN32)
class ChildProcess::Impl {
public:
    Impl(HANDLE process, HANDLE thread, HANDLE output)
        : process_(process), thread_(thread), output_(output), reader_([this] { read(); }) {}
    ~Impl() {
        if (reader_.joinable()) finish(true, 0);
    }

    Next next(std::string& line, Clock::time_point deadline) {
        std::unique_lock lock(mutex_);
        arrived_.wait_until(lock, deadline, [this] { return lines_.waiting() || ended_; });
        if (lines_.take(line)) return Next::message;
        return ended_ ? Next::ended : Next::late;
    }

    Ending finish(bool kill, int seconds) {
        if (kill || WaitForSingleObject(process_, static_cast<DWORD>(seconds) * 1000) != WAIT_OBJECT_0) {
            TerminateProcess(process_, 1);
            kill = true;
        }
        WaitForSingleObject(process_, INFINITE);
        if (reader_.joinable()) reader_.join();
        DWORD status = 0;
        GetExitCodeProcess(process_, &status);
        CloseHandle(output_);
        CloseHandle(process_);
        CloseHandle(thread_);
        if (kill) return {false, "killed"};
        return {status == 0, status == 0 ? std::string() : endingText(status)};
    }

private:
    void read() {
        char buffer[4096];
        DWORD count = 0;
        while (ReadFile(output_, buffer, sizeof buffer, &count, nullptr) && count > 0) {
            const std::lock_guard lock(mutex_);
            lines_.add(buffer, count);
            arrived_.notify_all();
        }
        const std::lock_guard lock(mutex_);
        lines_.finish();
        ended_ = true;
        arrived_.notify_all();
    }

    HANDLE process_;
    HANDLE thread_;
    HANDLE output_;
    std::mutex mutex_;
    std::condition_variable arrived_;
    LineSplitter lines_;
    bool ended_ = false;
    std::thread reader_;
};

void ChildProcess::prepareChild() {
    delayStartForTests();
    SetErrorMode(SEM_FAILCRITICALERRORS | SEM_NOGPFAULTERRORBOX);
    SetUnhandledExceptionFilter(onUnhandledException);
    std::signal(SIGABRT, onAbort);
}

Expected<ChildProcess> ChildProcess::start(const Work&, const std::vector<std::string>& arguments) {
    SECURITY_ATTRIBUTES security{sizeof security, nullptr, TRUE};
    HANDLE readEnd = nullptr;
    HANDLE writeEnd = nullptr;
    if (!CreatePipe(&readEnd, &writeEnd, &security, 0)) return Error{"cannot make a pipe"};
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
        return Error{"cannot start " + line};
    }
    return ChildProcess(std::make_unique<Impl>(process.hProcess, process.hThread, readEnd));
}
#else
class ChildProcess::Impl {
public:
    Impl(pid_t child, int output) : child_(child), output_(output) {}
    ~Impl() {
        if (output_ >= 0) finish(true, 0);
    }

    Next next(std::string& line, Clock::time_point deadline) {
        char buffer[4096];
        while (!lines_.take(line)) {
            if (output_ < 0 || ended_) return Next::ended;
            const auto left = std::chrono::duration_cast<std::chrono::milliseconds>(deadline - Clock::now());
            pollfd ready{output_, POLLIN, 0};
            const int count = poll(&ready, 1, static_cast<int>(std::max<long long>(left.count(), 0)));
            if (count == 0) return Next::late;
            if (count < 0) continue;
            const ssize_t got = read(output_, buffer, sizeof buffer);
            if (got <= 0) {
                lines_.finish();
                ended_ = true;
                continue;
            }
            lines_.add(buffer, static_cast<std::size_t>(got));
        }
        return Next::message;
    }

    Ending finish(bool kill, int seconds) {
        std::string ignored;
        if (!kill) {
            // What the child still says is dropped; it ends by itself or is made to.
            const auto deadline = Clock::now() + std::chrono::seconds(seconds);
            while (next(ignored, deadline) == Next::message) {}
            kill = !ended_;
        }
        if (kill) ::kill(child_, SIGKILL);
        close(output_);
        output_ = -1;
        int status = 0;
        waitpid(child_, &status, 0);
        if (kill) return {false, "killed"};
        if (WIFSIGNALED(status)) return {false, signalText(WTERMSIG(status))};
        const int code = WEXITSTATUS(status);
        return {code == 0, code == 0 ? std::string() : "exit status " + std::to_string(code)};
    }

private:
    pid_t child_;
    int output_;
    LineSplitter lines_;
    bool ended_ = false;
};

void ChildProcess::prepareChild() { delayStartForTests(); }

Expected<ChildProcess> ChildProcess::start(const Work& work, const std::vector<std::string>&) {
    int ends[2];
    if (pipe2(ends, O_CLOEXEC) != 0) return Error{"cannot make a pipe"};
    std::fflush(stdout);
    std::fflush(stderr);
    const pid_t child = fork();
    if (child < 0) {
        close(ends[0]);
        close(ends[1]);
        return Error{"cannot fork"};
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
    return ChildProcess(std::make_unique<Impl>(child, ends[0]));
}
#endif

ChildProcess::ChildProcess(std::unique_ptr<Impl> impl) : impl_(std::move(impl)) {}
ChildProcess::ChildProcess(ChildProcess&&) noexcept = default;
ChildProcess& ChildProcess::operator=(ChildProcess&&) noexcept = default;
ChildProcess::~ChildProcess() = default;

ChildProcess::Next ChildProcess::next(std::string& line, Clock::time_point deadline) {
    return impl_->next(line, deadline);
}

ChildProcess::Ending ChildProcess::finish(bool kill, int seconds) {
    auto ending = impl_->finish(kill, seconds);
    impl_.reset();
    return ending;
}

Expected<PluginLibrary> ChildProcess::loadPluginOf(const CommandLine& line) {
    const bool child = line.has("--child");
    if (child) prepareChild();
    auto library = PluginLibrary::load(line.arguments[0]);
    if (library && child) ChildChannel::open(1);
    return library;
}

}  // namespace vsthost
