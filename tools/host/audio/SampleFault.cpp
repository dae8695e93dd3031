#include "SampleFault.h"

#include <cmath>

namespace vsthost {

SampleFault::Kind SampleFault::classify(float value) {
    switch (std::fpclassify(value)) {
    case FP_NAN: return Kind::notANumber;
    case FP_INFINITE: return value > 0.0f ? Kind::positiveInfinity : Kind::negativeInfinity;
    case FP_SUBNORMAL: return Kind::subnormal;
    default: return Kind::none;
    }
}

std::string SampleFault::text() const {
    const char* name = kind == Kind::notANumber         ? "NaN"
                       : kind == Kind::positiveInfinity ? "+inf"
                       : kind == Kind::negativeInfinity ? "-inf"
                       : kind == Kind::subnormal        ? "subnormal"
                                                        : "nothing";
    return std::string(name) + " at channel " + std::to_string(channel) + ", frame " +
           std::to_string(frame);
}

}  // namespace vsthost
