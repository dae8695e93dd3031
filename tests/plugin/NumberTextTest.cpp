// The five number formatters: the documented examples, the edges of their ranges, values
// outside them, and cutting to the caller's length.

#include <gtest/gtest.h>

#include <climits>
#include <cstring>
#include <functional>
#include <limits>
#include <string>
#include <utility>

#include "Opcodes.h"
#include "TestEffects.h"

namespace {

constexpr char kUnwritten = '#';
constexpr float kNaN = std::numeric_limits<float>::quiet_NaN();
constexpr float kInfinity = std::numeric_limits<float>::infinity();

// Runs `format` on a buffer of unwritten bytes and answers the text up to its terminator, which
// must lie within the first maxLen + 1 bytes; nothing after those may be written.
template <typename Format>
std::string formatted(Format format, VstInt32 maxLen = 16) {
    char buffer[32];
    std::memset(buffer, kUnwritten, sizeof buffer);
    format(buffer, maxLen);
    for (std::size_t i = static_cast<std::size_t>(maxLen) + 1; i < sizeof buffer; ++i) {
        EXPECT_EQ(buffer[i], kUnwritten) << "byte " << i << " written";
    }
    const void* end = std::memchr(buffer, '\0', static_cast<std::size_t>(maxLen) + 1);
    if (end == nullptr) {
        ADD_FAILURE() << "no terminator within " << maxLen + 1 << " bytes";
        return {};
    }
    return std::string(static_cast<const char*>(buffer), static_cast<const char*>(end));
}

TEST(NumberText, FloatsFillEightCharactersWithCutDigits) {
    TestEffect effect(nullptr);
    const std::pair<float, const char*> cases[] = {
        {0.0f, "0.000000"}, {0.5f, "0.500000"}, {1.5f, "1.500000"}, {-1.5f, "-1.50000"},
        {3.14159265f, "3.141592"}, {123.456f, "123.4560"}, {44100.0f, "44100.00"},
        {0.7f, "0.699999"}, {1234567.0f, "1234567."}, {-999999.0f, "-999999."},
        {-0.0f, "0.000000"}, {1e-20f, "0.000000"},
        // Range edges: eight integer digits, or a sign and seven, leave no room for the point.
        {12345678.0f, "12345678"}, {99999992.0f, "99999992"}, {-1234567.0f, "-1234567"},
        {-9999999.0f, "-9999999"}, {99999999.0f, "Huge!"}, {-10000000.0f, "Huge!"},
        {kInfinity, "Huge!"}, {-kInfinity, "Huge!"}, {kNaN, "NaN"}, {-kNaN, "NaN"},
    };
    for (const auto& [value, text] : cases) {
        EXPECT_EQ(formatted([&](char* t, VstInt32 n) { effect.formatFloat(value, t, n); }), text)
            << "value " << value;
    }
}

TEST(NumberText, IntegersShowEveryDigit) {
    TestEffect effect(nullptr);
    const std::pair<VstInt32, const char*> cases[] = {
        {0, "0"}, {7, "7"}, {10, "10"}, {-5, "-5"}, {99999999, "99999999"},
        {100000000, "Huge!"}, {INT_MAX, "Huge!"}, {-123456789, "-123456789"},
        {-1000000000, "-1000000000"}, {-1234567890, "-1234567890"}, {INT_MIN, "-2147483648"},
    };
    for (const auto& [value, text] : cases) {
        EXPECT_EQ(formatted([&](char* t, VstInt32 n) { effect.formatInteger(value, t, n); }), text)
            << "value " << value;
    }
}

TEST(NumberText, UnitFormattersConvertFirst) {
    TestEffect effect(nullptr);
    const auto decibels = [&](float value) {
        return formatted([&](char* t, VstInt32 n) { effect.formatDecibels(value, t, n); });
    };
    const auto hertz = [&](float samples) {
        return formatted([&](char* t, VstInt32 n) { effect.formatHertz(samples, t, n); });
    };
    const auto milliseconds = [&](float samples) {
        return formatted([&](char* t, VstInt32 n) { effect.formatMilliseconds(samples, t, n); });
    };
    EXPECT_EQ(decibels(1.0f), "0.000000");
    EXPECT_EQ(decibels(0.5f), "-6.02060");
    EXPECT_EQ(decibels(2.0f), "6.020600");
    EXPECT_EQ(decibels(0.0f), "-oo");
    EXPECT_EQ(decibels(-1.0f), "-oo");
    EXPECT_EQ(decibels(kInfinity), "Huge!");
    EXPECT_EQ(decibels(kNaN), "NaN");
    EXPECT_EQ(hertz(100.0f), "441.0000");
    EXPECT_EQ(hertz(-100.0f), "-441.000");
    EXPECT_EQ(hertz(0.0f), "0.000000");
    EXPECT_EQ(milliseconds(100.0f), "2.267573");

    effect.dispatcher(effSetSampleRate, 0, 0, nullptr, 48000.0f);
    EXPECT_EQ(hertz(100.0f), "480.0000");
    effect.dispatcher(effSetSampleRate, 0, 0, nullptr, 0.0f);
    EXPECT_EQ(milliseconds(100.0f), "Huge!");
    EXPECT_EQ(milliseconds(0.0f), "NaN");
}

TEST(NumberText, TextsAreCutToTheGivenLength) {
    TestEffect effect(nullptr);
    EXPECT_EQ(formatted([&](char* t, VstInt32 n) { effect.formatFloat(0.5f, t, n); }, 3), "0.5");
    EXPECT_EQ(formatted([&](char* t, VstInt32 n) { effect.formatFloat(0.5f, t, n); }, 0), "");
    EXPECT_EQ(formatted([&](char* t, VstInt32 n) { effect.formatFloat(1e9f, t, n); }, 4), "Huge");
    EXPECT_EQ(formatted([&](char* t, VstInt32 n) { effect.formatInteger(-52, t, n); }, 2), "-5");
    EXPECT_EQ(formatted([&](char* t, VstInt32 n) { effect.formatDecibels(0.0f, t, n); }, 2), "-o");
    EXPECT_EQ(formatted([&](char* t, VstInt32 n) { effect.formatFloat(kNaN, t, n); }, 1), "N");
}

TEST(NumberText, NegativeLengthOrNullTextWritesNothing) {
    TestEffect effect(nullptr);
    const std::function<void(char*, VstInt32)> formatters[] = {
        [&](char* t, VstInt32 n) { effect.formatFloat(0.5f, t, n); },
        [&](char* t, VstInt32 n) { effect.formatInteger(5, t, n); },
        [&](char* t, VstInt32 n) { effect.formatDecibels(0.5f, t, n); },
        [&](char* t, VstInt32 n) { effect.formatDecibels(0.0f, t, n); },
        [&](char* t, VstInt32 n) { effect.formatHertz(100.0f, t, n); },
        [&](char* t, VstInt32 n) { effect.formatMilliseconds(100.0f, t, n); },
    };
    for (const auto& format : formatters) {
        char buffer[16];
        std::memset(buffer, kUnwritten, sizeof buffer);
        format(buffer, -1);
        EXPECT_EQ(std::string(buffer, sizeof buffer), std::string(sizeof buffer, kUnwritten));
        format(nullptr, 8);
    }
}

// Writes "F" and keeps the value, to show which number a unit formatter hands on.
class MarkingEffect : public TestEffect {
public:
    MarkingEffect() : TestEffect(nullptr) {}
    void formatFloat(float value, char* text, VstInt32 maxLen) override {
        handed = value;
        if (maxLen > 0) std::strcpy(text, "F");
    }
    float handed = 0.0f;
};

TEST(NumberText, UnitFormattersEndInTheEffectsFloatFormatter) {
    MarkingEffect effect;
    char text[16] = {};
    effect.formatHertz(100.0f, text, 8);
    EXPECT_STREQ(text, "F");
    EXPECT_EQ(effect.handed, 441.0f);
    effect.formatMilliseconds(441.0f, text, 8);
    EXPECT_EQ(effect.handed, 10.0f);
    effect.formatDecibels(10.0f, text, 8);
    EXPECT_EQ(effect.handed, 20.0f);
    effect.formatDecibels(0.0f, text, 8);
    EXPECT_STREQ(text, "-oo");
}

}  // namespace
