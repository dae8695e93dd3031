#pragma once
// A level meter: a bar that rises from the bottom to the level the audio thread last reported,
// falls back slowly, and holds the highest level of the last second as a line above it.
//
// The audio thread never touches the view. It writes into a `LevelFeed` the effect owns, which
// takes no lock; the meter reads the feed when the frame draws at the host's idle.

#include "CColor.h"
#include "CView.h"

#include <atomic>
#include <cstdint>

class LevelFeed {
public:
    // Audio thread: the peak of one block, 0 for silence and 1 for full scale (louder counts as
    // 1). Keeps the highest written since the meter last read it.
    void write(float peak);
    // User-interface thread: the highest peak written since the last call, 0 if none.
    float take();
    // The peak waiting to be taken, without taking it.
    float waiting() const { return highest.load(std::memory_order_relaxed); }

private:
    std::atomic<float> highest{0.0f};
};
static_assert(std::atomic<float>::is_always_lock_free, "the audio thread must never wait for a lock");

class CLevelMeter : public CView {
public:
    // How far the bar falls at each draw, as a share of the scale, and for how many draws the
    // hold line stays (about a second at a host's 30 idles a second).
    static constexpr float kFallPerDraw = 0.05f;
    static constexpr int kHoldDraws = 30;

    // `feed` is not owned; it must outlive the meter, as the effect outlives its editor.
    CLevelMeter(const CRect& size, LevelFeed* feed);

    void draw(CDrawContext* context) override;
    // Dirty while a level waits in the feed, the bar is falling or the hold line is up.
    bool isDirty() const override;
    bool isTypeOf(const char* className) const override;

    void setColors(CColor back, CColor bar, CColor hold);
    // What the meter shows now, 0 to 1.
    float shownLevel() const { return shown; }
    float heldLevel() const { return held; }

private:
    // The row of the meter's rectangle that a level reaches, from its bottom.
    std::int32_t rowOf(float level) const;

    LevelFeed* feed;
    float shown = 0.0f;
    float held = 0.0f;
    int holdLeft = 0;
    CColor backColor{30, 30, 36, 255};
    CColor barColor{90, 200, 120, 255};
    CColor holdColor{255, 160, 0, 255};
};
