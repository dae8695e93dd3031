#include "AudioEffectX.h"

#include <cstdint>
#include <cstdlib>
#include <cstring>

#include "AEffEditor.h"
#include "EditorScaling.h"
#include "Opcodes.h"

namespace {

constexpr VstInt32 kVstVersion = 2400;
constexpr VstInt32 kCategorySynth = 2;

VstIntPtr answer(bool result) { return result ? 1 : 0; }

}  // namespace

VstIntPtr AudioEffectX::dispatcher(VstInt32 opcode, VstInt32 index, VstIntPtr value, void* ptr,
                                   float opt) {
    auto* text = static_cast<char*>(ptr);
    // Opcodes below store through `ptr` (69 through `value` as well) and refuse a null one.
    switch (opcode) {
    case effGetProgramNameIndexed: case effGetInputProperties: case effGetOutputProperties:
    case effOfflineNotify: case effOfflinePrepare: case effOfflineRun: case effProcessVarIo:
    case effGetEffectName: case effGetVendorString: case effGetProductString:
    case effGetParameterProperties: case effGetMidiProgramName:
    case effGetMidiProgramCategory: case effGetMidiKeyName: case effShellGetNextPlugin:
        if (ptr == nullptr) return 0;
        break;
    case effGetCurrentMidiProgram:
        // The answer without a record is the default's: no MIDI programs.
        if (ptr == nullptr) return -1;
        break;
    case effGetSpeakerArrangement:
        if (ptr == nullptr || value == 0) return 0;
        break;
    default: break;
    }

    switch (opcode) {
    case effProcessEvents: return processEvents(static_cast<VstEvents*>(ptr));
    case effCanBeAutomated: return answer(canParameterBeAutomated(index));
    case effString2Parameter: return answer(setParameterFromString(index, text));
    case effGetProgramNameIndexed:
        return answer(getProgramNameIndexed(static_cast<VstInt32>(value), index, text));
    case effGetInputProperties:
        return answer(getInputProperties(index, static_cast<VstPinProperties*>(ptr)));
    case effGetOutputProperties:
        return answer(getOutputProperties(index, static_cast<VstPinProperties*>(ptr)));
    case effGetPlugCategory: return getPlugCategory();
    case effOfflineNotify:
        return answer(offlineNotify(static_cast<VstAudioFile*>(ptr), static_cast<VstInt32>(value),
                                    index != 0));
    case effOfflinePrepare:
        return answer(offlinePrepare(static_cast<VstOfflineTask*>(ptr), static_cast<VstInt32>(value)));
    case effOfflineRun:
        return answer(offlineRun(static_cast<VstOfflineTask*>(ptr), static_cast<VstInt32>(value)));
    case effProcessVarIo: return answer(processVariableIo(static_cast<VstVariableIo*>(ptr)));
    case effSetSpeakerArrangement:
        return answer(setSpeakerArrangement(reinterpret_cast<VstSpeakerArrangement*>(value),
                                            static_cast<VstSpeakerArrangement*>(ptr)));
    case effSetBypass: return answer(setBypass(value != 0));
    case effGetEffectName: return answer(getEffectName(text));
    case effGetVendorString: return answer(getVendorString(text));
    case effGetProductString: return answer(getProductString(text));
    case effGetVendorVersion: return getVendorVersion();
    case effVendorSpecific:
        if (index == kHostScaleIndex && value == kHostScaleValue && takeHostScale(opt)) return 1;
        return vendorSpecific(index, value, ptr, opt);
    case effCanDo:
        if (text && std::strcmp(text, "supportsViewDpiScaling") == 0 && scalingEditor()) return 1;
        return canDo(text);
    case effGetTailSize: return getTailSize();
    case effGetParameterProperties:
        return answer(getParameterProperties(index, static_cast<VstParameterProperties*>(ptr)));
    case effGetVstVersion: return getVstVersion();
    case effEditKeyDown: case effEditKeyUp: return forwardKey(opcode, index, value, opt);
    case effSetEditKnobMode:
        return editor ? answer(editor->setKnobMode(static_cast<VstInt32>(value))) : 0;
    case effGetMidiProgramName:
        return getMidiProgramName(index, static_cast<MidiProgramName*>(ptr));
    case effGetCurrentMidiProgram:
        return getCurrentMidiProgram(index, static_cast<MidiProgramName*>(ptr));
    case effGetMidiProgramCategory:
        return getMidiProgramCategory(index, static_cast<MidiProgramCategory*>(ptr));
    case effHasMidiProgramsChanged: return answer(hasMidiProgramsChanged(index));
    case effGetMidiKeyName: return answer(getMidiKeyName(index, static_cast<MidiKeyName*>(ptr)));
    case effBeginSetProgram: return answer(beginSetProgram());
    case effEndSetProgram: return answer(endSetProgram());
    case effGetSpeakerArrangement:
        return answer(getSpeakerArrangement(reinterpret_cast<VstSpeakerArrangement**>(value),
                                            static_cast<VstSpeakerArrangement**>(ptr)));
    case effShellGetNextPlugin: return getNextShellPlugin(text);
    case effStartProcess: return startProcess();
    case effStopProcess: return stopProcess();
    case effSetTotalSampleToProcess: return setTotalSampleToProcess(value);
    case effSetPanLaw: return answer(setPanLaw(static_cast<VstInt32>(value), opt));
    case effBeginLoadBank: return beginLoadBank(static_cast<VstPatchChunkInfo*>(ptr));
    case effBeginLoadProgram: return beginLoadProgram(static_cast<VstPatchChunkInfo*>(ptr));
    case effSetProcessPrecision: return answer(setProcessPrecision(static_cast<VstInt32>(value)));
    case effGetNumMidiInputChannels: return getNumMidiInputChannels();
    case effGetNumMidiOutputChannels: return getNumMidiOutputChannels();
    default: return AudioEffect::dispatcher(opcode, index, value, ptr, opt);
    }
}

