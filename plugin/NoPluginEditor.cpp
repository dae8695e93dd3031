// The default for builds without a toolkit. Alone in its object file, so that a static link
// takes it only when the plug-in has no definition of its own.
#include "PluginEditor.h"

AEffEditor* createPluginEditor(AudioEffectX*) { return nullptr; }
