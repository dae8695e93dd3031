// The effect record as the constructors leave it, its setters, and the plug-in's copy of two
// channels, compared bit for bit with a plain frame-by-frame copy over aliased buffers.

#include <gtest/gtest.h>

#include <cstdint>
#include <cstring>
#include <iterator>
#include <memory>
#include <utility>
#include <vector>

#include "EntryPoint.h"
#include "MyLanter5.h"
#include "Opcodes.h"
#include "RecordEntries.h"
#include "TestEffects.h"

namespace {

class BareEffect : public AudioEffect {
public:
    BareEffect() : AudioEffect(nullptr, 3, 4) {}
    void processReplacing(float**, float**, VstInt32) override {}
};

// The plug-in's final record is read byte by byte in the binary's test; here only what the
// base sets and the plug-in then changes.
TEST(EffectRecord, BaseConstructorFillsTheRecord) {
    BareEffect effect;
    const AEffect& record = *effect.getAEffect();
    EXPECT_EQ(record.magic, 0x56737450);
    EXPECT_EQ(record.dispatcher, &dispatchEntry);
    EXPECT_EQ(record.process, &processEntry);
    EXPECT_EQ(record.setParameter, &setParameterEntry);
    EXPECT_EQ(record.getParameter, &getParameterEntry);
    EXPECT_EQ(record.processReplacing, &processReplacingEntry);
    EXPECT_EQ(record.processDoubleReplacing, &processDoubleReplacingEntry);
    EXPECT_EQ(record.numPrograms, 3);
    EXPECT_EQ(record.numParams, 4);
    EXPECT_EQ(record.numInputs, 1);
    EXPECT_EQ(record.numOutputs, 2);
    EXPECT_EQ(record.flags, effFlagsCanReplacing);
    EXPECT_EQ(record.uniqueID, 0x4E6F4566);
    EXPECT_EQ(record.object, static_cast<AudioEffect*>(&effect));
    EXPECT_EQ(effect.getSampleRate(), 44100.0f);
    EXPECT_EQ(effect.getBlockSize(), 1024);
    EXPECT_EQ(effect.getEditor(), nullptr);
}

TEST(EffectRecord, PlugInSetsChannelsIdentityAndFlags) {
    std::unique_ptr<AudioEffect> effect(createEffect(nullptr));
    ASSERT_NE(effect, nullptr);
    const AEffect& record = *effect->getAEffect();
    EXPECT_EQ(record.numInputs, 2);
    EXPECT_EQ(record.numOutputs, 2);
    EXPECT_EQ(record.numPrograms, 1);
    EXPECT_EQ(record.numParams, 2);
    EXPECT_EQ(record.uniqueID, 0x534D504C);
    EXPECT_EQ(record.flags, effect->getEditor() ? 0x11 : 0x10);
    EXPECT_EQ(record.object, effect.get());
}

TEST(EffectRecord, FlagSettersChangeOnlyTheirBit) {
    using Setter = void (*)(TestEffect&, bool);
    const std::pair<Setter, VstInt32> setters[] = {
        {[](TestEffect& e, bool on) { e.setCanProcessReplacing(on); }, 16},
        {[](TestEffect& e, bool on) { e.setCanDoubleReplacing(on); }, 4096},
        {[](TestEffect& e, bool on) { e.setProgramsAreChunks(on); }, 32},
        {[](TestEffect& e, bool on) { e.setHasVu(on); }, 4},
        {[](TestEffect& e, bool on) { e.setHasClip(on); }, 2},
        {[](TestEffect& e, bool on) { e.setCanMono(on); }, 8},
        {[](TestEffect& e, bool on) { e.setIsSynth(on); }, 256},
        {[](TestEffect& e, bool on) { e.setNoSoundInStop(on); }, 512},
        {[](TestEffect& e, bool on) { e.setAsyncFlag(on); }, 1024},
        {[](TestEffect& e, bool on) { e.setExternalBufferFlag(on); }, 2048},
    };
    for (const auto& [set, bit] : setters) {
        TestEffect effect(nullptr);
        VstInt32& flags = effect.getAEffect()->flags;
        flags = 0;
        set(effect, true);
        EXPECT_EQ(flags, bit);
        flags = -1;
        set(effect, false);
        EXPECT_EQ(flags, ~bit);
    }
    TestEffect synth(nullptr);
    EXPECT_EQ(synth.dispatcher(effGetPlugCategory, 0, 0, nullptr, 0.0f), 0);
    synth.setIsSynth(true);
    EXPECT_EQ(synth.dispatcher(effGetPlugCategory, 0, 0, nullptr, 0.0f), 2);
}

// Distinct bit patterns per position, with payload NaNs (quiet and signalling), both zeros,
// both infinities and subnormals mixed in; the copy must keep every bit.
std::vector<std::uint32_t> pattern(std::size_t count) {
    static constexpr std::uint32_t kSpecial[] = {0x7FC01234, 0x7F800001, 0xFFBADBAD, 0x80000000,
                                                 0x00000000, 0x7F800000, 0xFF800000, 0x00000001,
                                                 0x807FFFFF};
    std::vector<std::uint32_t> bits(count);
    for (std::size_t i = 0; i < count; ++i) {
        bits[i] = static_cast<std::uint32_t>(i + 1) * 2654435761u;
        if (i % 5 == 2) bits[i] = kSpecial[(i / 5) % std::size(kSpecial)];
    }
    return bits;
}

// Channel positions inside one shared arena of samples.
struct Layout {
    const char* name;
    std::size_t in0, in1, out0, out1;
};

constexpr std::size_t kArena = 4400;
const Layout kLayouts[] = {
    {"disjoint", 0, 1100, 2200, 3300},
    {"in place", 0, 1100, 0, 1100},
    {"output 0 is input 1", 0, 1100, 1100, 2200},
    {"output 1 is input 0", 0, 1100, 2200, 0},
    {"output 0 one sample after input 0", 0, 1100, 1, 2200},
    {"output 1 two samples before input 1", 0, 1100, 2200, 1098},
    {"outputs overlap", 0, 1100, 2200, 2201},
    {"one input for both", 0, 0, 2200, 3300},
    {"output 0 one sample before input 0", 1, 1100, 0, 2200},
    {"output 1 one sample after input 1", 0, 1100, 2200, 1101},
    {"in place over overlapping channels", 0, 2, 0, 2},
    {"channel 0 in place, output 1 apart", 0, 1100, 0, 2200},
    {"channel 0 in place, output 1 inside input 0", 0, 1100, 0, 3},
    {"channel 1 in place, output 0 one sample after input 0", 0, 1100, 1, 1100},
    {"channel 1 in place, output 0 two samples before input 1", 0, 1100, 1098, 1100},
    // Where one channel's output runs into the other channel's input, the frame order shows.
    {"output 0 one sample before input 1", 0, 1100, 1099, 2200},
    {"output 1 one sample after input 0", 0, 1100, 2200, 1},
};

// The plain copy: frame by frame, channel 0 before channel 1.
void referenceCopy(std::vector<std::uint32_t>& arena, const Layout& layout, VstInt32 frames) {
    for (VstInt32 i = 0; i < frames; ++i) {
        arena[layout.out0 + i] = arena[layout.in0 + i];
        arena[layout.out1 + i] = arena[layout.in1 + i];
    }
}

std::vector<float> asFloats(const std::vector<std::uint32_t>& bits) {
    std::vector<float> samples(bits.size());
    std::memcpy(samples.data(), bits.data(), bits.size() * sizeof(float));
    return samples;
}

// Index of the first sample whose bits differ, or -1.
long firstDifference(const std::vector<float>& samples, const std::vector<std::uint32_t>& bits) {
    for (std::size_t i = 0; i < bits.size(); ++i) {
        std::uint32_t sample;
        std::memcpy(&sample, &samples[i], sizeof sample);
        if (sample != bits[i]) return static_cast<long>(i);
    }
    return -1;
}

void process(MyLanter5& effect, std::vector<float>& arena, const Layout& layout, VstInt32 frames) {
    float* inputs[] = {arena.data() + layout.in0, arena.data() + layout.in1};
    float* outputs[] = {arena.data() + layout.out0, arena.data() + layout.out1};
    effect.processReplacing(inputs, outputs, frames);
}

TEST(PassThrough, CopiesLikeThePlainFrameLoopBitForBit) {
    MyLanter5 effect(nullptr);
    for (const Layout& layout : kLayouts) {
        for (VstInt32 frames : {1, 3, 4, 5, 1024}) {
            std::vector<std::uint32_t> expected = pattern(kArena);
            std::vector<float> arena = asFloats(expected);
            referenceCopy(expected, layout, frames);
            process(effect, arena, layout, frames);
            EXPECT_EQ(firstDifference(arena, expected), -1) << layout.name << ", " << frames << " frames";
        }
    }
}

TEST(PassThrough, OutputZeroOnInputOneLeavesInputZeroInBothOutputs) {
    MyLanter5 effect(nullptr);
    const Layout& layout = kLayouts[2];
    for (VstInt32 frames : {3, 1024}) {
        const std::vector<std::uint32_t> original = pattern(kArena);
        std::vector<float> arena = asFloats(original);
        process(effect, arena, layout, frames);
        const auto bytes = static_cast<std::size_t>(frames) * sizeof(float);
        EXPECT_EQ(std::memcmp(&arena[layout.out0], &original[layout.in0], bytes), 0) << frames;
        EXPECT_EQ(std::memcmp(&arena[layout.out1], &original[layout.in0], bytes), 0) << frames;
    }
}

TEST(PassThrough, NoFramesTouchNothing) {
    MyLanter5 effect(nullptr);
    for (VstInt32 frames : {0, -1, -1024}) {
        const std::vector<std::uint32_t> original = pattern(kArena);
        std::vector<float> arena = asFloats(original);
        process(effect, arena, kLayouts[0], frames);
        EXPECT_EQ(firstDifference(arena, original), -1) << frames;
        float* nullChannels[] = {nullptr, nullptr};
        effect.processReplacing(nullChannels, nullChannels, frames);  // reads no channel pointer
        effect.processReplacing(nullptr, nullptr, frames);            // nor the arrays
    }
}

}  // namespace
