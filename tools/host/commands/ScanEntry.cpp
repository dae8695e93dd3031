#include "ScanEntry.h"

#include <cstdlib>

#include "Effect.h"
#include "Opcodes.h"
#include "RecordText.h"

namespace vsthost {

namespace {

constexpr char kSeparator = '\x1E';
constexpr std::size_t kFields = 13;

std::string clean(std::string text) {
    for (char& c : text) {
        if (c == kSeparator || c == '\x1F' || c == '\n' || c == '\r' || c == '\t') c = ' ';
    }
    return text;
}

std::vector<std::string> split(const std::string& line) {
    std::vector<std::string> fields;
    std::size_t start = 0;
    for (std::size_t end; (end = line.find(kSeparator, start)) != std::string::npos; start = end + 1) {
        fields.push_back(line.substr(start, end - start));
    }
    fields.push_back(line.substr(start));
    return fields;
}

const char* statusName(ScanEntry::Status status) {
    switch (status) {
    case ScanEntry::Status::ok: return "ok";
    case ScanEntry::Status::notInspected: return "not inspected";
    default: return "failed";
    }
}

void writeId(JsonWriter& json, VstInt32 id) {
    json.key("uniqueId").number(static_cast<std::int64_t>(static_cast<std::uint32_t>(id)));
    const std::string text = ShellChoice::idText(id);
    // Null when the id's four bytes are no printable characters.
    if (text.front() == '\'') json.key("uniqueIdText").string(text.substr(1, 4));
    else json.key("uniqueIdText").null();
}

}  // namespace

ScanEntry ScanEntry::describe(Effect& effect, const std::string& path) {
    ScanEntry entry;
    entry.path = path;
    entry.status = Status::ok;
    effect.dispatch(effOpen);
    // Cut where hosts cut: some plug-ins write on past the buffer.
    entry.name = effect.text(effGetEffectName).substr(0, ShellChoice::kNameSize - 1);
    if (entry.name.empty()) entry.name = effect.text(effGetProductString).substr(0, ShellChoice::kNameSize - 1);
    entry.vendor = effect.text(effGetVendorString).substr(0, ShellChoice::kNameSize - 1);
    const AEffect& record = effect.record();
    entry.uniqueId = record.uniqueID;
    entry.inputs = record.numInputs;
    entry.outputs = record.numOutputs;
    entry.parameters = record.numParams;
    entry.editor = effect.hasFlag(effFlagsHasEditor);
    if (ShellChoice::isShell(effect)) {
        entry.kind = "shell";
        entry.members = ShellChoice::members(effect);
    } else {
        entry.kind = effect.isInstrument() ? "instrument" : "effect";
    }
    return entry;
}

std::string ScanEntry::toLine() const {
    std::string line = "scan";
    for (const std::string& field :
         {std::string(statusName(status)), problem, name, vendor, std::to_string(uniqueId), kind, std::to_string(inputs), std::to_string(outputs),
          std::to_string(parameters), std::string(editor ? "1" : "0"), path, binary}) {
        line += kSeparator + clean(field);
    }
    for (const auto& member : members) line += kSeparator + std::to_string(member.id) + kSeparator + clean(member.name);
    return line;
}

std::optional<ScanEntry> ScanEntry::fromLine(const std::string& line) {
    const auto fields = split(line);
    if (fields.size() < kFields || fields[0] != "scan" || (fields.size() - kFields) % 2 != 0) return std::nullopt;
    ScanEntry entry;
    entry.status = fields[1] == statusName(Status::ok)             ? Status::ok
                   : fields[1] == statusName(Status::notInspected) ? Status::notInspected
                                                                   : Status::failed;
    entry.problem = fields[2];
    entry.name = fields[3];
    entry.vendor = fields[4];
    entry.uniqueId = static_cast<VstInt32>(std::atol(fields[5].c_str()));
    entry.kind = fields[6];
    entry.inputs = std::atoi(fields[7].c_str());
    entry.outputs = std::atoi(fields[8].c_str());
    entry.parameters = std::atoi(fields[9].c_str());
    entry.editor = fields[10] == "1";
    entry.path = fields[11];
    entry.binary = fields[12];
    for (std::size_t i = kFields; i + 1 < fields.size(); i += 2) {
        entry.members.push_back({static_cast<VstInt32>(std::atol(fields[i].c_str())), fields[i + 1]});
    }
    return entry;
}

std::string ScanEntry::text() const {
    if (status != Status::ok) return path + "  " + statusName(status) + ": " + problem + "  (" + binary + ")\n";
    std::string text = path + "  " + quoted(name) + "  vendor " + quoted(vendor) + "  id " +
                       ShellChoice::idText(uniqueId) + "  " + kind + "  " + std::to_string(inputs) + " in " +
                       std::to_string(outputs) + " out  " + std::to_string(parameters) + " parameters  editor " +
                       (editor ? "yes" : "no") + "  " + binary + "\n";
    for (const auto& member : members) {
        text += "    member " + ShellChoice::idText(member.id) + "  " + quoted(member.name) + "\n";
    }
    return text;
}

void ScanEntry::write(JsonWriter& json) const {
    json.beginObject();
    json.key("path").string(path);
    json.key("binary").string(binary);
    json.key("status").string(statusName(status));
    if (status != Status::ok) {
        json.key("problem").string(problem);
        json.endObject();
        return;
    }
    json.key("name").string(name);
    json.key("vendor").string(vendor);
    writeId(json, uniqueId);
    json.key("kind").string(kind);
    json.key("inputs").number(static_cast<std::int64_t>(inputs));
    json.key("outputs").number(static_cast<std::int64_t>(outputs));
    json.key("parameters").number(static_cast<std::int64_t>(parameters));
    json.key("editor").boolean(editor);
    json.key("members").beginArray();
    for (const auto& member : members) {
        json.beginObject();
        writeId(json, member.id);
        json.key("name").string(member.name);
        json.endObject();
    }
    json.endArray();
    json.endObject();
}

}  // namespace vsthost
