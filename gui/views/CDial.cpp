#include "CDial.h"

#include "CBitmap.h"
#include "CDrawContext.h"
#include "CEditGesture.h"
#include "CFrame.h"

#include <algorithm>
#include <cmath>
#include <cstring>
#include <numbers>

namespace {

constexpr float kStartDegrees = 225.0f; // the minimum, lower left

float radians(float degrees) { return degrees * std::numbers::pi_v<float> / 180.0f; }

// The difference of two angles, brought into (-180, 180].
float turn(float from, float to) {
    float degrees = std::fmod(to - from, 360.0f);
    if (degrees > 180.0f) degrees -= 360.0f;
    if (degrees <= -180.0f) degrees += 360.0f;
    return degrees;
}

} // namespace

CDial::CDial(const CRect& size, CControlListener* listener, std::int32_t tag) : CControl(size, listener, tag) {
    focusWanted = true;
}

CDial::~CDial() {
    CBitmap::exchange(image, nullptr);
}

bool CDial::isTypeOf(const char* className) const {
    return std::strcmp(className, "CDial") == 0 || CControl::isTypeOf(className);
}

void CDial::setColors(CColor face, CColor pointer) {
    faceColor = face;
    pointerColor = pointer;
    setDirty(true);
}

void CDial::setImage(CBitmap* strip, std::int32_t frameCount) {
    CBitmap::exchange(image, strip);
    frames = std::max<std::int32_t>(frameCount, 1);
    setDirty(true);
}

float CDial::fraction() const {
    const float range = maxValue - minValue;
    return range > 0 ? std::clamp((value - minValue) / range, 0.0f, 1.0f) : 0.0f;
}

CFloatPoint CDial::centre() const {
    return {(size.left + size.right) / 2.0, (size.top + size.bottom) / 2.0};
}

double CDial::radius() const { return std::min(size.width(), size.height()) / 2.0 - 2.0; }

CPoint CDial::pointerTip() const {
    const float degrees = kStartDegrees - fraction() * kSweepDegrees;
    const auto r = static_cast<float>(radius());
    const CFloatPoint middle = centre();
    return CPoint(static_cast<std::int32_t>(std::lround(middle.h + r * std::cos(radians(degrees)))),
                  static_cast<std::int32_t>(std::lround(middle.v - r * std::sin(radians(degrees)))));
}

float CDial::angleOf(const CPoint& where) const {
    const float h = static_cast<float>(where.h) - static_cast<float>(size.left + size.right) / 2.0f;
    const float v = static_cast<float>(size.top + size.bottom) / 2.0f - static_cast<float>(where.v);
    return std::atan2(v, h) * 180.0f / std::numbers::pi_v<float>;
}

float CDial::valueAtAngle(float degrees) const {
    // Clockwise from the start; the gap at the bottom goes to the nearer end.
    float swept = std::fmod(kStartDegrees - degrees + 720.0f, 360.0f);
    if (swept > kSweepDegrees) swept = swept - kSweepDegrees < (360.0f - kSweepDegrees) / 2 ? kSweepDegrees : 0.0f;
    return minValue + swept / kSweepDegrees * (maxValue - minValue);
}

void CDial::draw(CDrawContext* context) {
    if (image) {
        const auto frame = static_cast<std::int32_t>(std::lround(fraction() * static_cast<float>(frames - 1)));
        const std::int32_t shown = firstLookFrame(image->getHeight(), frames) + frame;
        image->drawTransparent(context, size, CPoint(0, shown * size.height()));
    } else {
        drawPlain(context);
    }
    drawFocusFrame(context);
    setDirty(false);
}

void CDial::drawPlain(CDrawContext* context) const {
    fillExactly(context, size, lookColor(faceColor));
    // The track, a third of the way from the face to the pointer's colour.
    const auto mix = [](std::uint8_t face, std::uint8_t pointer) {
        return static_cast<std::uint8_t>((2 * face + pointer) / 3);
    };
    const CColor track{mix(faceColor.red, pointerColor.red), mix(faceColor.green, pointerColor.green),
                       mix(faceColor.blue, pointerColor.blue), 255};
    // Screen angles grow clockwise; the dial's own degrees grow the other way.
    const double start = -radians(kStartDegrees);
    context->setLineWidth(2);
    context->setFrameColor(track);
    context->drawSmoothArc(centre(), radius(), start, start + radians(kSweepDegrees));
    const double pointer = start + fraction() * radians(kSweepDegrees);
    const CFloatPoint middle = centre();
    context->setFrameColor(pointerColor);
    context->drawSmoothLine(middle, {middle.h + radius() * std::cos(pointer), middle.v + radius() * std::sin(pointer)});
}

void CDial::mouse(CDrawContext* context, const CPoint& where, std::int32_t buttons) {
    if (!context) return;
    if (buttons == -1) buttons = context->getMouseButtons();
    if (!(buttons & kLeftButton)) return;
    auto gesture = CEditGesture::start(*this, context);
    if (!gesture || gesture->restoreDefaultOn(buttons, where, lastClick)) return;
    const std::int32_t mode = getParentFrame() ? getParentFrame()->getKnobMode() : kCircularKnobs;
    if (mode == kCircularKnobs) gesture->change(valueAtAngle(angleOf(where)));
    CEditGesture::follow(std::move(gesture), [this, mode, previous = where](CEditGesture& drag, const CPoint& point,
                                                                             std::int32_t modifiers) mutable {
        const float scale = (modifiers & kShiftKey) ? CEditGesture::kFine : 1.0f;
        const float range = maxValue - minValue;
        if (mode == kCircularKnobs) {
            drag.change(valueAtAngle(angleOf(point)));
        } else if (mode == kLinearKnobs) {
            drag.change(value + static_cast<float>(previous.v - point.v) * range / kLinearPixels * scale);
        } else {
            drag.change(value - turn(angleOf(previous), angleOf(point)) / kSweepDegrees * range * scale);
        }
        previous = point;
    });
}

std::int32_t CDial::onKeyDown(VstKeyCode& keyCode) {
    if (takeEnter(keyCode)) return 1;
    return CEditGesture(*this, nullptr).stepByArrow(keyCode, wheelInc) ? 1 : -1;
}

bool CDial::onWheel(CDrawContext* context, const CPoint&, float distance) {
    CEditGesture(*this, context).turnWheel(distance);
    return true;
}
