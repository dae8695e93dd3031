// The numbers a host and a plug-in built on another copy of the interface must agree on, written
// out here as numbers: a constant changed in the headers compiles everywhere and breaks only
// between binaries, so this file stops the build instead.
#include <cstddef>
#include <iterator>

#include "AEffect.h"
#include "EventRecords.h"
#include "Opcodes.h"
#include "PropertyRecords.h"

namespace {

static_assert(kEffectMagic == 0x56737450);

static_assert(effFlagsHasEditor == 1 && effFlagsHasClip == 2 && effFlagsHasVu == 4 && effFlagsCanMono == 8 &&
              effFlagsCanReplacing == 16 && effFlagsProgramChunks == 32 && effFlagsIsSynth == 256 &&
              effFlagsNoSoundInStop == 512 && effFlagsExtIsAsync == 1024 && effFlagsExtHasBuffer == 2048 &&
              effFlagsCanDoubleReplacing == 4096);

static_assert(kVstTransportChanged == 1 && kVstTransportPlaying == 2 && kVstTransportCycleActive == 4 &&
              kVstTransportRecording == 8 && kVstAutomationWriting == 64 && kVstAutomationReading == 128 &&
              kVstNanosValid == 256 && kVstPpqPosValid == 512 && kVstTempoValid == 1024 && kVstBarsValid == 2048 &&
              kVstCyclePosValid == 4096 && kVstTimeSigValid == 8192 && kVstSmpteValid == 16384 &&
              kVstClockValid == 32768);

static_assert(kVstMidiType == 1 && kVstSysExType == 6 && kVstMidiEventIsRealtime == 1);

static_assert(vsthost::PinProperties::kIsActive == 1 && vsthost::PinProperties::kIsStereo == 2 &&
              vsthost::PinProperties::kUseSpeaker == 4);
static_assert(vsthost::ParameterProperties::kIsSwitch == 1 && vsthost::ParameterProperties::kUsesIntegerMinMax == 2 &&
              vsthost::ParameterProperties::kUsesFloatStep == 4 && vsthost::ParameterProperties::kUsesIntStep == 8 &&
              vsthost::ParameterProperties::kSupportsDisplayIndex == 16 &&
              vsthost::ParameterProperties::kSupportsDisplayCategory == 32 &&
              vsthost::ParameterProperties::kCanRamp == 64);

// Effect opcodes run from 0 to 79 without a gap, in this order.
constexpr EffectOpcode kEffectOpcodes[] = {
    effOpen, effClose, effSetProgram, effGetProgram, effSetProgramName, effGetProgramName, effGetParamLabel,
    effGetParamDisplay, effGetParamName, effLegacyGetVu, effSetSampleRate, effSetBlockSize, effMainsChanged,
    effEditGetRect, effEditOpen, effEditClose, effLegacyEditDraw, effLegacyEditMouse, effLegacyEditKey,
    effEditIdle, effLegacyEditTop, effLegacyEditSleep, effLegacyIdentify, effGetChunk, effSetChunk,
    effProcessEvents, effCanBeAutomated, effString2Parameter, effLegacyGetNumProgramCategories,
    effGetProgramNameIndexed, effLegacyCopyProgram, effLegacyConnectInput, effLegacyConnectOutput,
    effGetInputProperties, effGetOutputProperties, effGetPlugCategory, effLegacyGetCurrentPosition,
    effLegacyGetDestinationBuffer, effOfflineNotify, effOfflinePrepare, effOfflineRun, effProcessVarIo,
    effSetSpeakerArrangement, effLegacySetBlockSizeAndSampleRate, effSetBypass, effGetEffectName,
    effLegacyGetErrorText, effGetVendorString, effGetProductString, effGetVendorVersion, effVendorSpecific,
    effCanDo, effGetTailSize, effLegacyIdle, effLegacyGetIcon, effLegacySetViewPosition,
    effGetParameterProperties, effLegacyKeysRequired, effGetVstVersion, effEditKeyDown, effEditKeyUp,
    effSetEditKnobMode, effGetMidiProgramName, effGetCurrentMidiProgram, effGetMidiProgramCategory,
    effHasMidiProgramsChanged, effGetMidiKeyName, effBeginSetProgram, effEndSetProgram,
    effGetSpeakerArrangement, effShellGetNextPlugin, effStartProcess, effStopProcess,
    effSetTotalSampleToProcess, effSetPanLaw, effBeginLoadBank, effBeginLoadProgram, effSetProcessPrecision,
    effGetNumMidiInputChannels, effGetNumMidiOutputChannels};
constexpr bool numberedInOrder() {
    for (std::size_t i = 0; i < std::size(kEffectOpcodes); ++i) {
        if (kEffectOpcodes[i] != static_cast<VstInt32>(i)) return false;
    }
    return std::size(kEffectOpcodes) == 80;
}
static_assert(numberedInOrder());

// Host opcodes: 5, 9 and 36 are retired.
static_assert(audioMasterAutomate == 0 && audioMasterVersion == 1 && audioMasterCurrentId == 2 && audioMasterIdle == 3 &&
              audioMasterLegacyPinConnected == 4 && audioMasterLegacyWantMidi == 6 && audioMasterGetTime == 7 &&
              audioMasterProcessEvents == 8 && audioMasterLegacyTempoAt == 10 &&
              audioMasterLegacyGetNumAutomatableParameters == 11 && audioMasterLegacyGetParameterQuantization == 12 &&
              audioMasterIOChanged == 13 && audioMasterLegacyNeedIdle == 14 && audioMasterSizeWindow == 15 &&
              audioMasterGetSampleRate == 16 && audioMasterGetBlockSize == 17 && audioMasterGetInputLatency == 18 &&
              audioMasterGetOutputLatency == 19 && audioMasterLegacyGetPreviousPlug == 20 &&
              audioMasterLegacyGetNextPlug == 21 && audioMasterLegacyWillReplaceOrAccumulate == 22 &&
              audioMasterGetCurrentProcessLevel == 23 && audioMasterGetAutomationState == 24 &&
              audioMasterOfflineStart == 25 && audioMasterOfflineRead == 26 && audioMasterOfflineWrite == 27 &&
              audioMasterOfflineGetCurrentPass == 28 && audioMasterOfflineGetCurrentMetaPass == 29 &&
              audioMasterLegacySetOutputSampleRate == 30 && audioMasterLegacyGetOutputSpeakerArrangement == 31 &&
              audioMasterGetVendorString == 32 && audioMasterGetProductString == 33 &&
              audioMasterGetVendorVersion == 34 && audioMasterVendorSpecific == 35 && audioMasterCanDo == 37 &&
              audioMasterGetLanguage == 38 && audioMasterLegacyOpenWindow == 39 && audioMasterLegacyCloseWindow == 40 &&
              audioMasterGetDirectory == 41 && audioMasterUpdateDisplay == 42 && audioMasterBeginEdit == 43 &&
              audioMasterEndEdit == 44 && audioMasterOpenFileSelector == 45 && audioMasterCloseFileSelector == 46 &&
              audioMasterLegacyEditFile == 47 && audioMasterLegacyGetChunkFile == 48 &&
              audioMasterLegacyGetInputSpeakerArrangement == 49);

static_assert(kLegacyIdentifyAnswer == 0x4E764566);  // 'NvEf'

}  // namespace
