#include "EditorScale.h"

#include <cmath>

#include "Effect.h"
#include "Opcodes.h"

namespace vsthost {

bool EditorScale::supported(Effect& effect) {
    char capability[] = "supportsViewDpiScaling";
    return effect.dispatch(effCanDo, 0, 0, capability) == 1;
}

bool EditorScale::send(Effect& effect, double factor) {
    return effect.dispatch(effVendorSpecific, kIndex, kValue, nullptr, static_cast<float>(factor)) == 1;
}

std::optional<ERect> EditorScale::rect(Effect& effect) {
    ERect* answered = nullptr;
    effect.dispatch(effEditGetRect, 0, 0, &answered);
    if (answered == nullptr) return std::nullopt;
    return *answered;
}

ERect EditorScale::scaled(const ERect& rect, double factor) {
    const auto side = [factor](std::int16_t at) { return static_cast<std::int16_t>(std::lround(at * factor)); };
    return ERect{side(rect.top), side(rect.left), side(rect.bottom), side(rect.right)};
}

}  // namespace vsthost
