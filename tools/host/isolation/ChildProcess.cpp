#include "ChildProcess.h"

#include <algorithm>
#include <condition_variable>
#include <csignal>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <deque>
#include <mutex>
#include <thread>

#include "ChildChannel.h"
#include "FileName.h"
#include "Host.h"

#if defined(_WIN32)
#include <windows.h>
#else
#include <cerrno>
#include <fcntl.h>
#include <poll.h>
#include <sys/prctl.h>
#include <sys/syscall.h>
#include <sys/wait.h>
#include <unistd.h>
#endif

namespace vsthost {

namespace {

// After the child has ended, what it left in the pipes is read for at most this long: a
// process it started may hold them open and keep writing.
constexpr auto kLastDrain = std::chrono::milliseconds(1000);

// Splits what arrives into lines: on the channel each is a message, queued; on the child's
// own output each is something the plug-in printed, passed on to stderr marked as such. A line
// longer than the limit is passed on in pieces, so that output without line breaks costs
// neither memory nor time.
class LineSplitter {
public:
    explicit LineSplitter(bool printed) : printed_(printed), longest_(printed ? 4096 : 1 << 20) {}
    void add(const char* data, std::size_t size) {
        std::size_t searched = pending_.size();
        pending_.append(data, size);
        std::size_t start = 0;
        for (std::size_t end; (end = pending_.find('\n', searched)) != std::string::npos; searched = start) {
            deliver(pending_.substr(start, end - start));
            start = end + 1;
        }
        while (pending_.size() - start >= longest_) {
            deliver(pending_.substr(start, longest_));
            start += longest_;
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
    void clear() { messages_.clear(); }

private:
    void deliver(std::string line) {
        if (!line.empty() && line.back() == '\r') line.pop_back();
        if (printed_) std::fprintf(stderr, "%s%s\n", kPrintedMark, line.c_str());
        else if (!line.empty()) messages_.push_back(std::move(line));
    }

    static constexpr const char* kPrintedMark = "[plug-in] ";
    bool printed_;
    std::size_t longest_;
    std::string pending_;
    std::deque<std::string> messages_;
};

// The file removed when the parent is ended by a signal; a fixed buffer, read in the handler.
char temporaryOnSignal[4096];

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

ChildProcess::Ending endingOf(DWORD status) {
    char text[96];
    if (status >= 0xC0000000u) {
        std::snprintf(text, sizeof text, "%s, exception 0x%08lX", exceptionName(status),
                      static_cast<unsigned long>(status));
        return {false, false, text};
    }
    if (status == ChildProcess::kAbortStatus) return {false, false, "abort (SIGABRT)"};
    std::snprintf(text, sizeof text, "exit status %lu", static_cast<unsigned long>(status));
    return {status == 0, true, text};
}

LONG WINAPI onUnhandledException(EXCEPTION_POINTERS* info) {
    TerminateProcess(GetCurrentProcess(), info->ExceptionRecord->ExceptionCode);
    return EXCEPTION_EXECUTE_HANDLER;
}

void onAbort(int) { TerminateProcess(GetCurrentProcess(), ChildProcess::kAbortStatus); }

BOOL WINAPI onConsoleEnd(DWORD) {
    if (temporaryOnSignal[0] != '\0') DeleteFileW(FileName::wide(temporaryOnSignal).c_str());
    return FALSE;  // the default handler ends the process, and with it the job
}

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

// The running child's process group, for the signal handler.
volatile sig_atomic_t childGroup = 0;

void onParentSignal(int signal) {
    if (childGroup > 0) kill(-childGroup, SIGKILL);
    if (temporaryOnSignal[0] != '\0') unlink(temporaryOnSignal);
    std::signal(signal, SIG_DFL);
    raise(signal);
}

void handleParentSignals() {
    static bool installed = false;
    if (installed) return;
    installed = true;
    struct sigaction action {};
    action.sa_handler = onParentSignal;
    sigemptyset(&action.sa_mask);
    for (const int signal : {SIGTERM, SIGINT, SIGHUP}) sigaction(signal, &action, nullptr);
}

int pidDescriptor(pid_t child) {
#if defined(SYS_pidfd_open)
    return static_cast<int>(syscall(SYS_pidfd_open, child, 0));
#else
    (void)child;
    return -1;
#endif
}
#endif

// For tests only: a child that takes this many seconds to start, as on a slow machine.
void delayStartForTests() {
    const char* seconds = std::getenv("LANTER5_CHILD_START_DELAY");
    if (seconds != nullptr && *seconds != '\0') std::this_thread::sleep_for(std::chrono::seconds(std::atoi(seconds)));
}

}  // namespace

void ChildProcess::removeOnSignal(const std::string& path) {
    temporaryOnSignal[0] = '\0';
    if (path.empty() || path.size() >= sizeof temporaryOnSignal) return;
    std::memcpy(temporaryOnSignal + 1, path.data() + 1, path.size() - 1);
    temporaryOnSignal[path.size()] = '\0';
    // The first byte last: a handler sees no name or the whole of one.
    temporaryOnSignal[0] = path[0];
}

Expected<PluginLibrary> ChildProcess::loadInChild(const std::string& path) {
    Host::instance().setTraceSink([](const std::string& line) { ChildChannel::send(ChildChannel::kTrace, line); });
    ChildChannel::send(ChildChannel::kStep, "loading the library");
    auto library = PluginLibrary::load(path);
    if (!library) ChildChannel::send(ChildChannel::kRefused, library.error());
    return library;
}

#if defined(_WIN32)
class ChildProcess::Impl {
public:
    Impl(HANDLE process, HANDLE thread, HANDLE job, HANDLE channel, HANDLE printed)
        : process_(process),
          thread_(thread),
          job_(job),
          channel_(channel),
          printed_(printed),
          reader_([this] { read(); }) {}
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
        // Whatever the plug-in started ends with it.
        if (job_ != nullptr) TerminateJobObject(job_, 1);
        if (reader_.joinable()) reader_.join();
        DWORD status = 0;
        GetExitCodeProcess(process_, &status);
        for (HANDLE handle : {channel_, printed_, process_, thread_, job_}) {
            if (handle != nullptr) CloseHandle(handle);
        }
        if (kill) return {false, false, "killed"};
        return endingOf(status);
    }

private:
    // The pipes' ends are not waited for: a process the child started may hold them open long
    // after. The child's own end is: then what it left is read, for a moment at most.
    void read() {
        Clock::time_point drainEnd{};
        for (;;) {
            const bool gone = WaitForSingleObject(process_, 0) == WAIT_OBJECT_0;
            if (gone && drainEnd == Clock::time_point{}) drainEnd = Clock::now() + kLastDrain;
            const bool got = take(channel_, messages_) | take(printed_, printedLines_);
            if (gone && (!got || Clock::now() >= drainEnd)) break;
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
        char buffer[65536];
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
    HANDLE job_;
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

Expected<bool> ChildProcess::enterChild(const CommandLine& line) {
    char* end = nullptr;
    const std::string& number = line.has("--channel") ? line.options.at("--channel") : std::string();
    const long long channel = std::strtoll(number.c_str(), &end, 10);
    if (number.empty() || *end != '\0' || channel < 0) {
        return Error{"--child is for the child processes vsthost starts itself, with --channel"};
    }
    // The secret comes first on standard input, which then has nothing more to give.
    HANDLE input = GetStdHandle(STD_INPUT_HANDLE);
    std::string secret;
    char next = 0;
    DWORD got = 0;
    while (secret.size() < 128 && ReadFile(input, &next, 1, &got, nullptr) && got == 1 && next != '\n') {
        secret += next;
    }
    if (secret.empty()) return Error{"--child is for the child processes vsthost starts itself"};
    prepareChild();
    ChildChannel::setSecret(secret);
    ChildChannel::open(static_cast<std::intptr_t>(channel));
    return true;
}

namespace {

// A job that ends every process in it when its last handle closes: the parent's going ends the
// child, and whatever the plug-in started. None where the system refuses one.
HANDLE makeJob() {
    HANDLE job = CreateJobObjectW(nullptr, nullptr);
    if (job == nullptr) return nullptr;
    JOBOBJECT_EXTENDED_LIMIT_INFORMATION limits{};
    limits.BasicLimitInformation.LimitFlags = JOB_OBJECT_LIMIT_KILL_ON_JOB_CLOSE;
    SetInformationJobObject(job, JobObjectExtendedLimitInformation, &limits, sizeof limits);
    return job;
}

}  // namespace

Expected<ChildProcess> ChildProcess::start(const Work&, const std::vector<std::string>& arguments) {
    if (ChildChannel::secret().empty()) ChildChannel::setSecret(ChildChannel::makeSecret());
    SetConsoleCtrlHandler(onConsoleEnd, TRUE);
    // Three pipes: the channel, whose handle the child is told; its standard output and error,
    // which the plug-in shares; and its standard input, which brings the secret.
    SECURITY_ATTRIBUTES security{sizeof security, nullptr, TRUE};
    HANDLE ends[6] = {};
    bool made = true;
    for (int pipe = 0; pipe < 3; ++pipe) made = made && CreatePipe(&ends[2 * pipe], &ends[2 * pipe + 1], &security, 0);
    const auto closeAll = [&ends] {
        for (HANDLE& end : ends) {
            if (end != nullptr) CloseHandle(end);
            end = nullptr;
        }
    };
    if (!made) {
        closeAll();
        return Error{"cannot make a pipe"};
    }
    HANDLE channelRead = ends[0], channelWrite = ends[1], printedRead = ends[2], printedWrite = ends[3];
    HANDLE secretRead = ends[4], secretWrite = ends[5];
    for (HANDLE kept : {channelRead, printedRead, secretWrite}) SetHandleInformation(kept, HANDLE_FLAG_INHERIT, 0);
    STARTUPINFOW startup{};
    startup.cb = sizeof startup;
    startup.dwFlags = STARTF_USESTDHANDLES;
    startup.hStdInput = secretRead;
    startup.hStdOutput = printedWrite;
    startup.hStdError = printedWrite;
    PROCESS_INFORMATION process{};
    std::vector<std::string> told = arguments;
    // After the command, before any "--" that ends the options.
    told.insert(told.begin() + 1, {"--channel", std::to_string(reinterpret_cast<std::intptr_t>(channelWrite))});
    const std::string line = commandLine(told);
    std::wstring wideLine = FileName::wide(line);
    std::fflush(stdout);
    const BOOL started = CreateProcessW(nullptr, wideLine.data(), nullptr, nullptr, TRUE, CREATE_SUSPENDED,
                                        nullptr, nullptr, &startup, &process);
    if (!started) {
        closeAll();
        return Error{"cannot start " + line};
    }
    HANDLE job = makeJob();
    if (job != nullptr && !AssignProcessToJobObject(job, process.hProcess)) {
        CloseHandle(job);
        job = nullptr;
    }
    ResumeThread(process.hThread);
    const std::string secret = ChildChannel::secret() + "\n";
    DWORD written = 0;
    WriteFile(secretWrite, secret.data(), static_cast<DWORD>(secret.size()), &written, nullptr);
    for (HANDLE used : {channelWrite, printedWrite, secretRead, secretWrite}) CloseHandle(used);
    return ChildProcess(std::make_unique<Impl>(process.hProcess, process.hThread, job, channelRead, printedRead));
}
#else
class ChildProcess::Impl {
public:
    Impl(pid_t child, int channel, int printed)
        : child_(child), channel_(channel), printed_(printed), pidfd_(pidDescriptor(child)) {
        childGroup = child;
        for (const int end : {channel_, printed_}) fcntl(end, F_SETFL, O_NONBLOCK);
    }
    ~Impl() {
        if (child_ > 0) finish(true, 0);
    }

    Next next(std::string& line, Clock::time_point deadline) {
        for (;;) {
            if (messages_.take(line)) return Next::message;
            if (ended_) return Next::ended;
            if (Clock::now() >= deadline) return Next::late;
            wait(deadline);
        }
    }

    Ending finish(bool kill, int seconds) {
        if (!kill && !ended_) {
            // What the child still says is dropped; it ends by itself or is made to.
            const auto deadline = Clock::now() + std::chrono::seconds(seconds);
            while (!ended_ && Clock::now() < deadline) {
                wait(deadline);
                messages_.clear();
            }
            kill = !ended_;
        }
        if (kill) {
            ::kill(-child_, SIGKILL);
            ::kill(child_, SIGKILL);
        }
        if (!ended_) waitpid(child_, &status_, 0);
        // Whatever the plug-in started ends with it.
        ::kill(-child_, SIGKILL);
        childGroup = 0;
        child_ = -1;
        drain();
        for (int* end : {&channel_, &printed_, &pidfd_}) closeEnd(*end);
        if (kill) return {false, false, "killed"};
        if (WIFSIGNALED(status_)) return {false, false, signalText(WTERMSIG(status_))};
        const int code = WEXITSTATUS(status_);
        return {code == 0, true, "exit status " + std::to_string(code)};
    }

private:
    static void closeEnd(int& end) {
        if (end >= 0) close(end);
        end = -1;
    }
    // Waits until something arrives, the child ends or `deadline` passes, and takes it.
    void wait(Clock::time_point deadline) {
        pollfd ready[3];
        int count = 0;
        for (const int end : {channel_, printed_, pidfd_}) {
            if (end >= 0) ready[count++] = {end, POLLIN, 0};
        }
        auto left = std::chrono::duration_cast<std::chrono::milliseconds>(deadline - Clock::now()).count();
        // Without a descriptor for the process, its end is looked for now and then.
        if (pidfd_ < 0) left = std::min<long long>(left, 20);
        if (poll(ready, static_cast<nfds_t>(count), static_cast<int>(std::max<long long>(left, 0))) < 0) return;
        takeFrom(channel_, messages_);
        takeFrom(printed_, printedLines_);
        if (waitpid(child_, &status_, WNOHANG) == child_) {
            ended_ = true;
            drain();
            messages_.finish();
        }
    }
    // What the ended child left in the pipes, for a moment at most.
    void drain() {
        const auto end = Clock::now() + kLastDrain;
        bool more = true;
        while (more && Clock::now() < end) {
            more = false;
            more = takeFrom(channel_, messages_) || more;
            more = takeFrom(printed_, printedLines_) || more;
        }
        printedLines_.finish();
    }
    // Takes what the pipe holds now, at most one read's worth; true when there was any. At its
    // end, the pipe is closed.
    static bool takeFrom(int& from, LineSplitter& lines) {
        if (from < 0) return false;
        char buffer[65536];
        const ssize_t got = read(from, buffer, sizeof buffer);
        if (got > 0) {
            lines.add(buffer, static_cast<std::size_t>(got));
            return true;
        }
        if (got == 0 || (errno != EAGAIN && errno != EINTR)) closeEnd(from);
        return false;
    }

    pid_t child_;
    int channel_;
    int printed_;
    int pidfd_;
    int status_ = 0;
    LineSplitter messages_{false};
    LineSplitter printedLines_{true};
    bool ended_ = false;
};

void ChildProcess::prepareChild() { delayStartForTests(); }

Expected<bool> ChildProcess::enterChild(const CommandLine&) {
    return Error{"--child is for the child processes vsthost starts itself"};
}

Expected<ChildProcess> ChildProcess::start(const Work& work, const std::vector<std::string>&) {
    if (ChildChannel::secret().empty()) ChildChannel::setSecret(ChildChannel::makeSecret());
    handleParentSignals();
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
    const pid_t parent = getpid();
    const pid_t child = fork();
    if (child < 0) {
        for (int end : {channel[0], channel[1], printed[0], printed[1]}) close(end);
        return Error{"cannot fork"};
    }
    if (child == 0) {
        // A group of its own, which whatever the plug-in starts joins; and gone with the parent.
        setpgid(0, 0);
        prctl(PR_SET_PDEATHSIG, SIGKILL);
        if (getppid() != parent) _exit(1);
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
    setpgid(child, child);
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

}  // namespace vsthost
