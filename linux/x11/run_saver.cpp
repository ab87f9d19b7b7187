#include "linux/x11/run_saver.h"

#include <GL/glx.h>
#include <X11/Xlib.h>
#include <X11/extensions/Xrandr.h>

#include <poll.h>

#include <cerrno>
#include <cstdio>
#include <cstdlib>
#include <ctime>
#include <string>

#include "linux/end_signals.h"
#include "linux/frame_pacer.h"
#include "linux/x11/display_refresh.h"
#include "linux/x11/fps_overlay.h"
#include "linux/x11/gl_window.h"
#include "render/frame_drawing.h"
#include "render/frame_renderer.h"
#include "render/texture_set.h"
#include "settings/saver_settings.h"
#include "sim/origins.h"
#include "sim/star_seeding.h"

namespace {

// Waits up to `micros` for X input or an end signal; returns the time it
// actually waited, in microseconds.
std::int64_t WaitForInput(Display* dpy, std::int64_t micros) {
    const int endFd = EndSignalFd();
    pollfd fds[2] = {{ConnectionNumber(dpy), POLLIN, 0}, {endFd, POLLIN, 0}};
    const timespec timeout = {static_cast<time_t>(micros / 1000000), static_cast<long>(micros % 1000000) * 1000};
    const std::int64_t start = PacerNow();
    ppoll(fds, endFd >= 0 ? 2 : 1, &timeout, nullptr);
    return PacerNow() - start;
}

// Xlib's own handler ends the process on any protocol error; a bad window
// number should instead be reported by the call that used it.
int LastXError = 0;
int RecordXError(Display*, XErrorEvent* event) {
    LastXError = event->error_code;
    return 0;
}

int Fail(const std::string& message) {
    std::fprintf(stderr, "mirrowen: %s\n", message.c_str());
    return 1;
}

// The swap interval and the pacer for the refresh rate of the monitor the
// window is on, read again when the window moves or the monitors change.
struct RefreshFollow {
    double Hz = -1.0;     // the rate last applied; -1: none yet
    int RandrEvent = -1;  // RandR's first event number; -1: no RandR
};

void ApplyRefresh(RefreshFollow& follow, X11GlWindow& window, FramePacer& pacer) {
    const double refreshHz = DisplayRefreshRate(window.Dpy, window.Drawable);
    if (refreshHz == follow.Hz) return;
    follow.Hz = refreshHz;
    // The animation's speed is the frame rate: let the swap wait for the
    // refresh where the server allows it, for as many refreshes as the delay
    // spans on a display faster than 60 Hz. The pacer holds the delay where
    // the swap waits for nothing, and lets the swap pace where it waits.
    const int interval = SwapIntervalFor(refreshHz, pacer.Delay);
    const bool swapWaits = RequestSwapInterval(window, interval);
    pacer.DisplayPeriod = swapWaits && pacer.Delay > 0 ? RefreshPeriod(refreshHz) * interval : 0;
}

// Handles one event; true when it ends the run.
bool HandleEvent(X11GlWindow& window, const XEvent& event, RefreshFollow& follow, FramePacer& pacer) {
    if (follow.RandrEvent >= 0 && event.type == follow.RandrEvent + RRScreenChangeNotify) {
        XRRUpdateConfiguration(const_cast<XEvent*>(&event));
        ApplyRefresh(follow, window, pacer);
        return false;
    }
    switch (event.type) {
    case ConfigureNotify:
        if (event.xconfigure.window == window.Target) {
            FollowTargetSize(window, event.xconfigure.width, event.xconfigure.height);
            // Moved, perhaps onto another monitor.
            ApplyRefresh(follow, window, pacer);
        }
        return false;
    case DestroyNotify:
        return event.xdestroywindow.window == window.Target;
    case KeyPress:
    case ButtonPress:
        return window.OwnsTarget;
    case ClientMessage:
        return window.OwnsTarget && static_cast<Atom>(event.xclient.data.l[0]) == window.DeleteWindow;
    default:
        return false;
    }
}

}  // namespace

