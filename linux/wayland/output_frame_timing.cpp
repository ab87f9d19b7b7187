#include "linux/wayland/output_frame_timing.h"

std::int64_t TimeUntilFrameDue(const std::vector<SurfaceFrameState>& surfaces, const FramePacer& pacer,
                               std::int64_t now) {
    bool anyDrawable = false;
    std::int64_t wait = -1;
    for (const SurfaceFrameState& surface : surfaces) {
        anyDrawable = anyDrawable || surface.Drawable;
        if (!surface.Awaiting) continue;
        const std::int64_t left = surface.Requested + StallLimit - now;
        if (left > 0 && (wait < 0 || left < wait)) wait = left;
    }
    if (!anyDrawable) return -1;
    return wait < 0 ? TimeUntilNextFrame(pacer, now) : wait;
}
