// The editor of a plug-in that takes a scale factor, at 2x: it must take the factor, answer a
// rectangle twice its 1x one, open, idle and close at that size as often as at 1x, and, when
// the factor changes while it is open, have the host's window follow through "sizeWindow".
#include <cstdlib>
#include <string>
#include <vector>

#include "CheckContext.h"
#include "CheckRegistry.h"
#include "EditorScale.h"
#include "EditorSession.h"
#include "Host.h"
#include "HostWindow.h"

namespace vsthost {

namespace {

constexpr double kFactor = 2.0;

const char* const kChecks[] = {
    "editor takes the scale factor 2",     "editor rectangle doubles at 2x",
    "editor opens in a host window at 2x", "editor idles at 2x",
    "editor closes at 2x",                 "editor open and close cycles at 2x",
    "editor window follows a scale change while open",
};

std::vector<std::string> verdicts(const ValidationOptions&) {
    return std::vector<std::string>(std::begin(kChecks), std::end(kChecks));
}

std::string sizeText(int width, int height) { return std::to_string(width) + " x " + std::to_string(height); }
std::string sizeText(const ERect& rect) { return sizeText(EditorScale::width(rect), EditorScale::height(rect)); }

bool sane(const ERect& rect) {
    const int width = EditorScale::width(rect);
    const int height = EditorScale::height(rect);
    return width > 0 && height > 0 && width <= 16384 && height <= 16384;
}

// Rounding may put each side a pixel off the exact product, so a size may be two off.
bool withinOnePixelPerSide(const ERect& rect, const ERect& expected) {
    return std::abs(rect.top - expected.top) <= 1 && std::abs(rect.left - expected.left) <= 1 &&
           std::abs(rect.bottom - expected.bottom) <= 1 && std::abs(rect.right - expected.right) <= 1;
}

bool windowFits(const HostWindow::Size& size, const ERect& expected) {
    return std::abs(size.width - EditorScale::width(expected)) <= 2 &&
           std::abs(size.height - EditorScale::height(expected)) <= 2;
}

// Rescales the open editor to `factor` and answers whether the host's window now has the size
// the 1x rectangle takes at that factor; `seen` tells what it has.
bool windowFollows(Effect& effect, HostWindow& host, const ERect& oneX, double factor, std::string& seen) {
    EditorScale::send(effect, factor);
    HostWindow::pumpMessages();
    const HostWindow::Size size = host.clientSize();
    const ERect expected = EditorScale::scaled(oneX, factor);
    seen += (seen.empty() ? "" : ", ") + std::string("at ") + (factor == 1.0 ? "1x " : "2x ") +
            sizeText(size.width, size.height) + " for " + sizeText(expected);
    return windowFits(size, expected);
}

void checkInWindow(CheckContext& context, Effect& effect, HostWindow& host, const ERect& oneX) {
    EditorSession editor(effect, host);
    context.step("editor opens in a host window at 2x");
    context.check("editor opens in a host window at 2x", editor.open(), "answered 0 and made no window");
    context.step("editor idles at 2x");
    editor.idle(EditorSession::kIdles);
    context.check("editor idles at 2x", host.hasChildWindow(), "its window is gone after idle calls");
    context.step("editor closes at 2x");
    context.check("editor closes at 2x", editor.close(), "its window is still there");
    const int good = editor.cycles(context, EditorSession::kCycles, "editor open and close cycle at 2x");
    const std::string cycles = std::to_string(good) + " of " + std::to_string(EditorSession::kCycles) + " good";
    context.check("editor open and close cycles at 2x", good == EditorSession::kCycles, cycles, cycles);

    context.step("editor rescaled while open");
    const bool opened = editor.open();
    std::string seen;
    const bool toOne = windowFollows(effect, host, oneX, 1.0, seen);
    const bool backToTwo = windowFollows(effect, host, oneX, kFactor, seen);
    editor.close();
    context.check("editor window follows a scale change while open", opened && toOne && backToTwo,
                  opened ? "window " + seen : "the editor did not open", "window " + seen);
}

void run(CheckContext& context) {
    auto effect = context.fresh();
    if (!effect) return;
    if (!HostWindow::available()) return context.skipRest("this build has no native windows");
    if (!effect->hasFlag(effFlagsHasEditor)) return context.skipRest("the plug-in has no editor (flag 1 clear)");
    effect->start(44100.0f, 512);
    context.step("editor scaling asked for");
    if (!EditorScale::supported(*effect)) {
        return context.skipRest("the plug-in does not answer \"supportsViewDpiScaling\"");
    }
    context.step("editor rectangle at 1x");
    const auto oneX = EditorScale::rect(*effect);
    if (!oneX || !sane(*oneX)) return context.skipRest("no usable rectangle at 1x (the editor check says why)");

    context.step("editor scale factor 2 sent");
    context.check("editor takes the scale factor 2", EditorScale::send(*effect, kFactor), "it answered 0");
    const auto twoX = EditorScale::rect(*effect);
    const ERect expected = EditorScale::scaled(*oneX, kFactor);
    const std::string sizes =
        sizeText(*oneX) + " at 1x, " + (twoX ? sizeText(*twoX) : std::string("no rectangle")) + " at 2x";
    const bool doubled = twoX && withinOnePixelPerSide(*twoX, expected);
    context.check("editor rectangle doubles at 2x", doubled, sizes + ", not " + sizeText(expected), sizes);

    const ERect& size = twoX && sane(*twoX) ? *twoX : expected;
    auto window = HostWindow::create("vsthost editor at 2x", EditorScale::width(size), EditorScale::height(size));
    if (!window) {
        for (std::size_t i = 2; i < std::size(kChecks); ++i) context.fail(kChecks[i], window.error());
        return;
    }
    HostWindow& host = *window;
    Host::instance().setWindowSizer([&host](int w, int h) { return host.resizeClient(w, h); });
    checkInWindow(context, *effect, host, *oneX);
    Host::instance().setWindowSizer({});
}

[[maybe_unused]] const bool registered =
    CheckRegistry::add({121, "editor at 2x", Level::normal, verdicts, run, false, nullptr});

}  // namespace

}  // namespace vsthost
