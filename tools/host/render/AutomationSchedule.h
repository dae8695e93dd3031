#pragma once
// A parameter automation file for a render, and the sets it makes as the render goes. One point
// a line: `TIME PARAMETER VALUE [step|ramp]`, `#` starting a comment. TIME is seconds (`1.5s`),
// frames (`48000`) or bar.beat.tick (`3.2.0`, bar and beat from 1, 960 ticks a beat) on the
// render's tempo map; PARAMETER an index or a name (in double quotes when it has spaces); VALUE
// normalised, from 0 to 1. A `step` point (the default) sets its value at its frame; a `ramp`
// point goes on from there in a straight line to the parameter's next point, set every
// kGranule frames. The render cuts its blocks at every frame where a set falls, so each set
// takes effect at its very frame.

#include <cstddef>
#include <cstdint>
#include <string>
#include <vector>

#include "Effect.h"
#include "Expected.h"
#include "Transport.h"

namespace vsthost {

class AutomationSchedule {
public:
    // Frames between the sets of a ramp: a ramp moves in steps of this length.
    static constexpr std::int64_t kGranule = 32;

    // Reads the file; a mistake is told as FILE:LINE and what is wrong.
    static Expected<AutomationSchedule> read(const std::string& path);

    // Places the points on frames and finds their parameters in `effect`.
    Expected<bool> resolve(Effect& effect, const Transport& transport, double sampleRate);
    // Makes every set due at `frame`, the frame the next call to the plug-in starts at; the
    // frames come in rising order. `label` names the link in the trace.
    void applyAt(Effect& effect, std::int64_t frame, const std::string& label);
    // How many frames from `frame` on, at most `most`, the plug-in may process before the
    // next set.
    std::size_t framesUntilNext(std::int64_t frame, std::size_t most) const;
    bool empty() const { return points_.empty(); }

private:
    struct Point {
        int line;
        std::string time;
        std::string parameter;
        float value;
        bool ramp;
        std::int64_t frame = 0;
        VstInt32 index = 0;
    };
    // From one point to the parameter's next, or on for ever after its last.
    struct Segment {
        std::int64_t start;
        std::int64_t end;
        VstInt32 index;
        float from;
        float to;
        bool ramp;
    };

    static Expected<Point> parseLine(const std::string& text, int line);
    Expected<std::int64_t> frameOf(const Point& point, const Transport& transport, double sampleRate) const;
    void set(Effect& effect, VstInt32 index, float value, std::int64_t frame, const std::string& label);

    std::string path_;
    std::vector<Point> points_;
    std::vector<Segment> segments_;  // by start frame
    std::size_t next_ = 0;           // the first segment not yet begun
    std::vector<Segment> ramps_;     // ramps under way
};

}  // namespace vsthost
