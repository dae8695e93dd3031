#pragma once
// The seam between an effect and its editor. A plug-in defines `createPluginEditor` in its
// editor sources, which only builds with the toolkit compile; elsewhere the frame's default
// gives none, the effect runs without an editor and the editor opcodes answer 0.

class AEffEditor;
class AudioEffectX;

// Creates the plug-in's editor for `effect`, attached to it; null when there is none.
AEffEditor* createPluginEditor(AudioEffectX* effect);
