#pragma once
// Extended effect: answers effect opcodes 25 to 79, gives each a default, and wraps host
// opcodes 6 to 49 in services. Threads as for AudioEffect: opcodes arrive on the host's
// user-interface thread unless the host says otherwise. Services are for that thread too, but
// for the three marked "audio thread too", which a processing call may ask: a tempo-synced
// effect asks the time info from `processReplacing`, where it describes the block at hand.

#include "AudioEffect.h"
#include "HostRecords.h"

class EditorScaling;

class AudioEffectX : public AudioEffect {
public:
    AudioEffectX(HostCallback host, VstInt32 programCount, VstInt32 parameterCount)
        : AudioEffect(host, programCount, parameterCount) {}

    // Answers opcodes 25 to 79 and hands the rest to AudioEffect::dispatcher.
    VstIntPtr dispatcher(VstInt32 opcode, VstInt32 index, VstIntPtr value, void* ptr,
                         float opt) override;
    // Asks the host for MIDI when the effect is a synth or can receive MIDI events.
    void resume() override;

    // Parameters and programs.
    virtual bool canParameterBeAutomated(VstInt32 index);
    virtual bool setParameterFromString(VstInt32 index, char* text);
    virtual bool getParameterProperties(VstInt32 index, VstParameterProperties* record);
    virtual bool beginEdit(VstInt32 index);  // host opcode 43
    virtual bool endEdit(VstInt32 index);    // host opcode 44
    virtual bool getProgramNameIndexed(VstInt32 category, VstInt32 index, char* text);
    virtual bool beginSetProgram();
    virtual bool endSetProgram();
    virtual VstInt32 beginLoadBank(VstPatchChunkInfo* record);
    virtual VstInt32 beginLoadProgram(VstPatchChunkInfo* record);

    // Connections, timing and precision.
    virtual bool ioChanged();               // host opcode 13
    virtual float updateSampleRate();       // host opcode 16; keeps a positive answer
    virtual VstInt32 updateBlockSize();     // host opcode 17; keeps a positive answer
    virtual VstIntPtr getInputLatency();    // host opcode 18
    virtual VstIntPtr getOutputLatency();   // host opcode 19
    virtual bool getInputProperties(VstInt32 index, VstPinProperties* record);
    virtual bool getOutputProperties(VstInt32 index, VstPinProperties* record);
    virtual bool setSpeakerArrangement(VstSpeakerArrangement* input, VstSpeakerArrangement* output);
    // Stores the effect's arrangements at both addresses; the defaults have none.
    virtual bool getSpeakerArrangement(VstSpeakerArrangement** input,
                                       VstSpeakerArrangement** output);
    virtual bool setBypass(bool state);
    virtual bool setPanLaw(VstInt32 type, float value);
    virtual bool setProcessPrecision(VstInt32 precision);
    virtual VstInt32 getNumMidiInputChannels();
    virtual VstInt32 getNumMidiOutputChannels();
    // Host opcode 7; audio thread too. The host's record, valid until the next call; null when
    // the host keeps no transport.
    virtual VstTimeInfo* getTimeInfo(VstInt32 filter);
    virtual VstIntPtr getCurrentProcessLevel();  // host opcode 23; audio thread too
    virtual VstIntPtr getAutomationState();      // host opcode 24; audio thread too

    // Events and processing control.
    virtual VstInt32 processEvents(VstEvents* record);
    virtual VstInt32 startProcess();
    virtual VstInt32 stopProcess();
    virtual bool processVariableIo(VstVariableIo* record);
    virtual VstIntPtr setTotalSampleToProcess(VstIntPtr value);

    // The host's identity and capabilities.
    virtual bool getHostVendorString(char* text);   // host opcode 32
    virtual bool getHostProductString(char* text);  // host opcode 33
    virtual VstIntPtr getHostVendorVersion();       // host opcode 34
    virtual VstIntPtr hostVendorSpecific(VstInt32 index, VstIntPtr value, void* ptr, float opt);
    virtual VstInt32 canHostDo(char* text);         // host opcode 37; 1 for any nonzero answer
    virtual VstIntPtr getHostLanguage();            // host opcode 38

    virtual void setIsSynth(bool state) { setFlag(effFlagsIsSynth, state); }
    virtual void setNoSoundInStop(bool state) { setFlag(effFlagsNoSoundInStop, state); }
    virtual VstIntPtr getTailSize();
    virtual void* getDirectory();  // host opcode 41

    // The effect's identity and capabilities.
    virtual bool getEffectName(char* text);
    virtual bool getVendorString(char* text);
    virtual bool getProductString(char* text);
    virtual VstInt32 getVendorVersion();
    virtual VstIntPtr vendorSpecific(VstInt32 index, VstIntPtr value, void* ptr, float opt);
    virtual VstInt32 canDo(char* text);
    virtual VstInt32 getVstVersion();
    virtual VstInt32 getPlugCategory();

