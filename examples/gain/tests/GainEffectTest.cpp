// The gain's own test, as a plug-in developer writes one: the effect made through its factory
// and driven through its record, as a host drives it, with no framework but the frame.
#include "EntryPoint.h"
#include "GainEffect.h"

#include <cstdio>
#include <memory>

namespace {

int failures = 0;

void expect(bool ok, const char* what) {
    if (ok) return;
    std::printf("FAIL %s\n", what);
    ++failures;
}

}  // namespace

int main() {
    std::unique_ptr<AudioEffect> effect(createEffect(nullptr));
    expect(effect != nullptr, "the factory makes the effect");
    if (!effect) return 1;
    AEffect* record = effect->getAEffect();
    expect(record->magic == kEffectMagic && record->uniqueID == GainEffect::kUniqueId, "the record is the gain's");

    float left[4] = {0.5f, -0.25f, 1.0f, 0.0f};
    float right[4] = {0.125f, 0.75f, -1.0f, 0.25f};
    float outLeft[4] = {};
    float outRight[4] = {};
    float* inputs[] = {left, right};
    float* outputs[] = {outLeft, outRight};
    record->setParameter(record, GainEffect::kGain, 0.75f);
    record->processReplacing(record, inputs, outputs, 4);
    for (int frame = 0; frame < 4; ++frame) {
        expect(outLeft[frame] == left[frame] * 2.25f && outRight[frame] == right[frame] * 2.25f,
               "0.75 is a gain of 4 times its square");
    }
    record->setParameter(record, GainEffect::kGain, 0.5f);
    record->processReplacing(record, inputs, outputs, 4);
    expect(outLeft[2] == 1.0f && outRight[1] == 0.75f, "0.5 passes the input through");
    std::printf("%s\n", failures ? "gain: failed" : "gain: passed");
    return failures ? 1 : 0;
}
