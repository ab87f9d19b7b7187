// The viewport over the drawing target, the same on every platform.
#pragma once

// Covers width x height (a height of 0 counts as 1) under the saver's
// perspective; frames draw in their own 640 x 480 space within it.
void ResizeViewport(int width, int height);
