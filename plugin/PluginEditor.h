#pragma once
// The seam between the effect and its editor: each platform's build provides one definition.
// Where there is no editor the effect runs without one and the editor opcodes answer 0.

class AEffEditor;
class AudioEffectX;

// Creates the plug-in's editor for `effect`, attached to it; null when there is none.
AEffEditor* createPluginEditor(AudioEffectX* effect);
