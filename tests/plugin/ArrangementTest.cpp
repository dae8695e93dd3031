// Speaker arrangements: blocks made, replaced, refused and copied by the four operations.

#include <gtest/gtest.h>

#include <cstdint>
#include <cstring>

#include "TestEffects.h"

namespace {

bool allZero(const void* bytes, std::size_t count) {
    const auto* byte = static_cast<const unsigned char*>(bytes);
    for (std::size_t i = 0; i < count; ++i) {
        if (byte[i] != 0) return false;
    }
    return true;
}

// A source arrangement of two channels laid out as the host interface lays it out.
struct TwoSpeakers {
    VstSpeakerArrangement header;
    VstSpeakerProperties speakers[2];
};
static_assert(sizeof(TwoSpeakers) == 232);

void fillSpeaker(VstSpeakerProperties& speaker, char nameCharacter, VstInt32 type) {
    speaker.azimuth = -0.5f;
    speaker.elevation = 0.25f;
    speaker.radius = 2.0f;
    speaker.reserved = 7.0f;
    std::memset(speaker.name, nameCharacter, sizeof speaker.name);  // no terminator of its own
    speaker.type = type;
    for (std::size_t i = 0; i < sizeof speaker.future; ++i) speaker.future[i] = static_cast<char>(i + 1);
}

TEST(Arrangement, AllocatesZeroedBlocksAndReplacesTheOldOne) {
    TestEffect effect(nullptr);
    VstSpeakerArrangement* arrangement = nullptr;
    ASSERT_TRUE(effect.allocateArrangement(&arrangement, 2));
    ASSERT_NE(arrangement, nullptr);
    EXPECT_EQ(arrangement->type, 0);
    EXPECT_EQ(arrangement->numChannels, 2);
    EXPECT_TRUE(allZero(speakerOf(arrangement, 0), 2 * sizeof(VstSpeakerProperties)));

    ASSERT_TRUE(effect.allocateArrangement(&arrangement, 0));  // the sanitizer sees the first freed
    EXPECT_EQ(arrangement->numChannels, 0);
    EXPECT_TRUE(effect.deallocateArrangement(&arrangement));
    EXPECT_EQ(arrangement, nullptr);
    EXPECT_TRUE(effect.deallocateArrangement(&arrangement));
}

TEST(Arrangement, RefusedCountsReleaseTheOldBlockAndLeaveNone) {
    TestEffect effect(nullptr);
    VstSpeakerArrangement* none = nullptr;
    EXPECT_FALSE(effect.allocateArrangement(&none, -1));
    EXPECT_EQ(none, nullptr);

    VstSpeakerArrangement* held = nullptr;
    ASSERT_TRUE(effect.allocateArrangement(&held, 1));
    EXPECT_FALSE(effect.allocateArrangement(&held, INT32_MIN));  // the sanitizer sees it freed
    EXPECT_EQ(held, nullptr);
    if constexpr (sizeof(std::size_t) == 4) {
        // 8 + 112 × channels wraps around a 32-bit size.
        ASSERT_TRUE(effect.allocateArrangement(&held, 1));
        const auto wrapping = static_cast<VstInt32>((SIZE_MAX - 8) / 112 + 1);
        EXPECT_FALSE(effect.allocateArrangement(&held, wrapping));
        EXPECT_EQ(held, nullptr);
    }
}

TEST(Arrangement, CopiesSpeakersWithNamesCutTo63Characters) {
    TestEffect effect(nullptr);
    VstSpeakerProperties from{};
    fillSpeaker(from, 'a', 3);
    VstSpeakerProperties to;
    std::memset(&to, 0x7F, sizeof to);
    EXPECT_FALSE(effect.copySpeaker(nullptr, &from));
    EXPECT_FALSE(effect.copySpeaker(&to, nullptr));
    ASSERT_TRUE(effect.copySpeaker(&to, &from));

    VstSpeakerProperties expected = from;
    expected.name[63] = '\0';
    EXPECT_EQ(std::memcmp(&to, &expected, sizeof to), 0);
}

TEST(Arrangement, MatchingMakesAFreshEqualArrangement) {
    TestEffect effect(nullptr);
    TwoSpeakers source{};
    source.header.type = 5;
    source.header.numChannels = 2;
    fillSpeaker(source.speakers[0], 'L', 1);
    fillSpeaker(source.speakers[1], 'R', 2);

    VstSpeakerArrangement* to = nullptr;
    ASSERT_TRUE(effect.allocateArrangement(&to, 6));  // released by the match
    ASSERT_TRUE(effect.matchArrangement(&to, &source.header));
    ASSERT_NE(to, nullptr);
    TwoSpeakers expected = source;
    expected.speakers[0].name[63] = '\0';
    expected.speakers[1].name[63] = '\0';
    EXPECT_EQ(std::memcmp(to, &expected, sizeof expected), 0);  // reads all 232 bytes

    // Matched to itself, the arrangement is copied before its old block goes.
    ASSERT_TRUE(effect.matchArrangement(&to, to));
    ASSERT_NE(to, nullptr);
    EXPECT_EQ(std::memcmp(to, &expected, sizeof expected), 0);

    EXPECT_FALSE(effect.matchArrangement(&to, nullptr));
    EXPECT_FALSE(effect.matchArrangement(nullptr, &source.header));
    effect.deallocateArrangement(&to);
}

}  // namespace
