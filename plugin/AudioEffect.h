#pragma once
// Base of every effect: owns the record handed to the host, turns effect opcodes 0 to 24 into
// virtual operations and wraps host opcodes 0 to 4 in services that tolerate a missing callback.
//
// Threads: the dispatcher and parameter calls arrive on the host's user-interface thread (or
// whichever thread the host picks); processing arrives on the audio thread, where nothing may
// allocate or lock, and the host is asked only what AudioEffectX marks "audio thread too" (the
// time info, the process level, the automation state). The base itself takes no locks.

#include "AEffect.h"
#include "HostRecords.h"

class AEffEditor;

class AudioEffect {
public:
    AudioEffect(HostCallback host, VstInt32 programCount, VstInt32 parameterCount);
    // Destroys the editor, which the effect owns.
    virtual ~AudioEffect();

    // UI thread. Answers effect opcodes 0 to 24; 0 for anything it does not handle.
    virtual VstIntPtr dispatcher(VstInt32 opcode, VstInt32 index, VstIntPtr value, void* ptr,
                                 float opt);

    virtual void open() {}
    virtual void close() {}
    virtual void suspend() {}
    virtual void resume() {}
    virtual void setSampleRate(float rate) { sampleRate = rate; }
    virtual void setBlockSize(VstInt32 size) { blockSize = size; }

    // Audio thread; no allocation or locks, and of the host services only those marked "audio
    // thread too". Reads `sampleFrames` samples of each input and writes as many to each output.
    virtual void processReplacing(float** inputs, float** outputs, VstInt32 sampleFrames) = 0;
    virtual void processDoubleReplacing(double** inputs, double** outputs, VstInt32 sampleFrames);

    // Any thread the host chooses; must be cheap and lock-free.
    virtual void setParameter(VstInt32 index, float value);
    virtual float getParameter(VstInt32 index);
    // Sets the parameter, then tells the host it changed (host opcode 0). User-interface thread:
    // a change the user makes, not one the audio computes.
    virtual void setParameterAutomated(VstInt32 index, float value);

    virtual VstInt32 getProgram() { return currentProgram; }
    virtual void setProgram(VstInt32 program) { currentProgram = program; }
    // Text operations: `name` and `text` are host buffers of the host interface's usual sizes.
    virtual void setProgramName(char* name);
    virtual void getProgramName(char* name);
    virtual void getParameterLabel(VstInt32 index, char* text);
    virtual void getParameterDisplay(VstInt32 index, char* text);
    virtual void getParameterName(VstInt32 index, char* text);
    // Stores the chunk's address through `data` and answers its byte count (0: none).
    virtual VstInt32 getChunk(void** data, bool isPreset);
    virtual VstInt32 setChunk(void* data, VstInt32 byteSize, bool isPreset);

    virtual void setUniqueID(VstInt32 id) { effectRecord.uniqueID = id; }
    virtual void setNumInputs(VstInt32 count) { effectRecord.numInputs = count; }
    virtual void setNumOutputs(VstInt32 count) { effectRecord.numOutputs = count; }
    virtual void setCanProcessReplacing(bool state) { setFlag(effFlagsCanReplacing, state); }
    virtual void setCanDoubleReplacing(bool state) { setFlag(effFlagsCanDoubleReplacing, state); }
    virtual void setProgramsAreChunks(bool state) { setFlag(effFlagsProgramChunks, state); }
    // Writes the record only; the host is not told.
    virtual void setInitialDelay(VstInt32 delay) { effectRecord.initialDelay = delay; }
    // Writes the record only: the plug-in's own version (1 unless set), which hosts show and
    // keep in the preset files they write.
    void setVersion(VstInt32 version) { effectRecord.version = version; }

    virtual AEffEditor* getEditor() { return editor; }
    virtual AEffect* getAEffect() { return &effectRecord; }
    virtual float getSampleRate() { return sampleRate; }
    virtual VstInt32 getBlockSize() { return blockSize; }

    // Host services (host opcodes 1 to 3), user-interface thread; each works without a callback.
    virtual VstIntPtr getHostVersion();
    virtual VstIntPtr getCurrentUniqueId();
    virtual void hostIdle();

    // Formatters write at most `maxLen` characters and a terminating zero into `text`, which
    // holds `maxLen` + 1 bytes. The three unit formatters end in the virtual formatFloat.
    virtual void formatDecibels(float value, char* text, VstInt32 maxLen);
    virtual void formatHertz(float samples, char* text, VstInt32 maxLen);
    virtual void formatMilliseconds(float samples, char* text, VstInt32 maxLen);
    virtual void formatFloat(float value, char* text, VstInt32 maxLen);
    virtual void formatInteger(VstInt32 value, char* text, VstInt32 maxLen);

    // Legacy accumulating processing; the base leaves the outputs alone.
    virtual void process(float** inputs, float** outputs, VstInt32 sampleFrames);
    virtual float getVu() { return 0.0f; }
    virtual void setHasVu(bool state) { setFlag(effFlagsHasVu, state); }
    virtual void setHasClip(bool state) { setFlag(effFlagsHasClip, state); }
    virtual void setCanMono(bool state) { setFlag(effFlagsCanMono, state); }
    virtual void setRealtimeQualities(VstInt32 value) { effectRecord.realQualities = value; }
    virtual void setOfflineQualities(VstInt32 value) { effectRecord.offQualities = value; }
    // Legacy pin queries (host opcode 4): connected unless the host answers nonzero.
    virtual bool isInputConnected(VstInt32 index);
    virtual bool isOutputConnected(VstInt32 index);

    // Attaches the editor, which the effect owns from now on, and announces it in the record.
    void setEditor(AEffEditor* newEditor);

    AudioEffect(const AudioEffect&) = delete;
    AudioEffect& operator=(const AudioEffect&) = delete;

protected:
    void setFlag(VstInt32 bit, bool state);
    bool hasFlag(VstInt32 bit) const { return (effectRecord.flags & bit) != 0; }
    // Sends a host opcode from this effect's record; `fallback` when there is no callback.
    VstIntPtr callHost(VstInt32 opcode, VstInt32 index, VstIntPtr value, void* ptr, float opt,
                       VstIntPtr fallback = 0);

    HostCallback hostCallback;
    AEffEditor* editor = nullptr;
    float sampleRate = 44100.0f;
    VstInt32 blockSize = 1024;
    VstInt32 programCount;
    VstInt32 parameterCount;
    VstInt32 currentProgram = 0;
    AEffect effectRecord;
};
