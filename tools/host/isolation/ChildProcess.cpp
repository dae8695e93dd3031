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
#include "FileName.h"

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

// Splits what arrives into lines: on the channel each is a message, queued; on the child's
// own output each is something the plug-in printed, passed on to stderr marked as such.
class LineSplitter {
public:
    explicit LineSplitter(bool printed) : printed_(printed) {}
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
    void deliver(std::string line) {
        if (!line.empty() && line.back() == '\r') line.pop_back();
        if (printed_) std::fprintf(stderr, "%s%s\n", kPrintedMark, line.c_str());
        else messages_.push_back(std::move(line));
    }

    static constexpr const char* kPrintedMark = "[plug-in] ";
    bool printed_;
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
    std::string line = "\"" + FileName::self() + "\"";
    for (const auto& argument : arguments) line += " \"" + argument + "\"";
    return line;
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
    Impl(HANDLE process, HANDLE thread, HANDLE channel, HANDLE printed)
        : process_(process), thread_(thread), channel_(channel), printed_(printed), reader_([this] { read(); }) {}
    ~Impl() {
        if (reader_.joinable()) finish(true, 0);
    }

    Next next(std::string& line, Clock::time_point deadline) {
        std::unique_lock lock(mutex_);
        arrived_.wait_until(lock, deadline, [this] { return messages_.waiting() || ended_; });
        if (messages_.take(line)) return Next::message;
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
        CloseHandle(channel_);
        CloseHandle(printed_);
        CloseHandle(process_);
        CloseHandle(thread_);
        if (kill) return {false, "killed"};
        return {status == 0, status == 0 ? std::string() : endingText(status)};
    }

private:
    // The pipes' ends are not waited for: a process the child started (Wine's desktop, for
    // one) may hold them open long after. The child's own end is: then what it left is read.
    void read() {
        for (;;) {
            const bool gone = WaitForSingleObject(process_, 0) == WAIT_OBJECT_0;
            const bool got = take(channel_, messages_) | take(printed_, printedLines_);
            if (gone && !got) break;
            if (!got) WaitForSingleObject(process_, 5);
        }
        const std::lock_guard lock(mutex_);
        messages_.finish();
        printedLines_.finish();
        ended_ = true;
        arrived_.notify_all();
    }
    // Takes what the pipe holds without waiting; false when it holds nothing.
    bool take(HANDLE from, LineSplitter& lines) {
        char buffer[4096];
        DWORD available = 0;
        DWORD count = 0;
        if (!PeekNamedPipe(from, nullptr, 0, nullptr, &available, nullptr) || available == 0) return false;
        if (!ReadFile(from, buffer, std::min<DWORD>(available, sizeof buffer), &count, nullptr) || count == 0) {
            return false;
        }
        const std::lock_guard lock(mutex_);
        lines.add(buffer, count);
        arrived_.notify_all();
        return true;
    }

    HANDLE process_;
    HANDLE thread_;
    HANDLE channel_;
    HANDLE printed_;
    std::mutex mutex_;
    std::condition_variable arrived_;
    LineSplitter messages_{false};
    LineSplitter printedLines_{true};
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
    // Two pipes: the channel, whose handle the child is told, and its standard output and
    // error, which the plug-in shares.
    SECURITY_ATTRIBUTES security{sizeof security, nullptr, TRUE};
    HANDLE channelRead = nullptr;
    HANDLE channelWrite = nullptr;
    HANDLE printedRead = nullptr;
    HANDLE printedWrite = nullptr;
    if (!CreatePipe(&channelRead, &channelWrite, &security, 0)) return Error{"cannot make a pipe"};
    if (!CreatePipe(&printedRead, &printedWrite, &security, 0)) {
        CloseHandle(channelRead);
        CloseHandle(channelWrite);
        return Error{"cannot make a pipe"};
    }
    SetHandleInformation(channelRead, HANDLE_FLAG_INHERIT, 0);
    SetHandleInformation(printedRead, HANDLE_FLAG_INHERIT, 0);
    STARTUPINFOW startup{};
    startup.cb = sizeof startup;
    startup.dwFlags = STARTF_USESTDHANDLES;
    startup.hStdOutput = printedWrite;
    startup.hStdError = printedWrite;
    PROCESS_INFORMATION process{};
    std::vector<std::string> told = arguments;
    // After the command, before any "--" that ends the options.
    told.insert(told.begin() + 1, {"--channel", std::to_string(reinterpret_cast<std::intptr_t>(channelWrite))});
    const std::string line = commandLine(told);
    std::wstring wideLine = FileName::wide(line);
    std::fflush(stdout);
    const BOOL started = CreateProcessW(nullptr, wideLine.data(), nullptr, nullptr, TRUE, 0, nullptr, nullptr,
                                        &startup, &process);
    CloseHandle(channelWrite);
    CloseHandle(printedWrite);
    if (!started) {
        CloseHandle(channelRead);
        CloseHandle(printedRead);
        return Error{"cannot start " + line};
    }
    return ChildProcess(std::make_unique<Impl>(process.hProcess, process.hThread, channelRead, printedRead));
}
#else
class ChildProcess::Impl {
public:
    Impl(pid_t child, int channel, int printed) : child_(child), channel_(channel), printed_(printed) {}
    ~Impl() {
        if (channel_ >= 0) finish(true, 0);
    }

