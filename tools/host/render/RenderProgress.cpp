#include "RenderProgress.h"

#include <cmath>
#include <cstdio>

#include "ChildChannel.h"

namespace vsthost {

RenderProgress::RenderProgress(std::optional<std::size_t> total, double sampleRate)
    : total_(total),
      sampleRate_(sampleRate),
      shown_(!total || static_cast<double>(*total) > kShortestSeconds * sampleRate) {}

std::string RenderProgress::line(std::size_t done, std::optional<std::size_t> total, double sampleRate,
                                 double elapsed) {
    char text[160];
    const double seconds = static_cast<double>(done) / sampleRate;
    const double speed = elapsed > 0 ? seconds / elapsed : 0;
    int length = total ? std::snprintf(text, sizeof text, "%zu of %zu frames (%.0f%%)", done, *total,
                                       *total ? 100.0 * static_cast<double>(done) / static_cast<double>(*total) : 100.0)
                       : std::snprintf(text, sizeof text, "%zu frames", done);
    if (speed > 0) {
        length += std::snprintf(text + length, sizeof text - static_cast<std::size_t>(length), ", %.1fx real time", speed);
        if (total && done < *total) {
            const double left = static_cast<double>(*total - done) / sampleRate / speed;
            std::snprintf(text + length, sizeof text - static_cast<std::size_t>(length), ", %.0f s left", std::ceil(left));
        }
    }
    return text;
}

void RenderProgress::advance(std::size_t done) {
    if (!shown_) return;
    const auto now = Clock::now();
    if (now - last_ < kInterval) return;
    last_ = now;
    send(done);
}

void RenderProgress::finish(std::size_t done) {
    if (shown_) send(done);
}

void RenderProgress::send(std::size_t done) {
    const double elapsed = std::chrono::duration<double>(Clock::now() - start_).count();
    ChildChannel::send(ChildChannel::kProgress, line(done, total_, sampleRate_, elapsed));
}

}  // namespace vsthost
