#include "OpcodeNames.h"

#include <array>
#include <string_view>

namespace vsthost {

namespace {

constexpr std::array<std::string_view, 50> kHostNames = {
    "audioMasterAutomate", "audioMasterVersion", "audioMasterCurrentId", "audioMasterIdle",
    "audioMasterPinConnected", "", "audioMasterWantMidi", "audioMasterGetTime",
    "audioMasterProcessEvents", "", "audioMasterTempoAt", "audioMasterGetNumAutomatableParameters",
    "audioMasterGetParameterQuantization", "audioMasterIOChanged", "audioMasterNeedIdle",
    "audioMasterSizeWindow", "audioMasterGetSampleRate", "audioMasterGetBlockSize",
    "audioMasterGetInputLatency", "audioMasterGetOutputLatency", "audioMasterGetPreviousPlug",
    "audioMasterGetNextPlug", "audioMasterWillReplaceOrAccumulate",
    "audioMasterGetCurrentProcessLevel", "audioMasterGetAutomationState",
    "audioMasterOfflineStart", "audioMasterOfflineRead", "audioMasterOfflineWrite",
    "audioMasterOfflineGetCurrentPass", "audioMasterOfflineGetCurrentMetaPass",
    "audioMasterSetOutputSampleRate", "audioMasterGetOutputSpeakerArrangement",
    "audioMasterGetVendorString", "audioMasterGetProductString", "audioMasterGetVendorVersion",
    "audioMasterVendorSpecific", "", "audioMasterCanDo", "audioMasterGetLanguage",
    "audioMasterOpenWindow", "audioMasterCloseWindow", "audioMasterGetDirectory",
    "audioMasterUpdateDisplay", "audioMasterBeginEdit", "audioMasterEndEdit",
    "audioMasterOpenFileSelector", "audioMasterCloseFileSelector", "audioMasterEditFile",
    "audioMasterGetChunkFile", "audioMasterGetInputSpeakerArrangement",
};

constexpr std::array<std::string_view, 80> kEffectNames = {
    "effOpen", "effClose", "effSetProgram", "effGetProgram", "effSetProgramName",
    "effGetProgramName", "effGetParamLabel", "effGetParamDisplay", "effGetParamName",
    "effGetVu", "effSetSampleRate", "effSetBlockSize", "effMainsChanged", "effEditGetRect",
    "effEditOpen", "effEditClose", "effEditDraw", "effEditMouse", "effEditKey", "effEditIdle",
    "effEditTop", "effEditSleep", "effIdentify", "effGetChunk", "effSetChunk",
    "effProcessEvents", "effCanBeAutomated", "effString2Parameter", "effGetNumProgramCategories",
    "effGetProgramNameIndexed", "effCopyProgram", "effConnectInput", "effConnectOutput",
    "effGetInputProperties", "effGetOutputProperties", "effGetPlugCategory",
    "effGetCurrentPosition", "effGetDestinationBuffer", "effOfflineNotify", "effOfflinePrepare",
    "effOfflineRun", "effProcessVarIo", "effSetSpeakerArrangement",
    "effSetBlockSizeAndSampleRate", "effSetBypass", "effGetEffectName", "effGetErrorText",
    "effGetVendorString", "effGetProductString", "effGetVendorVersion", "effVendorSpecific",
    "effCanDo", "effGetTailSize", "effIdle", "effGetIcon", "effSetViewPosition",
    "effGetParameterProperties", "effKeysRequired", "effGetVstVersion", "effEditKeyDown",
    "effEditKeyUp", "effSetEditKnobMode", "effGetMidiProgramName", "effGetCurrentMidiProgram",
    "effGetMidiProgramCategory", "effHasMidiProgramsChanged", "effGetMidiKeyName",
    "effBeginSetProgram", "effEndSetProgram", "effGetSpeakerArrangement",
    "effShellGetNextPlugin", "effStartProcess", "effStopProcess", "effSetTotalSampleToProcess",
    "effSetPanLaw", "effBeginLoadBank", "effBeginLoadProgram", "effSetProcessPrecision",
    "effGetNumMidiInputChannels", "effGetNumMidiOutputChannels",
};

template <std::size_t N>
std::string lookUp(const std::array<std::string_view, N>& names, VstInt32 opcode,
                   const char* fallback) {
    if (opcode >= 0 && static_cast<std::size_t>(opcode) < N && !names[opcode].empty()) {
        return std::string(names[opcode]);
    }
    return fallback + std::to_string(opcode);
}

}  // namespace

std::string hostOpcodeName(VstInt32 opcode) { return lookUp(kHostNames, opcode, "hostOpcode"); }

const char* hostOpcodeLiteral(VstInt32 opcode) {
    if (opcode >= 0 && static_cast<std::size_t>(opcode) < kHostNames.size() && !kHostNames[opcode].empty()) {
        return kHostNames[opcode].data();
    }
    return "a host call without a name";
}

std::string effectOpcodeName(VstInt32 opcode) {
    return lookUp(kEffectNames, opcode, "effectOpcode");
}

}  // namespace vsthost
