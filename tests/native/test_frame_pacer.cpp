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

namespace {

// A display refreshing `hz` times a second, and one front end's run loop
// over it on a made-up clock: drawing takes `drawTime`, the loop waits as the
// pacer says, and the process is stopped from `pauseAt` for `pauseFor`. The
// pacer is told the display's stated rate, which may be a little off.
//   Swap (the X11 mode): the swap waits for the swap interval the X11 mode
//     chooses, and returns at the refresh that shows the frame.
//   Callback (the Wayland client): a frame committed is shown at the next
//     refresh, whose frame callback lets the next frame start.
//   None (software GL on a real display): the swap returns at once; the
//     pacer alone holds the rate it is told.
// The refreshes (as counts from the start) at which a new frame is shown.
enum class DisplayWait { Swap, Callback, None };

std::vector<std::int64_t> Shown(DisplayWait kind, double hz, std::int64_t delay, std::int64_t seconds,
                                std::int64_t drawTime = 2000, std::int64_t pauseAt = -1,
                                std::int64_t pauseFor = 0, double statedHz = 0, std::int64_t start = 123457) {
    if (statedHz == 0) statedHz = hz;
    const double period = 1e6 / hz;
    const int interval = kind == DisplayWait::Swap ? SwapIntervalFor(statedHz, delay) : 1;
    FramePacer pacer;
    pacer.Delay = delay;
    pacer.DisplayPeriod = RefreshPeriod(statedHz) * interval;
    // The first refresh at or after a time, with its count.
    auto refreshAfter = [&](std::int64_t t, std::int64_t atLeast) {
        std::int64_t n = static_cast<std::int64_t>(static_cast<double>(t) / period);
        while (static_cast<std::int64_t>(static_cast<double>(n) * period) < t || n < atLeast) ++n;
        return n;
    };
    auto timeOf = [&](std::int64_t n) { return static_cast<std::int64_t>(static_cast<double>(n) * period); };
    std::vector<std::int64_t> shown;
    std::int64_t now = start;
    std::int64_t callback = 0;  // when the last frame's callback comes
    while (now < seconds * 1000000) {
        if (pauseAt >= 0 && now >= pauseAt && pauseFor > 0) {
            now += pauseFor;
            pauseFor = 0;
        }
        if (now < callback) {
            now = callback;
            continue;
        }
        const std::int64_t wait = TimeUntilNextFrame(pacer, now);
        if (wait > 0) {
            now += wait;
            continue;
        }
        FrameStarted(pacer, now);
        const std::int64_t drawn = now + drawTime;
        const std::int64_t earliest = shown.empty() ? 0 : shown.back() + (kind == DisplayWait::Swap ? interval : 1);
        const std::int64_t refresh = kind == DisplayWait::None ? refreshAfter(drawn, 0) : refreshAfter(drawn, earliest);
        shown.push_back(refresh);
        if (kind == DisplayWait::Swap)
            now = timeOf(refresh);  // the swap returns when the frame is shown
        else if (kind == DisplayWait::Callback)
            callback = timeOf(refresh), now = drawn;
        else
            now = drawn;
    }
    return shown;
}

// New frames a second between `from` and `to` seconds.
double Rate(const std::vector<std::int64_t>& shown, double hz, double from, double to) {
    int n = 0;
    for (std::int64_t refresh : shown) n += refresh >= from * hz && refresh < to * hz;
    return n / (to - from);
}

}  // namespace

