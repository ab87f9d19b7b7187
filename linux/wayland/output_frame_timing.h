// When the Wayland client's next frame is due, over all its outputs: every
// surface that is shown must have shown the last frame (its frame callback
// came back) and the --delay must have passed. A surface whose callback has
// not come back within `StallLimit` is taken as not shown (a powered-down
// output, one the compositor covers) and holds the others back no longer;
// it is drawn again once its callback comes. Plain code over made-up or
// real times (microseconds of a monotonic clock).
#pragma once

#include <cstdint>
#include <vector>

#include "linux/frame_pacer.h"

constexpr std::int64_t StallLimit = 100000;

struct SurfaceFrameState {
    bool Drawable = false;       // configured, with no frame callback awaited
    bool Awaiting = false;       // a frame callback is awaited
    std::int64_t Requested = 0;  // when that callback was asked for
};

// 0: draw now (into the drawable surfaces); positive: the microseconds to
// wait at most before asking again; -1: nothing to draw into until the
// compositor sends something.
std::int64_t TimeUntilFrameDue(const std::vector<SurfaceFrameState>& surfaces, const FramePacer& pacer,
                               std::int64_t now);
