// The Wayland client's frame timing over several outputs, on made-up times:
// one simulation waits for every output that shows its frames, and for no
// output that does not.
#include <gtest/gtest.h>

#include "linux/wayland/output_frame_timing.h"

namespace {

const std::int64_t T = 5000000;

SurfaceFrameState Ready() { return SurfaceFrameState{true, false, 0}; }
SurfaceFrameState Waiting(std::int64_t since) { return SurfaceFrameState{false, true, since}; }

FramePacer PacerStartedAt(std::int64_t start, std::int64_t delay) {
    FramePacer pacer;
    pacer.Delay = delay;
    FrameStarted(pacer, start);
    return pacer;
}

TEST(OutputFrameTiming, OutputsWaitForEachOtherAndTheDelay) {
    const FramePacer fresh;
    // Nothing configured yet, or every output still showing the last frame:
    // no frame until the compositor answers.
    EXPECT_EQ(TimeUntilFrameDue({}, fresh, T), -1);
    EXPECT_EQ(TimeUntilFrameDue({Waiting(T - 1000), Waiting(T - 2000)}, fresh, T), -1);
    // One output has shown it, the other not yet: the first waits for it.
    EXPECT_EQ(TimeUntilFrameDue({Ready(), Waiting(T - 4000)}, fresh, T), StallLimit - 4000);
    // Both have: due at once, or when the delay since the last frame has passed.
    EXPECT_EQ(TimeUntilFrameDue({Ready(), Ready()}, fresh, T), 0);
    EXPECT_EQ(TimeUntilFrameDue({Ready(), Ready()}, PacerStartedAt(T - 10000, 16667), T), 6667);
    EXPECT_EQ(TimeUntilFrameDue({Ready(), Ready()}, PacerStartedAt(T - 20000, 16667), T), 0);
}

TEST(OutputFrameTiming, AnOutputThatShowsNothingHoldsTheOthersBackNoLonger) {
    const FramePacer fresh;
    // Its callback has been out for the stall limit: the others go on at
    // their own pace, frame after frame, without it.
    EXPECT_EQ(TimeUntilFrameDue({Ready(), Waiting(T - StallLimit)}, fresh, T), 0);
    EXPECT_EQ(TimeUntilFrameDue({Ready(), Waiting(T - 10 * StallLimit)}, PacerStartedAt(T - 1000, 16667), T),
              15667);
    // Every output hidden: no frames at all (and no burst when they come back).
    EXPECT_EQ(TimeUntilFrameDue({Waiting(T - 10 * StallLimit), Waiting(T - StallLimit)}, fresh, T), -1);
}

}  // namespace
