// A program that misbehaves on request, for checking that the guest runner counts each kind
// of misbehaviour as a failure:
//   guest_probe pass | exit CODE | crash | hang
#include <windows.h>

#include <cstdio>
#include <cstdlib>
#include <cstring>

int main(int argc, char** argv) {
    const char* mode = argc > 1 ? argv[1] : "";
    if (std::strcmp(mode, "pass") == 0) {
        std::puts("guest_probe: passing");
        return 0;
    }
    if (std::strcmp(mode, "exit") == 0 && argc > 2) return std::atoi(argv[2]);
    if (std::strcmp(mode, "crash") == 0) {
        volatile int* nowhere = nullptr;
        *nowhere = 1;
        return 0;
    }
    if (std::strcmp(mode, "hang") == 0) {
        for (;;) Sleep(1000);
    }
    std::fputs("usage: guest_probe pass | exit CODE | crash | hang\n", stderr);
    return 2;
}
