// The gain example as a host meets it: processing, parameter texts, programs and chunks, all
// through the record of the built module.

#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <cstdint>
#include <cstring>
#include <limits>
#include <string>
#include <utility>
#include <vector>

#include "ExampleModule.h"

namespace {

#if defined(_WIN32)
constexpr char kPluginPath[] = "Gain.dll"; // beside the test program
#else
constexpr char kPluginPath[] = GAIN_PLUGIN_PATH;
#endif

class Gain : public ExampleModule {
public:
    Gain() : ExampleModule(kPluginPath) {}

    void set(float value) { record->setParameter(record, 0, value); }
    float get() { return record->getParameter(record, 0); }
    std::vector<std::uint8_t> chunk(bool preset) {
        void* data = nullptr;
        const VstIntPtr size = dispatch(effGetChunk, preset ? 1 : 0, 0, &data);
        const auto* bytes = static_cast<const std::uint8_t*>(data);
        return size > 0 && bytes ? std::vector<std::uint8_t>(bytes, bytes + size)
                                 : std::vector<std::uint8_t>{};
    }
    VstIntPtr load(std::vector<std::uint8_t> bytes, bool preset) {
        return dispatch(effSetChunk, preset ? 1 : 0, static_cast<VstIntPtr>(bytes.size()),
                        bytes.data());
    }
};

std::uint32_t bitsOf(float value) {
    std::uint32_t bits;
    std::memcpy(&bits, &value, sizeof bits);
    return bits;
}

float fromBits(std::uint32_t bits) {
    float value;
    std::memcpy(&value, &bits, sizeof value);
    return value;
}

// Samples that a careless gain changes: signalling NaN, negative zero, subnormals, extremes.
std::vector<float> awkwardSamples() {
    std::vector<float> samples = {fromBits(0x7fa00001), -0.0f, fromBits(0x00000001),
                                  -std::numeric_limits<float>::denorm_min() * 3,
                                  std::numeric_limits<float>::max(), -1.0f, 0.999f,
                                  std::numeric_limits<float>::infinity()};
    for (int i = 0; i < 57; ++i) samples.push_back(std::sin(0.37f * static_cast<float>(i)));
    return samples;
}

TEST(GainPlugin, RecordAnnouncesOneParameterFourProgramsAndChunks) {
    Gain gain;
    ASSERT_NE(gain.record, nullptr);
    EXPECT_EQ(gain.record->numParams, 1);
    EXPECT_EQ(gain.record->numPrograms, 4);
    EXPECT_EQ(gain.record->numInputs, 2);
    EXPECT_EQ(gain.record->numOutputs, 2);
    EXPECT_NE(gain.record->flags & effFlagsProgramChunks, 0);
    EXPECT_EQ(gain.dispatch(effCanBeAutomated, 0), 1);
}

TEST(GainPlugin, UnityCopiesEveryBitAndOtherValuesGiveTheProduct) {
    Gain gain;
    ASSERT_NE(gain.record, nullptr);
    for (const float value : {0.5f, 0.25f, 1.0f, 0.0f, 0.7f, 0.35355339f}) {
        for (const bool inPlace : {false, true}) {
            SCOPED_TRACE(testing::Message() << "value " << value << (inPlace ? " in place" : ""));
            gain.set(value);
            const std::vector<float> input = awkwardSamples();
            std::vector<float> left = input, right(input.rbegin(), input.rend());
            gain.process(left, right, inPlace);
            const float factor = 4.0f * value * value;
            for (std::size_t i = 0; i < input.size(); ++i) {
                const float inRight = input[input.size() - 1 - i];
                if (value == 0.5f) {
                    ASSERT_EQ(bitsOf(left[i]), bitsOf(input[i])) << i;
                    ASSERT_EQ(bitsOf(right[i]), bitsOf(inRight)) << i;
                } else if (!std::isnan(input[i]) && !std::isnan(inRight)) {
                    ASSERT_EQ(bitsOf(left[i]), bitsOf(input[i] * factor)) << i;
                    ASSERT_EQ(bitsOf(right[i]), bitsOf(inRight * factor)) << i;
                }
            }
        }
    }
}

TEST(GainPlugin, ParameterTextsInDecibels) {
    Gain gain;
    ASSERT_NE(gain.record, nullptr);
    EXPECT_EQ(gain.text(effGetParamName), "Gain");
    EXPECT_EQ(gain.text(effGetParamLabel), "dB");
    const struct {
        float value;
        const char* display;
    } cases[] = {{0.5f, "0.000000"}, {1.0f, "12.04120"}, {0.25f, "-12.0412"}, {0.0f, "-oo"}};
    for (const auto& c : cases) {
        gain.set(c.value);
        EXPECT_EQ(gain.text(effGetParamDisplay), c.display) << c.value;
    }
    // Out of range is clamped, NaN ignored: the value always reads back between 0 and 1.
    gain.set(2.0f);
    EXPECT_EQ(gain.get(), 1.0f);
    gain.set(std::numeric_limits<float>::quiet_NaN());
    EXPECT_EQ(gain.get(), 1.0f);
    gain.set(-1.0f);
    EXPECT_EQ(gain.get(), 0.0f);
}

TEST(GainPlugin, ProgramsKeepTheirNamesAndValues) {
    Gain gain;
    ASSERT_NE(gain.record, nullptr);
    const char* names[] = {"Unity", "Half", "Quarter", "Double"};
    for (VstInt32 index = 0; index < 4; ++index) {
        char name[64] = "";
        EXPECT_EQ(gain.dispatch(effGetProgramNameIndexed, index, 0, name), 1);
        EXPECT_STREQ(name, names[index]);
    }
    EXPECT_EQ(gain.get(), 0.5f);
    gain.dispatch(effSetProgram, 0, 2);
    EXPECT_EQ(gain.dispatch(effGetProgram), 2);
    EXPECT_EQ(gain.get(), 0.25f);
    EXPECT_EQ(gain.text(effGetProgramName), "Quarter");

    // An edit belongs to the program it was made in.
    gain.set(0.9f);
    char renamed[] = "Loud";
    gain.dispatch(effSetProgramName, 0, 0, renamed);
    gain.dispatch(effSetProgram, 0, 0);
    EXPECT_EQ(gain.get(), 0.5f);
    gain.dispatch(effSetProgram, 0, 2);
    EXPECT_EQ(gain.get(), 0.9f);
    EXPECT_EQ(gain.text(effGetProgramName), "Loud");
}

TEST(GainPlugin, BankAndPresetChunksRestoreTheState) {
    std::vector<std::uint8_t> bank, preset;
    {
        Gain gain;
        ASSERT_NE(gain.record, nullptr);
        gain.dispatch(effSetProgram, 0, 3);
        gain.set(0.6f);
        char name[] = "Mine";
        gain.dispatch(effSetProgramName, 0, 0, name);
        bank = gain.chunk(false);
        preset = gain.chunk(true);
    }
    Gain restored;
    ASSERT_NE(restored.record, nullptr);
    EXPECT_EQ(restored.load(bank, false), 1);
    EXPECT_EQ(restored.dispatch(effGetProgram), 3);
    EXPECT_EQ(restored.get(), 0.6f);
    EXPECT_EQ(restored.text(effGetProgramName), "Mine");
    EXPECT_EQ(restored.chunk(false), bank);

    // A preset replaces the current program only, whichever it is.
    Gain other;
    ASSERT_NE(other.record, nullptr);
    other.dispatch(effSetProgram, 0, 2);
    EXPECT_EQ(other.load(preset, true), 1);
    EXPECT_EQ(other.dispatch(effGetProgram), 2);
    EXPECT_EQ(other.get(), 0.6f);
    EXPECT_EQ(other.text(effGetProgramName), "Mine");
    for (const auto& [program, name] : {std::pair{0, "Unity"}, std::pair{1, "Half"}}) {
        char text[64] = "";
        other.dispatch(effGetProgramNameIndexed, program, 0, text);
        EXPECT_STREQ(text, name);
    }
    other.dispatch(effSetProgram, 0, 0);
    EXPECT_EQ(other.get(), 0.5f) << "program 0 keeps its value";
}

TEST(GainPlugin, NewerOrCorruptChunksAreRefusedWithNothingChanged) {
    std::vector<std::uint8_t> bank, preset;
    {
        Gain source;
        ASSERT_NE(source.record, nullptr);
        source.set(0.8f);
        bank = source.chunk(false);
        preset = source.chunk(true);
    }
    ASSERT_EQ(bank.size(), 16u + 4 * 28);
    ASSERT_EQ(preset.size(), 16u + 28);
    const auto changed = [](std::vector<std::uint8_t> bytes, std::size_t at, std::uint8_t to) {
        bytes[at] = to;
        return bytes;
    };
    auto truncated = bank;
    truncated.pop_back();
    auto longer = preset;
    longer.push_back(0);
    auto unterminated = preset;
    for (std::size_t i = 16; i < 40 && i < unterminated.size(); ++i) unterminated[i] = 'x';
    const struct {
        const char* what;
        std::vector<std::uint8_t> bytes;
        bool preset;
    } cases[] = {
        {"newer format", changed(bank, 4, 2), false},
        {"newer preset", changed(preset, 4, 2), true},
        {"foreign magic", changed(bank, 0, 'X'), false},
        {"truncated", truncated, false},
        {"trailing byte", longer, true},
        {"bank given as preset", bank, true},
        {"preset given as bank", preset, false},
        {"current program out of range", changed(bank, 12, 4), false},
        {"value NaN", changed(changed(preset, 16 + 27, 0x7f), 16 + 26, 0xc0), true},
        {"value above 1", changed(preset, 16 + 27, 0x40), true},
        {"name without end", unterminated, true},
        {"header only", std::vector<std::uint8_t>(bank.begin(), bank.begin() + 16), false},
    };
    Gain gain;
    ASSERT_NE(gain.record, nullptr);
    gain.dispatch(effSetProgram, 0, 1);
    gain.set(0.3f);
    const std::vector<std::uint8_t> before = gain.chunk(false);
    for (const auto& c : cases) {
        EXPECT_EQ(gain.load(c.bytes, c.preset), 0) << c.what;
        EXPECT_EQ(gain.chunk(false), before) << c.what;
        EXPECT_EQ(gain.get(), 0.3f) << c.what;
        EXPECT_EQ(gain.dispatch(effGetProgram), 1) << c.what;
    }
    EXPECT_EQ(gain.dispatch(effSetChunk, 0, 16, nullptr), 0);
}

} // namespace