EditorScaling* AudioEffectX::scalingEditor() const { return dynamic_cast<EditorScaling*>(editor); }

bool AudioEffectX::takeHostScale(float factor) {
    EditorScaling* scaling = scalingEditor();
    return scaling && scaling->takeHostScale(factor);
}

VstIntPtr AudioEffectX::forwardKey(VstInt32 opcode, VstInt32 index, VstIntPtr value, float opt) {
    if (editor == nullptr) return 0;
    VstKeyCode key;
    key.character = index;
    key.virt = static_cast<std::uint8_t>(value & 0xFF);
    // Truncation toward zero; values outside the integer range carry no modifier bits.
    const bool representable = opt > -2147483648.0f && opt < 2147483648.0f;
    key.modifier = static_cast<std::uint8_t>(representable ? static_cast<VstInt32>(opt) & 0xFF : 0);
    return answer(opcode == effEditKeyDown ? editor->onKeyDown(key) : editor->onKeyUp(key));
}

void AudioEffectX::resume() {
    static char receiveMidi[] = "receiveVstMidiEvent";
    if (hasFlag(effFlagsIsSynth) || canDo(receiveMidi) == 1) requestMidiEvents(1);
}

bool AudioEffectX::canParameterBeAutomated(VstInt32) { return true; }
bool AudioEffectX::setParameterFromString(VstInt32, char*) { return false; }
bool AudioEffectX::getParameterProperties(VstInt32, VstParameterProperties*) { return false; }
bool AudioEffectX::beginEdit(VstInt32 index) { return hostSays(audioMasterBeginEdit, index); }
bool AudioEffectX::endEdit(VstInt32 index) { return hostSays(audioMasterEndEdit, index); }
bool AudioEffectX::getProgramNameIndexed(VstInt32, VstInt32, char*) { return false; }
bool AudioEffectX::beginSetProgram() { return false; }
bool AudioEffectX::endSetProgram() { return false; }
VstInt32 AudioEffectX::beginLoadBank(VstPatchChunkInfo*) { return 0; }
VstInt32 AudioEffectX::beginLoadProgram(VstPatchChunkInfo*) { return 0; }

bool AudioEffectX::ioChanged() { return hostSays(audioMasterIOChanged); }

float AudioEffectX::updateSampleRate() {
    const VstIntPtr rate = callHost(audioMasterGetSampleRate, 0, 0, nullptr, 0.0f);
    if (rate > 0) sampleRate = static_cast<float>(rate);
    return sampleRate;
}

VstInt32 AudioEffectX::updateBlockSize() {
    const VstIntPtr size = callHost(audioMasterGetBlockSize, 0, 0, nullptr, 0.0f);
    if (size > 0) blockSize = static_cast<VstInt32>(size);
    return blockSize;
}