    Next next(std::string& line, Clock::time_point deadline) {
        while (!messages_.take(line)) {
            if (channel_ < 0 || ended_) return Next::ended;
            const auto left = std::chrono::duration_cast<std::chrono::milliseconds>(deadline - Clock::now());
            pollfd ready[2] = {{channel_, POLLIN, 0}, {printed_, POLLIN, 0}};
            const int wait = static_cast<int>(std::max<long long>(left.count(), 0));
            const int count = poll(ready, printed_ >= 0 ? 2 : 1, wait);
            if (count == 0) return Next::late;
            if (count < 0) continue;
            if (ready[1].revents != 0) passOnPrinted();
            if (ready[0].revents != 0 && !take(channel_, messages_)) {
                messages_.finish();
                ended_ = true;
            }
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
        close(channel_);
        channel_ = -1;
        int status = 0;
        waitpid(child_, &status, 0);
        // What the plug-in printed last, without waiting on anything it may have left running.
        if (printed_ >= 0) {
            fcntl(printed_, F_SETFL, O_NONBLOCK);
            while (printed_ >= 0) passOnPrinted();
        }
        if (kill) return {false, "killed"};
        if (WIFSIGNALED(status)) return {false, signalText(WTERMSIG(status))};
        const int code = WEXITSTATUS(status);
        return {code == 0, code == 0 ? std::string() : "exit status " + std::to_string(code)};
    }

private:
    // False at the pipe's end.
    static bool take(int from, LineSplitter& lines) {
        char buffer[4096];
        const ssize_t got = read(from, buffer, sizeof buffer);
        if (got <= 0) return false;
        lines.add(buffer, static_cast<std::size_t>(got));
        return true;
    }
    void passOnPrinted() {
        if (take(printed_, printedLines_)) return;
        printedLines_.finish();
        close(printed_);
        printed_ = -1;
    }

    pid_t child_;
    int channel_;
    int printed_;
    LineSplitter messages_{false};
    LineSplitter printedLines_{true};
    bool ended_ = false;
};

void ChildProcess::prepareChild() { delayStartForTests(); }

Expected<ChildProcess> ChildProcess::start(const Work& work, const std::vector<std::string>&) {
    // Two pipes: the channel, and the child's standard output and error, which the plug-in shares.
    int channel[2];
    int printed[2];
    if (pipe2(channel, O_CLOEXEC) != 0) return Error{"cannot make a pipe"};
    if (pipe2(printed, O_CLOEXEC) != 0) {
        close(channel[0]);
        close(channel[1]);
        return Error{"cannot make a pipe"};
    }
    std::fflush(stdout);
    std::fflush(stderr);
    const pid_t child = fork();
    if (child < 0) {
        for (int end : {channel[0], channel[1], printed[0], printed[1]}) close(end);
        return Error{"cannot fork"};
    }
    if (child == 0) {
        close(channel[0]);
        close(printed[0]);
        dup2(printed[1], STDOUT_FILENO);
        dup2(printed[1], STDERR_FILENO);
        close(printed[1]);
        ChildChannel::open(channel[1]);
        prepareChild();
        // _exit: no exit handlers, no flushing of the parent's copied buffers.
        _exit(work());
    }
    close(channel[1]);
    close(printed[1]);
    return ChildProcess(std::make_unique<Impl>(child, channel[0], printed[0]));
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
    if (child) {
        // Only a parent started this way knows the channel's number.
        char* end = nullptr;
        const std::string& number = line.has("--channel") ? line.options.at("--channel") : std::string();
        const long long channel = std::strtoll(number.c_str(), &end, 10);
        if (number.empty() || *end != '\0' || channel < 0) {
            return Error{"--child is for the child processes vsthost starts itself, with --channel"};
        }
        prepareChild();
        ChildChannel::open(static_cast<std::intptr_t>(channel));
        return PluginLibrary::load(line.arguments[0]);
    }
    return PluginLibrary::load(line.arguments[0]);
}

}  // namespace vsthost
