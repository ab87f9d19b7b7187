// The refresh rate of the monitor a window is shown on, from the X server's
// RandR extension, so that the swap interval can be chosen for displays
// faster than 60 Hz.
#pragma once

#include <X11/Xlib.h>

// Refreshes a second of the monitor (RandR CRTC) holding the window's centre;
// 0 when unknown: no RandR 1.3 (its current-resources call), the centre on no monitor, or a mode without
// timings (a virtual server's).
double DisplayRefreshRate(Display* dpy, Window window);
