#pragma once
// File names as the tool keeps them: UTF-8 in a std::string on every system. On Windows each
// name reaches the system through its wide-character calls, so that a name outside the
// machine's code page (プラグイン.dll, 出力.wav) is a name like any other; elsewhere names are
// bytes and pass as they are.

#include <cstdio>
#include <filesystem>
#include <string>
#include <vector>

#include "Expected.h"

namespace vsthost::FileName {

// A descriptor as open() gives it, or -1; the file is binary on every system.
int open(const std::string& name, int flags, int mode = 0);
std::FILE* openStream(const std::string& name, const char* mode);
bool remove(const std::string& name);
// Moves `from` over `to`, which may exist.
bool replace(const std::string& from, const std::string& to);
bool isDirectory(const std::string& name);
bool isRegularFile(const std::string& name);
// The whole file, or nothing when it cannot be read.
bool read(const std::string& name, std::string& bytes);
// The whole of a regular file of at most `most` bytes. A larger one, a device or a pipe is
// refused without being read whole, so that no name can make the tool read without end.
Expected<std::string> readAtMost(const std::string& name, std::size_t most);
// Makes an empty file under a new short name beside `target`, ".vsthost-XXXXXXXX.partial", for
// a file written whole there and then moved over the target; its name, or why it could not.
Expected<std::string> reserveBeside(const std::string& target);
// Writes `size` bytes as the whole file, by way of a file beside it moved over it: a failed
// write leaves the file as it was. A device or pipe is written into. Fails with the reason.
Expected<bool> write(const std::string& name, const void* data, std::size_t size);
std::filesystem::path path(const std::string& name);
// The name made absolute against the working folder now: a plug-in may change that folder.
std::string absolute(const std::string& name);
// Refuses, in one line, an output that would overwrite one of `inputs` (the same file under
// any name): a file the run reads, or the plug-in while it is mapped.
Expected<bool> refuseOverwriting(const std::string& output, const std::vector<std::string>& inputs);
std::string text(const std::filesystem::path& path);

#if defined(_WIN32)
std::wstring wide(const std::string& name);
std::string utf8(const std::wstring& name);
// The program's own arguments in UTF-8, read from the wide command line.
std::vector<std::string> arguments();
// The running program's file.
std::string self();
#endif

}  // namespace vsthost::FileName