VstIntPtr AudioEffectX::getInputLatency() {
    return callHost(audioMasterGetInputLatency, 0, 0, nullptr, 0.0f);
}
VstIntPtr AudioEffectX::getOutputLatency() {
    return callHost(audioMasterGetOutputLatency, 0, 0, nullptr, 0.0f);
}
bool AudioEffectX::getInputProperties(VstInt32, VstPinProperties*) { return false; }
bool AudioEffectX::getOutputProperties(VstInt32, VstPinProperties*) { return false; }
bool AudioEffectX::setSpeakerArrangement(VstSpeakerArrangement*, VstSpeakerArrangement*) {
    return false;
}

bool AudioEffectX::getSpeakerArrangement(VstSpeakerArrangement** input,
                                         VstSpeakerArrangement** output) {
    *input = nullptr;
    *output = nullptr;
    return false;
}

bool AudioEffectX::setBypass(bool) { return false; }
bool AudioEffectX::setPanLaw(VstInt32, float) { return false; }
bool AudioEffectX::setProcessPrecision(VstInt32) { return false; }
VstInt32 AudioEffectX::getNumMidiInputChannels() { return 0; }
VstInt32 AudioEffectX::getNumMidiOutputChannels() { return 0; }

VstTimeInfo* AudioEffectX::getTimeInfo(VstInt32 filter) {
    return reinterpret_cast<VstTimeInfo*>(callHost(audioMasterGetTime, 0, filter, nullptr, 0.0f));
}
VstIntPtr AudioEffectX::getCurrentProcessLevel() {
    return callHost(audioMasterGetCurrentProcessLevel, 0, 0, nullptr, 0.0f);
}
VstIntPtr AudioEffectX::getAutomationState() {
    return callHost(audioMasterGetAutomationState, 0, 0, nullptr, 0.0f);
}

VstInt32 AudioEffectX::processEvents(VstEvents*) { return 0; }
VstInt32 AudioEffectX::startProcess() { return 0; }
VstInt32 AudioEffectX::stopProcess() { return 0; }
bool AudioEffectX::processVariableIo(VstVariableIo*) { return false; }
VstIntPtr AudioEffectX::setTotalSampleToProcess(VstIntPtr value) { return value; }

bool AudioEffectX::getHostVendorString(char* text) {
    return hostSays(audioMasterGetVendorString, 0, 0, text);
}
bool AudioEffectX::getHostProductString(char* text) {
    return hostSays(audioMasterGetProductString, 0, 0, text);
}
VstIntPtr AudioEffectX::getHostVendorVersion() {
    return callHost(audioMasterGetVendorVersion, 0, 0, nullptr, 0.0f);
}
VstIntPtr AudioEffectX::hostVendorSpecific(VstInt32 index, VstIntPtr value, void* ptr, float opt) {
    return callHost(audioMasterVendorSpecific, index, value, ptr, opt);
}
VstInt32 AudioEffectX::canHostDo(char* text) { return hostSays(audioMasterCanDo, 0, 0, text) ? 1 : 0; }
VstIntPtr AudioEffectX::getHostLanguage() {
    return callHost(audioMasterGetLanguage, 0, 0, nullptr, 0.0f);
}

VstIntPtr AudioEffectX::getTailSize() { return 0; }
void* AudioEffectX::getDirectory() {
    return reinterpret_cast<void*>(callHost(audioMasterGetDirectory, 0, 0, nullptr, 0.0f));
}

bool AudioEffectX::getEffectName(char*) { return false; }
bool AudioEffectX::getVendorString(char*) { return false; }
bool AudioEffectX::getProductString(char*) { return false; }
VstInt32 AudioEffectX::getVendorVersion() { return 0; }
VstIntPtr AudioEffectX::vendorSpecific(VstInt32, VstIntPtr, void*, float) { return 0; }
VstInt32 AudioEffectX::canDo(char*) { return 0; }
VstInt32 AudioEffectX::getVstVersion() { return kVstVersion; }
VstInt32 AudioEffectX::getPlugCategory() { return hasFlag(effFlagsIsSynth) ? kCategorySynth : 0; }

VstInt32 AudioEffectX::getMidiProgramName(VstInt32, MidiProgramName*) { return 0; }
VstInt32 AudioEffectX::getCurrentMidiProgram(VstInt32, MidiProgramName*) { return -1; }
VstInt32 AudioEffectX::getMidiProgramCategory(VstInt32, MidiProgramCategory*) { return 0; }
bool AudioEffectX::hasMidiProgramsChanged(VstInt32) { return false; }
bool AudioEffectX::getMidiKeyName(VstInt32, MidiKeyName*) { return false; }

