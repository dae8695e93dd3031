#include "AutomationSchedule.h"

#include <algorithm>
#include <cctype>
#include <cmath>
#include <cstdio>
#include <cstdlib>
#include <fstream>
#include <sstream>

#include "ChildChannel.h"
#include "Host.h"
#include "ParameterSetting.h"

namespace vsthost {

namespace {

bool digits(const std::string& text) {
    return !text.empty() && text.size() <= 12 &&
           std::all_of(text.begin(), text.end(), [](unsigned char c) { return std::isdigit(c); });
}

// The words of a line: spaces apart, or one in double quotes.
Expected<std::vector<std::string>> words(const std::string& text) {
    std::vector<std::string> found;
    std::size_t at = 0;
    while ((at = text.find_first_not_of(" \t\r", at)) != std::string::npos) {
        if (text[at] == '#') break;
        if (text[at] == '"') {
            const auto close = text.find('"', at + 1);
            if (close == std::string::npos) return Error{"a name's closing quote is missing"};
            found.push_back(text.substr(at + 1, close - at - 1));
            at = close + 1;
            continue;
        }
        const auto end = text.find_first_of(" \t\r#", at);
        found.push_back(text.substr(at, end == std::string::npos ? std::string::npos : end - at));
        at = end == std::string::npos ? text.size() : end;
    }
    return found;
}

std::string shortNumber(double value) {
    char text[32];
    std::snprintf(text, sizeof text, "%.6g", value);
    return text;
}

}  // namespace

Expected<AutomationSchedule> AutomationSchedule::read(const std::string& path) {
    std::ifstream file(path);
    if (!file) return Error{"cannot read automation file '" + path + "'"};
    AutomationSchedule schedule;
    schedule.path_ = path;
    std::string text;
    for (int line = 1; std::getline(file, text); ++line) {
        auto point = parseLine(text, line);
        if (!point) return Error{path + ":" + std::to_string(line) + ": " + point.error()};
        if (!point->time.empty()) schedule.points_.push_back(std::move(*point));
    }
    return schedule;
}

Expected<AutomationSchedule::Point> AutomationSchedule::parseLine(const std::string& text, int line) {
    auto found = words(text);
    if (!found) return Error{found.error()};
    Point point{line, {}, {}, 0, false};
    if (found->empty()) return point;
    if (found->size() < 3 || found->size() > 4) {
        return Error{"a point is TIME PARAMETER VALUE [step|ramp], not \"" + text + "\""};
    }
    const auto& item = *found;
    char* end = nullptr;
    const double value = std::strtod(item[2].c_str(), &end);
    if (*end != '\0' || !(value >= 0 && value <= 1)) {
        return Error{"the value must be a number from 0 to 1, not \"" + item[2] + "\""};
    }
    if (item.size() == 4 && item[3] != "step" && item[3] != "ramp") {
        return Error{"a point ends in step or ramp, not \"" + item[3] + "\""};
    }
    point.time = item[0];
    point.parameter = item[1];
    point.value = static_cast<float>(value);
    point.ramp = item.size() == 4 && item[3] == "ramp";
    return point;
}

Expected<std::int64_t> AutomationSchedule::frameOf(const Point& point, const Transport& transport,
                                                   double sampleRate) const {
    const std::string& time = point.time;
    if (digits(time)) return static_cast<std::int64_t>(std::atoll(time.c_str()));
    if (time.size() > 1 && time.back() == 's') {
        char* end = nullptr;
        const double seconds = std::strtod(time.c_str(), &end);
        if (end == time.c_str() + time.size() - 1 && seconds >= 0 && seconds <= 48 * 3600) {
            return static_cast<std::int64_t>(std::llround(seconds * sampleRate));
        }
    }
    const auto first = time.find('.');
    const auto second = time.find('.', first == std::string::npos ? first : first + 1);
    if (second != std::string::npos) {
        const std::string bar = time.substr(0, first);
        const std::string beat = time.substr(first + 1, second - first - 1);
        const std::string tick = time.substr(second + 1);
        if (digits(bar) && digits(beat) && digits(tick) && bar.size() < 6 && beat.size() < 4 && tick.size() < 4) {
            const int bars = std::atoi(bar.c_str());
            const int beats = std::atoi(beat.c_str());
            const int ticks = std::atoi(tick.c_str());
            if (bars >= 1 && beats >= 1 && ticks < Transport::kTicksPerBeat) {
                return static_cast<std::int64_t>(std::llround(transport.frameOf(bars, beats, ticks)));
            }
        }
    }
    return Error{path_ + ":" + std::to_string(point.line) + ": the time must be seconds (1.5s), frames (48000) or "
                 "bar.beat.tick (3.2.0, from 1.1.0), not \"" + time + "\""};
}

Expected<bool> AutomationSchedule::resolve(Effect& effect, const Transport& transport, double sampleRate) {
    for (auto& point : points_) {
        auto frame = frameOf(point, transport, sampleRate);
        if (!frame) return Error{frame.error()};
        auto index = ParameterSetting::find(effect, point.parameter);
        if (!index) return Error{path_ + ":" + std::to_string(point.line) + ": " + index.error()};
        point.frame = *frame;
        point.index = *index;
    }
    std::stable_sort(points_.begin(), points_.end(), [](const Point& a, const Point& b) { return a.frame < b.frame; });
    segments_.clear();
    for (std::size_t i = 0; i < points_.size(); ++i) {
        const Point& point = points_[i];
        const auto next = std::find_if(points_.begin() + static_cast<std::ptrdiff_t>(i) + 1, points_.end(),
                                       [&](const Point& p) { return p.index == point.index; });
        const bool last = next == points_.end();
        segments_.push_back({point.frame, last ? INT64_MAX : next->frame, point.index, point.value,
                             last ? point.value : next->value, point.ramp && !last && next->frame > point.frame});
    }
    return true;
}

void AutomationSchedule::set(Effect& effect, VstInt32 index, float value, std::int64_t frame, const std::string& label) {
    effect.setParameter(index, value);
    if (Host::instance().tracing()) {
        ChildChannel::send(ChildChannel::kTrace, "automation: " + label + ", frame " + std::to_string(frame) +
                                                     ", parameter " + std::to_string(index) + " = " +
                                                     shortNumber(value));
    }
}

void AutomationSchedule::applyAt(Effect& effect, std::int64_t frame, const std::string& label) {
    std::erase_if(ramps_, [&](const Segment& ramp) { return ramp.end <= frame; });
    for (const Segment& ramp : ramps_) {
        if ((frame - ramp.start) % kGranule != 0) continue;
        const double share = static_cast<double>(frame - ramp.start) / static_cast<double>(ramp.end - ramp.start);
        set(effect, ramp.index, static_cast<float>(ramp.from + (ramp.to - ramp.from) * share), frame, label);
    }
    // Points the render began after still set their values, at its first frame.
    for (; next_ < segments_.size() && segments_[next_].start <= frame; ++next_) {
        const Segment& segment = segments_[next_];
        set(effect, segment.index, segment.from, frame, label);
        if (segment.ramp && segment.end > frame) ramps_.push_back(segment);
    }
}

std::size_t AutomationSchedule::framesUntilNext(std::int64_t frame, std::size_t most) const {
    std::int64_t until = frame + static_cast<std::int64_t>(most);
    if (next_ < segments_.size()) until = std::min(until, segments_[next_].start);
    for (const Segment& ramp : ramps_) {
        const std::int64_t granule = ramp.start + ((frame - ramp.start) / kGranule + 1) * kGranule;
        until = std::min({until, granule, ramp.end});
    }
    return static_cast<std::size_t>(std::max<std::int64_t>(until - frame, 1));
}

}  // namespace vsthost
