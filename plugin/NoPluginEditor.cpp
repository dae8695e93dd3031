// Builds without a toolkit have no editor.
#include "PluginEditor.h"

AEffEditor* createPluginEditor(AudioEffectX*) { return nullptr; }
