#pragma once
// One `--param NAME=VALUE` of a render: NAME is a parameter's index or its name (as the plug-in
// tells it, compared without regard to case), VALUE a normalised number from 0 to 1 when it reads
// whole as a number, else a text the plug-in itself turns into a value ("-6 dB"); `text:` before
// a value makes it a text even when it reads as a number. A text is refused when the plug-in
// answers 0, or says it took it but neither changed the value nor shows that number.

#include <string>

#include "AEffect.h"
#include "Effect.h"
#include "Expected.h"

namespace vsthost {

class ParameterSetting {
public:
    static Expected<ParameterSetting> parse(const std::string& text);
    // The index of the parameter `name` stands for in `effect`: digits are an index, anything
    // else a name that exactly one parameter must carry.
    static Expected<VstInt32> find(Effect& effect, const std::string& name);
    static std::string nameOf(Effect& effect, VstInt32 index);

    // Sets the value; fails, in words naming the setting, when the plug-in has no such
    // parameter or refuses the text.
    Expected<bool> apply(Effect& effect) const;
    const std::string& written() const { return written_; }

private:
    bool showsText(Effect& effect, VstInt32 index) const;

    std::string written_;  // as the user wrote it, for the error lines
    std::string name_;
    std::string text_;     // a value in the plug-in's words; empty for a number
    float value_ = 0;
};

}  // namespace vsthost
