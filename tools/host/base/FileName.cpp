#include "FileName.h"

#include <fcntl.h>
#include <sys/stat.h>

#include <algorithm>
#include <cerrno>
#include <cstdio>
#include <cstring>
#include <memory>
#include <random>
#include <system_error>

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
std::string replaceError() { return std::system_category().message(static_cast<int>(GetLastError())); }

bool flushToDisk(std::FILE* file) { return _commit(_fileno(file)) == 0; }

void closeDescriptor(int descriptor) { _close(descriptor); }

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
std::string replaceError() { return std::strerror(errno); }

bool flushToDisk(std::FILE* file) { return fsync(fileno(file)) == 0; }

void closeDescriptor(int descriptor) { ::close(descriptor); }

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

namespace {

struct Closer {
    void operator()(std::FILE* file) const { std::fclose(file); }
};
using Stream = std::unique_ptr<std::FILE, Closer>;

// Writes and closes the stream; the reason of the first failure, empty for none.
std::string writeAndClose(Stream stream, const void* data, std::size_t size, bool flush) {
    const bool whole = std::fwrite(data, 1, size, stream.get()) == size && std::fflush(stream.get()) == 0 &&
                       (!flush || flushToDisk(stream.get()));
    const int reason = errno;
    if (std::fclose(stream.release()) != 0 || !whole) return std::strerror(whole ? errno : reason);
    return {};
}

}  // namespace

Expected<std::string> readAtMost(const std::string& name, std::size_t most) {
    std::error_code error;
    const auto status = std::filesystem::status(path(name), error);
    if (error) return Error{error.message()};
    if (!std::filesystem::is_regular_file(status)) return Error{"it is no regular file"};
    const std::string tooLarge = "it holds more than " + std::to_string(most) + " bytes";
    const auto size = std::filesystem::file_size(path(name), error);
    if (!error && size > most) return Error{tooLarge};
    Stream file(openStream(name, "rb"));
    if (!file) return Error{std::strerror(errno)};
    std::string bytes;
    bytes.reserve(static_cast<std::size_t>(std::min<std::uintmax_t>(error ? 0 : size, most)));
    char buffer[65536];
    std::size_t got = 0;
    // A file that grows while it is read still stops at one buffer past the bound.
    while (bytes.size() <= most && (got = std::fread(buffer, 1, sizeof buffer, file.get())) > 0) {
        bytes.append(buffer, got);
    }
    if (std::ferror(file.get()) != 0) return Error{std::strerror(errno)};
    if (bytes.size() > most) return Error{tooLarge};
    return bytes;
}

Expected<std::string> reserveBeside(const std::string& target) {
    const std::string folder = text(path(target).parent_path());
    std::random_device random;
    for (int attempt = 0; attempt < 100; ++attempt) {
        char name[40];
        std::snprintf(name, sizeof name, ".vsthost-%08x.partial", static_cast<unsigned>(random()));
        const std::string reserved = folder.empty() ? name : folder + "/" + name;
        const int descriptor = open(reserved, O_RDWR | O_CREAT | O_EXCL, 0644);
        if (descriptor >= 0) {
            closeDescriptor(descriptor);
            return reserved;
        }
        if (errno != EEXIST) break;
    }
    return Error{std::strerror(errno)};
}

Expected<bool> write(const std::string& name, const void* data, std::size_t size) {
    std::error_code error;
    auto target = path(name);
    const auto status = std::filesystem::status(target, error);
    if (std::filesystem::exists(status) && !std::filesystem::is_regular_file(status)) {
        // A device or a pipe cannot be replaced; what it takes is its own affair.
        Stream stream(openStream(name, "wb"));
        if (!stream) return Error{std::strerror(errno)};
        if (std::string why = writeAndClose(std::move(stream), data, size, false); !why.empty()) return Error{why};
        return true;
    }
    // Through a link, the file it names is replaced and the link kept.
    if (std::filesystem::is_symlink(std::filesystem::symlink_status(target, error))) {
        target = std::filesystem::canonical(target, error);
        if (error) return Error{error.message()};
    }
    const std::string real = text(target);
    const auto reserved = reserveBeside(real);
    if (!reserved) return Error{reserved.error()};
    const std::string& beside = *reserved;
    Stream stream(openStream(beside, "wb"));
    if (!stream) {
        const std::string why = std::strerror(errno);
        remove(beside);
        return Error{why};
    }
    if (std::string why = writeAndClose(std::move(stream), data, size, true); !why.empty()) {
        remove(beside);
        return Error{why};
    }
    if (std::filesystem::exists(status)) std::filesystem::permissions(path(beside), status.permissions(), error);
    if (!replace(beside, real)) {
        const std::string why = replaceError();
        remove(beside);
        return Error{why};
    }
    return true;
}

}  // namespace vsthost::FileName
