#include "PresetFile.h"

#include <algorithm>
#include <bit>
#include <cmath>
#include <cstdio>
#include <cstring>

#include "AEffect.h"
#include "FileName.h"
#include "RecordText.h"

namespace vsthost {

namespace {

constexpr auto kRecord = static_cast<std::uint32_t>(fourCharacters('C', 'c', 'n', 'K'));
constexpr auto kProgramValues = static_cast<std::uint32_t>(fourCharacters('F', 'x', 'C', 'k'));
constexpr auto kProgramChunk = static_cast<std::uint32_t>(fourCharacters('F', 'P', 'C', 'h'));
constexpr auto kBankPrograms = static_cast<std::uint32_t>(fourCharacters('F', 'x', 'B', 'k'));
constexpr auto kBankChunk = static_cast<std::uint32_t>(fourCharacters('F', 'B', 'C', 'h'));
constexpr std::size_t kBankReservedBytes = 128;
// More than any plug-in has; a count beyond it is a broken file, not a big one.
constexpr std::uint32_t kMostEntries = 1u << 20;
constexpr const char* kNoRecord = "is no program or bank file (no 'CcnK' record)";

// Takes big-endian fields off the front of the bytes; the first shortfall is remembered.
class Fields {
public:
    explicit Fields(const std::string& bytes) : bytes_(bytes) {}

