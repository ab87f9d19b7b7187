// The windows of one X11 cover: one override-redirect window on each
// monitor (RandR's monitors, else the whole screen), above every other
// window, fullscreen ones included, with the pointer hidden over them. The
// window manager places none of them, so they need no fullscreen request
// and take no focus.
#pragma once

#include <X11/Xlib.h>
#include <X11/Xutil.h>

#include <vector>

#include "linux/x11/monitors.h"

struct CoverWindow {
    Window Id = 0;
    int X = 0, Y = 0, Width = 0, Height = 0;
};

struct CoverWindows {
    Display* Dpy = nullptr;
    Window Root = 0;
    XVisualInfo Visual{};
    Colormap OwnColormap = 0;
    Cursor Hidden = 0;
    std::vector<CoverWindow> Windows;
    std::vector<MonitorRect> Monitors;  // as last followed
};

// Ready to make windows of `visual` on `dpy`'s default screen.
void OpenCoverWindows(CoverWindows& cover, Display* dpy, const XVisualInfo& visual);
void CloseCoverWindows(CoverWindows& cover);

// Gives every monitor its window, as the monitors are now: windows are
// moved and sized, made and destroyed to match. True when any changed.
bool FollowMonitors(CoverWindows& cover);

// Puts the windows above every other again.
void RaiseCoverWindows(CoverWindows& cover);

bool IsCoverWindow(const CoverWindows& cover, Window window);
