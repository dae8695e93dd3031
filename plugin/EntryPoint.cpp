#include "EntryPoint.h"

#include "AudioEffect.h"
#include "Opcodes.h"

extern "C" AEffect* VST_CALL VSTPluginMain(HostCallback host) {
    if (host == nullptr) return nullptr;
    if (host(nullptr, audioMasterVersion, 0, 0, nullptr, 0.0f) == 0) return nullptr;
    AudioEffect* effect = createEffect(host);
    return effect != nullptr ? effect->getAEffect() : nullptr;
}
