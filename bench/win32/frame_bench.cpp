// Frame benchmark under a real WGL: the mean CPU time (this thread) and wall
// time of one saver frame (RenderMonitorFrame: the scene in every monitor's
// viewport) + SwapBuffers at the heaviest settings, with vsync off so
// that the swap never waits for a display refresh, at 640 x 480 and
// 1280 x 1024. Per size: the batched and the immediate back end, then the
// floor (the same number of textured quads in one glDrawArrays, nothing else).
//
// mirrowen_frame_bench [frames] [defaults]   (default 600, at least 300;
//   "defaults": the built-in settings instead of the heaviest field)
#include <windows.h>

#include <GL/gl.h>

#include <cstdio>
#include <cstdlib>
#include <cstring>

#include "bench/frame_bench_settings.h"
#include "bench/frame_floor.h"
#include "render/frame_drawing.h"
#include "render/frame_renderer.h"
#include "settings/saver_settings.h"
#include "sim/origins.h"
#include "sim/star_seeding.h"
#include "windows/gl_window.h"
#include "windows/run_mode.h"

namespace {

double ThreadCpuSeconds() {
    FILETIME created, exited, kernel, user;
    GetThreadTimes(GetCurrentThread(), &created, &exited, &kernel, &user);
    auto seconds = [](const FILETIME& t) {
        return (static_cast<unsigned long long>(t.dwHighDateTime) << 32 | t.dwLowDateTime) * 1e-7;
    };
    return seconds(kernel) + seconds(user);
}

void SwapIntervalOff() {
    using SwapIntervalProc = BOOL(WINAPI*)(int);
    PROC proc = wglGetProcAddress("wglSwapIntervalEXT");
    if (proc == nullptr) return;
    SwapIntervalProc swapInterval;
    memcpy(&swapInterval, &proc, sizeof proc);
    swapInterval(0);
}

void Pump() {
    MSG msg;
    while (PeekMessageA(&msg, nullptr, 0, 0, PM_REMOVE)) DispatchMessageA(&msg);
}

// `frames` frames of `frame` with their swaps; the means in milliseconds.
template <typename Frame>
void Time(int width, int height, const char* how, const char* what, int frames, Frame frame) {
    glFinish();
    LARGE_INTEGER frequency, start, end;
    QueryPerformanceFrequency(&frequency);
    const double cpuStart = ThreadCpuSeconds();
    QueryPerformanceCounter(&start);
    for (int i = 0; i < frames; ++i) {
        frame();
        SwapBuffers(GlDeviceContext);
        Pump();
    }
    glFinish();
    QueryPerformanceCounter(&end);
    const double cpu = ThreadCpuSeconds() - cpuStart;
    const double wall = static_cast<double>(end.QuadPart - start.QuadPart) / static_cast<double>(frequency.QuadPart);
    printf("%4dx%-4d %-11s %-9s  CPU %7.3f ms/frame  wall %7.3f ms/frame  %6.0f frames/s\n", width, height, how, what,
           1000.0 * cpu / frames, 1000.0 * wall / frames, frames / wall);
    fflush(stdout);
}

void Measure(SaverSettings& s, int width, int height, bool fullScreen, int frames) {
    s.ScrWidth = width;
    s.ScrHeight = height;
    if (!OpenGlWindow(nullptr, "Test", width, height, 16, fullScreen)) {
        printf("%dx%d: could not open the GL window\n", width, height);
        return;
    }
    SwapIntervalOff();
    const char* how = fullScreen ? "full screen" : "windowed";
    RECT covered;
    GetWindowRect(GlWindow, &covered);
    printf("%dx%d %s: %d monitor(s), window %ldx%ld\n", width, height, how, MonitorViewportCount,
           covered.right - covered.left, covered.bottom - covered.top);
    for (FrameRenderer renderer : {FrameRenderer::Batched, FrameRenderer::Immediate}) {
        SelectFrameRenderer(renderer);
        ResetOrigins(640, 480);
        SeedStars(s);
        // Warm up until every star has been born.
        for (int i = 0; i < 200; ++i) {
            RenderMonitorFrame();
            SwapBuffers(GlDeviceContext);
            Pump();
        }
        Time(width, height, how, renderer == FrameRenderer::Batched ? "batched" : "immediate", frames, RenderMonitorFrame);
    }
    SelectFrameRenderer(FrameRenderer::Batched);
    floorbench::Start(s);
    Time(width, height, how, "floor", frames, floorbench::Draw);
    floorbench::End();
    CloseGlWindow();
    Pump();
}

}  // namespace

int main(int argc, char** argv) {
    int frames = argc > 1 ? atoi(argv[1]) : 600;
    if (frames < 300) frames = 300;
    const bool defaults = argc > 2 && strcmp(argv[2], "defaults") == 0;
    SaverSettings s;
    UseFrameBenchSettings(s);
    if (defaults) {
        MemoryStore store;
        s.LoadSettings(MemoryStoreInterface(store));
    }
    Settings = &s;
    RunMode = RunModePreview;  // input must not end the run
    printf("%s; %d frames each\n",
           defaults ? "the built-in defaults: 300 stars, 1 origin, Corona 70"
                    : "2000 stars, StarSize 10, 4 origins, Corona 100, lens flare on",
           frames);
    Measure(s, 640, 480, false, frames);
    // Full screen where the display has that mode (the Wine session's Xvfb
    // does), else a window of that client size.
    const bool screenFits = GetSystemMetrics(SM_CXSCREEN) == 1280 && GetSystemMetrics(SM_CYSCREEN) == 1024;
    Measure(s, 1280, 1024, screenFits, frames);
    return 0;
}
