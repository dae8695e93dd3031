#pragma once
// The record most test modules answer: two inputs and two outputs processed by replacing, the
// interface's magic, version 1 and the given entries; each module then sets what is its own.

#include "AEffect.h"
#include "Opcodes.h"

inline AEffect* newStereoRecord(DispatcherProc dispatcher, SetParameterProc setParameter, GetParameterProc getParameter,
                                ProcessProc processReplacing, VstInt32 uniqueID) {
    auto* record = new AEffect{};
    record->magic = kEffectMagic;
    record->dispatcher = dispatcher;
    record->setParameter = setParameter;
    record->getParameter = getParameter;
    record->processReplacing = processReplacing;
    record->numInputs = 2;
    record->numOutputs = 2;
    record->flags = effFlagsCanReplacing;
    record->ioRatio = 1.0f;
    record->uniqueID = uniqueID;
    record->version = 1;
    return record;
}
