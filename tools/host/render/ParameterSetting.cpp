#include "ParameterSetting.h"

#include <algorithm>
#include <cctype>
#include <cmath>
#include <cstdlib>

#include "Opcodes.h"

namespace vsthost {

namespace {

constexpr const char* kTextPrefix = "text:";

std::string trimmed(const std::string& text) {
    const auto first = text.find_first_not_of(" \t");
    if (first == std::string::npos) return {};
    return text.substr(first, text.find_last_not_of(" \t") + 1 - first);
}

std::string folded(std::string text) {
    std::transform(text.begin(), text.end(), text.begin(),
                   [](unsigned char c) { return static_cast<char>(std::tolower(c)); });
    return text;
}

bool allDigits(const std::string& text) {
    return !text.empty() && std::all_of(text.begin(), text.end(), [](unsigned char c) { return std::isdigit(c); });
}

}  // namespace

Expected<ParameterSetting> ParameterSetting::parse(const std::string& text) {
    const auto equals = text.find('=');
    ParameterSetting setting;
    setting.written_ = text;
    if (equals == std::string::npos || equals == 0 || equals + 1 == text.size()) {
        return Error{"--param wants NAME=VALUE, not '" + text + "'"};
    }
    setting.name_ = text.substr(0, equals);
    const std::string value = text.substr(equals + 1);
    if (value.starts_with(kTextPrefix)) {
        setting.text_ = value.substr(std::string(kTextPrefix).size());
        if (setting.text_.empty()) return Error{"--param " + text + ": an empty text"};
        return setting;
    }
    char* end = nullptr;
    const double number = std::strtod(value.c_str(), &end);
    if (*end != '\0' || std::isspace(static_cast<unsigned char>(value.front()))) {
        setting.text_ = value;
        return setting;
    }
    if (!(number >= 0 && number <= 1)) {
        return Error{"--param " + text + ": a number must lie from 0 to 1 (a text such as \"-6 dB\" the plug-in reads)"};
    }
    setting.value_ = static_cast<float>(number);
    return setting;
}

std::string ParameterSetting::nameOf(Effect& effect, VstInt32 index) {
    return trimmed(effect.text(effGetParamName, index));
}

Expected<VstInt32> ParameterSetting::find(Effect& effect, const std::string& name) {
    const VstInt32 count = effect.record().numParams;
    if (allDigits(name)) {
        const long index = name.size() > 9 ? count : std::atol(name.c_str());
        if (index >= count) {
            return Error{"no parameter " + name + ": the plug-in has " + std::to_string(count)};
        }
        return static_cast<VstInt32>(index);
    }
    VstInt32 found = -1;
    for (VstInt32 index = 0; index < count; ++index) {
        if (folded(nameOf(effect, index)) != folded(trimmed(name))) continue;
        if (found >= 0) {
            return Error{"'" + name + "' is ambiguous: parameters " + std::to_string(found) + " and " +
                         std::to_string(index) + " have that name; give the index"};
        }
        found = index;
    }
    if (found < 0) return Error{"no parameter named '" + name + "'"};
    return found;
}

// Whether the parameter's display reads as the text did, for a plug-in that says it took a
// text but kept its value: right when the value was that already, wrong when it ignored the
// text. Only numbers compare; a text without one cannot show it wrong.
bool ParameterSetting::showsText(Effect& effect, VstInt32 index) const {
    char* end = nullptr;
    const double asked = std::strtod(text_.c_str(), &end);
    if (end == text_.c_str()) return true;
    const std::string display = effect.text(effGetParamDisplay, index);
    const double shown = std::strtod(display.c_str(), &end);
    return end != display.c_str() && std::fabs(shown - asked) <= 1e-3 * std::max(1.0, std::fabs(asked));
}

Expected<bool> ParameterSetting::apply(Effect& effect) const {
    const auto index = find(effect, name_);
    if (!index) return Error{"--param " + written_ + ": " + index.error()};
    if (text_.empty()) {
        effect.setParameter(*index, value_);
        return true;
    }
    // The plug-in reads the text from a buffer of its own size, which it may not overrun.
    std::string buffer = text_;
    buffer.resize(std::max<std::size_t>(buffer.size() + 1, Effect::kTextBufferSize), '\0');
    const float before = effect.getParameter(*index);
    const bool answered = effect.dispatch(effString2Parameter, *index, 0, buffer.data()) != 0;
    if (!answered || (effect.getParameter(*index) == before && !showsText(effect, *index))) {
        return Error{"--param " + written_ + ": the plug-in does not take \"" + text_ + "\" for parameter " +
                     std::to_string(*index) + " '" + nameOf(effect, *index) + "' (give a number from 0 to 1)"};
    }
    return true;
}

}  // namespace vsthost
