#pragma once
// A stereo channel strip: input routing, stereo width, balance, gain, a dim button and a mute.
// Its state is its parameter values; each is read once per block, so a change applies from
// the next block on.

#include "AudioEffectX.h"
#include "CLevelMeter.h"

#include <atomic>

class StripEffect : public AudioEffectX {
public:
    static constexpr VstInt32 kUniqueId = fourCharacters('L', '5', 'S', 't');
    enum Parameter : VstInt32 { kGain, kPan, kWidth, kMute, kDim, kRouting, kParameters };
    // What reaches the strip: both channels, one of them on both sides, or both swapped.
    enum Routing : VstInt32 { kStereo, kLeftOnly, kRightOnly, kSwapped, kRoutings };
    static constexpr VstInt32 kChannels = 2;
    static constexpr float kLowestDecibels = -36.0f;
    static constexpr float kHighestDecibels = 12.0f;
    static constexpr float kDimDecibels = -20.0f;

    explicit StripEffect(HostCallback host);

    // Gain in dB for a parameter value, and back; the value for 0 dB is the default.
    static float decibelsFor(float value);
    static float valueForDecibels(float decibels);
    static VstInt32 routingFor(float value);
    static float valueForRouting(VstInt32 routing);
    // The routing's short name, as the editor and the host show it.
    static const char* routingName(VstInt32 routing);

    // Audio thread. Any number of frames; inputs and outputs may be the same buffers.
    void processReplacing(float** inputs, float** outputs, VstInt32 sampleFrames) override;

    // Any thread. Values outside 0 to 1 are clamped; a NaN is ignored.
    void setParameter(VstInt32 index, float value) override;
    float getParameter(VstInt32 index) override;
    void getParameterName(VstInt32 index, char* text) override;
    void getParameterLabel(VstInt32 index, char* text) override;
    void getParameterDisplay(VstInt32 index, char* text) override;

    bool getEffectName(char* text) override;
    bool getVendorString(char* text) override;
    bool getProductString(char* text) override;
    VstInt32 getVendorVersion() override { return 1000; }
    VstInt32 getPlugCategory() override { return 1; } // kPlugCategEffect

    // The output's peak, block by block, for the editor's meter.
    LevelFeed& outputLevel() { return level; }

private:
    // Written by any thread, read by the audio thread, which may not wait.
    std::atomic<float> values[kParameters];
    LevelFeed level;
    static_assert(std::atomic<float>::is_always_lock_free);
};
