// One frame of the one star field in several viewports: a window over
// several monitors, or a surface on each output.
#pragma once

#include "render/viewport.h"

// Makes viewport `index`'s target current and ready to draw into (cleared);
// false leaves that viewport out of this frame.
using ViewportBegin = bool (*)(int index, void* context);
// Finishes viewport `index` once it is drawn (a swap, say).
using ViewportEnd = void (*)(int index, void* context);

// For each of the `count` viewports in turn: `begin` (when given), the
// viewport with the saver's perspective, the current state of the field,
// `end` (when given). Then, when any viewport was drawn, one simulation step:
// every viewport shows the same frame. Returns how many were drawn.
int DrawFrameInViewports(const ViewportRect* viewports, int count, ViewportBegin begin, ViewportEnd end,
                         void* context);
