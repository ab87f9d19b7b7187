// -delay under Xvfb, where the swap waits for no display: the frames keep
// the delay's pace with the processor mostly idle, the wait between frames
// gives way at once to a signal or a key, and a stopped run resumes without
// catch-up frames. Frames are counted through -frames.
#include <gtest/gtest.h>

#include <sys/resource.h>

#include <X11/Xatom.h>
#include <X11/extensions/Xrandr.h>

#include "linux/frame_pacer.h"
#include "linux/x11/display_refresh.h"
#include "x11_test_support.h"

using namespace x11test;

namespace {

using Clock = std::chrono::steady_clock;

double Since(Clock::time_point start) { return std::chrono::duration<double>(Clock::now() - start).count(); }

// Little to draw, so that an unpaced run is as fast as the machine allows.
const std::vector<std::string> Light = {"-count", "100", "-size", "1", "-corona", "0", "-no-lens-flare"};

std::vector<std::string> With(std::vector<std::string> args, const std::vector<std::string>& more) {
    args.insert(args.end(), more.begin(), more.end());
    return args;
}

struct Ended {
    int WaitStatus = -1;
    double Seconds = 0;     // from the start (or the given moment) to the end
    double CpuSeconds = 0;  // the child's user and system time
};

// Waits up to `limit` seconds for the child's end, looking every millisecond.
Ended WaitFrom(Child& child, Clock::time_point from, double limit) {
    Ended e;
    for (;;) {
        rusage usage = {};
        int status = 0;
        if (wait4(child.Pid, &status, WNOHANG, &usage) == child.Pid) {
            e.Seconds = Since(from);
            child.Pid = -1;
            e.WaitStatus = status;
            e.CpuSeconds = static_cast<double>(usage.ru_utime.tv_sec + usage.ru_stime.tv_sec) +
                           static_cast<double>(usage.ru_utime.tv_usec + usage.ru_stime.tv_usec) * 1e-6;
            return e;
        }
        if (Since(from) > limit) return e;  // the Child kills it
        std::this_thread::sleep_for(std::chrono::milliseconds(1));
    }
}

Ended TimedRun(const std::vector<std::string>& args) {
    const Clock::time_point start = Clock::now();
    Child child = Start(args);
    return WaitFrom(child, start, 60);
}

}  // namespace

TEST(X11Pacing, DefaultDelayKeepsSixtyFramesASecondAndTheProcessorMostlyIdle) {
    Session x;
    ASSERT_NE(x.Dpy, nullptr);
    const Window w = x.MakeWindow(64, 48);
    const Ended paced = TimedRun(With({"-window-id", Hex(w), "-frames", "300"}, Light));
    ASSERT_TRUE(EndedCleanly(paced.WaitStatus));
    EXPECT_GE(paced.Seconds, 300.0 / 61);
    EXPECT_LT(paced.CpuSeconds, paced.Seconds / 2) << paced.Seconds;

    const Ended unpaced = TimedRun(With({"-window-id", Hex(w), "-frames", "300", "--delay", "0"}, Light));
    ASSERT_TRUE(EndedCleanly(unpaced.WaitStatus));
    EXPECT_GE(paced.Seconds, 1.5 * unpaced.Seconds) << paced.Seconds << " " << unpaced.Seconds;
}

TEST(X11Pacing, ASignalOrAKeyEndsALongDelayAtOnce) {
    Session x;
    ASSERT_NE(x.Dpy, nullptr);
    const Window w = x.MakeWindow(64, 48);
    for (int signal : {SIGTERM, SIGINT}) {
        Child child = Start(With({"-window-id", Hex(w), "-delay", "100000"}, Light));
        std::this_thread::sleep_for(std::chrono::milliseconds(1000));
        const Clock::time_point sent = Clock::now();
        kill(child.Pid, signal);
        const Ended e = WaitFrom(child, sent, 10);
        EXPECT_TRUE(EndedCleanly(e.WaitStatus)) << signal;
        EXPECT_LT(e.Seconds, 0.2) << signal;
        std::printf("signal %d ended the run in %.4f s\n", signal, e.Seconds);
    }

    Child child = Start(With({"-window", "-geometry", "64x48", "-delay", "100000"}, Light));
    Window own = 0;
    ASSERT_TRUE(WaitUntil([&] { return (own = FindSaverWindow(x.Dpy)) != 0; }, 20));
    std::this_thread::sleep_for(std::chrono::milliseconds(1000));
    XEvent key = {};
    key.xkey.type = KeyPress;
    key.xkey.display = x.Dpy;
    key.xkey.window = own;
    key.xkey.root = DefaultRootWindow(x.Dpy);
    key.xkey.keycode = XKeysymToKeycode(x.Dpy, XStringToKeysym("space"));
    key.xkey.same_screen = True;
    XSendEvent(x.Dpy, own, False, KeyPressMask, &key);
    XSync(x.Dpy, False);
    const Ended e = WaitFrom(child, Clock::now(), 10);
    EXPECT_TRUE(EndedCleanly(e.WaitStatus));
    EXPECT_LT(e.Seconds, 0.2);
    std::printf("a key ended the run in %.4f s\n", e.Seconds);
}

