#include "AudioEffect.h"

#include <cmath>
#include <cstring>

#include "AEffEditor.h"
#include "NumberText.h"
#include "Opcodes.h"
#include "RecordEntries.h"

namespace {

constexpr VstInt32 kDefaultUniqueId = fourCharacters('N', 'o', 'E', 'f');

void writeEmptyText(char* text) { text[0] = '\0'; }

}  // namespace

AudioEffect::AudioEffect(HostCallback host, VstInt32 programCount, VstInt32 parameterCount)
    : hostCallback(host), programCount(programCount), parameterCount(parameterCount) {
    std::memset(&effectRecord, 0, sizeof effectRecord);
    effectRecord.flags = effFlagsCanReplacing;
    effectRecord.ioRatio = 1.0f;
    effectRecord.magic = kEffectMagic;
    effectRecord.numPrograms = programCount;
    effectRecord.numParams = parameterCount;
    effectRecord.numInputs = 1;
    effectRecord.numOutputs = 2;
    effectRecord.dispatcher = dispatchEntry;
    effectRecord.process = processEntry;
    effectRecord.setParameter = setParameterEntry;
    effectRecord.getParameter = getParameterEntry;
    effectRecord.processReplacing = processReplacingEntry;
    effectRecord.processDoubleReplacing = processDoubleReplacingEntry;
    effectRecord.object = this;
    effectRecord.uniqueID = kDefaultUniqueId;
    effectRecord.version = 1;
}

AudioEffect::~AudioEffect() { delete editor; }

VstIntPtr AudioEffect::dispatcher(VstInt32 opcode, VstInt32 index, VstIntPtr value, void* ptr,
                                  float opt) {
    // Opcodes that store through `ptr` refuse a null one rather than crash the host.
    auto* text = static_cast<char*>(ptr);
    switch (opcode) {
    case effOpen: open(); return 0;
    case effClose: close(); return 0;
    case effSetProgram:
        if (value >= 0 && value < programCount) setProgram(static_cast<VstInt32>(value));
        return 0;
    case effGetProgram: return getProgram();
    case effSetProgramName: setProgramName(text); return 0;
    case effGetProgramName:
        if (text) getProgramName(text);
        return 0;
    case effGetParamLabel:
        if (text) getParameterLabel(index, text);
        return 0;
    case effGetParamDisplay:
        if (text) getParameterDisplay(index, text);
        return 0;
    case effGetParamName:
        if (text) getParameterName(index, text);
        return 0;
    case effSetSampleRate: setSampleRate(opt); return 0;
    case effSetBlockSize: setBlockSize(static_cast<VstInt32>(value)); return 0;
    case effMainsChanged:
        if (value == 0) suspend(); else resume();
        return 0;
    case effEditGetRect:
        return editor && ptr && editor->getRect(static_cast<ERect**>(ptr)) ? 1 : 0;
    case effEditOpen: return editor && editor->open(ptr) ? 1 : 0;
    case effEditClose:
        if (editor) editor->close();
        return 0;
    case effEditIdle:
        if (editor) editor->idle();
        return 0;
    case effLegacyIdentify: return kLegacyIdentifyAnswer;
    case effGetChunk: return ptr ? getChunk(static_cast<void**>(ptr), index != 0) : 0;
    case effSetChunk: return setChunk(ptr, static_cast<VstInt32>(value), index != 0);
    default: return 0;
    }
}

void AudioEffect::processDoubleReplacing(double**, double**, VstInt32) {}

void AudioEffect::setParameter(VstInt32, float) {}

float AudioEffect::getParameter(VstInt32) { return 0.0f; }

void AudioEffect::setParameterAutomated(VstInt32 index, float value) {
    setParameter(index, value);
    callHost(audioMasterAutomate, index, 0, nullptr, value);
}

void AudioEffect::setProgramName(char*) {}

void AudioEffect::getProgramName(char* name) { writeEmptyText(name); }

void AudioEffect::getParameterLabel(VstInt32, char* text) { writeEmptyText(text); }

void AudioEffect::getParameterDisplay(VstInt32, char* text) { writeEmptyText(text); }

void AudioEffect::getParameterName(VstInt32, char* text) { writeEmptyText(text); }

VstInt32 AudioEffect::getChunk(void**, bool) { return 0; }

VstInt32 AudioEffect::setChunk(void*, VstInt32, bool) { return 0; }

VstIntPtr AudioEffect::getHostVersion() {
    const VstIntPtr version = callHost(audioMasterVersion, 0, 0, nullptr, 0.0f, 1);
    return version == 0 ? 1 : version;
}

VstIntPtr AudioEffect::getCurrentUniqueId() {
    return callHost(audioMasterCurrentId, 0, 0, nullptr, 0.0f);
}

void AudioEffect::hostIdle() { callHost(audioMasterIdle, 0, 0, nullptr, 0.0f); }

void AudioEffect::formatDecibels(float value, char* text, VstInt32 maxLen) {
    if (value <= 0.0f) return number_text::writeCut("-oo", text, maxLen);
    const float logarithm = static_cast<float>(std::log10(static_cast<double>(value)));
    formatFloat(static_cast<float>(20.0 * logarithm), text, maxLen);
}

void AudioEffect::formatHertz(float samples, char* text, VstInt32 maxLen) {
    const float rate = getSampleRate();
    formatFloat(samples == 0.0f ? 0.0f : rate / samples, text, maxLen);
}

void AudioEffect::formatMilliseconds(float samples, char* text, VstInt32 maxLen) {
    const double milliseconds = static_cast<double>(samples) * 1000.0 / getSampleRate();
    formatFloat(static_cast<float>(milliseconds), text, maxLen);
}

void AudioEffect::formatFloat(float value, char* text, VstInt32 maxLen) {
    number_text::writeFloat(value, text, maxLen);
}

void AudioEffect::formatInteger(VstInt32 value, char* text, VstInt32 maxLen) {
    number_text::writeInteger(value, text, maxLen);
}

void AudioEffect::process(float**, float**, VstInt32) {}

bool AudioEffect::isInputConnected(VstInt32 index) {
    return callHost(audioMasterLegacyPinConnected, index, 0, nullptr, 0.0f) == 0;
}

bool AudioEffect::isOutputConnected(VstInt32 index) {
    return callHost(audioMasterLegacyPinConnected, index, 1, nullptr, 0.0f) == 0;
}

void AudioEffect::setEditor(AEffEditor* newEditor) {
    editor = newEditor;
    setFlag(effFlagsHasEditor, true);
}

void AudioEffect::setFlag(VstInt32 bit, bool state) {
    if (state) {
        effectRecord.flags |= bit;
    } else {
        effectRecord.flags &= ~bit;
    }
}

VstIntPtr AudioEffect::callHost(VstInt32 opcode, VstInt32 index, VstIntPtr value, void* ptr,
                                float opt, VstIntPtr fallback) {
    if (hostCallback == nullptr) return fallback;
    return hostCallback(&effectRecord, opcode, index, value, ptr, opt);
}
