#pragma once
// What a scan found out about one library: the plug-in's identity and shape, a shell's members,
// or why it could not be inspected. A child hands it to the scan as one line.

#include <optional>
#include <string>
#include <vector>

#include "AEffect.h"
#include "JsonWriter.h"
#include "ShellChoice.h"

namespace vsthost {

class Effect;

struct ScanEntry {
    enum class Status { ok, failed, notInspected };

    std::string path;
    std::string binary;  // "64-bit Linux", "32-bit Windows", ...
    Status status = Status::failed;
    std::string problem;
    std::string name;
    std::string vendor;
    VstInt32 uniqueId = 0;
    std::string kind;  // effect, instrument or shell
    int inputs = 0;
    int outputs = 0;
    int parameters = 0;
    bool editor = false;
    std::vector<ShellMember> members;

    // Asks an opened instance; the shell's members too.
    static ScanEntry describe(Effect& effect, const std::string& path);

    // The line a child sends, and the entry read back from one; none for a line that is none.
    std::string toLine() const;
    static std::optional<ScanEntry> fromLine(const std::string& line);

    // The scan's text lines for this library: one, and one more per shell member.
    std::string text() const;
    void write(JsonWriter& json) const;
};

}  // namespace vsthost
