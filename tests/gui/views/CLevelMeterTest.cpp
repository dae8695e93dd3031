#include "CLevelMeter.h"

#include "ControlInFrame.h"

#include <cmath>
#include <limits>
#include <thread>
#include <vector>

namespace {

// The meter sits at (10, 10) of the panel, 10 wide and 50 high: window rows 20 to 69.
const Pixel kBack = rgb(30, 30, 36);
const Pixel kBar = rgb(90, 200, 120);
const Pixel kHold = rgb(255, 160, 0);

struct LevelMeterTest : ControlInFrame {
    LevelMeterTest() { meter = place(new CLevelMeter(CRect(10, 10, 20, 60), &feed)); }

    LevelFeed feed;
    CLevelMeter* meter = nullptr;
};

TEST_F(LevelMeterTest, ShowsTheHighestLevelTheAudioThreadWroteThenFallsAndLetsTheHoldGo) {
    std::thread audio([this] {
        for (float peak : {0.3f, 0.8f, 0.5f}) feed.write(peak);
    });
    audio.join();
    // 0.8 of 50 rows: the bar from row 30 down, the hold line on its top row. One look, one draw.
    const std::vector<Pixel> column = pixelsIn(25, 20, 26, 70);
    EXPECT_EQ(column[9], kBack);
    EXPECT_EQ(column[10], kHold);
    EXPECT_EQ(column[11], kBar);
    EXPECT_EQ(column[49], kBar);
    EXPECT_FLOAT_EQ(meter->shownLevel(), 0.8f);
    EXPECT_FLOAT_EQ(meter->heldLevel(), 0.8f);

    int draws = 0;
    while (meter->isDirty() && draws < 100) {
        frame->idle();
        ++draws;
    }
    EXPECT_FALSE(meter->isDirty()) << "a meter at rest is not drawn at every idle";
    EXPECT_EQ(meter->heldLevel(), 0.0f);
    EXPECT_GE(draws, CLevelMeter::kHoldDraws) << "the hold stays about a second";
    EXPECT_LE(draws, CLevelMeter::kHoldDraws + 1);
    EXPECT_EQ(at(25, 30), kBack);
    EXPECT_EQ(at(25, 69), kBack);
}

TEST_F(LevelMeterTest, SilenceNegativeAndNotANumberLeaveItAtRest) {
    for (float peak : {0.0f, -1.0f, std::numeric_limits<float>::quiet_NaN()}) feed.write(peak);
    EXPECT_FALSE(meter->isDirty());
    EXPECT_EQ(at(25, 69), kBack);
}

TEST_F(LevelMeterTest, APeakPastFullScaleFallsFromTheTopAndOneFromBeforeTheMeterIsNotShown) {
    for (float peak : {4.0f, std::numeric_limits<float>::infinity()}) {
        feed.write(peak);
        frame->idle();
        EXPECT_EQ(meter->shownLevel(), 1.0f) << peak;
        frame->idle();
        EXPECT_FLOAT_EQ(meter->shownLevel(), 1.0f - CLevelMeter::kFallPerDraw) << peak;
        for (int draws = 0; meter->isDirty() && draws < 100; ++draws) frame->idle();
        EXPECT_FALSE(meter->isDirty()) << peak;
    }
    // Written while no meter showed the feed, as while an editor was closed.
    panel->removeView(meter);
    feed.write(0.9f);
    auto* reopened = place(new CLevelMeter(CRect(30, 10, 40, 60), &feed));
    EXPECT_FALSE(reopened->isDirty());
    EXPECT_EQ(at(45, 69), kBack);
}

} // namespace
