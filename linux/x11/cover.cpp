#include "linux/x11/cover.h"

#include <GL/glx.h>
#include <X11/Xlib.h>
#include <X11/extensions/XInput2.h>
#include <X11/extensions/Xrandr.h>
#include <X11/extensions/dpms.h>
#include <poll.h>
#include <unistd.h>

#include <algorithm>
#include <cstdio>
#include <string>
#include <vector>

#include "linux/end_signals.h"
#include "linux/frame_pacer.h"
#include "linux/x11/cover_windows.h"
#include "linux/x11/display_refresh.h"
#include "linux/x11/gl_window.h"
#include "linux/x11/locker_window.h"
#include "render/frame_renderer.h"
#include "render/texture_set.h"
#include "render/viewport_frame.h"
#include "settings/saver_settings.h"
#include "sim/origins.h"
#include "sim/star_seeding.h"

namespace {

// DPMS has no change event: asked this often while covering.
constexpr std::int64_t DpmsCheckPeriod = 1000000;
// Raising the windows again after others were raised, at most this often,
// so that a program that raises itself in turn does not keep both busy.
constexpr std::int64_t RaisePeriod = 100000;

// Windows that went between an event and the call that used them.
int IgnoreXError(Display*, XErrorEvent*) { return 0; }

int LostServer(Display*) {
    std::fprintf(stderr, "mirrowen: the X server closed the connection\n");
    std::fflush(stderr);
    _exit(1);
}

enum class Ending { Running, Input, Locker, Failed };

struct Cover {
    Display* Dpy = nullptr;
    CoverWindows Windows;
    GLXContext Context = nullptr;
    bool GlReady = false;
    std::vector<Window> SwapSet;  // windows whose swap interval is set
    Window PreviousFocus = None;  // what had the keyboard before the cover
    int PreviousRevert = RevertToPointerRoot;
    int XiOpcode = -1;
    int RandrEvent = -1;
    bool Dpms = false;
    bool DisplayOff = false;
    std::int64_t DpmsAskedAt = -1;
    bool MonitorsChanged = false;
    bool Shown = false;  // the first frame has reached every monitor
    bool RaiseDue = false;
    std::int64_t RaisedAt = 0;
    FramePacer Pacer;
    Ending End = Ending::Running;
};

void SelectRawInput(Cover& cover) {
    int event = 0, error = 0, major = 2, minor = 0;
    if (!XQueryExtension(cover.Dpy, "XInputExtension", &cover.XiOpcode, &event, &error) ||
        XIQueryVersion(cover.Dpy, &major, &minor) != Success) {
        cover.XiOpcode = -1;
        return;
    }
    unsigned char bits[XIMaskLen(XI_LASTEVENT)] = {};
    XISetMask(bits, XI_RawKeyPress);
    XISetMask(bits, XI_RawButtonPress);
    XISetMask(bits, XI_RawMotion);
    XIEventMask mask{XIAllMasterDevices, static_cast<int>(sizeof bits), bits};
    XISelectEvents(cover.Dpy, cover.Windows.Root, &mask, 1);
}

// Another program's window was mapped: a locker's ends the cover; anything
// else goes below it again.
void OtherMapped(Cover& cover, Window window, bool overrideRedirect) {
    if (overrideRedirect && IsLockerWindow(cover.Dpy, window, cover.Windows.Monitors))
        cover.End = Ending::Locker;
    else
        cover.RaiseDue = true;
}

// The keyboard's focus (no grab): the key that ends the cover goes to the
// cover, not into the application underneath; it is given back after.
void TakeFocus(Cover& cover) {
    XGetInputFocus(cover.Dpy, &cover.PreviousFocus, &cover.PreviousRevert);
    XSetInputFocus(cover.Dpy, cover.Windows.Windows.front().Id, RevertToPointerRoot, CurrentTime);
}

void GiveFocusBack(Cover& cover) {
    Window to = cover.PreviousFocus;
    XWindowAttributes attributes;
    if (to != None && to != PointerRoot &&
        !(XGetWindowAttributes(cover.Dpy, to, &attributes) && attributes.map_state == IsViewable))
        to = PointerRoot;
    XSetInputFocus(cover.Dpy, to, cover.PreviousRevert, CurrentTime);
}

void HandleEvent(Cover& cover, const XEvent& event) {
    if (cover.RandrEvent >= 0 &&
        (event.type == cover.RandrEvent + RRScreenChangeNotify || event.type == cover.RandrEvent + RRNotify)) {
        XRRUpdateConfiguration(const_cast<XEvent*>(&event));
        cover.MonitorsChanged = true;
        return;
    }
    switch (event.type) {
    case GenericEvent:
        if (event.xcookie.extension == cover.XiOpcode) cover.End = Ending::Input;
        break;
    case KeyPress:
    case ButtonPress:
    case MotionNotify:
        cover.End = Ending::Input;
        break;
    case MapNotify:
        if (event.xmap.event == cover.Windows.Root && !IsCoverWindow(cover.Windows, event.xmap.window))
            OtherMapped(cover, event.xmap.window, event.xmap.override_redirect);
        break;
    case ConfigureNotify:
        if (event.xconfigure.event == cover.Windows.Root && !IsCoverWindow(cover.Windows, event.xconfigure.window))
            cover.RaiseDue = true;
        break;
    case CirculateNotify:
        if (event.xcirculate.event == cover.Windows.Root && !IsCoverWindow(cover.Windows, event.xcirculate.window))
            cover.RaiseDue = true;
        break;
    default:
        break;
    }
}

void AskDpms(Cover& cover, std::int64_t now) {
    if (!cover.Dpms || (cover.DpmsAskedAt >= 0 && now - cover.DpmsAskedAt < DpmsCheckPeriod)) return;
    cover.DpmsAskedAt = now;
    CARD16 level = DPMSModeOn;
    BOOL enabled = False;
    cover.DisplayOff = DPMSInfo(cover.Dpy, &level, &enabled) && enabled && level != DPMSModeOn;
}

// The first window's swap waits for its monitor's refresh where the server
// lets it; the others' swaps wait for nothing, so that one frame costs one
// refresh however many monitors there are.
void SetSwapInterval(Cover& cover, Window window) {
    if (std::find(cover.SwapSet.begin(), cover.SwapSet.end(), window) != cover.SwapSet.end()) return;
    cover.SwapSet.push_back(window);
    X11GlWindow target;
    target.Dpy = cover.Dpy;
    target.Drawable = window;
    if (window != cover.Windows.Windows.front().Id) {
        RequestSwapInterval(target, 0);
        return;
    }
    const double refreshHz = DisplayRefreshRate(cover.Dpy, window);
    const int interval = SwapIntervalFor(refreshHz, cover.Pacer.Delay);
    const bool waits = RequestSwapInterval(target, interval);
    cover.Pacer.DisplayPeriod = waits && cover.Pacer.Delay > 0 ? RefreshPeriod(refreshHz) * interval : 0;
}

bool BeginWindow(int index, void* context) {
    Cover& cover = *static_cast<Cover*>(context);
    const Window window = cover.Windows.Windows[static_cast<std::size_t>(index)].Id;
    if (!glXMakeCurrent(cover.Dpy, window, cover.Context)) return false;
    if (!cover.GlReady) {
        if (!InitGlState()) {
            cover.End = Ending::Failed;
            return false;
        }
        cover.GlReady = true;
    }
    SetSwapInterval(cover, window);
    glClearColor(0.0f, 0.0f, 0.0f, 1.0f);
    glClear(GL_COLOR_BUFFER_BIT | GL_DEPTH_BUFFER_BIT);
    return true;
}

void EndWindow(int index, void* context) {
    Cover& cover = *static_cast<Cover*>(context);
    glXSwapBuffers(cover.Dpy, cover.Windows.Windows[static_cast<std::size_t>(index)].Id);
}

void DrawFrame(Cover& cover) {
    static std::vector<ViewportRect> viewports;
    viewports.clear();
    for (const CoverWindow& window : cover.Windows.Windows)
        viewports.push_back(ViewportRect{0, 0, window.Width, window.Height});
    const int drawn =
        DrawFrameInViewports(viewports.data(), static_cast<int>(viewports.size()), BeginWindow, EndWindow, &cover);
    if (cover.Shown || drawn != static_cast<int>(viewports.size())) return;
    // Once, for the service's log: which monitors show the cover.
    cover.Shown = true;
    std::string monitors;
    for (const CoverWindow& w : cover.Windows.Windows)
        monitors += (monitors.empty() ? "" : ", ") + std::to_string(w.Width) + "x" + std::to_string(w.Height) +
                    (w.X < 0 ? "" : "+") + std::to_string(w.X) + (w.Y < 0 ? "" : "+") + std::to_string(w.Y);
    std::fprintf(stderr, "mirrowen: the cover shows on %d monitor%s: %s\n", drawn, drawn == 1 ? "" : "s",
                 monitors.c_str());
}

// Waits up to `micros` for an X event or an end signal.
void Wait(Display* dpy, std::int64_t micros) {
    const int endFd = EndSignalFd();
    pollfd fds[2] = {{ConnectionNumber(dpy), POLLIN, 0}, {endFd, POLLIN, 0}};
    const timespec timeout = {static_cast<time_t>(micros / 1000000), static_cast<long>(micros % 1000000) * 1000};
    ppoll(fds, endFd >= 0 ? 2 : 1, micros >= 0 ? &timeout : nullptr, nullptr);
}

void Run(Cover& cover) {
    while (cover.End == Ending::Running && !EndSignalled()) {
        if (XPending(cover.Dpy) > 0) {
            XEvent event;
            XNextEvent(cover.Dpy, &event);
            HandleEvent(cover, event);
            continue;
        }
        std::int64_t now = PacerNow();
        if (cover.MonitorsChanged) {
            cover.MonitorsChanged = false;
            if (FollowMonitors(cover.Windows)) {
                // The first window may be on another monitor now.
                cover.SwapSet.clear();
                cover.RaiseDue = true;
            }
        }
        if (cover.RaiseDue && now - cover.RaisedAt >= RaisePeriod) {
            cover.RaiseDue = false;
            cover.RaisedAt = now;
            RaiseCoverWindows(cover.Windows);
        }
        AskDpms(cover, now);
        std::int64_t wait = cover.DisplayOff ? std::max<std::int64_t>(cover.DpmsAskedAt + DpmsCheckPeriod - now, 1)
                                             : TimeUntilNextFrame(cover.Pacer, now);
        if (cover.RaiseDue) wait = std::min(wait, cover.RaisedAt + RaisePeriod - now);
        if (wait > 0) {
            Wait(cover.Dpy, wait);
            continue;
        }
        FrameStarted(cover.Pacer, now);
        DrawFrame(cover);
    }
}

}  // namespace

