#include "linux/x11/monitors.h"

#include <X11/extensions/Xrandr.h>

std::vector<MonitorRect> ListMonitors(Display* dpy, Window root) {
    std::vector<MonitorRect> rects;
    int eventBase = 0, errorBase = 0, major = 0, minor = 0;
    if (XRRQueryExtension(dpy, &eventBase, &errorBase) && XRRQueryVersion(dpy, &major, &minor) &&
        (major > 1 || minor >= 5)) {
        int count = 0;
        XRRMonitorInfo* monitors = XRRGetMonitors(dpy, root, True, &count);
        for (int i = 0; i < count; ++i)
            if (monitors[i].width > 0 && monitors[i].height > 0)
                rects.push_back(MonitorRect{monitors[i].x, monitors[i].y, monitors[i].width, monitors[i].height});
        if (monitors != nullptr) XRRFreeMonitors(monitors);
    }
    if (rects.empty()) {
        XWindowAttributes attributes;
        if (XGetWindowAttributes(dpy, root, &attributes))
            rects.push_back(MonitorRect{0, 0, attributes.width, attributes.height});
    }
    return rects;
}

bool SpansAMonitor(const std::vector<MonitorRect>& monitors, int x, int y, int width, int height) {
    for (const MonitorRect& m : monitors)
        if (x <= m.X && y <= m.Y && x + width >= m.X + m.Width && y + height >= m.Y + m.Height) return true;
    return false;
}
