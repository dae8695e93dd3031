#pragma once
// What several validation checks share: text buffers with guards, signals pushed through an
// instance, bit-for-bit comparison.

#include <cstddef>
#include <functional>
#include <span>
#include <string>
#include <vector>

#include "AEffect.h"
#include "AudioData.h"
#include "CheckContext.h"
#include "Effect.h"
#include "SampleFault.h"

namespace vsthost {

// A zeroed buffer for a plug-in's text with guard bytes after it.
class GuardedText {
public:
    static constexpr std::size_t kSize = 1024;

    GuardedText();
    void reset();
    char* data() { return reinterpret_cast<char*>(bytes_.data()); }
    // False when the plug-in filled the buffer from its first written byte to the end
    // without a terminating zero.
    bool terminated() const;
    bool guardIntact() const;

private:
    std::vector<unsigned char> bytes_;
};

// Opcodes -1 to 100 and 8 extreme ones.
std::vector<VstInt32> sweepOpcodes();

// "47 effGetVendorString, 48 effGetProductString and 3 more"
std::string opcodeList(const std::vector<VstInt32>& opcodes);

bool sameBits(const AudioData& a, const AudioData& b);

// Parameters or programs beyond this count are not walked one by one.
constexpr VstInt32 kWalkLimit = 1024;

// "parameters set to 0.5 and read back"
std::string parameterVerdict(const char* valueName);
// The verdict of each value name, in order.
std::vector<std::string> parameterVerdicts(std::span<const char* const> valueNames);

// How many parameters a walk covers; 0, with the rest of the check skipped, when there are none.
VstInt32 parametersToWalk(CheckContext& context, const Effect& effect);

// Sets each of the first `count` parameters to `value`, reads it back and calls `after` with its
// index; gives the verdict for `valueName`: every value read back must lie in 0 to 1.
void walkParameters(CheckContext& context, Effect& effect, VstInt32 count, float value,
                    const char* valueName, const std::function<void(VstInt32)>& after = {});

// Streams `input` through the effect in blocks; in place, the output buffers are the input's.
// An instrument reads none of `input`, but its length is the render's all the same.
AudioData processAll(Effect& effect, const AudioData& input, VstInt32 block, bool inPlace);
// Suspends and resumes a running instance, which clears what it keeps of earlier audio.
void reset(Effect& effect);
// A reset, then `input` streamed through in separate buffers.
AudioData renderFromReset(Effect& effect, const AudioData& input, VstInt32 block);

// Where two renders first differ by more than `tolerance`: "channel 0 frame 17: 0.25, then
// 0.5"; empty when they do not.
std::string firstDifference(const AudioData& before, const AudioData& after, float tolerance = 0.0f);
// The first NaN or infinity in `audio`; a subnormal value is no fault here.
SampleFault firstNonFinite(const AudioData& audio);

// A sample or parameter value to the last bit that tells it apart: "0.707106769".
std::string valueText(float value);
// "parameter 3 "Cutoff"", the name escaped as the plug-in's other texts are: it may hold anything.
std::string parameterName(Effect& effect, VstInt32 index);

}  // namespace vsthost