bool AudioEffectX::updateDisplay() { return hostSays(audioMasterUpdateDisplay); }
bool AudioEffectX::sizeWindow(VstInt32 width, VstInt32 height) {
    return hostSays(audioMasterSizeWindow, width, height);
}
bool AudioEffectX::openFileSelector(VstFileSelect* record) {
    return record != nullptr && hostSays(audioMasterOpenFileSelector, 0, 0, record);
}
bool AudioEffectX::closeFileSelector(VstFileSelect* record) {
    return record != nullptr && hostSays(audioMasterCloseFileSelector, 0, 0, record);
}
VstInt32 AudioEffectX::getNextShellPlugin(char*) { return 0; }

bool AudioEffectX::allocateArrangement(VstSpeakerArrangement** arrangement, VstInt32 channels) {
    constexpr std::size_t kHeader = sizeof(VstSpeakerArrangement);
    constexpr std::size_t kSpeaker = sizeof(VstSpeakerProperties);
    if (arrangement == nullptr) return false;
    deallocateArrangement(arrangement);
    // A count that cannot describe a block fails like an allocation would: the address stays null.
    if (channels < 0 || static_cast<std::size_t>(channels) > (SIZE_MAX - kHeader) / kSpeaker) {
        return false;
    }
    void* block = std::calloc(1, kHeader + kSpeaker * static_cast<std::size_t>(channels));
    if (block == nullptr) return false;
    *arrangement = static_cast<VstSpeakerArrangement*>(block);
    (*arrangement)->numChannels = channels;
    return true;
}

bool AudioEffectX::deallocateArrangement(VstSpeakerArrangement** arrangement) {
    if (arrangement != nullptr && *arrangement != nullptr) {
        std::free(*arrangement);
        *arrangement = nullptr;
    }
    return true;
}

bool AudioEffectX::copySpeaker(VstSpeakerProperties* to, VstSpeakerProperties* from) {
    if (to == nullptr || from == nullptr) return false;
    char name[kSpeakerNameSize] = {};
    for (int i = 0; i < kSpeakerNameSize - 1 && from->name[i] != '\0'; ++i) name[i] = from->name[i];
    std::memcpy(to->name, name, sizeof name);
    to->type = from->type;
    to->azimuth = from->azimuth;
    to->elevation = from->elevation;
    to->radius = from->radius;
    to->reserved = from->reserved;
    std::memcpy(to->future, from->future, sizeof to->future);
    return true;
}

bool AudioEffectX::matchArrangement(VstSpeakerArrangement** to, VstSpeakerArrangement* from) {
    if (from == nullptr) return false;
    // Matching an arrangement to itself: the source must outlive the copy made from it.
    VstSpeakerArrangement* source = nullptr;
    if (to != nullptr && *to == from) {
        source = from;
        *to = nullptr;
    }
    const bool matched = copyArrangement(to, from);
    deallocateArrangement(&source);
    return matched;
}

bool AudioEffectX::copyArrangement(VstSpeakerArrangement** to, VstSpeakerArrangement* from) {
    if (!deallocateArrangement(to) || !allocateArrangement(to, from->numChannels)) return false;
    (*to)->type = from->type;
    for (VstInt32 channel = 0; channel < (*to)->numChannels; ++channel) {
        if (!copySpeaker(speakerOf(*to, channel), speakerOf(from, channel))) return false;
    }
    return true;
}

bool AudioEffectX::offlineRead(VstOfflineTask* task, VstInt32 option, bool readSource) {
    return hostSays(audioMasterOfflineRead, readSource ? 1 : 0, option, task);
}
bool AudioEffectX::offlineWrite(VstOfflineTask* task, VstInt32 option) {
    return hostSays(audioMasterOfflineWrite, 0, option, task);
}
bool AudioEffectX::offlineStart(VstAudioFile* files, VstInt32 fileCount, VstInt32 newFileCount) {
    return hostSays(audioMasterOfflineStart, newFileCount, fileCount, files);
}
VstInt32 AudioEffectX::offlineGetCurrentPass() {
    return hostSays(audioMasterOfflineGetCurrentPass) ? 1 : 0;
}
VstInt32 AudioEffectX::offlineGetCurrentMetaPass() {
    return hostSays(audioMasterOfflineGetCurrentMetaPass) ? 1 : 0;
}
bool AudioEffectX::offlineNotify(VstAudioFile*, VstInt32, bool) { return false; }
bool AudioEffectX::offlinePrepare(VstOfflineTask*, VstInt32) { return false; }
bool AudioEffectX::offlineRun(VstOfflineTask*, VstInt32) { return false; }
VstInt32 AudioEffectX::offlineQueryA() { return 0; }
VstInt32 AudioEffectX::offlineQueryB() { return 0; }

