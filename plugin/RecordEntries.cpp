#include "RecordEntries.h"

#include "AudioEffect.h"
#include "Opcodes.h"

namespace {

AudioEffect* effectOf(AEffect* record) { return static_cast<AudioEffect*>(record->object); }

}  // namespace

VstIntPtr VST_CALL dispatchEntry(AEffect* record, VstInt32 opcode, VstInt32 index, VstIntPtr value,
                                 void* ptr, float opt) {
    AudioEffect* effect = effectOf(record);
    if (opcode == effClose) {
        effect->dispatcher(opcode, index, value, ptr, opt);
        delete effect;
        return 1;
    }
    return effect->dispatcher(opcode, index, value, ptr, opt);
}

void VST_CALL processEntry(AEffect* record, float** inputs, float** outputs, VstInt32 sampleFrames) {
    effectOf(record)->process(inputs, outputs, sampleFrames);
}

void VST_CALL setParameterEntry(AEffect* record, VstInt32 index, float value) {
    effectOf(record)->setParameter(index, value);
}

float VST_CALL getParameterEntry(AEffect* record, VstInt32 index) {
    return effectOf(record)->getParameter(index);
}

void VST_CALL processReplacingEntry(AEffect* record, float** inputs, float** outputs,
                                    VstInt32 sampleFrames) {
    effectOf(record)->processReplacing(inputs, outputs, sampleFrames);
}

void VST_CALL processDoubleReplacingEntry(AEffect* record, double** inputs, double** outputs,
                                          VstInt32 sampleFrames) {
    effectOf(record)->processDoubleReplacing(inputs, outputs, sampleFrames);
}
