// How many steps of the field are due at an animation frame. The field
// moves at the saver's rate, one step each frame delay, whatever the
// display's refresh: a 144 Hz display draws some frames with no step, a
// 30 Hz one takes two steps a frame, and a renderer that manages 10 frames
// a second six. A gap of more than MaxCatchUpSteps steps (a tab in the
// background, a stalled machine) is not made up: the field goes on from
// where it was. Times are the animation frames' time
// stamps in milliseconds; plain code, no browser here.
#pragma once

#include <cstdint>

constexpr int MaxCatchUpSteps = 15;  // a quarter of a second at the saver's 60

struct StepClock {
    std::int64_t Delay = 0;  // microseconds a step; 0: one step each animation frame
    double Next = 0.0;       // when the next step is due
    bool Started = false;
};

// The steps due at `now`. The first frame takes none: it shows the field as
// seeded.
int StepsDue(StepClock& clock, double now);
