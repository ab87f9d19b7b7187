#include "render/viewport_frame.h"

#include "render/frame_drawing.h"

int DrawFrameInViewports(const ViewportRect* viewports, int count, ViewportBegin begin, ViewportEnd end,
                         void* context) {
    int drawn = 0;
    for (int i = 0; i < count; ++i) {
        if (begin != nullptr && !begin(i, context)) continue;
        const ViewportRect& v = viewports[i];
        ResizeViewportAt(v.X, v.Y, v.Width, v.Height);
        DrawScene();
        if (end != nullptr) end(i, context);
        ++drawn;
    }
    if (drawn > 0) StepSimulation();
    return drawn;
}