// Stopped for two seconds and continued, the run goes on at the delay's pace:
// the frames left after the pause still take their 50 ms each. Catching up
// on the paused time would end it two seconds early.
TEST(X11Pacing, NoCatchUpAfterSigstopAndSigcont) {
    Session x;
    ASSERT_NE(x.Dpy, nullptr);
    const Window w = x.MakeWindow(64, 48);
    const Clock::time_point start = Clock::now();
    Child child = Start(With({"-window-id", Hex(w), "-delay", "50000", "-frames", "100"}, Light));
    std::this_thread::sleep_for(std::chrono::milliseconds(1500));
    kill(child.Pid, SIGSTOP);
    // Frames start at least 50 ms apart, the first at once.
    const int drawnBefore = 1 + static_cast<int>(Since(start) / 0.05);
    std::this_thread::sleep_for(std::chrono::milliseconds(2000));
    kill(child.Pid, SIGCONT);
    const Clock::time_point resumed = Clock::now();
    const Ended e = WaitFrom(child, resumed, 30);
    ASSERT_TRUE(EndedCleanly(e.WaitStatus));
    const int left = 100 - drawnBefore;
    EXPECT_GE(e.Seconds, (left - 1) * 0.05) << left << " frames left";
    std::printf("%d or more frames after the pause took %.3f s\n", left, e.Seconds);
}

// The refresh rate the swap interval is chosen by, read from the monitor
// under the window: Xvfb's own mode has no timings; switched to a mode of
// the same size at 119.95 Hz, the swap waits for two refreshes a frame.
TEST(X11Pacing, RefreshRateOfTheMonitorUnderTheWindow) {
    Session x;
    ASSERT_NE(x.Dpy, nullptr);
    const Window w = x.MakeWindow(64, 48);
    EXPECT_EQ(DisplayRefreshRate(x.Dpy, w), 0.0);

    const Window root = DefaultRootWindow(x.Dpy);
    XRRScreenResources* resources = XRRGetScreenResourcesCurrent(x.Dpy, root);
    ASSERT_NE(resources, nullptr);
    ASSERT_GE(resources->ncrtc, 1);
    XRRCrtcInfo* crtc = XRRGetCrtcInfo(x.Dpy, resources, resources->crtcs[0]);
    ASSERT_TRUE(crtc != nullptr && crtc->noutput >= 1);
    char name[] = "mirrowen-test-120";
    XRRModeInfo fast = {};
    fast.width = crtc->width;
    fast.height = crtc->height;
    fast.dotClock = 228000000;
    fast.hSyncStart = crtc->width + 88;
    fast.hSyncEnd = crtc->width + 224;
    fast.hTotal = 1728;
    fast.vSyncStart = crtc->height + 3;
    fast.vSyncEnd = crtc->height + 10;
    fast.vTotal = 1100;
    fast.name = name;
    fast.nameLength = sizeof name - 1;
    const RRMode mode = XRRCreateMode(x.Dpy, root, &fast);
    XRRAddOutputMode(x.Dpy, crtc->outputs[0], mode);
    const int set = XRRSetCrtcConfig(x.Dpy, resources, resources->crtcs[0], CurrentTime, crtc->x, crtc->y, mode,
                                     crtc->rotation, crtc->outputs, crtc->noutput);
    const double rate = DisplayRefreshRate(x.Dpy, w);
    // Off every monitor: unknown.
    XMoveWindow(x.Dpy, w, -500, -500);
    XSync(x.Dpy, False);
    const double offScreen = DisplayRefreshRate(x.Dpy, w);

    XRRSetCrtcConfig(x.Dpy, resources, resources->crtcs[0], CurrentTime, crtc->x, crtc->y, crtc->mode,
                     crtc->rotation, crtc->outputs, crtc->noutput);
    XRRDeleteOutputMode(x.Dpy, crtc->outputs[0], mode);
    XRRDestroyMode(x.Dpy, mode);
    XRRFreeCrtcInfo(crtc);
    XRRFreeScreenResources(resources);
    XSync(x.Dpy, False);

    ASSERT_EQ(set, RRSetConfigSuccess);
    EXPECT_NEAR(rate, 228e6 / (1728.0 * 1100.0), 0.001);
    EXPECT_EQ(SwapIntervalFor(rate, DefaultFrameDelay), 2);
    EXPECT_EQ(offScreen, 0.0);
}
