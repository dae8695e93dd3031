// The strip example as a host meets it: its parameters and what each does to the sound,
// through the record of the built module.

#include <gtest/gtest.h>

#include <vector>

#include "ExampleModule.h"

namespace {

#if defined(_WIN32)
constexpr char kPluginPath[] = "Strip.dll"; // beside the test program
#else
constexpr char kPluginPath[] = STRIP_PLUGIN_PATH;
#endif

enum { kGain, kPan, kWidth, kMute, kDim, kInput };

TEST(StripPlugin, ParametersStartNeutralAndSayWhatTheyAre) {
    ExampleModule strip(kPluginPath);
    ASSERT_NE(strip.record, nullptr);
    ASSERT_EQ(strip.record->numParams, 6);
    std::vector<std::string> shown;
    for (VstInt32 index = 0; index < 6; ++index) {
        shown.push_back(strip.text(effGetParamName, index) + " " +
                        strip.text(effGetParamDisplay, index) + " " +
                        strip.text(effGetParamLabel, index));
    }
    EXPECT_EQ(shown, (std::vector<std::string>{"Gain +0.0 dB", "Pan +0 %", "Width 100 %",
                                               "Mute off ", "Dim off ", "Input Stereo "}));
}

// Left 0.5 and right 0.25 through the strip with one parameter changed from neutral.
TEST(StripPlugin, EachParameterShapesTheSoundAsItsNameSays) {
    struct Case {
        VstInt32 parameter;
        float value;
        float left, right;
    };
    const Case cases[] = {
        {kGain, 0.75f, 0.5f, 0.25f},        {kInput, 1.0f / 3, 0.5f, 0.5f},
        {kInput, 2.0f / 3, 0.25f, 0.25f},   {kInput, 1.0f, 0.25f, 0.5f},
        {kWidth, 0.0f, 0.375f, 0.375f},     {kWidth, 1.0f, 0.625f, 0.125f},
        {kPan, 0.0f, 0.5f, 0.0f},           {kPan, 1.0f, 0.0f, 0.25f},
        {kPan, 0.75f, 0.25f, 0.25f},        {kMute, 1.0f, 0.0f, 0.0f},
        {kGain, 1.0f, 1.9905359f, 0.9952679f}, {kGain, 0.5f, 0.1255943f, 0.0627971f},
        {kDim, 1.0f, 0.05f, 0.025f},
    };
    for (const Case& check : cases) {
        SCOPED_TRACE(testing::Message() << "parameter " << check.parameter << " at "
                                        << check.value);
        ExampleModule strip(kPluginPath);
        ASSERT_NE(strip.record, nullptr);
        strip.record->setParameter(strip.record, check.parameter, check.value);
        std::vector<float> left(64, 0.5f), right(64, 0.25f);
        strip.process(left, right, check.parameter == kWidth);
        EXPECT_NEAR(left[63], check.left, 1e-6f);
        EXPECT_NEAR(right[63], check.right, 1e-6f);
    }
}

} // namespace
