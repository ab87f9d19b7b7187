#include "linux/x11/locker_window.h"

#include <X11/Xutil.h>

#include <cstring>

namespace {

bool OwnCover(Display* dpy, Window window) {
    XClassHint hint{nullptr, nullptr};
    if (!XGetClassHint(dpy, window, &hint)) return false;
    const bool own = hint.res_class != nullptr && std::strcmp(hint.res_class, "Mirrowen") == 0;
    XFree(hint.res_name);
    XFree(hint.res_class);
    return own;
}

}  // namespace

bool IsLockerWindow(Display* dpy, Window window, const std::vector<MonitorRect>& monitors) {
    XWindowAttributes attributes;
    return XGetWindowAttributes(dpy, window, &attributes) && attributes.override_redirect &&
           attributes.map_state == IsViewable && attributes.c_class == InputOutput &&
           SpansAMonitor(monitors, attributes.x, attributes.y, attributes.width, attributes.height) &&
           !OwnCover(dpy, window);
}

bool LockerWindowShown(Display* dpy, Window root, const std::vector<MonitorRect>& monitors) {
    Window rootReturn = 0, parent = 0;
    Window* children = nullptr;
    unsigned int count = 0;
    if (!XQueryTree(dpy, root, &rootReturn, &parent, &children, &count)) return false;
    bool shown = false;
    // From the top, where a locker's window is.
    for (unsigned int i = count; i-- > 0 && !shown;) shown = IsLockerWindow(dpy, children[i], monitors);
    if (children != nullptr) XFree(children);
    return shown;
}
