// Drives a live effect with whatever sequence of calls the input spells: dispatcher calls with
// buffers the harness owns, parameter calls and processing calls over buffers that may
// overlap in any way. Every processing call is checked against a frame-by-frame model of the
// pass-through, so a fast path that changes an overlapping result is found, not only crashes.
#include <array>
#include <cstdint>
#include <cstring>
#include <vector>

#include "AEffect.h"
#include "EntryPoint.h"
#include "HostRecords.h"
#include "Opcodes.h"

namespace {

constexpr std::size_t kTextSize = 1024;
constexpr std::size_t kArenaFrames = 4 * 4200;
constexpr VstInt32 kLargestBlock = 4096;

VstIntPtr VST_CALL host(AEffect*, VstInt32 opcode, VstInt32, VstIntPtr, void*, float) {
    return opcode == audioMasterVersion ? 2400 : 0;
}

class Input {
public:
    Input(const std::uint8_t* data, std::size_t size) : data_(data), size_(size) {}
    bool empty() const { return at_ >= size_; }
    std::uint8_t byte() { return at_ < size_ ? data_[at_++] : 0; }
    std::uint16_t u16() { return static_cast<std::uint16_t>(byte() | byte() << 8); }
    std::uint32_t u32() { return static_cast<std::uint32_t>(u16()) | static_cast<std::uint32_t>(u16()) << 16; }
    float f32() {
        const std::uint32_t bits = u32();
        float value;
        std::memcpy(&value, &bits, sizeof value);
        return value;
    }

private:
    const std::uint8_t* data_;
    std::size_t size_;
    std::size_t at_ = 0;
};

// Buffers a host hands over for pointer arguments. Each lives on the heap at its exact size,
// so the address sanitizer sees any write past it.
struct HostBuffers {
    std::vector<char> text = std::vector<char>(kTextSize);
    std::vector<char> record = std::vector<char>(kTextSize);
    std::array<void*, 2> slots{};
};

VstInt32 opcodeFrom(Input& in) {
    const std::uint8_t choice = in.byte();
    if (choice < 0xF0) return static_cast<VstInt32>(choice % 104) - 2;  // -2 .. 101
    return static_cast<VstInt32>(in.u32());
}

void dispatch(AEffect* effect, Input& in, HostBuffers& buffers) {
    const VstInt32 opcode = opcodeFrom(in);
    const auto index = static_cast<VstInt32>(static_cast<std::int16_t>(in.u16()));
    const std::uint8_t pointerChoice = in.byte();
    VstIntPtr value = static_cast<VstInt32>(in.u32());
    const float opt = in.f32();

    void* ptr = nullptr;
    switch (pointerChoice % 4) {
    case 0: ptr = nullptr; break;
    case 1:
        // A text: filled by the input, always terminated inside the buffer.
        for (std::size_t i = 0; i + 1 < kTextSize; ++i) buffers.text[i] = static_cast<char>(in.byte());
        buffers.text.back() = '\0';
        ptr = buffers.text.data();
        break;
    case 2:
        std::fill(buffers.record.begin(), buffers.record.end(), 0);
        ptr = buffers.record.data();
        break;
    case 3: ptr = buffers.slots.data(); break;
    }
    // Arguments that a host must pass as addresses or sizes of its own buffers.
    if (opcode == effSetSpeakerArrangement || opcode == effGetSpeakerArrangement) {
        value = pointerChoice & 4 ? reinterpret_cast<VstIntPtr>(&buffers.slots[1]) : 0;
    } else if (opcode == effSetChunk) {
        value = static_cast<VstIntPtr>(static_cast<std::uint32_t>(value) % (kTextSize + 1));
    } else if (opcode == effProcessEvents || opcode == effEditOpen) {
        ptr = nullptr;
    }
    if (opcode == effClose) return;  // the harness closes last; a closed record is gone
    effect->dispatcher(effect, opcode, index, value, ptr, opt);
}

// The pass-through frame by frame: channel 0 before channel 1 in every frame.
void modelProcess(float* const* in, float* const* out, VstInt32 frames) {
    for (VstInt32 i = 0; i < frames; ++i) {
        out[0][i] = in[0][i];
        out[1][i] = in[1][i];
    }
}

void process(AEffect* effect, Input& in, std::vector<float>& arena, std::vector<float>& model) {
    const std::uint16_t frameChoice = in.u16();
    VstInt32 frames = static_cast<VstInt32>(frameChoice % (kLargestBlock + 1));
    if (frameChoice >= 0xFFF0) frames = frameChoice == 0xFFFF ? INT32_MIN : -1;
    const std::size_t span = frames > 0 ? static_cast<std::size_t>(frames) : 0;
    std::array<std::size_t, 4> offsets{};
    for (auto& offset : offsets) offset = in.u16() % (kArenaFrames - span + 1);

    model = arena;
    float* in0 = arena.data();
    float* m0 = model.data();
    std::array<float*, 2> inputs = {in0 + offsets[0], in0 + offsets[1]};
    std::array<float*, 2> outputs = {in0 + offsets[2], in0 + offsets[3]};
    std::array<float*, 2> modelInputs = {m0 + offsets[0], m0 + offsets[1]};
    std::array<float*, 2> modelOutputs = {m0 + offsets[2], m0 + offsets[3]};
    effect->processReplacing(effect, inputs.data(), outputs.data(), frames);
    modelProcess(modelInputs.data(), modelOutputs.data(), frames);
    if (std::memcmp(arena.data(), model.data(), arena.size() * sizeof(float)) != 0) __builtin_trap();
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    Input in(data, size);
    AEffect* effect = VSTPluginMain(host);
    if (effect == nullptr) return 0;
    HostBuffers buffers;
    std::vector<float> arena(kArenaFrames);
    for (std::size_t i = 0; i < arena.size(); ++i) {
        const auto bits = static_cast<std::uint32_t>(i * 2654435761u);
        std::memcpy(&arena[i], &bits, sizeof bits);  // every bit pattern, NaNs included
    }
    std::vector<float> model;
    for (int action = 0; action < 256 && !in.empty(); ++action) {
        switch (in.byte() % 4) {
        case 0: dispatch(effect, in, buffers); break;
        case 1: effect->setParameter(effect, static_cast<VstInt32>(in.u32()), in.f32()); break;
        case 2: (void)effect->getParameter(effect, static_cast<VstInt32>(in.u32())); break;
        case 3: process(effect, in, arena, model); break;
        }
    }
    effect->dispatcher(effect, effClose, 0, 0, nullptr, 0.0f);
    return 0;
}
