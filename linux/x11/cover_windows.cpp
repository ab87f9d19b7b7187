#include "linux/x11/cover_windows.h"

#include <X11/Xatom.h>

#include <cstring>

namespace {

Window MakeWindow(CoverWindows& cover, const MonitorRect& at) {
    Display* dpy = cover.Dpy;
    XSetWindowAttributes attributes;
    std::memset(&attributes, 0, sizeof attributes);
    attributes.override_redirect = True;
    attributes.colormap = cover.OwnColormap;
    attributes.background_pixel = BlackPixel(dpy, cover.Visual.screen);
    attributes.border_pixel = 0;
    attributes.cursor = cover.Hidden;
    // Keys, buttons and motion over the windows end the cover where the
    // server has no XInput 2; structure for the sizes.
    attributes.event_mask = KeyPressMask | ButtonPressMask | PointerMotionMask | StructureNotifyMask;
    const Window window = XCreateWindow(dpy, cover.Root, at.X, at.Y, static_cast<unsigned>(at.Width),
                                        static_cast<unsigned>(at.Height), 0, cover.Visual.depth, InputOutput,
                                        cover.Visual.visual,
                                        CWOverrideRedirect | CWColormap | CWBackPixel | CWBorderPixel | CWCursor |
                                            CWEventMask,
                                        &attributes);
    XStoreName(dpy, window, "Mirrowen");
    XClassHint hint;
    hint.res_name = const_cast<char*>("mirrowen");
    hint.res_class = const_cast<char*>("Mirrowen");
    XSetClassHint(dpy, window, &hint);
    // A compositing window manager may show it directly, as a fullscreen game.
    const long bypass = 1;
    XChangeProperty(dpy, window, XInternAtom(dpy, "_NET_WM_BYPASS_COMPOSITOR", False), XA_CARDINAL, 32,
                    PropModeReplace, reinterpret_cast<const unsigned char*>(&bypass), 1);
    XMapRaised(dpy, window);
    return window;
}

}  // namespace

void OpenCoverWindows(CoverWindows& cover, Display* dpy, const XVisualInfo& visual) {
    cover.Dpy = dpy;
    cover.Visual = visual;
    cover.Root = RootWindow(dpy, visual.screen);
    cover.OwnColormap = XCreateColormap(dpy, cover.Root, visual.visual, AllocNone);
    // An empty one-pixel cursor: the pointer hidden over the windows only.
    static char none[1] = {0};
    const Pixmap empty = XCreateBitmapFromData(dpy, cover.Root, none, 1, 1);
    XColor black;
    std::memset(&black, 0, sizeof black);
    cover.Hidden = XCreatePixmapCursor(dpy, empty, empty, &black, &black, 0, 0);
    XFreePixmap(dpy, empty);
}

void CloseCoverWindows(CoverWindows& cover) {
    if (cover.Dpy == nullptr) return;
    for (const CoverWindow& window : cover.Windows) XDestroyWindow(cover.Dpy, window.Id);
    if (cover.Hidden != 0) XFreeCursor(cover.Dpy, cover.Hidden);
    if (cover.OwnColormap != 0) XFreeColormap(cover.Dpy, cover.OwnColormap);
    cover = CoverWindows{};
}

bool FollowMonitors(CoverWindows& cover) {
    const std::vector<MonitorRect> monitors = ListMonitors(cover.Dpy, cover.Root);
    cover.Monitors = monitors;
    bool changed = false;
    while (cover.Windows.size() > monitors.size()) {
        XDestroyWindow(cover.Dpy, cover.Windows.back().Id);
        cover.Windows.pop_back();
        changed = true;
    }
    for (std::size_t i = 0; i < monitors.size(); ++i) {
        const MonitorRect& at = monitors[i];
        if (i == cover.Windows.size()) {
            cover.Windows.push_back(CoverWindow{MakeWindow(cover, at), at.X, at.Y, at.Width, at.Height});
            changed = true;
            continue;
        }
        CoverWindow& window = cover.Windows[i];
        if (window.X == at.X && window.Y == at.Y && window.Width == at.Width && window.Height == at.Height) continue;
        XMoveResizeWindow(cover.Dpy, window.Id, at.X, at.Y, static_cast<unsigned>(at.Width),
                          static_cast<unsigned>(at.Height));
        window = CoverWindow{window.Id, at.X, at.Y, at.Width, at.Height};
        changed = true;
    }
    return changed;
}

void RaiseCoverWindows(CoverWindows& cover) {
    for (const CoverWindow& window : cover.Windows) XRaiseWindow(cover.Dpy, window.Id);
}

bool IsCoverWindow(const CoverWindows& cover, Window window) {
    for (const CoverWindow& own : cover.Windows)
        if (own.Id == window) return true;
    return false;
}
