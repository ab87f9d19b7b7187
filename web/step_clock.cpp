#include "web/step_clock.h"

#include <cmath>

int StepsDue(StepClock& clock, double now) {
    if (!clock.Started) {
        clock.Started = true;
        clock.Next = now + static_cast<double>(clock.Delay) / 1000.0;
        return 0;
    }
    if (clock.Delay <= 0) return 1;
    const double period = static_cast<double>(clock.Delay) / 1000.0;
    if (now < clock.Next) return 0;
    const double behind = std::floor((now - clock.Next) / period);
    if (behind >= MaxCatchUpSteps) {
        // A pause: one step now, and on from here.
        clock.Next = now + period;
        return 1;
    }
    const int steps = static_cast<int>(behind) + 1;
    clock.Next += steps * period;
    return steps;
}
