#include "CrashGuard.h"

#include <cstdio>
#include <cstring>
#include <initializer_list>

#if defined(_WIN32)
#include <windows.h>
#else
#include <csignal>
#include <unistd.h>
#endif

namespace vsthost {

namespace {

constexpr int kCrashExitStatus = 3;
char currentStep[256] = "starting";
int passedSoFar = 0;
int failedSoFar = 0;

void writeCrashReport(const char* what) {
    char line[512];
    const int length = std::snprintf(line, sizeof line,
                                     "FAIL %s: the plug-in crashed (%s)\n%d passed, %d failed\n",
                                     currentStep, what, passedSoFar, failedSoFar + 1);
    if (length <= 0) return;
#if defined(_WIN32)
    DWORD written = 0;
    WriteFile(GetStdHandle(STD_OUTPUT_HANDLE), line, static_cast<DWORD>(length), &written, nullptr);
#else
    ssize_t ignored = write(STDOUT_FILENO, line, static_cast<std::size_t>(length));
    (void)ignored;
#endif
}

#if defined(_WIN32)
LONG WINAPI onCrash(EXCEPTION_POINTERS* info) {
    char what[64];
    std::snprintf(what, sizeof what, "exception 0x%08lX",
                  static_cast<unsigned long>(info->ExceptionRecord->ExceptionCode));
    writeCrashReport(what);
    ExitProcess(kCrashExitStatus);
}
#else
void onCrash(int signal) {
    writeCrashReport(signal == SIGSEGV ? "segmentation fault"
                     : signal == SIGBUS ? "bus error"
                     : signal == SIGFPE ? "arithmetic exception"
                     : signal == SIGILL ? "illegal instruction"
                                        : "abort");
    _exit(kCrashExitStatus);
}
#endif

}  // namespace

void CrashGuard::install() {
#if defined(_WIN32)
    SetUnhandledExceptionFilter(onCrash);
#else
    for (int signal : {SIGSEGV, SIGBUS, SIGFPE, SIGILL, SIGABRT}) std::signal(signal, onCrash);
#endif
}

void CrashGuard::setStep(const char* step) {
    std::strncpy(currentStep, step, sizeof currentStep - 1);
    currentStep[sizeof currentStep - 1] = '\0';
}

void CrashGuard::setCounts(int passed, int failed) {
    passedSoFar = passed;
    failedSoFar = failed;
}

}  // namespace vsthost
