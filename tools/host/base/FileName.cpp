#include "FileName.h"

#include <fcntl.h>
#include <sys/stat.h>

#include <cstdio>

#if defined(_WIN32)
#include <io.h>
#include <windows.h>

#include <shellapi.h>
#else
#include <unistd.h>
#endif

namespace vsthost::FileName {

#if defined(_WIN32)
std::wstring wide(const std::string& name) {
    if (name.empty()) return {};
    const int size = MultiByteToWideChar(CP_UTF8, 0, name.data(), static_cast<int>(name.size()), nullptr, 0);
    std::wstring text(static_cast<std::size_t>(size), L'\0');
    MultiByteToWideChar(CP_UTF8, 0, name.data(), static_cast<int>(name.size()), text.data(), size);
    return text;
}

std::string utf8(const std::wstring& name) {
    if (name.empty()) return {};
    const int size = WideCharToMultiByte(CP_UTF8, 0, name.data(), static_cast<int>(name.size()), nullptr, 0,
                                         nullptr, nullptr);
    std::string text(static_cast<std::size_t>(size), '\0');
    WideCharToMultiByte(CP_UTF8, 0, name.data(), static_cast<int>(name.size()), text.data(), size, nullptr, nullptr);
    return text;
}

std::vector<std::string> arguments() {
    int count = 0;
    wchar_t** list = CommandLineToArgvW(GetCommandLineW(), &count);
    std::vector<std::string> all;
    for (int i = 0; list != nullptr && i < count; ++i) all.push_back(utf8(list[i]));
    LocalFree(list);
    return all;
}

std::string self() {
    std::wstring name(MAX_PATH, L'\0');
    for (;;) {
        const DWORD got = GetModuleFileNameW(nullptr, name.data(), static_cast<DWORD>(name.size()));
        if (got < name.size()) {
            name.resize(got);
            return utf8(name);
        }
        name.resize(name.size() * 2);
    }
}

int open(const std::string& name, int flags, int mode) {
    return _wopen(wide(name).c_str(), flags | _O_BINARY, mode != 0 ? _S_IREAD | _S_IWRITE : 0);
}

std::FILE* openStream(const std::string& name, const char* mode) {
    return _wfopen(wide(name).c_str(), wide(mode).c_str());
}

bool remove(const std::string& name) { return _wremove(wide(name).c_str()) == 0; }

bool replace(const std::string& from, const std::string& to) {
    return MoveFileExW(wide(from).c_str(), wide(to).c_str(), MOVEFILE_REPLACE_EXISTING) != 0;
}

namespace {
unsigned fileType(const std::string& name) {
    struct _stat64 info {};
    return _wstat64(wide(name).c_str(), &info) == 0 ? info.st_mode & S_IFMT : 0;
}
}  // namespace

std::filesystem::path path(const std::string& name) { return std::filesystem::path(wide(name)); }

std::string text(const std::filesystem::path& path) { return utf8(path.wstring()); }
#else
int open(const std::string& name, int flags, int mode) { return ::open(name.c_str(), flags | O_CLOEXEC, mode); }

std::FILE* openStream(const std::string& name, const char* mode) { return std::fopen(name.c_str(), mode); }

bool remove(const std::string& name) { return std::remove(name.c_str()) == 0; }

bool replace(const std::string& from, const std::string& to) { return std::rename(from.c_str(), to.c_str()) == 0; }

namespace {
unsigned fileType(const std::string& name) {
    struct stat info {};
    return stat(name.c_str(), &info) == 0 ? info.st_mode & S_IFMT : 0;
}
}  // namespace

std::filesystem::path path(const std::string& name) { return std::filesystem::path(name); }

std::string text(const std::filesystem::path& path) { return path.string(); }
#endif

bool isDirectory(const std::string& name) { return fileType(name) == S_IFDIR; }

bool isRegularFile(const std::string& name) { return fileType(name) == S_IFREG; }

std::string absolute(const std::string& name) {
    std::error_code error;
    const auto made = std::filesystem::absolute(path(name), error);
    return error ? name : text(made);
}

Expected<bool> refuseOverwriting(const std::string& output, const std::vector<std::string>& inputs) {
    for (const auto& input : inputs) {
        std::error_code error;
        if (!input.empty() && std::filesystem::equivalent(path(output), path(input), error)) {
            return Error{"'" + output + "' is what this run reads; it cannot also be written"};
        }
    }
    return true;
}

bool read(const std::string& name, std::string& bytes) {
    std::FILE* file = openStream(name, "rb");
    if (file == nullptr) return false;
    bytes.clear();
    char buffer[65536];
    std::size_t got = 0;
    while ((got = std::fread(buffer, 1, sizeof buffer, file)) > 0) bytes.append(buffer, got);
    const bool whole = std::ferror(file) == 0;
    std::fclose(file);
    return whole;
}

bool write(const std::string& name, const void* data, std::size_t size) {
    std::FILE* file = openStream(name, "wb");
    if (file == nullptr) return false;
    const bool whole = std::fwrite(data, 1, size, file) == size;
    if (std::fclose(file) == 0 && whole) return true;
    remove(name);
    return false;
}

}  // namespace vsthost::FileName
