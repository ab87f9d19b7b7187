// A locker's window on X11 (i3lock, slock, Cinnamon's and XScreenSaver's
// lock windows): another program's override-redirect window, shown over a
// whole monitor without the window manager. Windows of the program's own
// covers (class "Mirrowen") are none. The compositor's overlay window is
// not among the root's children, so compositing desktops show none.
#pragma once

#include <X11/Xlib.h>

#include <vector>

#include "linux/x11/monitors.h"

bool IsLockerWindow(Display* dpy, Window window, const std::vector<MonitorRect>& monitors);

// Whether one shows now among the root's children.
bool LockerWindowShown(Display* dpy, Window root, const std::vector<MonitorRect>& monitors);
