#pragma once
// What an editor offers when it can draw at a host's scale factor. The dispatcher finds it
// beside the editor interface, so editors without it, and their slot order, stay as they are.
//
// Every operation runs on the host's user-interface thread.

#include "AEffect.h"

// A host gives its scale with `effVendorSpecific`: this index and value, the factor in `opt`.
inline constexpr VstInt32 kHostScaleIndex = 0x50726553; // 'PreS'
inline constexpr VstIntPtr kHostScaleValue = 0x41654373; // 'AeCs'

class EditorScaling {
public:
    // Draws the editor at `factor` from now on, an open editor at once; false for a factor
    // no screen has.
    virtual bool takeHostScale(float factor) = 0;

protected:
    ~EditorScaling() = default;
};
