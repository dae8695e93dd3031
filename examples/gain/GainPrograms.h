#pragma once
// The gain's programs and their chunk format. A chunk starts with a header (magic, format
// version, program count, current program), followed by that many programs of a 24-byte name
// and the value; a preset chunk holds one program. All fields are little-endian.

#include <array>
#include <cstddef>
#include <cstdint>

class GainPrograms {
public:
    static constexpr std::int32_t kCount = 4;
    static constexpr std::size_t kNameSize = 24; // host program names: 24 characters + zero
    static constexpr float kUnity = 0.5f;
    static constexpr std::uint32_t kMagic = 0x6e47354c; // "L5Gn"
    static constexpr std::uint32_t kVersion = 1;

    struct Program {
        char name[kNameSize + 1];
        float value;
    };
    // Header 16 bytes, each program 28.
    static constexpr std::size_t kHeaderSize = 16;
    static constexpr std::size_t kProgramSize = kNameSize + 4;
    using Chunk = std::array<std::uint8_t, kHeaderSize + kCount * kProgramSize>;

    GainPrograms();

    std::int32_t current() const { return currentIndex; }
    // False for an index outside the programs.
    bool select(std::int32_t index);
    Program& at(std::int32_t index) { return programs[static_cast<std::size_t>(index)]; }
    Program& currentProgram() { return at(currentIndex); }

    // Writes the current program (preset) or all of them (bank) and answers the byte count.
    std::size_t write(Chunk& chunk, bool preset) const;
    // Takes a chunk of either kind when it is whole and valid; otherwise changes nothing.
    bool read(const std::uint8_t* data, std::size_t size, bool preset);

private:
    std::array<Program, kCount> programs;
    std::int32_t currentIndex = 0;
};
