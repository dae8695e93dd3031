#pragma once
// An effect for the unit tests: every default of the extended effect, no editor unless a test
// attaches one, and a processReplacing that does nothing.

#include "AudioEffectX.h"

class TestEffect : public AudioEffectX {
public:
    explicit TestEffect(HostCallback host) : AudioEffectX(host, 1, 2) {}
    void processReplacing(float**, float**, VstInt32) override {}
};
