#pragma once
// The scale factor a host gives an editor before it opens, the way several hosts send it: a
// vendor-specific call ('PreS', 'AeCs', the factor as the float argument) to a plug-in that
// answers the capability "supportsViewDpiScaling". The editor's rectangle is in device pixels:
// its size at 1x times the factor, rounded.

#include <optional>

#include "AEffect.h"
#include "HostRecords.h"

namespace vsthost {

class Effect;

class EditorScale {
public:
    static constexpr VstInt32 kIndex = fourCharacters('P', 'r', 'e', 'S');
    static constexpr VstIntPtr kValue = fourCharacters('A', 'e', 'C', 's');
    static constexpr double kSmallest = 1.0;
    static constexpr double kLargest = 4.0;

    // Whether the plug-in answers the capability with 1.
    static bool supported(Effect& effect);
    // Sends the factor; true when the plug-in answers that it took it.
    static bool send(Effect& effect, double factor);
    // The rectangle the editor answers now, or none.
    static std::optional<ERect> rect(Effect& effect);
    // `rect` at `factor`: every side multiplied and rounded to the nearest pixel.
    static ERect scaled(const ERect& rect, double factor);
    static int width(const ERect& rect) { return rect.right - rect.left; }
    static int height(const ERect& rect) { return rect.bottom - rect.top; }
};

}  // namespace vsthost
