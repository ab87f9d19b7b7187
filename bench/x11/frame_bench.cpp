// Frame benchmark under GLX: the mean CPU and wall time of one RenderFrame +
// glXSwapBuffers at the heaviest settings, in a 640 x 480 window of its own
// with vsync off, so that the swap never waits for a display refresh.
//
// mirrowen_x11_frame_bench [frames]   (default 300, at least 300)
#include <GL/gl.h>
#include <GL/glx.h>

#include <cstdio>
#include <cstdlib>
#include <ctime>
#include <string>

#include "platform/x11/x11_gl_window.h"
#include "render/frame_drawing.h"
#include "render/texture_set.h"
#include "bench/frame_bench_settings.h"
#include "settings/saver_settings.h"
#include "sim/origins.h"
#include "sim/star_seeding.h"

namespace {

double Seconds(clockid_t clock) {
    timespec t;
    clock_gettime(clock, &t);
    return static_cast<double>(t.tv_sec) + static_cast<double>(t.tv_nsec) * 1e-9;
}

void Pump(Display* dpy) {
    while (XPending(dpy) > 0) {
        XEvent event;
        XNextEvent(dpy, &event);
    }
}

}  // namespace

int main(int argc, char** argv) {
    int frames = argc > 1 ? std::atoi(argv[1]) : 300;
    if (frames < 300) frames = 300;
    SaverSettings s;
    UseFrameBenchSettings(s);
    Settings = &s;

    Display* dpy = XOpenDisplay(nullptr);
    if (dpy == nullptr) {
        std::printf("cannot open the display\n");
        return 1;
    }
    X11GlWindow window;
    std::string error;
    if (!OpenOwnGlWindow(window, dpy, 640, 480, 0, 0, true, &error) || !InitGlState()) {
        std::printf("640x480: could not open the GL window: %s\n", error.c_str());
        return 1;
    }
    const bool intervalSet = RequestSwapInterval(window, 0);
    std::printf("2000 stars, StarSize 10, 4 origins, Corona 100, lens flare on; swap interval 0 %s\n",
                intervalSet ? "set" : "not offered");
    std::printf("GL renderer: %s\n", reinterpret_cast<const char*>(glGetString(GL_RENDERER)));
    ResetOrigins(640, 480);
    SeedStars(s);
    // Warm up until every star has been born.
    for (int i = 0; i < 200; ++i) {
        RenderFrame();
        glXSwapBuffers(dpy, window.Drawable);
        Pump(dpy);
    }
    glFinish();
    const double cpuStart = Seconds(CLOCK_THREAD_CPUTIME_ID);
    const double wallStart = Seconds(CLOCK_MONOTONIC);
    for (int i = 0; i < frames; ++i) {
        RenderFrame();
        glXSwapBuffers(dpy, window.Drawable);
        Pump(dpy);
    }
    glFinish();
    const double wall = Seconds(CLOCK_MONOTONIC) - wallStart;
    const double cpu = Seconds(CLOCK_THREAD_CPUTIME_ID) - cpuStart;
    std::printf("640x480 windowed: %d frames, mean CPU %.3f ms/frame (this thread), wall %.3f ms/frame, %.0f frames/s\n",
                frames, 1000.0 * cpu / frames, 1000.0 * wall / frames, frames / wall);
    CloseX11GlWindow(window);
    XCloseDisplay(dpy);
    return 0;
}
