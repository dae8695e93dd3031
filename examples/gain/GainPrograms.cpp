#include "GainPrograms.h"

#include <cmath>
#include <cstring>

namespace {

struct Factory {
    const char* name;
    float value;
};
// Values for unity, -6 dB, -12 dB and +6 dB (gain 4 v²).
constexpr Factory kFactory[GainPrograms::kCount] = {
    {"Unity", 0.5f}, {"Half", 0.35355339f}, {"Quarter", 0.25f}, {"Double", 0.70710678f}};

void put32(std::uint8_t* at, std::uint32_t value) {
    for (int byte = 0; byte < 4; ++byte) at[byte] = static_cast<std::uint8_t>(value >> (8 * byte));
}

std::uint32_t get32(const std::uint8_t* at) {
    std::uint32_t value = 0;
    for (int byte = 0; byte < 4; ++byte) {
        value |= static_cast<std::uint32_t>(at[byte]) << (8 * byte);
    }
    return value;
}

void putProgram(std::uint8_t* at, const GainPrograms::Program& program) {
    std::memset(at, 0, GainPrograms::kNameSize);
    std::memcpy(at, program.name, std::strlen(program.name));
    std::uint32_t bits;
    std::memcpy(&bits, &program.value, sizeof bits);
    put32(at + GainPrograms::kNameSize, bits);
}

// False for a name that fills its field without a terminating zero, or a value outside 0 to 1.
bool getProgram(const std::uint8_t* at, GainPrograms::Program& program) {
    if (std::memchr(at, 0, GainPrograms::kNameSize) == nullptr) return false;
    std::memcpy(program.name, at, GainPrograms::kNameSize);
    program.name[GainPrograms::kNameSize] = 0;
    const std::uint32_t bits = get32(at + GainPrograms::kNameSize);
    std::memcpy(&program.value, &bits, sizeof bits);
    return program.value >= 0.0f && program.value <= 1.0f;
}

} // namespace

GainPrograms::GainPrograms() {
    for (std::int32_t index = 0; index < kCount; ++index) {
        Program& program = at(index);
        std::memset(program.name, 0, sizeof program.name);
        std::strncpy(program.name, kFactory[index].name, kNameSize);
        program.value = kFactory[index].value;
    }
}

bool GainPrograms::select(std::int32_t index) {
    if (index < 0 || index >= kCount) return false;
    currentIndex = index;
    return true;
}

std::size_t GainPrograms::write(Chunk& chunk, bool preset) const {
    const std::int32_t count = preset ? 1 : kCount;
    put32(&chunk[0], kMagic);
    put32(&chunk[4], kVersion);
    put32(&chunk[8], static_cast<std::uint32_t>(count));
    put32(&chunk[12], static_cast<std::uint32_t>(currentIndex));
    for (std::int32_t slot = 0; slot < count; ++slot) {
        const std::int32_t index = preset ? currentIndex : slot;
        putProgram(&chunk[kHeaderSize + static_cast<std::size_t>(slot) * kProgramSize],
                   programs[static_cast<std::size_t>(index)]);
    }
    return kHeaderSize + static_cast<std::size_t>(count) * kProgramSize;
}

bool GainPrograms::read(const std::uint8_t* data, std::size_t size, bool preset) {
    if (data == nullptr || size < kHeaderSize) return false;
    // A newer format may mean anything; it is refused, not guessed at.
    if (get32(data) != kMagic || get32(data + 4) != kVersion) return false;
    const std::uint32_t count = get32(data + 8);
    const std::uint32_t current = get32(data + 12);
    if (count != (preset ? 1u : static_cast<std::uint32_t>(kCount))) return false;
    if (size != kHeaderSize + count * kProgramSize) return false;
    if (current >= static_cast<std::uint32_t>(kCount)) return false;
    std::array<Program, kCount> incoming = programs;
    for (std::uint32_t slot = 0; slot < count; ++slot) {
        const std::size_t index = preset ? static_cast<std::size_t>(currentIndex) : slot;
        if (!getProgram(data + kHeaderSize + slot * kProgramSize, incoming[index])) return false;
    }
    programs = incoming;
    if (!preset) currentIndex = static_cast<std::int32_t>(current);
    return true;
}
