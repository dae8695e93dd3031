// A test plug-in that fights the host that runs it, one way per run, chosen by the environment
// variable LANTER5_HOSTILE; otherwise it passes two channels through. LANTER5_HOSTILE_FILE
// names a file some ways use: one to have deleted, or one to write the process's id into.
//   hang-on-load, crash-on-load  its library's start-up code never returns, or crashes
//   exit                         ends the process with status 0 in its first block
//   close-and-hang               closes every descriptor, then never returns (POSIX)
//   print-and-hang               prints without end in its first block
//   long-line                    prints 32 MiB without a line break, then works
//   helper, helper-crash         starts a process that holds the pipes and lives on (writing its
//                                id to the file), then works, or crashes in its first block
//   forge-crash                  writes host messages (a host step, a temporary to remove:
//                                the file) to every descriptor, then crashes in its first block
//   forge-exit                   writes passing verdicts and ends of checks, then exits with 0
//   chdir                        changes the working folder when opened
//   hang-with-id                 writes the process's id to the file and never returns
//   chunk-lie                    says its chunk is far longer than it is
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <string>
#include <thread>

#include "AEffect.h"
#include "Opcodes.h"

#include "StereoRecord.h"
#include "TestExport.h"

#if defined(_WIN32)
#include <windows.h>
#include <direct.h>
#else
#include <unistd.h>
#endif

