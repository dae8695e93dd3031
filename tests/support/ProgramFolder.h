#pragma once
// The folder of the running test program, where the build puts the files its tests use: the
// 32-bit tests run on a copy of that folder in another machine.

#include <filesystem>
#include <string>

#if defined(_WIN32)
#include <windows.h>
#endif

inline std::string programFolder() {
#if defined(_WIN32)
    char path[MAX_PATH] = {};
    GetModuleFileNameA(nullptr, path, MAX_PATH);
    return std::filesystem::path(path).parent_path().string();
#else
    return std::filesystem::read_symlink("/proc/self/exe").parent_path().string();
#endif
}
