// Paces the frames of a front end that draws whenever nothing else is
// waiting (`--delay`): each frame takes at least the delay, counting its
// drawing and swapping, so the frame rate is at most 1 000 000 / delay.
//
// The next frame may start at max(now, last frame's start + delay), never at
// an absolute schedule: after a pause (SIGSTOP and SIGCONT, a slow frame, a
// busy machine) frames go on at the delay's pace from the moment they can,
// with no burst of catch-up frames.
//
// Times are microseconds of a monotonic clock. `PacerNow()` reads it; every
// other function takes the time as an argument, so the pacing can be worked
// through with made-up times. Plain code: no window system here.
#pragma once

#include <cstdint>

#include "settings/frame_delay.h"

struct FramePacer {
    std::int64_t Delay = DefaultFrameDelay;  // microseconds per frame; 0: no pause
    // One refresh of the display, where a display wait (the swap, a frame
    // callback) already paces the frames; 0 where nothing waits for it.
    std::int64_t DisplayPeriod = 0;
    std::int64_t LastStart = 0;              // when the last frame started
    bool Started = false;                    // whether a frame has started yet
};

// The monotonic clock, in microseconds.
std::int64_t PacerNow();

// How long to wait, from `now`, before the next frame may start: 0 when it
// may start at once (the first frame, a delay of 0, or the delay already
// spent), never more than the delay. Where a display wait paces the frames,
// a frame is due once the delay less half a refresh has passed: the display
// wait's own jitter, or a panel slightly faster than the delay (60.05 Hz),
// must not make a frame miss its refresh and show the last one twice.
std::int64_t TimeUntilNextFrame(const FramePacer& pacer, std::int64_t now);

// Records that a frame starts at `now`; call it just before drawing.
void FrameStarted(FramePacer& pacer, std::int64_t now);

// The swap interval for a display refreshing `refreshHz` times a second (0:
// unknown) at this delay. Up to 60 Hz it is 1, the swap waiting for every
// refresh as it always has. Faster, it is the most refreshes a frame can
// span without being shorter than the delay (within 5%, so that 119.88 Hz
// still gives 2 at the default): 120 Hz gives a steady 60 frames a second;
// where no whole number fits (75, 144 Hz) the pacer holds the designed
// speed and frames span uneven numbers of refreshes. A delay of 0 keeps 1.
int SwapIntervalFor(double refreshHz, std::int64_t delay);

// One refresh in microseconds at `refreshHz` (0 when unknown).
std::int64_t RefreshPeriod(double refreshHz);
