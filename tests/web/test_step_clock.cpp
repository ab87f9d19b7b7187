// The page's step clock: the saver's rate whatever the display's refresh,
// and no catching up after a pause.
#include <gtest/gtest.h>

#include "web/step_clock.h"

namespace {

// Steps taken by animation frames every `frameMs` from `start` for `ms`.
int StepsOver(StepClock& clock, double start, double frameMs, double ms) {
    int steps = 0;
    for (double t = start; t < start + ms; t += frameMs) steps += StepsDue(clock, t);
    return steps;
}

TEST(StepClock, TheSaversRateAtAnyRefresh) {
    for (double hz : {7.0, 10.0, 30.0, 37.0, 60.0, 75.0, 144.0, 240.0}) {
        StepClock clock;
        clock.Delay = 16667;
        EXPECT_EQ(StepsDue(clock, 1000.0), 0) << "the first frame shows the field as seeded";
        const int steps = StepsOver(clock, 1000.0 + 1000.0 / hz, 1000.0 / hz, 10000.0);
        EXPECT_NEAR(steps, 600, 2) << hz << " Hz";
    }
    StepClock slow;
    slow.Delay = 33333;
    StepsDue(slow, 0.0);
    EXPECT_NEAR(StepsOver(slow, 1000.0 / 144.0, 1000.0 / 144.0, 10000.0), 300, 2);
    // FrameDelay 0: one step each frame shown.
    StepClock every;
    every.Delay = 0;
    StepsDue(every, 0.0);
    EXPECT_EQ(StepsOver(every, 1000.0 / 144.0, 1000.0 / 144.0, 1000.0), 144);
}

TEST(StepClock, APauseIsNotMadeUp) {
    StepClock clock;
    clock.Delay = 16667;
    StepsDue(clock, 0.0);
    StepsOver(clock, 16.0, 16.0, 1000.0);
    // Ten seconds in the background: one step, then the rate again from there.
    EXPECT_EQ(StepsDue(clock, 11000.0), 1);
    EXPECT_NEAR(StepsOver(clock, 11016.0, 16.0, 1000.0), 60, 2);
    // A slow frame within the limit is made up; one just beyond it is a pause.
    StepClock slow;
    slow.Delay = 16667;
    StepsDue(slow, 0.0);
    EXPECT_EQ(StepsDue(slow, 16.667 * 15 + 1.0), 15);
    EXPECT_EQ(StepsDue(slow, 16.667 * 15 + 1.0 + 16.667 * 16 + 1.0), 1);
}

}  // namespace
