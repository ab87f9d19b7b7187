// -fps: the frame rate of the last second, drawn in the bottom-left corner
// with the server's "fixed" font; without that font it is written to
// stderr once a second instead.
#pragma once

#include <X11/Xlib.h>

struct FpsOverlay {
    unsigned ListBase = 0;  // display lists of characters 32..126; 0 = no font
    double SecondStart = 0.0;
    int FramesThisSecond = 0;
    char Text[32] = "";
};

// Needs the GL context current.
void OpenFpsOverlay(FpsOverlay& overlay, Display* dpy);
// Counts one frame and draws the text over it, leaving the GL state as found.
void DrawFpsOverlay(FpsOverlay& overlay, int width, int height);
