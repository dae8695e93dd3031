#include "ChildChannel.h"

#include <algorithm>
#include <cstdarg>
#include <cstdio>
#include <random>

#if defined(_WIN32)
#include <windows.h>
#else
#include <unistd.h>
#endif

namespace vsthost {

namespace {

std::intptr_t channel = -1;
std::string runSecret;

std::string flattened(std::string text) {
    std::replace_if(text.begin(), text.end(), [](char c) { return c == '\t' || c == '\n' || c == '\r'; }, ' ');
    return text;
}

}  // namespace

std::string ChildChannel::makeSecret() {
    std::random_device source;
    std::string secret;
    for (int i = 0; i < 4; ++i) {
        char part[9];
        std::snprintf(part, sizeof part, "%08x", static_cast<unsigned>(source()));
        secret += part;
    }
    return secret;
}

void ChildChannel::setSecret(const std::string& secret) { runSecret = secret; }

const std::string& ChildChannel::secret() { return runSecret; }

void ChildChannel::open(std::intptr_t pipe) { channel = pipe; }

bool ChildChannel::isOpen() { return channel >= 0; }

void ChildChannel::note(const std::string& text) {
    if (isOpen()) send(kNote, text);
    else std::fprintf(stderr, "vsthost: %s\n", text.c_str());
}

void ChildChannel::print(const char* format, ...) {
    static std::string pending;
    std::va_list arguments;
    va_start(arguments, format);
    if (!isOpen()) {
        std::vprintf(format, arguments);
        va_end(arguments);
        return;
    }
    std::va_list counting;
    va_copy(counting, arguments);
    const int size = std::vsnprintf(nullptr, 0, format, counting);
    va_end(counting);
    std::string text(static_cast<std::size_t>(std::max(size, 0)) + 1, '\0');
    std::vsnprintf(text.data(), text.size(), format, arguments);
    va_end(arguments);
    text.pop_back();
    pending += text;
    for (std::size_t end; (end = pending.find('\n')) != std::string::npos; pending.erase(0, end + 1)) {
        send(kOutput, pending.substr(0, end));
    }
}

void ChildChannel::send(Kind kind, const std::string& name, const std::string& detail) {
    if (channel < 0) return;
    // A line break first: whatever the plug-in left unfinished in the pipe stays on a line of
    // its own instead of swallowing this message.
    std::string line = "\n";
    line += kMarker;
    line += runSecret;
    line += static_cast<char>(kind);
    line += '\t' + flattened(name) + '\t' + flattened(detail) + '\n';
    // Unbuffered: the child may die right after this line.
#if defined(_WIN32)
    DWORD written = 0;
    WriteFile(reinterpret_cast<HANDLE>(channel), line.data(), static_cast<DWORD>(line.size()), &written, nullptr);
#else
    const char* next = line.data();
    std::size_t left = line.size();
    while (left > 0) {
        const ssize_t written = write(static_cast<int>(channel), next, left);
        if (written <= 0) return;
        next += written;
        left -= static_cast<std::size_t>(written);
    }
#endif
}

bool ChildChannel::parse(const std::string& line, Kind& kind, std::string& name, std::string& detail) {
    if (runSecret.empty()) return false;
    const std::string head = kMarker + runSecret;
    if (line.size() < head.size() + 3 || line.compare(0, head.size(), head) != 0) return false;
    const std::size_t at = head.size();
    if (line[at + 1] != '\t') return false;
    const std::size_t tab = line.find('\t', at + 2);
    if (tab == std::string::npos) return false;
    kind = static_cast<Kind>(line[at]);
    name = line.substr(at + 2, tab - at - 2);
    detail = line.substr(tab + 1);
    return true;
}

}  // namespace vsthost