TEST(FramePacer, UnderADisplayWaitTheRateIsTheDelaysOrTheDisplays) {
    for (DisplayWait kind : {DisplayWait::Swap, DisplayWait::Callback, DisplayWait::None}) {
        for (double hz : {60.0, 60.05, 120.0, 144.0}) {
            for (std::int64_t delay : {16667, 20000, 33333, 50000, 100000}) {
                const std::vector<std::int64_t> shown = Shown(kind, hz, delay, 12);
                const double wanted = delay * hz >= 1e6 ? 1e6 / static_cast<double>(delay) : hz;
                const double rate = Rate(shown, hz, 1.0, 11.0);
                const char* name = kind == DisplayWait::Swap ? "swap" : kind == DisplayWait::Callback ? "callback" : "none";
                EXPECT_NEAR(rate, wanted, wanted * 0.03) << name << " " << hz << " Hz, delay " << delay;
                if (kind == DisplayWait::None) continue;
                // Where the delay spans whole refreshes, every frame spans the same number.
                FramePacer pacer;
                pacer.Delay = delay;
                pacer.DisplayPeriod = RefreshPeriod(hz) * (kind == DisplayWait::Swap ? SwapIntervalFor(hz, delay) : 1);
                const std::int64_t whole = WholeDisplayPeriods(pacer);
                if (whole == 0) continue;
                const std::int64_t refreshes = pacer.DisplayPeriod / RefreshPeriod(hz) * whole;
                int uneven = 0;
                for (std::size_t i = 2; i < shown.size(); ++i) uneven += shown[i] - shown[i - 1] != refreshes;
                EXPECT_EQ(uneven, 0) << name << " " << hz << " Hz, delay " << delay << ": " << refreshes;
            }
        }
    }
    // A panel a little faster or slower than it says: still every refresh a
    // new frame at the default delay, for a minute.
    for (DisplayWait kind : {DisplayWait::Swap, DisplayWait::Callback}) {
        for (double real : {60.05, 59.95}) {
            for (std::int64_t start = 0; start < 16667; start += 2083) {
                const std::vector<std::int64_t> shown = Shown(kind, real, DefaultFrameDelay, 60, 2000, -1, 0, 60.0, start);
                int repeats = 0;
                for (std::size_t i = 2; i < shown.size(); ++i) repeats += shown[i] - shown[i - 1] != 1;
                EXPECT_EQ(repeats, 0) << real << " Hz from " << start;
            }
        }
    }
    // The designed speed on the panels the rule is made for: 60 and 60.05 Hz
    // in step, one refresh a frame; 120 Hz two; 144 Hz uneven, 60 a second.
    FramePacer pacer;
    pacer.DisplayPeriod = RefreshPeriod(60.05);
    EXPECT_EQ(WholeDisplayPeriods(pacer), 1);
    pacer.DisplayPeriod = RefreshPeriod(120.0);
    EXPECT_EQ(WholeDisplayPeriods(pacer), 2);
    pacer.DisplayPeriod = RefreshPeriod(144.0);
    EXPECT_EQ(WholeDisplayPeriods(pacer), 0);
    pacer.Delay = 0;
    EXPECT_EQ(WholeDisplayPeriods(pacer), 0);
}

TEST(FramePacer, AfterAStallUnderADisplayWaitNoCatchUp) {
    // Stopped for half a second three seconds in: the half second after has
    // no more frames than the delay allows.
    for (DisplayWait kind : {DisplayWait::Swap, DisplayWait::Callback}) {
        for (std::int64_t delay : {16667, 20000, 50000}) {
            const std::vector<std::int64_t> shown = Shown(kind, 60.0, delay, 5, 2000, 3000000, 500000);
            EXPECT_EQ(Rate(shown, 60.0, 3.1, 3.5), 0.0) << delay;
            EXPECT_LE(Rate(shown, 60.0, 3.5, 4.0), 1e6 / static_cast<double>(delay) + 2.0) << delay;
            EXPECT_NEAR(Rate(shown, 60.0, 4.0, 5.0), 1e6 / static_cast<double>(delay), 2.0) << delay;
        }
    }
    // Slow frames (25 ms at the default delay): as fast as drawing allows.
    EXPECT_NEAR(Rate(Shown(DisplayWait::Callback, 60.0, 16667, 3, 25000), 60.0, 1.0, 3.0), 30.0, 1.0);
    // With no display wait, the whole delay holds (a refresh early is too early).
    FramePacer pacer;
    FrameStarted(pacer, 1000);
    EXPECT_EQ(TimeUntilNextFrame(pacer, 1000 + 16653), 14);
    EXPECT_EQ(RefreshPeriod(0.0), 0);
    EXPECT_EQ(RefreshPeriod(60.05), 16653);
}
