// Builds with the toolkit give the effect its editor.
#include "PluginEditor.h"

#include "AudioEffectX.h"
#include "Lanter5.h"

#include <new>

AEffEditor* createPluginEditor(AudioEffectX* effect) { return new (std::nothrow) Lanter5(effect); }