    std::uint32_t next32() {
        if (!has(4)) return 0;
        std::uint32_t value = 0;
        for (int i = 0; i < 4; ++i) value = value << 8 | static_cast<unsigned char>(bytes_[at_++]);
        return value;
    }
    std::string text(std::size_t size) {
        if (!has(size)) return {};
        std::string field = bytes_.substr(at_, size);
        at_ += size;
        return field;
    }
    bool has(std::size_t size) {
        if (bytes_.size() - at_ >= size) return true;
        cut_ = true;
        return false;
    }
    bool cut() const { return cut_; }
    std::size_t left() const { return bytes_.size() - at_; }
    std::size_t at() const { return at_; }

private:
    const std::string& bytes_;
    std::size_t at_ = 0;
    bool cut_ = false;
};

std::string spelled(std::uint32_t magic) {
    std::string text;
    for (int shift = 24; shift >= 0; shift -= 8) {
        const char c = static_cast<char>(magic >> shift);
        text += c >= 0x20 && c < 0x7F ? c : '?';
    }
    return text;
}

// The record's size field against what follows it in the file.
Expected<bool> sizeFits(Fields& fields, std::uint32_t size) {
    if (size > fields.left()) {
        return Error{"is cut short: its record says " + std::to_string(size) + " bytes follow, " +
                     std::to_string(fields.left()) + " do"};
    }
    return true;
}

Expected<PresetProgram> programRecord(Fields& fields, PresetFile& file, bool inBank) {
    if (fields.next32() != kRecord) return Error{kNoRecord};
    const std::uint32_t size = fields.next32();
    if (auto fits = sizeFits(fields, size); !fits) return Error{fits.error()};
    const std::size_t end = fields.at() + size;
    const std::uint32_t kind = fields.next32();
    if (kind != kProgramValues && (kind != kProgramChunk || inBank)) {
        return Error{"holds a record of kind '" + spelled(kind) + "' where a program belongs"};
    }
    const auto version = static_cast<std::int32_t>(fields.next32());
    if (version > PresetFile::kNewestProgramVersion || version < 1) {
        return Error{"is of program format version " + std::to_string(version) + "; this tool reads version 1"};
    }
    PresetProgram program;
    const auto id = static_cast<std::int32_t>(fields.next32());
    const auto pluginVersion = static_cast<std::int32_t>(fields.next32());
    const std::uint32_t count = fields.next32();
    const std::string name = fields.text(PresetFile::kNameBytes);
    if (fields.cut()) return Error{"is cut short inside a program's header"};
    program.name = name.substr(0, name.find('\0'));
    if (count > kMostEntries) return Error{"says it holds " + std::to_string(count) + " parameters"};
    if (!inBank) {
        file.formatVersion = version;
        file.pluginId = id;
        file.pluginVersion = pluginVersion;
        file.count = static_cast<std::int32_t>(count);
        file.opaque = kind == kProgramChunk;
    }
    if (kind == kProgramChunk) {
        const std::uint32_t chunkSize = fields.next32();
        if (!fields.has(chunkSize)) return Error{"is cut short inside its chunk"};
        file.chunk = fields.text(chunkSize);
    } else {
        if (!fields.has(std::size_t{count} * 4)) return Error{"is cut short inside a program's parameters"};
        for (std::uint32_t i = 0; i < count; ++i) program.parameters.push_back(std::bit_cast<float>(fields.next32()));
    }
    if (fields.at() != end) return Error{"has a program record whose size field does not match what it holds"};
    return program;
}

// A bank without programs (a chunk plug-in's) still names program 0 as current.
Expected<bool> currentFits(const PresetFile& file) {
    if (file.currentProgram >= 0 && file.currentProgram < std::max(file.count, 1)) return true;
    return Error{"says program " + std::to_string(file.currentProgram) + " is current; it holds " +
                 std::to_string(file.count) + " programs"};
}

// A plug-in trusts a value it is given to lie in 0 to 1; NaN and infinities do not.
Expected<bool> valuesFit(const PresetFile& file) {
    for (std::size_t program = 0; program < file.programs.size(); ++program) {
        const auto& values = file.programs[program].parameters;
        const auto bad = std::find_if(values.begin(), values.end(), [](float v) { return !(v >= 0.0f && v <= 1.0f); });
        if (bad == values.end()) continue;
        char value[32];
        std::snprintf(value, sizeof value, "%.9g", static_cast<double>(*bad));
        return Error{"gives program " + std::to_string(program) + " " + quoted(file.programs[program].name) +
                     " parameter " + std::to_string(bad - values.begin()) + " the value " + value +
                     ", outside 0 to 1"};
    }
    return true;
}

void put32(std::string& to, std::uint32_t value) {
    for (int shift = 24; shift >= 0; shift -= 8) to += static_cast<char>(value >> shift);
}

void putName(std::string& to, const std::string& name) {
    std::string field = name.substr(0, PresetFile::kNameBytes - 1);
    field.resize(PresetFile::kNameBytes, '\0');
    to += field;
}

// A record: its magic, then the size of everything after the size field.
std::string record(const std::string& body) {
    std::string bytes;
    put32(bytes, kRecord);
    put32(bytes, static_cast<std::uint32_t>(body.size()));
    return bytes + body;
}

std::string programBytes(const PresetFile& file, const PresetProgram& program, bool opaque) {
    std::string body;
    put32(body, opaque ? kProgramChunk : kProgramValues);
    put32(body, PresetFile::kNewestProgramVersion);
    put32(body, static_cast<std::uint32_t>(file.pluginId));
    put32(body, static_cast<std::uint32_t>(file.pluginVersion));
    put32(body, static_cast<std::uint32_t>(opaque ? file.count : static_cast<std::int32_t>(program.parameters.size())));
    putName(body, program.name);
    if (opaque) {
        put32(body, static_cast<std::uint32_t>(file.chunk.size()));
        body += file.chunk;
    } else {
        for (const float value : program.parameters) put32(body, std::bit_cast<std::uint32_t>(value));
    }
    return record(body);
}

}  // namespace

Expected<PresetFile> PresetFile::parse(const std::string& bytes) {
    Fields fields(bytes);
    PresetFile file;
    if (bytes.size() >= 12 && (bytes.compare(8, 4, "FxBk") == 0 || bytes.compare(8, 4, "FBCh") == 0)) {
        file.kind = Kind::bank;
        if (fields.next32() != kRecord) return Error{kNoRecord};
        const std::uint32_t size = fields.next32();
        if (auto fits = sizeFits(fields, size); !fits) return Error{fits.error()};
        const std::size_t end = fields.at() + size;
        file.opaque = fields.next32() == kBankChunk;
        file.formatVersion = static_cast<std::int32_t>(fields.next32());
        if (file.formatVersion < 1 || file.formatVersion > kNewestBankVersion) {
            return Error{"is of bank format version " + std::to_string(file.formatVersion) +
                         "; this tool reads versions 1 and 2"};
        }
        file.pluginId = static_cast<std::int32_t>(fields.next32());
        file.pluginVersion = static_cast<std::int32_t>(fields.next32());
        const std::uint32_t count = fields.next32();
        if (file.formatVersion == 2) file.currentProgram = static_cast<std::int32_t>(fields.next32());
        fields.text(file.formatVersion == 2 ? kBankReservedBytes - 4 : kBankReservedBytes);
        if (fields.cut()) return Error{"is cut short inside the bank's header"};
        if (count > kMostEntries) return Error{"says it holds " + std::to_string(count) + " programs"};
        file.count = static_cast<std::int32_t>(count);
        if (auto current = currentFits(file); !current) return Error{current.error()};
        if (file.opaque) {
            const std::uint32_t chunkSize = fields.next32();
            if (!fields.has(chunkSize)) return Error{"is cut short inside its chunk"};
            file.chunk = fields.text(chunkSize);
        } else {
            for (std::uint32_t i = 0; i < count; ++i) {
                auto program = programRecord(fields, file, true);
                if (!program) return Error{program.error()};
                file.programs.push_back(std::move(*program));
            }
        }
        if (fields.at() != end) return Error{"has a bank record whose size field does not match what it holds"};
    } else {
        auto program = programRecord(fields, file, false);
        if (!program) return Error{program.error()};
        file.programs.push_back(std::move(*program));
    }
    if (fields.left() != 0) return Error{"has " + std::to_string(fields.left()) + " bytes after its end"};
    if (auto values = valuesFit(file); !values) return Error{values.error()};
    return file;
}

Expected<PresetFile> PresetFile::read(const std::string& path) {
    const auto bytes = FileName::readAtMost(path, kLargestFile);
    if (!bytes) return Error{"cannot read '" + path + "': " + bytes.error()};
    auto file = parse(*bytes);
    if (!file) return Error{"'" + path + "' " + file.error()};
    return file;
}

std::string PresetFile::bytes() const {
    if (kind == Kind::program) return programBytes(*this, programs.empty() ? PresetProgram{} : programs[0], opaque);
    std::string body;
    put32(body, opaque ? kBankChunk : kBankPrograms);
    put32(body, static_cast<std::uint32_t>(formatVersion));
    put32(body, static_cast<std::uint32_t>(pluginId));
    put32(body, static_cast<std::uint32_t>(pluginVersion));
    put32(body, static_cast<std::uint32_t>(opaque ? count : static_cast<std::int32_t>(programs.size())));
    std::string reserved(kBankReservedBytes, '\0');
    if (formatVersion >= 2) {
        reserved.resize(kBankReservedBytes - 4);
        put32(body, static_cast<std::uint32_t>(currentProgram));
    }
    body += reserved;
    if (opaque) {
        put32(body, static_cast<std::uint32_t>(chunk.size()));
        body += chunk;
    } else {
        for (const auto& program : programs) body += programBytes(*this, program, false);
    }
    return record(body);
}

std::string PresetFile::description() const {
    const auto counted = [](std::size_t count, const char* one, const char* many) {
        return std::to_string(count) + " " + (count == 1 ? one : many);
    };
    std::string holds;
    if (opaque) holds = "the plug-in's chunk of " + counted(chunk.size(), "byte", "bytes");
    else if (kind == Kind::bank) holds = counted(programs.size(), "program", "programs");
    else holds = counted(programs.empty() ? 0 : programs[0].parameters.size(), "parameter value", "parameter values");
    return std::string(kind == Kind::program ? "program file" : "bank file") + " holding " + holds;
}

}  // namespace vsthost