    // MIDI programs.
    virtual VstInt32 getMidiProgramName(VstInt32 channel, MidiProgramName* record);
    virtual VstInt32 getCurrentMidiProgram(VstInt32 channel, MidiProgramName* record);
    virtual VstInt32 getMidiProgramCategory(VstInt32 channel, MidiProgramCategory* record);
    virtual bool hasMidiProgramsChanged(VstInt32 channel);
    virtual bool getMidiKeyName(VstInt32 channel, MidiKeyName* record);

    // Windows and files on the host's side.
    virtual bool updateDisplay();                          // host opcode 42
    virtual bool sizeWindow(VstInt32 width, VstInt32 height);  // host opcode 15
    virtual bool openFileSelector(VstFileSelect* record);  // host opcode 45
    virtual bool closeFileSelector(VstFileSelect* record); // host opcode 46
    virtual VstInt32 getNextShellPlugin(char* text);

    // Speaker arrangements made here are one zeroed block of header and speaker records.
    virtual bool allocateArrangement(VstSpeakerArrangement** arrangement, VstInt32 channels);
    virtual bool deallocateArrangement(VstSpeakerArrangement** arrangement);
    virtual bool copySpeaker(VstSpeakerProperties* to, VstSpeakerProperties* from);
    virtual bool matchArrangement(VstSpeakerArrangement** to, VstSpeakerArrangement* from);

    // Offline processing.
    virtual bool offlineRead(VstOfflineTask* task, VstInt32 option, bool readSource);
    virtual bool offlineWrite(VstOfflineTask* task, VstInt32 option);
    virtual bool offlineStart(VstAudioFile* files, VstInt32 fileCount, VstInt32 newFileCount);
    virtual VstInt32 offlineGetCurrentPass();
    virtual VstInt32 offlineGetCurrentMetaPass();
    virtual bool offlineNotify(VstAudioFile* files, VstInt32 fileCount, bool start);
    virtual bool offlinePrepare(VstOfflineTask* tasks, VstInt32 count);
    virtual bool offlineRun(VstOfflineTask* tasks, VstInt32 count);
    virtual VstInt32 offlineQueryA();
    virtual VstInt32 offlineQueryB();

    // Legacy operations, kept for their slots.
    virtual void requestMidiEvents(VstInt32 filter);  // host opcode 6
    virtual VstIntPtr getHostTempoAt(VstInt32 position);
    virtual VstIntPtr getHostAutomatableCount();
    virtual VstIntPtr getHostParameterQuantization();
    virtual VstInt32 legacyCountQuery();
    virtual bool legacyProgramQuery(VstInt32 destination);
    virtual bool requestIdle();
    virtual AEffect* getPreviousEffect(VstInt32 input);
    virtual AEffect* getNextEffect(VstInt32 output);
    virtual void legacyInputNotice(VstInt32 index, bool state);
    virtual void legacyOutputNotice(VstInt32 index, bool state);
    virtual VstIntPtr getHostReplaceOrAccumulate();
    virtual void setAsyncFlag(bool state) { setFlag(effFlagsExtIsAsync, state); }
    virtual void setExternalBufferFlag(bool state) { setFlag(effFlagsExtHasBuffer, state); }
    virtual VstInt32 legacyPositionQuery();
    virtual void* legacyBufferQuery();
    virtual void setHostOutputSampleRate(float rate);
    virtual VstSpeakerArrangement* getHostInputArrangement();
    virtual VstSpeakerArrangement* getHostOutputArrangement();
    virtual void* openHostWindow(void* window);
    virtual bool closeHostWindow(void* window);
    virtual void setBlockSizeAndSampleRate(VstInt32 newBlockSize, float newSampleRate);
    virtual bool legacyTextQuery(char* text);
    virtual void* legacyPointerQuery();
    virtual bool legacyPositionSetter(VstInt32 x, VstInt32 y);
    virtual VstInt32 legacyIdleQuery();
    virtual bool legacyFlagQuery();
    virtual bool getChunkFile(void* path);  // host opcode 48

private:
    VstIntPtr forwardKey(VstInt32 opcode, VstInt32 index, VstIntPtr value, float opt);
    // The editor's scaling, where it has one.
    EditorScaling* scalingEditor() const;
    bool takeHostScale(float factor);
    // The steps of `matchArrangement` once `from` cannot be freed by them.
    bool copyArrangement(VstSpeakerArrangement** to, VstSpeakerArrangement* from);
    bool hostSays(VstInt32 opcode, VstInt32 index = 0, VstIntPtr value = 0, void* ptr = nullptr,
                  float opt = 0.0f);
};
