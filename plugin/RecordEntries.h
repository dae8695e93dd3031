#pragma once
// The six functions stored in every effect record. Each recovers the effect from the record's
// `object` field and calls the matching virtual operation, arguments unchanged.

#include "AEffect.h"

// effClose (1) closes the effect, destroys it and answers 1; every other opcode is forwarded.
VstIntPtr VST_CALL dispatchEntry(AEffect* effect, VstInt32 opcode, VstInt32 index, VstIntPtr value,
                                 void* ptr, float opt);
void VST_CALL processEntry(AEffect* effect, float** inputs, float** outputs, VstInt32 sampleFrames);
void VST_CALL setParameterEntry(AEffect* effect, VstInt32 index, float value);
float VST_CALL getParameterEntry(AEffect* effect, VstInt32 index);
void VST_CALL processReplacingEntry(AEffect* effect, float** inputs, float** outputs,
                                    VstInt32 sampleFrames);
void VST_CALL processDoubleReplacingEntry(AEffect* effect, double** inputs, double** outputs,
                                          VstInt32 sampleFrames);