int RunX11Cover(const SaverOptions& options) {
    CatchEndSignals();
    Cover cover;
    cover.Dpy = XOpenDisplay(options.DisplayName.empty() ? nullptr : options.DisplayName.c_str());
    if (cover.Dpy == nullptr) {
        std::fprintf(stderr, "mirrowen: cannot open display %s\n", XDisplayName(options.DisplayName.c_str()));
        return 1;
    }
    XSetErrorHandler(IgnoreXError);
    XSetIOErrorHandler(LostServer);
    Display* dpy = cover.Dpy;
    XVisualInfo* visual = ChooseGlVisual(dpy, DefaultScreen(dpy));
    if (visual == nullptr) {
        std::fprintf(stderr, "mirrowen: the display offers no double-buffered RGBA visual with a depth buffer\n");
        XCloseDisplay(dpy);
        return 1;
    }
    cover.Context = glXCreateContext(dpy, visual, nullptr, True);
    OpenCoverWindows(cover.Windows, dpy, *visual);
    XFree(visual);
    if (cover.Context == nullptr) {
        std::fprintf(stderr, "mirrowen: could not create a GLX context\n");
        CloseCoverWindows(cover.Windows);
        XCloseDisplay(dpy);
        return 1;
    }
    FollowMonitors(cover.Windows);
    // Others' windows mapped and raised, and the monitors changing.
    XSelectInput(dpy, cover.Windows.Root, SubstructureNotifyMask);
    int randrError = 0;
    if (XRRQueryExtension(dpy, &cover.RandrEvent, &randrError))
        XRRSelectInput(dpy, cover.Windows.Root,
                       RRScreenChangeNotifyMask | RRCrtcChangeNotifyMask | RROutputChangeNotifyMask);
    else
        cover.RandrEvent = -1;
    int dpmsEvent = 0, dpmsError = 0;
    cover.Dpms = DPMSQueryExtension(dpy, &dpmsEvent, &dpmsError) && DPMSCapable(dpy);
    SelectRawInput(cover);
    TakeFocus(cover);
    XSync(dpy, False);
    if (LockerWindowShown(dpy, cover.Windows.Root, cover.Windows.Monitors)) cover.End = Ending::Locker;

    SelectFrameRenderer(options.Renderer);
    ResetOrigins(Settings->ScrWidth, Settings->ScrHeight);
    SeedStars(*Settings);
    cover.Pacer.Delay = options.Delay;
    Run(cover);

    if (cover.End == Ending::Locker)
        std::fprintf(stderr, "mirrowen: another program's window covers a whole monitor (a locker): the cover ends\n");
    if (cover.End == Ending::Failed) std::fprintf(stderr, "mirrowen: could not load the images into textures\n");
    glXMakeCurrent(dpy, None, nullptr);
    glXDestroyContext(dpy, cover.Context);
    GiveFocusBack(cover);
    CloseCoverWindows(cover.Windows);
    XCloseDisplay(dpy);
    return cover.End == Ending::Failed ? 1 : 0;
}
