#include "ChannelBuffers.h"

#include <algorithm>
#include <bit>
#include <cstdint>

namespace vsthost {

namespace {

// A quiet NaN with a payload of its own, compared by bits.
constexpr std::uint32_t kMarkerBits = 0x7FC0BEEFu;
const float kMarker = std::bit_cast<float>(kMarkerBits);

bool isMarker(float value) { return std::bit_cast<std::uint32_t>(value) == kMarkerBits; }

}  // namespace

ChannelBuffers::ChannelBuffers(int channels, std::size_t capacity)
    : capacity_(capacity),
      storage_(static_cast<std::size_t>(std::max(channels, 0)),
               std::vector<float>(capacity + kGuardFrames)) {
    for (auto& channel : storage_) pointers_.push_back(channel.data());
    // The pointer arrays are never empty: some plug-ins read two pointers whatever they declare.
    if (pointers_.empty()) pointers_.push_back(nullptr);
    mark();
}

void ChannelBuffers::load(const AudioData& source, std::size_t offset, std::size_t frames) {
    if (source.channels.empty()) return;
    frames = std::min(frames, capacity_);
    for (std::size_t channel = 0; channel < storage_.size(); ++channel) {
        const auto& from = source.channels[channel % source.channels.size()];
        const std::size_t available = offset < from.size() ? from.size() - offset : 0;
        const std::size_t count = std::min(frames, available);
        std::copy_n(from.begin() + static_cast<std::ptrdiff_t>(std::min(offset, from.size())), count,
                    storage_[channel].begin());
        std::fill(storage_[channel].begin() + static_cast<std::ptrdiff_t>(count),
                  storage_[channel].begin() + static_cast<std::ptrdiff_t>(frames), 0.0f);
    }
}

void ChannelBuffers::mark() {
    for (auto& channel : storage_) std::fill(channel.begin(), channel.end(), kMarker);
}

bool ChannelBuffers::guardsIntact(std::size_t frames) const {
    for (const auto& channel : storage_) {
        if (!std::all_of(channel.begin() + static_cast<std::ptrdiff_t>(frames), channel.end(),
                         isMarker)) {
            return false;
        }
    }
    return true;
}

SampleFault ChannelBuffers::firstFault(std::size_t frames) const {
    SampleFault subnormal;
    for (std::size_t channel = 0; channel < storage_.size(); ++channel) {
        for (std::size_t frame = 0; frame < frames; ++frame) {
            const SampleFault found{SampleFault::classify(storage_[channel][frame]),
                                    static_cast<int>(channel), frame};
            if (found.nonFinite()) return found;
            if (found && !subnormal) subnormal = found;
        }
    }
    return subnormal;
}

}  // namespace vsthost
