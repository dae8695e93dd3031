#include "ScanCommand.h"

#include <algorithm>
#include <cctype>
#include <cstdio>
#include <filesystem>
#include <string>
#include <vector>

#include "BinaryKind.h"
#include "ChildChannel.h"
#include "ChildProcess.h"
#include "ChildWork.h"
#include "Effect.h"
#include "FileName.h"
#include "JsonWriter.h"
#include "ScanEntry.h"
#if !defined(_WIN32)
#include "GuestScan.h"
#include "WindowsHostCommand.h"
#include "WineScan.h"
#endif

namespace fs = std::filesystem;

namespace vsthost {

namespace {

constexpr long kDefaultSeconds = 30;
constexpr long kLargestSeconds = 3600;
// What Wine takes to start, on top of each library's own limit.
constexpr int kWineSeconds = 120;

#if defined(_WIN32)
constexpr BinaryKind kOwnKind = sizeof(void*) == 8 ? BinaryKind::windows64 : BinaryKind::windows32;
#else
constexpr BinaryKind kOwnKind = BinaryKind::other;
#endif

bool isCandidate(const fs::path& file) {
    std::string extension = file.extension().string();
    std::transform(extension.begin(), extension.end(), extension.begin(),
                   [](unsigned char c) { return static_cast<char>(std::tolower(c)); });
#if defined(_WIN32)
    return extension == ".dll";
#else
    return extension == ".dll" || extension == ".so";
#endif
}

// Files named on the command line stand for themselves; folders for every library in them. The
// list is sorted unless `asGiven`: the files a vsthost of another platform hands on are answered
// in its order, since each platform sorts its own spelling of a path differently ('/' comes before
// the digits, '\\' after them).
std::vector<std::string> librariesIn(const std::vector<std::string>& places, bool asGiven) {
    std::vector<std::string> found;
    for (const auto& place : places) {
        const fs::path root = FileName::path(FileName::absolute(place));
        std::error_code error;
        if (!fs::is_directory(root, error)) {
            found.push_back(FileName::text(root.lexically_normal()));
            continue;
        }
        auto options = fs::directory_options::skip_permission_denied;
        for (auto it = fs::recursive_directory_iterator(root, options, error); !error && it != fs::end(it);
             it.increment(error)) {
            if (it->is_regular_file(error) && isCandidate(it->path())) {
                found.push_back(FileName::text(it->path().lexically_normal()));
            }
        }
    }
    if (asGiven) return found;
    std::sort(found.begin(), found.end());
    found.erase(std::unique(found.begin(), found.end()), found.end());
    return found;
}

std::string binaryText(const std::string& path, BinaryKind kind) {
    if (kind != BinaryKind::other) return std::string(widthName(kind)) + " Windows";
#if defined(_WIN32)
    (void)path;
    return "not a Windows library";
#else
    std::FILE* file = std::fopen(path.c_str(), "rb");
    unsigned char head[5] = {};
    const bool read = file != nullptr && std::fread(head, 1, sizeof head, file) == sizeof head;
    if (file != nullptr) std::fclose(file);
    if (!read || head[0] != 0x7F || head[1] != 'E' || head[2] != 'L' || head[3] != 'F') return "not a library";
    return head[4] == 2 ? "64-bit Linux" : "32-bit Linux";
#endif
}

// The child's work: one description line of the plug-in, or why there is none.
Expected<bool> describe(const PluginLibrary& library, const std::string& binary) {
    ChildChannel::send(ChildChannel::kStep, "asking the plug-in");
    auto effect = Effect::create(library, Effect::Shells::allowed);
    if (!effect) return Error{effect.error()};
    ScanEntry entry = ScanEntry::describe(*effect, library.path());
    entry.binary = binary;
    effect->close();
    ChildChannel::send(ChildChannel::kOutput, entry.toLine());
    return true;
}

ScanEntry inspect(const CommandLine& line, const std::string& path, const std::string& binary, int seconds) {
    ScanEntry entry;
    entry.path = path;
    entry.binary = binary;
    const auto work = [&] {
        return ChildWork::inChild("scan", path, [&](const PluginLibrary& library) { return describe(library, binary); });
    };
    const auto told = [&](const std::string& text) {
        if (auto described = ScanEntry::fromLine(text)) entry = *described;
    };
    const std::string failure = ChildWork::run(work, ChildWork::childArguments(line, {path}), seconds, told);
    if (!failure.empty()) {
        entry.status = ScanEntry::Status::failed;
        entry.problem = failure;
    } else if (entry.status != ScanEntry::Status::ok) {
        entry.problem = "the child described nothing";
    }
    return entry;
}

#if !defined(_WIN32)
// Every 64-bit Windows library at `batch` in one run of the Windows vsthost under Wine.
void inspectUnderWine(std::vector<ScanEntry>& entries, const std::vector<std::size_t>& batch, long seconds) {
    if (batch.empty()) return;
    const auto host = WindowsHostCommand::findHost(BinaryKind::windows64);
    std::vector<std::string> arguments = {"scan", "--entries", "--timeout", std::to_string(seconds), "--"};
    for (const std::size_t index : batch) {
        entries[index].problem = host ? "the Windows vsthost under Wine said nothing of it"
                                      : "no 64-bit Windows vsthost.exe was found (set LANTER5_VSTHOST_WIN64)";
        arguments.push_back(entries[index].path);
    }
    if (!host) return;
    std::size_t next = 0;
    const auto told = [&](const std::string& text) {
        auto described = ScanEntry::fromLine(text);
        // The Windows host answers in the order it was asked, one line per library.
        if (!described || next >= batch.size()) return;
        ScanEntry& entry = entries[batch[next++]];
        const std::string path = entry.path;
        entry = *described;
        entry.path = path;
    };
    const int limit = static_cast<int>(batch.size()) * (static_cast<int>(seconds) + 10) + kWineSeconds;
    const std::string failure = WineScan::run(*host, arguments, limit, told);
    for (std::size_t index = next; index < batch.size() && !failure.empty(); ++index) entries[batch[index]].problem = failure;
}

// The last part of a path written either way: the guest's are Windows paths.
std::string lastPart(const std::string& path) {
    const auto slash = path.find_last_of("/\\");
    return slash == std::string::npos ? path : path.substr(slash + 1);
}

// Every 32-bit Windows library at `batch` in one run of the 32-bit Windows vsthost in the
// emulated machine, which sees copies: its lines are told apart by the copies' names. When no
// guest can be started, nothing was tried, and the libraries are not inspected; when the guest
// failed, those it said nothing of have failed with its reason.
void inspectInGuest(std::vector<ScanEntry>& entries, const std::vector<std::size_t>& batch, long seconds) {
    if (batch.empty()) return;
    const auto host = WindowsHostCommand::findHost(BinaryKind::windows32);
    std::vector<std::string> paths;
    for (const std::size_t index : batch) {
        entries[index].problem = host ? "the 32-bit vsthost in the emulated machine said nothing of it"
                                      : "no 32-bit Windows vsthost.exe was found (set LANTER5_VSTHOST_WIN32)";
        if (!host) entries[index].status = ScanEntry::Status::notInspected;
        paths.push_back(entries[index].path);
    }
    if (!host) return;
    std::vector<bool> described(batch.size(), false);
    const auto told = [&](const std::string& text) {
        auto line = ScanEntry::fromLine(text);
        if (!line) return;
        for (std::size_t i = 0; i < batch.size(); ++i) {
            if (described[i] || lastPart(line->path) != GuestScan::nameInGuest(i, paths[i])) continue;
            entries[batch[i]] = *line;
            entries[batch[i]].path = paths[i];
            described[i] = true;
            return;
        }
    };
    const auto outcome = GuestScan::run(*host, paths, static_cast<int>(seconds), told);
    for (std::size_t i = 0; i < batch.size() && !outcome.failure.empty(); ++i) {
        if (described[i]) continue;
        entries[batch[i]].problem = outcome.failure;
        if (!outcome.started) entries[batch[i]].status = ScanEntry::Status::notInspected;
    }
    for (const std::size_t i : outcome.unreadable) entries[batch[i]].problem = "cannot be read to hand it to the guest";
}
#endif

std::vector<ScanEntry> scan(const CommandLine& line, const std::vector<std::string>& files, long seconds) {
    std::vector<ScanEntry> entries;
    std::vector<std::size_t> underWine;
    std::vector<std::size_t> inGuest;
    for (const auto& path : files) {
        const BinaryKind kind = binaryKindOf(path);
        const std::string binary = binaryText(path, kind);
        // What is no Windows image is tried too, so that loading it says what it is.
        if (kind == kOwnKind || kind == BinaryKind::other) {
            entries.push_back(inspect(line, path, binary, static_cast<int>(seconds)));
            continue;
        }
        ScanEntry entry;
        entry.path = path;
        entry.binary = binary;
        entry.status = ScanEntry::Status::notInspected;
        entry.problem = "needs a vsthost of its own kind";
#if !defined(_WIN32)
        entry.status = ScanEntry::Status::failed;
        (kind == BinaryKind::windows64 ? underWine : inGuest).push_back(entries.size());
#endif
        entries.push_back(entry);
    }
#if !defined(_WIN32)
    inspectUnderWine(entries, underWine, seconds);
    inspectInGuest(entries, inGuest, seconds);
#endif
    return entries;
}

void printText(const std::vector<ScanEntry>& entries) {
    int inspected = 0;
    int failed = 0;
    for (const auto& entry : entries) {
        std::printf("%s", entry.text().c_str());
        inspected += entry.status == ScanEntry::Status::ok;
        failed += entry.status == ScanEntry::Status::failed;
    }
    std::printf("%d libraries: %d inspected, %d failed, %d not inspected\n", static_cast<int>(entries.size()), inspected, failed,
                static_cast<int>(entries.size()) - inspected - failed);
}

void printJson(const std::vector<std::string>& places, const std::vector<ScanEntry>& entries) {
    JsonWriter json;
    json.beginObject().key("folders").beginArray();
    for (const auto& place : places) json.string(place);
    json.endArray().key("libraries").beginArray();
    std::int64_t inspected = 0;
    std::int64_t failed = 0;
    for (const auto& entry : entries) {
        entry.write(json);
        inspected += entry.status == ScanEntry::Status::ok;
        failed += entry.status == ScanEntry::Status::failed;
    }
    json.endArray().key("summary").beginObject();
    json.key("libraries").number(static_cast<std::int64_t>(entries.size()));
    json.key("inspected").number(inspected).key("failed").number(failed);
    json.key("notInspected").number(static_cast<std::int64_t>(entries.size()) - inspected - failed);
    json.endObject().endObject();
    std::printf("%s\n", json.text().c_str());
}

// A Windows child of the scan: the tool again, given one library.
int inChild(const CommandLine& line) {
    auto entered = ChildProcess::enterChild(line);
    if (!entered || line.arguments.size() != 1) return 2;
    const std::string& path = line.arguments[0];
    const std::string binary = binaryText(path, binaryKindOf(path));
    return ChildWork::inChild("scan", path, [&](const PluginLibrary& library) { return describe(library, binary); });
}

}  // namespace

int ScanCommand::run(const CommandLine& line) {
    if (line.has("--child")) return inChild(line);
    const auto seconds = line.positive("--timeout", kDefaultSeconds, kLargestSeconds);
    if (line.arguments.empty() || !seconds || line.has("--shell")) {
        if (!seconds) std::fprintf(stderr, "vsthost: %s\n", seconds.error().c_str());
        std::fprintf(stderr, "vsthost: usage: vsthost scan FOLDER... [--timeout S] [--json]\n");
        return 2;
    }
    for (const auto& place : line.arguments) {
        if (!FileName::isDirectory(place) && !FileName::isRegularFile(place)) {
            std::fprintf(stderr, "vsthost: no such folder '%s'\n", place.c_str());
            return 2;
        }
    }
    const auto entries = scan(line, librariesIn(line.arguments, line.has("--entries")), *seconds);
    if (line.has("--entries")) {
        for (const auto& entry : entries) std::printf("%s\n", entry.toLine().c_str());
    } else if (line.has("--json")) {
        printJson(line.arguments, entries);
    } else {
        printText(entries);
    }
    std::fflush(stdout);
    return 0;
}

}  // namespace vsthost
