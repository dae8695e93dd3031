#include "EditorCommand.h"

#include <algorithm>
#include <chrono>
#include <cstdio>
#include <thread>
#include <vector>

#include "EditorScale.h"
#include "Effect.h"
#include "Host.h"
#include "HostRecords.h"
#include "HostWindow.h"
#include "Opcodes.h"
#include "WindowPicture.h"

namespace vsthost {

namespace {

using Clock = std::chrono::steady_clock;

// Idle calls at a steady rate, the window's messages delivered in between, as a host's
// user-interface thread does.
void idleSteadily(Effect& effect, long idles) {
    const auto period = std::chrono::microseconds(1'000'000 / EditorCommand::kIdlesPerSecond);
    auto next = Clock::now();
    for (long i = 0; i < idles; ++i) {
        HostWindow::pumpMessages();
        effect.dispatch(effEditIdle);
        next += period;
        std::this_thread::sleep_until(next);
    }
    HostWindow::pumpMessages();
}

// Every idle call of an open editor that counts redraws its label, so each call timed here is
// one such redraw.
double medianIdleMicroseconds(Effect& effect) {
    std::vector<double> costs;
    costs.reserve(EditorCommand::kMeasuredIdles);
    for (int i = 0; i < EditorCommand::kMeasuredIdles; ++i) {
        const auto start = Clock::now();
        effect.dispatch(effEditIdle);
        const auto end = Clock::now();
        costs.push_back(std::chrono::duration<double, std::micro>(end - start).count());
        HostWindow::pumpMessages();
    }
    std::nth_element(costs.begin(), costs.begin() + costs.size() / 2, costs.end());
    return costs[costs.size() / 2];
}

// Sends the factor to a plug-in that takes one; answers what the user is told about it.
std::string offerScale(Effect& effect, double factor) {
    char text[160];
    if (!EditorScale::supported(effect)) {
        std::snprintf(text, sizeof text,
                      "the plug-in does not answer \"supportsViewDpiScaling\": its editor is shown at 1x, not %g", factor);
    } else if (!EditorScale::send(effect, factor)) {
        std::snprintf(text, sizeof text, "the plug-in did not take the scale factor %g", factor);
    } else {
        std::snprintf(text, sizeof text, "scale factor %g taken before opening", factor);
    }
    return text;
}

}  // namespace

Expected<EditorCommand::Outcome> EditorCommand::show(const PluginLibrary& library, long idles,
                                                     const std::string& picturePath,
                                                     bool measure, std::optional<double> scale) {
    if (!HostWindow::available()) return Error{"this build has no native windows"};
    auto effect = Effect::create(library);
    if (!effect) return Error{effect.error()};
    if (!effect->hasFlag(effFlagsHasEditor)) return Error{"the plug-in has no editor (flag 1 clear)"};
    effect->start(44100.0f, 512);

    Outcome outcome;
    if (scale) outcome.scaleNote = offerScale(*effect, *scale);
    const auto rect = EditorScale::rect(*effect);
    outcome.width = rect ? EditorScale::width(*rect) : 0;
    outcome.height = rect ? EditorScale::height(*rect) : 0;
    if (outcome.width <= 0 || outcome.height <= 0) return Error{"the editor reports no size"};

    auto window = HostWindow::create(library.path(), outcome.width, outcome.height);
    if (!window) return Error{window.error()};
    Host::instance().setWindowSizer([&window](int w, int h) { return window->resizeClient(w, h); });
    const bool opened = effect->dispatch(effEditOpen, 0, 0, window->handle()) != 0;
    HostWindow::pumpMessages();
    Expected<Outcome> result = outcome;
    if (!opened && !window->hasChildWindow()) {
        result = Error{"the editor did not open"};
    } else {
        idleSteadily(*effect, idles);
        if (!picturePath.empty()) {
            void* editorWindow = window->childWindow() ? window->childWindow() : window->handle();
            auto picture = WindowPicture::capture(editorWindow);
            auto saved = picture ? picture->saveBmp(picturePath) : Expected<std::string>(Error{picture.error()});
            if (saved) {
                result->picture = *saved;
            } else {
                result = Error{saved.error()};
            }
        }
        if (result && measure) result->idleMicroseconds = medianIdleMicroseconds(*effect);
        effect->dispatch(effEditClose);
        HostWindow::pumpMessages();
    }
    Host::instance().setWindowSizer({});
    effect->close();
    return result;
}

int EditorCommand::run(const CommandLine& line) {
    if (line.arguments.size() != 1) {
        std::fprintf(stderr, "vsthost: usage: vsthost editor PLUGIN [--idle N] [--shot FILE] [--scale F]\n");
        return 2;
    }
    auto idles = line.positive("--idle", kDefaultIdles, 1'000'000);
    auto scale = line.number("--scale", EditorScale::kSmallest, EditorScale::kLargest);
    if (!idles || !scale) {
        std::fprintf(stderr, "vsthost: %s\n", (idles ? scale.error() : idles.error()).c_str());
        return 2;
    }
    auto library = PluginLibrary::load(line.arguments[0]);
    if (!library) {
        std::fprintf(stderr, "vsthost: %s\n", library.error().c_str());
        return 1;
    }
    const std::string shot = line.has("--shot") ? line.options.at("--shot") : std::string();
    auto outcome = show(*library, *idles, shot, true, *scale);
    if (!outcome) {
        std::fprintf(stderr, "vsthost: %s\n", outcome.error().c_str());
        return 1;
    }
    if (!outcome->scaleNote.empty()) std::printf("editor: %s\n", outcome->scaleNote.c_str());
    std::printf("editor: %s: %d x %d, opened in a window of the host's\n", library->path().c_str(),
                outcome->width, outcome->height);
    std::printf("editor: %ld idle calls at %d per second\n", *idles, kIdlesPerSecond);
    if (!outcome->picture.empty()) std::printf("editor: picture written to %s\n", outcome->picture.c_str());
    std::printf("editor: one idle call that redraws the label: median %.1f us over %d calls\n",
                outcome->idleMicroseconds, kMeasuredIdles);
    std::printf("editor: closed\n");
    return 0;
}

}  // namespace vsthost
