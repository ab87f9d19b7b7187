// -fps: the frame rate of the last second and its load, the share of that
// second spent drawing rather than waiting between frames, drawn in the
// bottom-left corner with the server's "fixed" font; without that font it is
// written to stderr once a second instead.
#pragma once

#include <X11/Xlib.h>

#include <cstdint>

struct FpsOverlay {
    unsigned ListBase = 0;  // display lists of characters 32..126; 0 = no font
    int SpaceWidth = 0;     // the font's character cell ("fixed" is fixed-width)
    double SecondStart = 0.0;
    int FramesThisSecond = 0;
    std::int64_t WaitedThisSecond = 0;  // microseconds
    char Text[48] = "";
};

// Needs the GL context current.
void OpenFpsOverlay(FpsOverlay& overlay, Display* dpy);
// Counts one frame, which waited `waited` microseconds before it started,
// and draws the text over it, leaving the GL state as found.
void DrawFpsOverlay(FpsOverlay& overlay, int width, int height, std::int64_t waited);
