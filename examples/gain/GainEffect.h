#pragma once
// A stereo gain: one automatable parameter, a few named programs, its state saved as chunks.
// The parameter's value v from 0 to 1 sets the gain 4 v², so that 0.5 is exactly unity and
// 1 is +12 dB.

#include "AudioEffectX.h"
#include "GainPrograms.h"

#include <atomic>

class GainEffect : public AudioEffectX {
public:
    static constexpr VstInt32 kUniqueId = fourCharacters('L', '5', 'G', 'n');
    static constexpr VstInt32 kGain = 0;
    static constexpr VstInt32 kParameters = 1;
    static constexpr VstInt32 kChannels = 2;

    explicit GainEffect(HostCallback host);

    static float gainFor(float value) { return 4.0f * value * value; }
    // The gain in dB, as the host and the editor show it.
    void displayFor(float value, char* text, VstInt32 maxLen);

    // Audio thread. At unity the input is copied bit for bit; otherwise each sample is the
    // product of input and gain.
    void processReplacing(float** inputs, float** outputs, VstInt32 sampleFrames) override;
    // The same in 64 bits, the gain computed in 64 bits too.
    void processDoubleReplacing(double** inputs, double** outputs, VstInt32 sampleFrames) override;

    // Any thread. Values outside 0 to 1 are clamped; a NaN is ignored.
    void setParameter(VstInt32 index, float value) override;
    float getParameter(VstInt32 index) override;
    void getParameterName(VstInt32 index, char* text) override;
    void getParameterLabel(VstInt32 index, char* text) override;
    void getParameterDisplay(VstInt32 index, char* text) override;

    void setProgram(VstInt32 program) override;
    void setProgramName(char* name) override;
    void getProgramName(char* name) override;
    bool getProgramNameIndexed(VstInt32 category, VstInt32 index, char* text) override;

    // A chunk of the current program (preset) or of all programs (bank). Refused chunks
    // change nothing.
    VstInt32 getChunk(void** data, bool isPreset) override;
    VstInt32 setChunk(void* data, VstInt32 byteSize, bool isPreset) override;

    bool getEffectName(char* text) override;
    bool getVendorString(char* text) override;
    bool getProductString(char* text) override;
    VstInt32 getVendorVersion() override { return 1000; }
    VstInt32 getPlugCategory() override { return 1; } // kPlugCategEffect

private:
    // Keeps the current program's stored value in step with the parameter.
    void storeValue(float value);

    GainPrograms programs;
    // Written by any thread, read by the audio thread, which may not wait.
    std::atomic<float> gainValue{GainPrograms::kUnity};
    static_assert(std::atomic<float>::is_always_lock_free);
    GainPrograms::Chunk chunk{}; // what getChunk last handed out; the host reads it later
};
