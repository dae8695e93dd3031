#pragma once
// How far a long render has got, for a person watching: frames done, speed against real time
// and the time left, sent from the child a few times a second at most. The parent shows it only
// on a terminal, over its own previous line.

#include <chrono>
#include <cstddef>
#include <optional>
#include <string>

namespace vsthost {

class RenderProgress {
public:
    using Clock = std::chrono::steady_clock;
    // Renders of fewer seconds of audio than this say nothing.
    static constexpr double kShortestSeconds = 5;
    static constexpr auto kInterval = std::chrono::milliseconds(250);

    RenderProgress(std::optional<std::size_t> total, double sampleRate);
    void advance(std::size_t done);
    // The last line, whatever the time since the one before.
    void finish(std::size_t done);

    // The words of one report, `elapsed` seconds after the start.
    static std::string line(std::size_t done, std::optional<std::size_t> total, double sampleRate, double elapsed);

private:
    void send(std::size_t done);

    std::optional<std::size_t> total_;
    double sampleRate_;
    bool shown_;
    Clock::time_point start_ = Clock::now();
    Clock::time_point last_{};
};

}  // namespace vsthost
