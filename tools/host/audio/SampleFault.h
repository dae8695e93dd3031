#pragma once
// The first sample of a plug-in's output that is not an ordinary number, and where it is.

#include <cstddef>
#include <string>

namespace vsthost {

struct SampleFault {
    enum class Kind { none, notANumber, positiveInfinity, negativeInfinity, subnormal };

    Kind kind = Kind::none;
    int channel = 0;
    std::size_t frame = 0;

    static Kind classify(float value);
    explicit operator bool() const { return kind != Kind::none; }
    // NaN and infinities are faults; a subnormal value is only slow.
    bool nonFinite() const { return kind != Kind::none && kind != Kind::subnormal; }
    // "NaN at channel 0, frame 1"
    std::string text() const;
};

}  // namespace vsthost