namespace {

std::string mode() {
    const char* chosen = std::getenv("LANTER5_HOSTILE");
    return chosen ? chosen : "";
}

std::string fileNamed() {
    const char* chosen = std::getenv("LANTER5_HOSTILE_FILE");
    return chosen ? chosen : "";
}

[[noreturn]] void hang() {
    for (;;) std::this_thread::sleep_for(std::chrono::seconds(1));
}

void crash() {
    volatile int* nowhere = nullptr;
    *nowhere = 1;
}

long processId() {
#if defined(_WIN32)
    return static_cast<long>(GetCurrentProcessId());
#else
    return static_cast<long>(getpid());
#endif
}

void writeProcessId() {
    if (std::FILE* file = std::fopen(fileNamed().c_str(), "w")) {
        std::fprintf(file, "%ld\n", processId());
        std::fclose(file);
    }
}

// Writes `text` wherever a host's messages might go: every descriptor, and on Windows the
// handle the command line names after --channel.
void writeEverywhere(const std::string& text) {
#if defined(_WIN32)
    const std::string line = GetCommandLineA();
    const std::size_t option = line.find("--channel");
    if (option != std::string::npos) {
        const std::size_t digits = line.find_first_of("0123456789", option);
        const auto handle = reinterpret_cast<HANDLE>(static_cast<std::intptr_t>(std::atoll(line.c_str() + digits)));
        DWORD written = 0;
        WriteFile(handle, text.data(), static_cast<DWORD>(text.size()), &written, nullptr);
    }
    std::fwrite(text.data(), 1, text.size(), stdout);
    std::fflush(stdout);
#else
    for (int descriptor = 0; descriptor < 64; ++descriptor) {
        if (write(descriptor, text.data(), text.size()) < 0) continue;
    }
#endif
}

// What a helper does: says who it is, and lives on, printing or not.
[[noreturn]] void beHelper(bool printing) {
    writeProcessId();
    for (;;) {
        if (printing) std::fputs("the helper still prints\n", stdout);
        std::fflush(stdout);
        std::this_thread::sleep_for(std::chrono::milliseconds(printing ? 1 : 1000));
    }
}

// Waits until the helper has said who it is, so that it is known to have run.
void awaitHelper() {
    for (int tries = 0; tries < 300; ++tries) {
        if (std::FILE* file = std::fopen(fileNamed().c_str(), "r")) {
            long id = 0;
            const bool said = std::fscanf(file, "%ld", &id) == 1 && id > 0;
            std::fclose(file);
            if (said) return;
        }
        std::this_thread::sleep_for(std::chrono::milliseconds(100));
    }
}

// A process that inherits everything the plug-in's process holds, and lives on.
void startHelper() {
    std::remove(fileNamed().c_str());
#if defined(_WIN32)
    // rundll32 runs this library's helper entry, with the pipes inherited.
    HMODULE self = nullptr;
    GetModuleHandleExA(GET_MODULE_HANDLE_EX_FLAG_FROM_ADDRESS | GET_MODULE_HANDLE_EX_FLAG_UNCHANGED_REFCOUNT,
                       reinterpret_cast<LPCSTR>(&startHelper), &self);
    char path[MAX_PATH];
    GetModuleFileNameA(self, path, sizeof path);
    std::string line = std::string("rundll32.exe \"") + path + "\",HelperMain";
    STARTUPINFOA startup{};
    startup.cb = sizeof startup;
    startup.dwFlags = STARTF_USESTDHANDLES;
    startup.hStdInput = GetStdHandle(STD_INPUT_HANDLE);
    startup.hStdOutput = GetStdHandle(STD_OUTPUT_HANDLE);
    startup.hStdError = GetStdHandle(STD_ERROR_HANDLE);
    PROCESS_INFORMATION process{};
    if (CreateProcessA(nullptr, line.data(), nullptr, nullptr, TRUE, 0, nullptr, nullptr, &startup, &process)) {
        CloseHandle(process.hProcess);
        CloseHandle(process.hThread);
    }
#else
    if (fork() == 0) beHelper(mode() == "helper-prints");
#endif
    awaitHelper();
}

// The library's start-up code.
struct OnLoad {
    OnLoad() {
        if (mode() == "hang-on-load") hang();
        if (mode() == "crash-on-load") crash();
    }
} onLoad;

bool firstBlock = true;

void misbehaveInFirstBlock() {
    const std::string chosen = mode();
    if (chosen == "exit") std::exit(0);
    if (chosen == "close-and-hang") {
#if !defined(_WIN32)
        for (int descriptor = 0; descriptor < 1024; ++descriptor) close(descriptor);
#endif
        hang();
    }
    if (chosen == "print-and-hang") {
        for (;;) std::fputs("still busy\n", stdout);
    }
    if (chosen == "long-line") {
        const std::string piece(1 << 20, 'x');
        for (int i = 0; i < 32; ++i) std::fwrite(piece.data(), 1, piece.size(), stdout);
        std::fflush(stdout);
    }
    if (chosen == "helper-crash") crash();
    if (chosen == "forge-crash") {
        // The host's format, and the same with a guess at a secret's length.
        const std::string guess(32, '0');
        writeEverywhere("\x1FH\tidle\t\n\x1F" + guess + "H\tidle\t\n\x1FR\t" + fileNamed() + "\t\n\x1F" "D\tprocess\t\n");
        crash();
    }
    if (chosen == "forge-exit") {
        std::string lines;
        for (const char* check : {"entry point", "processing", "state", "automation", "instances", "threads"}) {
            lines += std::string("\x1FP\t") + check + "\t\n\x1F" "E\t" + check + "\t\n";
        }
        writeEverywhere(lines + "\x1F" "D\tprocess\t\n");
        std::exit(0);
    }
    if (chosen == "hang-with-id") {
        writeProcessId();
        hang();
    }
}

VstIntPtr VST_CALL dispatch(AEffect* record, VstInt32 opcode, VstInt32, VstIntPtr, void* ptr, float) {
    switch (opcode) {
    case effOpen:
        if (mode() == "chdir") {
#if defined(_WIN32)
            _chdir("C:\\");
#else
            if (chdir("/") != 0) crash();
#endif
        }
        if (mode().starts_with("helper")) startHelper();
        return 0;
    case effGetChunk: {
        static char chunk[16];
        *static_cast<void**>(ptr) = chunk;
        return 200 << 20;
    }
    case effClose: delete record; return 1;
    default: return 0;
    }
}

void VST_CALL copy(AEffect*, float** inputs, float** outputs, VstInt32 frames) {
    if (firstBlock) misbehaveInFirstBlock();
    firstBlock = false;
    for (int channel = 0; channel < 2; ++channel) {
        std::memcpy(outputs[channel], inputs[channel], static_cast<std::size_t>(frames) * sizeof(float));
    }
}

void VST_CALL setParameter(AEffect*, VstInt32, float) {}
float VST_CALL getParameter(AEffect*, VstInt32) { return 0.0f; }

}  // namespace

#if defined(_WIN32)
// rundll32's entry; it never returns, so its calling convention does not matter, and without
// one the 32-bit name stays undecorated.
extern "C" TEST_EXPORT void HelperMain(HWND, HINSTANCE, LPSTR, int) { beHelper(mode() == "helper-prints"); }
#endif

extern "C" TEST_EXPORT AEffect* VST_CALL VSTPluginMain(HostCallback) {
    auto* record = newStereoRecord(dispatch, setParameter, getParameter, copy, fourCharacters('t', 'H', 's', 't'));
    if (mode() == "chunk-lie") record->flags |= effFlagsProgramChunks;
    return record;
}
