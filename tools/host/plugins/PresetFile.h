#pragma once
// A plug-in's state as hosts and users exchange it in files, every field big-endian: a
// program file (.fxp) holds one program, as its parameter values or as the plug-in's opaque
// chunk; a bank file (.fxb) holds every program, as program records or as one chunk. Each
// names the plug-in's unique id and version. Reading refuses in one line a file cut short,
// of a format version newer than these, with a current program outside its programs or a
// parameter value outside 0 to 1, or no such file at all.

#include <cstdint>
#include <string>
#include <vector>

#include "Expected.h"

namespace vsthost {

struct PresetProgram {
    std::string name;  // at most 27 bytes in the file
    std::vector<float> parameters;
};

struct PresetFile {
    static constexpr std::size_t kNameBytes = 28;
    static constexpr std::int32_t kNewestProgramVersion = 1;
    static constexpr std::int32_t kNewestBankVersion = 2;  // 2 adds the current program
    // A chunk larger than this is a plug-in's mistake, not its state.
    static constexpr std::size_t kLargestChunk = std::size_t{1} << 28;
    // Every file the tool writes, with room for the headers and names around the chunk; a
    // larger one is refused before it is read, as is anything but a regular file.
    static constexpr std::size_t kLargestFile = kLargestChunk + (std::size_t{1} << 20);

    enum class Kind { program, bank };

    Kind kind = Kind::program;
    bool opaque = false;  // the plug-in's chunk rather than parameter values
    std::int32_t formatVersion = 1;
    std::int32_t pluginId = 0;
    std::int32_t pluginVersion = 0;
    // A program file: one program, its parameters empty when opaque. A bank of records: all
    // of them. An opaque bank: none.
    std::vector<PresetProgram> programs;
    // The count the header gives: parameters of a program, programs of a bank.
    std::int32_t count = 0;
    std::int32_t currentProgram = 0;  // a bank of version 2
    std::string chunk;                // when opaque

    static Expected<PresetFile> parse(const std::string& bytes);
    // The file at `path`; the one line of a refusal names it.
    static Expected<PresetFile> read(const std::string& path);
    std::string bytes() const;
    // "program file" or "bank file", and how it holds the state.
    std::string description() const;
};

}  // namespace vsthost
