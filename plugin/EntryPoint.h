#pragma once
// The library's one entry point, exported as VSTPluginMain and, at the same address, main.

#include "AEffect.h"

#if defined(_WIN32)
#define VST_EXPORT
#else
#define VST_EXPORT __attribute__((visibility("default")))
#endif

class AudioEffect;

// Supplied by each plug-in, not by the frame: creates its effect for the entry point; null when
// it cannot be allocated.
AudioEffect* createEffect(HostCallback host);

// Called by the host once per effect it wants. Asks the host for its version first; answers
// the new effect's record, or null for a null callback, a host answering 0, or no memory.
extern "C" VST_EXPORT AEffect* VST_CALL VSTPluginMain(HostCallback host);