void AudioEffectX::requestMidiEvents(VstInt32 filter) {
    callHost(audioMasterLegacyWantMidi, 0, filter, nullptr, 0.0f);
}
VstIntPtr AudioEffectX::getHostTempoAt(VstInt32 position) {
    return callHost(audioMasterLegacyTempoAt, 0, position, nullptr, 0.0f);
}
VstIntPtr AudioEffectX::getHostAutomatableCount() {
    return callHost(audioMasterLegacyGetNumAutomatableParameters, 0, 0, nullptr, 0.0f);
}
VstIntPtr AudioEffectX::getHostParameterQuantization() {
    return callHost(audioMasterLegacyGetParameterQuantization, 0, 0, nullptr, 0.0f);
}
VstInt32 AudioEffectX::legacyCountQuery() { return 1; }
bool AudioEffectX::legacyProgramQuery(VstInt32) { return false; }
bool AudioEffectX::requestIdle() { return hostSays(audioMasterLegacyNeedIdle); }
AEffect* AudioEffectX::getPreviousEffect(VstInt32) {
    return reinterpret_cast<AEffect*>(callHost(audioMasterLegacyGetPreviousPlug, 0, 0, nullptr, 0.0f));
}
AEffect* AudioEffectX::getNextEffect(VstInt32) {
    return reinterpret_cast<AEffect*>(callHost(audioMasterLegacyGetNextPlug, 0, 0, nullptr, 0.0f));
}
void AudioEffectX::legacyInputNotice(VstInt32, bool) {}
void AudioEffectX::legacyOutputNotice(VstInt32, bool) {}
VstIntPtr AudioEffectX::getHostReplaceOrAccumulate() {
    return callHost(audioMasterLegacyWillReplaceOrAccumulate, 0, 0, nullptr, 0.0f);
}
VstInt32 AudioEffectX::legacyPositionQuery() { return 0; }
void* AudioEffectX::legacyBufferQuery() { return nullptr; }
void AudioEffectX::setHostOutputSampleRate(float rate) {
    callHost(audioMasterLegacySetOutputSampleRate, 0, 0, nullptr, rate);
}
VstSpeakerArrangement* AudioEffectX::getHostInputArrangement() {
    return reinterpret_cast<VstSpeakerArrangement*>(
        callHost(audioMasterLegacyGetInputSpeakerArrangement, 0, 0, nullptr, 0.0f));
}
VstSpeakerArrangement* AudioEffectX::getHostOutputArrangement() {
    return reinterpret_cast<VstSpeakerArrangement*>(
        callHost(audioMasterLegacyGetOutputSpeakerArrangement, 0, 0, nullptr, 0.0f));
}
void* AudioEffectX::openHostWindow(void* window) {
    return reinterpret_cast<void*>(callHost(audioMasterLegacyOpenWindow, 0, 0, window, 0.0f));
}
bool AudioEffectX::closeHostWindow(void* window) {
    return hostSays(audioMasterLegacyCloseWindow, 0, 0, window);
}
void AudioEffectX::setBlockSizeAndSampleRate(VstInt32 newBlockSize, float newSampleRate) {
    blockSize = newBlockSize;
    sampleRate = newSampleRate;
}
bool AudioEffectX::legacyTextQuery(char*) { return false; }
void* AudioEffectX::legacyPointerQuery() { return nullptr; }
bool AudioEffectX::legacyPositionSetter(VstInt32, VstInt32) { return false; }
VstInt32 AudioEffectX::legacyIdleQuery() { return 0; }
bool AudioEffectX::legacyFlagQuery() { return false; }
bool AudioEffectX::getChunkFile(void* path) {
    return path != nullptr && hostSays(audioMasterLegacyGetChunkFile, 0, 0, path);
}

bool AudioEffectX::hostSays(VstInt32 opcode, VstInt32 index, VstIntPtr value, void* ptr, float opt) {
    return callHost(opcode, index, value, ptr, opt) != 0;
}
