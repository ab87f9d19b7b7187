// The monitors of an X screen, as RandR 1.5 lists the active ones, else
// the whole screen as one.
#pragma once

#include <X11/Xlib.h>

#include <vector>

struct MonitorRect {
    int X, Y, Width, Height;
};

std::vector<MonitorRect> ListMonitors(Display* dpy, Window root);

// Whether x, y, width x height spans the whole of one of `monitors`.
bool SpansAMonitor(const std::vector<MonitorRect>& monitors, int x, int y, int width, int height);
