// Paces the frames of a front end that draws whenever nothing else is
// waiting (`--delay`): the frame rate is 1 000 000 / delay, counting each
// frame's drawing and swapping, and where a display wait (the swap, a frame
// callback) paces the frames too, no faster than the display shows them.
//
// Without a display wait the next frame may start at max(now, last frame's
// start + delay). Under one, frames are due on a schedule one step apart:
// the display's own period times the whole number of refreshes the delay
// spans, where it spans one within 2 % (16667 us on a 60 or 60.05 Hz panel,
// 33333 us at 120 Hz), so that frames keep in step with the display and none
// shows twice; else the delay itself (20 ms at 60 Hz, 16667 us at 144 Hz),
// frames spanning uneven numbers of refreshes that average the delay. A
// frame is due half a refresh before its time, so that the display wait's
// jitter cannot make it miss its refresh. After a pause (SIGSTOP and
// SIGCONT, a slow frame, a busy machine) the schedule starts again from the
// frame that ends it: frames go on at the delay's pace, with no burst of
// catch-up frames.
//
// Times are microseconds of a monotonic clock. `PacerNow()` reads it; every
// other function takes the time as an argument, so the pacing can be worked
// through with made-up times. Plain code: no window system here.
#pragma once

#include <cstdint>

#include "settings/frame_delay.h"

struct FramePacer {
    std::int64_t Delay = DefaultFrameDelay;  // microseconds per frame; 0: no pause
    // What one display wait takes (a refresh, or the refreshes of a swap
    // interval), where one already paces the frames; 0 where nothing waits.
    std::int64_t DisplayPeriod = 0;
    std::int64_t LastStart = 0;              // when the last frame started
    std::int64_t Scheduled = 0;              // under a display wait: the next frame's time
    bool Started = false;                    // whether a frame has started yet
};

// The monotonic clock, in microseconds.
std::int64_t PacerNow();

// How many display periods a frame spans in step with the display: 1 when
// the delay is shorter than one period or within 2 % of it, n when it is
// within 2 % of n; 0 when it falls between (or there is no display wait),
// and the delay alone sets the schedule.
std::int64_t WholeDisplayPeriods(const FramePacer& pacer);

// How long to wait, from `now`, before the next frame may start: 0 when it
// may start at once (the first frame, a delay of 0, or its time come), never
// more than one step of the schedule.
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
