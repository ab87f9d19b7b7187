#include "linux/x11/display_refresh.h"

#include <X11/extensions/Xrandr.h>

namespace {

double ModeRate(const XRRModeInfo& mode) {
    if (mode.hTotal == 0 || mode.vTotal == 0) return 0.0;
    double lines = static_cast<double>(mode.vTotal);
    if (mode.modeFlags & RR_DoubleScan) lines *= 2.0;
    if (mode.modeFlags & RR_Interlace) lines /= 2.0;
    return static_cast<double>(mode.dotClock) / (static_cast<double>(mode.hTotal) * lines);
}

}  // namespace

double DisplayRefreshRate(Display* dpy, Window window) {
    int eventBase = 0, errorBase = 0, major = 0, minor = 0;
    if (!XRRQueryExtension(dpy, &eventBase, &errorBase) || !XRRQueryVersion(dpy, &major, &minor) ||
        (major == 1 && minor < 3))
        return 0.0;
    XWindowAttributes attributes;
    if (!XGetWindowAttributes(dpy, window, &attributes)) return 0.0;
    int x = 0, y = 0;
    Window child = 0;
    if (!XTranslateCoordinates(dpy, window, attributes.root, attributes.width / 2, attributes.height / 2, &x, &y,
                               &child))
        return 0.0;
    XRRScreenResources* resources = XRRGetScreenResourcesCurrent(dpy, attributes.root);
    if (resources == nullptr) return 0.0;
    double rate = 0.0;
    for (int c = 0; c < resources->ncrtc && rate == 0.0; ++c) {
        XRRCrtcInfo* crtc = XRRGetCrtcInfo(dpy, resources, resources->crtcs[c]);
        if (crtc == nullptr) continue;
        const bool holds = crtc->mode != None && x >= crtc->x && y >= crtc->y &&
                           x < crtc->x + static_cast<int>(crtc->width) && y < crtc->y + static_cast<int>(crtc->height);
        for (int m = 0; holds && m < resources->nmode; ++m)
            if (resources->modes[m].id == crtc->mode) rate = ModeRate(resources->modes[m]);
        XRRFreeCrtcInfo(crtc);
    }
    XRRFreeScreenResources(resources);
    return rate;
}
