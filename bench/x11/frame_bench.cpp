// Frame benchmark under GLX: the mean CPU time (this thread) and wall time
// of one frame + glXSwapBuffers at the heaviest settings, with swap interval
// 0 so that the swap never waits for a display refresh, in windows of its
// own at 640 x 480 and 1280 x 1024 (the display must be that large). Per
// size: the batched, the immediate and the shader back end, then the floor
// (the same number of textured quads in one glDrawArrays, nothing else).
//
// mirrowen_x11_frame_bench [frames]   (default 300, at least 300)
#include <GL/gl.h>
#include <GL/glx.h>

#include <cstdio>
#include <cstdlib>
#include <ctime>
#include <string>

#include "bench/frame_bench_settings.h"
#include "bench/frame_floor.h"
#include "linux/x11/gl_window.h"
#include "render/frame_drawing.h"
#include "render/frame_renderer.h"
#include "render/texture_set.h"
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

// `frames` frames of `frame` with their swaps; the means in milliseconds.
template <typename Frame>
void Time(X11GlWindow& window, const char* what, int frames, Frame frame) {
    glFinish();
    const double cpuStart = Seconds(CLOCK_THREAD_CPUTIME_ID);
    const double wallStart = Seconds(CLOCK_MONOTONIC);
    for (int i = 0; i < frames; ++i) {
        frame();
        glXSwapBuffers(window.Dpy, window.Drawable);
        Pump(window.Dpy);
    }
    glFinish();
    const double wall = Seconds(CLOCK_MONOTONIC) - wallStart;
    const double cpu = Seconds(CLOCK_THREAD_CPUTIME_ID) - cpuStart;
    std::printf("%4dx%-4d %-9s  CPU %7.3f ms/frame  wall %7.3f ms/frame  %6.0f frames/s\n", window.Width,
                window.Height, what, 1000.0 * cpu / frames, 1000.0 * wall / frames, frames / wall);
    std::fflush(stdout);
}

const char* Name(FrameRenderer renderer) {
    switch (renderer) {
    case FrameRenderer::Batched: return "batched";
    case FrameRenderer::Immediate: return "immediate";
    case FrameRenderer::Shader: return "shader";
    }
    return "";
}

bool Measure(Display* dpy, SaverSettings& s, int width, int height, int frames) {
    X11GlWindow window;
    std::string error;
    if (!OpenOwnGlWindow(window, dpy, width, height, 0, 0, true, &error) || !InitGlState()) {
        std::printf("%dx%d: could not open the GL window: %s\n", width, height, error.c_str());
        return false;
    }
    if (!RequestSwapInterval(window, 0)) std::printf("%dx%d: swap interval 0 not offered\n", width, height);
    std::printf("%dx%d, GL renderer: %s\n", width, height, reinterpret_cast<const char*>(glGetString(GL_RENDERER)));
    Pump(dpy);
    for (FrameRenderer renderer : {FrameRenderer::Batched, FrameRenderer::Immediate, FrameRenderer::Shader}) {
        SelectFrameRenderer(renderer);
        if (!StartFrameRenderer()) {
            std::printf("%dx%d: no %s renderer here: %s\n", width, height, Name(renderer), FrameRendererProblem());
            continue;
        }
        ResetOrigins(640, 480);
        SeedStars(s);
        // Warm up until every star has been born.
        for (int i = 0; i < 200; ++i) {
            RenderFrame();
            glXSwapBuffers(dpy, window.Drawable);
            Pump(dpy);
        }
        Time(window, Name(renderer), frames, RenderFrame);
    }
    SelectFrameRenderer(FrameRenderer::Batched);
    floorbench::Start(s);
    Time(window, "floor", frames, floorbench::Draw);
    floorbench::End();
    CloseX11GlWindow(window);
    // The loader keeps its buffers for a run; the next window loads its own.
    for (TgaTexture& t : TextureSet) {
        std::free(t.Pixels);
        t = TgaTexture{};
    }
    return true;
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
    std::printf("2000 stars, StarSize 10, 4 origins, Corona 100, lens flare on; %d frames each\n", frames);
    bool ok = Measure(dpy, s, 640, 480, frames);
    ok = Measure(dpy, s, 1280, 1024, frames) && ok;
    XCloseDisplay(dpy);
    return ok ? 0 : 1;
}
