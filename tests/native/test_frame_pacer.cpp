// The frame pacer worked through with made-up times: frames at the delay's
// pace, never faster, and no catch-up after a pause.
#include <gtest/gtest.h>

#include <vector>

#include "linux/frame_pacer.h"

namespace {

// A run loop on a made-up clock: each frame takes `drawTime` to draw and
// swap, the loop waits as the pacer says, and the process is stopped from
// `pauseAt` for `pauseFor`. The start times of the frames up to `end`.
std::vector<std::int64_t> Starts(std::int64_t delay, std::int64_t drawTime, std::int64_t end,
                                 std::int64_t pauseAt = -1, std::int64_t pauseFor = 0) {
    FramePacer pacer;
    pacer.Delay = delay;
    std::vector<std::int64_t> starts;
    std::int64_t now = 1000000;
    const std::int64_t first = now;
    while (now - first < end) {
        if (pauseAt >= 0 && now - first >= pauseAt && pauseFor > 0) {
            now += pauseFor;
            pauseFor = 0;
        }
        const std::int64_t wait = TimeUntilNextFrame(pacer, now);
        EXPECT_GE(wait, 0);
        EXPECT_LE(wait, delay);
        if (wait > 0) {
            now += wait;
            continue;
        }
        FrameStarted(pacer, now);
        starts.push_back(now - first);
        now += drawTime;
    }
    return starts;
}

int CountBetween(const std::vector<std::int64_t>& starts, std::int64_t from, std::int64_t to) {
    int n = 0;
    for (std::int64_t s : starts) n += s >= from && s < to;
    return n;
}

}  // namespace

TEST(FramePacer, FramesKeepTheDelaysPaceCountingTheDrawingTime) {
    // The default: 60 frames in a second, whether drawing takes 1 ms or 15.
    EXPECT_EQ(Starts(DefaultFrameDelay, 1000, 1000000).size(), 60u);
    EXPECT_EQ(Starts(DefaultFrameDelay, 15000, 1000000).size(), 60u);
    // Drawing slower than the delay: as fast as drawing allows, no pause.
    EXPECT_EQ(Starts(DefaultFrameDelay, 25000, 1000000).size(), 40u);
    // No delay: no wait at all.
    EXPECT_EQ(Starts(0, 4000, 1000000).size(), 250u);
    EXPECT_EQ(Starts(MaxFrameDelay, 4000, 1000000).size(), 10u);

    // The wait is what is left of the delay since the last start.
    FramePacer pacer;
    EXPECT_EQ(TimeUntilNextFrame(pacer, 5), 0);  // the first frame starts at once
    FrameStarted(pacer, 1000);
    EXPECT_EQ(TimeUntilNextFrame(pacer, 1000), DefaultFrameDelay);
    EXPECT_EQ(TimeUntilNextFrame(pacer, 6000), DefaultFrameDelay - 5000);
    EXPECT_EQ(TimeUntilNextFrame(pacer, 1000 + DefaultFrameDelay), 0);
    EXPECT_EQ(TimeUntilNextFrame(pacer, 500), DefaultFrameDelay);  // never longer than the delay

    // The real clock goes forward.
    const std::int64_t before = PacerNow();
    EXPECT_GE(PacerNow(), before);
}

TEST(FramePacer, NoCatchUpAfterAPauseOrASlowFrame) {
    // Stopped for two seconds half a second in: the second after the pause
    // has no more frames than the delay allows (one of them at once).
    const std::vector<std::int64_t> starts = Starts(50000, 2000, 4000000, 500000, 2000000);
    EXPECT_EQ(CountBetween(starts, 2500000, 3500000), 20);
    EXPECT_EQ(CountBetween(starts, 500000, 2500000), 0);
    for (std::size_t i = 1; i < starts.size(); ++i) EXPECT_GE(starts[i] - starts[i - 1], 50000) << i;

    // One slow frame: the next starts at once, the one after a full delay on.
    FramePacer pacer;
    FrameStarted(pacer, 0);
    EXPECT_EQ(TimeUntilNextFrame(pacer, 90000), 0);
    FrameStarted(pacer, 90000);
    EXPECT_EQ(TimeUntilNextFrame(pacer, 91000), DefaultFrameDelay - 1000);
}

TEST(FramePacer, SwapIntervalForFasterDisplays) {
    // Up to 60 Hz, or unknown, or no delay: every refresh, as before.
    for (double hz : {0.0, 50.0, 59.94, 60.0, 60.5})
        for (std::int64_t delay : {std::int64_t{0}, DefaultFrameDelay, MaxFrameDelay}) EXPECT_EQ(SwapIntervalFor(hz, delay), 1);
    EXPECT_EQ(SwapIntervalFor(144.0, 0), 1);
    // Faster: as many refreshes as the delay spans, whole.
    EXPECT_EQ(SwapIntervalFor(75.0, DefaultFrameDelay), 1);
    EXPECT_EQ(SwapIntervalFor(119.88, DefaultFrameDelay), 2);
    EXPECT_EQ(SwapIntervalFor(120.0, DefaultFrameDelay), 2);
    EXPECT_EQ(SwapIntervalFor(144.0, DefaultFrameDelay), 2);
    EXPECT_EQ(SwapIntervalFor(239.76, DefaultFrameDelay), 4);
    EXPECT_EQ(SwapIntervalFor(120.0, 33333), 4);
    EXPECT_EQ(SwapIntervalFor(120.0, 5000), 1);
}

TEST(FramePacer, UnderADisplayWaitAFrameIsDueHalfARefreshEarly) {
    // A 60.05 Hz panel paces the swaps every 16653 us at the default delay:
    // each frame must be due when its refresh comes, or one shows twice.
    FramePacer pacer;
    pacer.DisplayPeriod = RefreshPeriod(60.05);
    EXPECT_EQ(pacer.DisplayPeriod, 16653);
    std::int64_t now = 1000000;
    int late = 0;
    for (int frame = 0; frame < 1200; ++frame) {  // 20 s
        ASSERT_EQ(TimeUntilNextFrame(pacer, now), 0) << frame;
        FrameStarted(pacer, now);
        // The swap returns at the next refresh, give or take 0.3 ms.
        now += pacer.DisplayPeriod + (frame % 3 == 0 ? 300 : -300);
        late += TimeUntilNextFrame(pacer, now) > 0;
    }
    EXPECT_EQ(late, 0);
    // With no display wait, the whole delay holds (a refresh early is too early).
    pacer.DisplayPeriod = 0;
    FrameStarted(pacer, now);
    EXPECT_EQ(TimeUntilNextFrame(pacer, now + 16653), 14);
    // Never negative, and half a refresh is the most it gives away.
    pacer.DisplayPeriod = RefreshPeriod(60.0);
    EXPECT_EQ(TimeUntilNextFrame(pacer, now + 8333), 1);
    pacer.Delay = 1000;
    EXPECT_EQ(TimeUntilNextFrame(pacer, now + 1), 0);
    EXPECT_EQ(RefreshPeriod(0.0), 0);
}
