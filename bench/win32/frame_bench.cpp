// Frame benchmark under a real WGL: the mean CPU and wall time of one
// frame (RenderMonitorFrame, the saver's: the scene in every monitor's
// viewport) + SwapBuffers at the heaviest settings, with vsync off so that
// the swap never waits for a display refresh.
//
// mirrowen_frame_bench [frames] [defaults]   (default 600, at least 300;
//   "defaults": the built-in settings instead of the heaviest field)
#include <windows.h>

#include <GL/gl.h>

#include <cstdio>
#include <cstdlib>
#include <cstring>

#include "render/frame_drawing.h"
#include "render/gl_window.h"
#include "bench/frame_bench_settings.h"
#include "settings/saver_settings.h"
#include "shell/run_mode.h"
#include "sim/origins.h"
#include "sim/star_seeding.h"

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

void Measure(SaverSettings& s, int width, int height, bool fullScreen, int frames) {
    s.ScrWidth = width;
    s.ScrHeight = height;
    if (!OpenGlWindow(nullptr, "Test", width, height, 16, fullScreen)) {
        printf("%dx%d: could not open the GL window\n", width, height);
        return;
    }
    SwapIntervalOff();
    ResetOrigins(width, height);
    SeedStars(s);
    // Warm up until every star has been born.
    for (int i = 0; i < 200; ++i) {
        RenderMonitorFrame();
        SwapBuffers(GlDeviceContext);
        Pump();
    }
    LARGE_INTEGER frequency, start, end;
    QueryPerformanceFrequency(&frequency);
    const double cpuStart = ThreadCpuSeconds();
    QueryPerformanceCounter(&start);
    for (int i = 0; i < frames; ++i) {
        RenderMonitorFrame();
        SwapBuffers(GlDeviceContext);
        Pump();
    }
    glFinish();
    QueryPerformanceCounter(&end);
    const double cpu = ThreadCpuSeconds() - cpuStart;
    const double wall = static_cast<double>(end.QuadPart - start.QuadPart) / static_cast<double>(frequency.QuadPart);
    RECT covered;
    GetWindowRect(GlWindow, &covered);
    printf("%dx%d%s, %d monitor(s), window %ldx%ld: %d frames, mean CPU %.3f ms/frame (this thread), wall %.3f "
           "ms/frame, %.0f frames/s\n",
           width, height, fullScreen ? " full screen" : "", MonitorViewportCount, covered.right - covered.left,
           covered.bottom - covered.top, frames, 1000.0 * cpu / frames, 1000.0 * wall / frames,
           frames / wall);
    fflush(stdout);
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
    printf(defaults ? "the built-in defaults: 300 stars, 1 origin, Corona 70\n"
                    : "2000 stars, StarSize 10, 4 origins, Corona 100, lens flare on\n");
    Measure(s, 640, 480, false, frames);
    const int screenWidth = GetSystemMetrics(SM_CXSCREEN);
    const int screenHeight = GetSystemMetrics(SM_CYSCREEN);
    Measure(s, screenWidth, screenHeight, true, frames);
    return 0;
}
