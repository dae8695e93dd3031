#include "ChildChannel.h"

#include <algorithm>
#include <cstdio>

#if defined(_WIN32)
#include <windows.h>
#else
#include <unistd.h>
#endif

namespace vsthost {

namespace {

std::intptr_t channel = -1;

std::string flattened(std::string text) {
    std::replace_if(text.begin(), text.end(), [](char c) { return c == '\t' || c == '\n' || c == '\r'; }, ' ');
    return text;
}

}  // namespace

void ChildChannel::open(std::intptr_t pipe) { channel = pipe; }

bool ChildChannel::isOpen() { return channel >= 0; }

void ChildChannel::note(const std::string& text) {
    if (isOpen()) send(kNote, text);
    else std::fprintf(stderr, "vsthost: %s\n", text.c_str());
}

void ChildChannel::send(Kind kind, const std::string& name, const std::string& detail) {
    if (channel < 0) return;
    std::string line;
    line += kMarker;
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
    if (line.size() < 4 || line[0] != kMarker || line[2] != '\t') return false;
    const std::size_t tab = line.find('\t', 3);
    if (tab == std::string::npos) return false;
    kind = static_cast<Kind>(line[1]);
    name = line.substr(3, tab - 3);
    detail = line.substr(tab + 1);
    return true;
}

}  // namespace vsthost
