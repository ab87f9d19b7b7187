// The viewport over the drawing target, the same on every platform.
#pragma once

// A part of the drawing target in pixels: width x height whose lower-left
// corner is (X, Y) from the target's lower-left corner (GL viewport
// coordinates).
struct ViewportRect {
    int X;
    int Y;
    int Width;
    int Height;
};

// Covers width x height (a height of 0 counts as 1) under the saver's
// perspective; frames draw in their own 640 x 480 space within it.
void ResizeViewport(int width, int height);

// The same over a part of the drawing target: width x height pixels whose
// lower-left corner is (x, y) from the target's lower-left corner. A
// full-screen window over several monitors has one such part per monitor.
void ResizeViewportAt(int x, int y, int width, int height);