unsigned long ParseWindowNumber(const char* text) {
    if (text == nullptr) return 0;
    const bool hex = text[0] == '0' && (text[1] == 'x' || text[1] == 'X');
    const char* digits = hex ? text + 2 : text;
    if (*digits < '0' || *digits > '9') {
        if (!hex || !((*digits >= 'a' && *digits <= 'f') || (*digits >= 'A' && *digits <= 'F'))) return 0;
    }
    errno = 0;
    char* end = nullptr;
    const unsigned long long n = std::strtoull(digits, &end, hex ? 16 : 10);
    if (errno != 0 || *end != '\0' || n > 0xFFFFFFFFull) return 0;
    return static_cast<unsigned long>(n);
}

int RunX11Saver(const SaverOptions& options) {
    CatchEndSignals();
    Display* dpy = XOpenDisplay(options.DisplayName.empty() ? nullptr : options.DisplayName.c_str());
    if (dpy == nullptr) return Fail("cannot open display " + std::string(XDisplayName(options.DisplayName.c_str())));
    XSetErrorHandler(RecordXError);

    X11GlWindow window;
    std::string error;
    bool opened;
    if (options.Target == DrawTarget::Root || options.Target == DrawTarget::WindowId) {
        Window target = options.WindowId;
        if (options.Target == DrawTarget::Root) {
            // XScreenSaver names the window it made for us here.
            const char* given = std::getenv("XSCREENSAVER_WINDOW");
            target = given != nullptr && given[0] != '\0' ? ParseWindowNumber(given) : RootWindow(dpy, DefaultScreen(dpy));
            if (target == 0) {
                XCloseDisplay(dpy);
                return Fail(std::string("$XSCREENSAVER_WINDOW is not a window number: ") + given);
            }
        }
        opened = OpenForeignGlWindow(window, dpy, target, &error);
        if (!opened) {
            char name[32];
            std::snprintf(name, sizeof name, "window 0x%lx: ", static_cast<unsigned long>(target));
            error = name + error;
        }
    } else {
        opened = OpenOwnGlWindow(window, dpy, options.Width, options.Height, options.X, options.Y,
                                 options.PositionGiven, &error);
    }
    XSync(dpy, False);
    if (opened && LastXError != 0) {
        opened = false;
        error = "the X server refused the window (error " + std::to_string(LastXError) + ")";
    }
    if (!opened) {
        CloseX11GlWindow(window);
        XCloseDisplay(dpy);
        return Fail(error);
    }
    FramePacer pacer;
    pacer.Delay = options.Delay;
    RefreshFollow follow;
    int randrError = 0;
    if (XRRQueryExtension(dpy, &follow.RandrEvent, &randrError))
        XRRSelectInput(dpy, RootWindow(dpy, DefaultScreen(dpy)), RRScreenChangeNotifyMask);
    else
        follow.RandrEvent = -1;
    ApplyRefresh(follow, window, pacer);
    // Before InitGlState, which starts the renderer selected.
    SelectFrameRenderer(options.Renderer);
    if (!InitGlState()) {
        const std::string problem = FrameRendererProblem();
        CloseX11GlWindow(window);
        XCloseDisplay(dpy);
        return Fail(problem.empty() ? "could not load the images into textures" : problem);
    }
    FpsOverlay fps;
    if (options.ShowFps) OpenFpsOverlay(fps, dpy);

    // The configured full-screen size, as on Windows.
    ResetOrigins(Settings->ScrWidth, Settings->ScrHeight);
    SeedStars(*Settings);

    std::int64_t frames = 0;
    std::int64_t waited = 0;  // since the last frame, for the -fps load
    bool ended = false;
    while (!ended && !EndSignalled() && frames != options.Frames) {
        // Events come first (Xlib may hold some already read); a frame is
        // drawn only when none is waiting and the delay since the last one
        // has passed. The wait wakes for an event or an end signal.
        if (XPending(dpy) > 0) {
            XEvent event;
            XNextEvent(dpy, &event);
            ended = HandleEvent(window, event, follow, pacer);
            continue;
        }
        const std::int64_t now = PacerNow();
        const std::int64_t wait = TimeUntilNextFrame(pacer, now);
        if (wait > 0) {
            waited += WaitForInput(dpy, wait);
            continue;
        }
        FrameStarted(pacer, now);
        RenderFrame();
        if (options.ShowFps) DrawFpsOverlay(fps, window.Width, window.Height, waited);
        waited = 0;
        glXSwapBuffers(dpy, window.Drawable);
        ++frames;
    }
    // The last swap's picture must reach the server before its buffer goes.
    glFinish();
    XSync(dpy, False);
    CloseX11GlWindow(window);
    XCloseDisplay(dpy);
    return 0;
}
