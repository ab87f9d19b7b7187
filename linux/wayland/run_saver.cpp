#include "linux/wayland/run_saver.h"

#include <GL/gl.h>

#include <cstdio>
#include <cstdlib>
#include <memory>
#include <string>
#include <vector>

#include "linux/end_signals.h"
#include "linux/idle_run.h"
#include "linux/session_bus.h"
#include "linux/frame_pacer.h"
#include "linux/wayland/connection.h"
#include "linux/wayland/egl.h"
#include "linux/wayland/event_wait.h"
#include "linux/wayland/idle_source.h"
#include "linux/wayland/output_frame_timing.h"
#include "linux/wayland/output_surface.h"
#include "render/frame_renderer.h"
#include "render/texture_set.h"
#include "render/viewport.h"
#include "render/viewport_frame.h"
#include "settings/saver_settings.h"
#include "sim/origins.h"
#include "sim/star_seeding.h"

namespace {

int Fail(const std::string& message) {
    std::fprintf(stderr, "mirrowen: %s\n", message.c_str());
    return 1;
}

using SurfaceList = std::vector<std::unique_ptr<OutputSurface>>;

bool Drawable(const OutputSurface& surface) {
    return surface.Configured && surface.EglSurface != EGL_NO_SURFACE && surface.FrameCallback == nullptr;
}

// The surfaces' state for the frame timing, in a list that keeps its room
// from one pass to the next.
std::int64_t FrameDueIn(const SurfaceList& surfaces, const FramePacer& pacer, std::int64_t now) {
    static std::vector<SurfaceFrameState> states;
    states.clear();
    for (const auto& surface : surfaces)
        states.push_back(SurfaceFrameState{Drawable(*surface), surface->FrameCallback != nullptr,
                                           surface->FrameRequested});
    return TimeUntilFrameDue(states, pacer, now);
}

// How long an output whose layer surface the compositor closed goes
// without one before the next try: 100 ms, doubling with each close in a
// row, at most 10 s, so that a compositor that keeps closing it is not
// asked again and again in one pass.
std::int64_t ReopenDelay(int closes) {
    std::int64_t delay = 100000;
    for (int i = 1; i < closes && delay < 10000000; ++i) delay *= 2;
    return delay < 10000000 ? delay : 10000000;
}

// Gives every output a surface and drops those of outputs that went, and
// the surfaces the compositor closed; `*reopenIn` is lowered to the time
// until an output waiting after a close may have one again.
void FollowOutputs(WaylandConnection& connection, const WaylandEgl& egl, SurfaceList& surfaces, SurfaceRole role,
                   std::int64_t now, bool* toplevelClosed, std::int64_t* reopenIn) {
    for (std::size_t i = 0; i < surfaces.size();) {
        OutputSurface& surface = *surfaces[i];
        if (surface.Output->Gone || surface.Closed) {
            // A toplevel's close is the user's; a layer surface closes with its output.
            if (surface.Closed && surface.Toplevel != nullptr && !surface.Output->Gone) *toplevelClosed = true;
            if (surface.Closed && surface.Layer != nullptr && !surface.Output->Gone) {
                // Closes in a row count up; one that showed frames first starts again.
                WaylandOutput& output = *surface.Output;
                output.LayerCloses = surface.Presented ? 1 : output.LayerCloses + 1;
                output.ReopenAt = now + ReopenDelay(output.LayerCloses);
            }
            CloseOutputSurface(surface, egl);
            surfaces.erase(surfaces.begin() + static_cast<std::ptrdiff_t>(i));
        } else {
            ++i;
        }
    }
    for (std::size_t i = 0; i < connection.Outputs.size();) {
        WaylandOutput& output = *connection.Outputs[i];
        if (output.Gone) {
            ReleaseWaylandOutput(output);
            connection.Outputs.erase(connection.Outputs.begin() + static_cast<std::ptrdiff_t>(i));
            continue;
        }
        bool covered = false;
        for (const auto& surface : surfaces) covered = covered || surface->Output == &output;
        if (!covered && now < output.ReopenAt) {
            const std::int64_t left = output.ReopenAt - now;
            if (*reopenIn < 0 || left < *reopenIn) *reopenIn = left;
        } else if (!covered) {
            surfaces.push_back(std::make_unique<OutputSurface>());
            OpenOutputSurface(*surfaces.back(), connection, output, role);
        }
        ++i;
    }
}

// What one frame's viewports need to reach their surfaces.
struct FrameTargets {
    const WaylandEgl* Egl;
    SurfaceList* Surfaces;
    std::int64_t Now;
    bool* GlReady;
    std::string* Error;
};

// Makes a surface that can take the frame current and clears it.
bool BeginSurface(int index, void* context) {
    FrameTargets& targets = *static_cast<FrameTargets*>(context);
    if (!targets.Error->empty()) return false;
    OutputSurface& surface = *(*targets.Surfaces)[static_cast<std::size_t>(index)];
    if (!Drawable(surface)) return false;
    const WaylandEgl& egl = *targets.Egl;
    if (!eglMakeCurrent(egl.Display, surface.EglSurface, surface.EglSurface, egl.Context)) return false;
    if (!*targets.GlReady) {
        if (!InitGlState()) {
            const std::string problem = FrameRendererProblem();
            *targets.Error = problem.empty() ? "could not load the images into textures" : problem;
            return false;
        }
        *targets.GlReady = true;
    }
    // The frame callbacks pace the run; a swap must not wait for one.
    eglSwapInterval(egl.Display, 0);
    glColorMask(GL_TRUE, GL_TRUE, GL_TRUE, GL_TRUE);
    glClearColor(0.0f, 0.0f, 0.0f, 1.0f);
    glClear(GL_COLOR_BUFFER_BIT | GL_DEPTH_BUFFER_BIT);
    // The compositor reads alpha: it stays at the cleared 1.
    glColorMask(GL_TRUE, GL_TRUE, GL_TRUE, GL_FALSE);
    return true;
}

// Asks for the surface's next frame callback and shows what was drawn. A
// swap that fails commits nothing, so no callback would come: the surface
// is drawn again next frame, into a window surface made anew.
void EndSurface(int index, void* context) {
    FrameTargets& targets = *static_cast<FrameTargets*>(context);
    OutputSurface& surface = *(*targets.Surfaces)[static_cast<std::size_t>(index)];
    RequestFrameCallback(surface, targets.Now);
    if (eglSwapBuffers(targets.Egl->Display, surface.EglSurface)) return;
    ForgetFrameCallback(surface);
    surface.SwapFailed = true;
    surface.SizeChanged = true;
}

// One frame: the scene drawn into every surface that can take it, then one
// simulation step. False when no surface took it. The viewport list keeps
// its room from one frame to the next.
bool DrawFrame(const WaylandEgl& egl, SurfaceList& surfaces, std::int64_t now, bool* glReady, std::string* error) {
    static std::vector<ViewportRect> viewports;
    viewports.clear();
    for (const auto& surface : surfaces)
        viewports.push_back(ViewportRect{0, 0, surface->PixelWidth, surface->PixelHeight});
    FrameTargets targets{&egl, &surfaces, now, glReady, error};
    const int drawn = DrawFrameInViewports(viewports.data(), static_cast<int>(viewports.size()), BeginSurface,
                                           EndSurface, &targets);
    // The time a hidden output may hold the others back counts from the
    // frame's end: a slow frame must not make shown outputs look hidden.
    const std::int64_t end = PacerNow();
    for (const auto& surface : surfaces)
        if (surface->FrameCallback != nullptr && surface->FrameRequested == now) surface->FrameRequested = end;
    return drawn > 0 && error->empty();
}

}  // namespace

CoverEnd CoverOutputs(WaylandConnection& connection, const SaverOptions& options, bool givenSocket,
                      std::string* error) {
    WaylandEgl egl;
    if (!OpenWaylandEgl(egl, connection.Display, error)) {
        CloseWaylandEgl(egl);
        return CoverEnd::Failed;
    }
    const bool hosted = givenSocket && connection.Seat == nullptr;
    const SurfaceRole role = connection.LayerShell == nullptr ? SurfaceRole::Fullscreen
                             : hosted                         ? SurfaceRole::Background
                                                              : SurfaceRole::Overlay;

    // A fresh field, at the configured full-screen size as on the other platforms.
    ResetOrigins(Settings->ScrWidth, Settings->ScrHeight);
    SeedStars(*Settings);

    SelectFrameRenderer(options.Renderer);
    FramePacer pacer;
    pacer.Delay = options.Delay;
    SurfaceList surfaces;
    bool glReady = false;
    bool toplevelClosed = false;
    bool lost = false;
    connection.InputEnded = false;
    std::int64_t frames = 0;
    CoverEnd end = CoverEnd::Ended;
    for (auto& output : connection.Outputs) {
        output->LayerCloses = 0;
        output->ReopenAt = 0;
    }
    while (!EndSignalled() && !toplevelClosed && frames != options.Frames) {
        if (connection.InputEnded) {
            end = CoverEnd::Input;
            break;
        }
        std::int64_t reopenIn = -1;
        FollowOutputs(connection, egl, surfaces, role, PacerNow(), &toplevelClosed, &reopenIn);
        for (const auto& surface : surfaces) {
            if (OutputScaleChanged(*surface)) surface->SizeChanged = true;
            if (surface->SizeChanged && !ApplyOutputSurfaceSize(*surface, connection, egl)) {
                *error = "EGL refused a window surface";
                break;
            }
        }
        if (!error->empty()) break;
        // The frame callbacks pace the frames: by the slowest output shown.
        pacer.DisplayPeriod = 0;
        for (const auto& output : connection.Outputs) {
            const std::int64_t period = RefreshPeriod(output->RefreshMilliHz / 1000.0);
            if (period > pacer.DisplayPeriod) pacer.DisplayPeriod = period;
        }
        if (options.Delay <= 0) pacer.DisplayPeriod = 0;
        const std::int64_t now = PacerNow();
        std::int64_t wait = FrameDueIn(surfaces, pacer, now);
        if (wait == 0) {
            FrameStarted(pacer, now);
            if (DrawFrame(egl, surfaces, now, &glReady, error)) ++frames;
            if (!error->empty()) break;
        }
        if (reopenIn >= 0 && (wait < 0 || reopenIn < wait)) wait = reopenIn;
        if (!WaitForEvents(connection.Display, wait)) {
            lost = true;
            break;
        }
    }
    if (lost) *error = LostConnectionMessage(connection.Display);
    for (auto& surface : surfaces) CloseOutputSurface(*surface, egl);
    surfaces.clear();
    CloseWaylandEgl(egl);
    // What the compositor still sends for the surfaces just destroyed goes nowhere.
    if (!lost) wl_display_flush(connection.Display);
    return error->empty() ? end : CoverEnd::Failed;
}

int RunWaylandSaver(const SaverOptions& options) {
    // A locker that hosts background programs hands over a socket of its own
    // server, one with outputs and no seat.
    const char* socket = std::getenv("WAYLAND_SOCKET");
    const bool givenSocket = socket != nullptr && socket[0] != '\0';

    CatchEndSignals();

    WaylandConnection connection;
    std::string error;
    if (!OpenWaylandConnection(connection, &error)) {
        CloseWaylandConnection(connection);
        return Fail(error);
    }
    if (options.ShowFps) std::fprintf(stderr, "mirrowen: -fps is not shown under Wayland\n");
    // A cover for the idle service ends on any input, pointer motion too.
    connection.MotionEnds = options.Cover;
    const int result = CoverOutputs(connection, options, givenSocket, &error) == CoverEnd::Failed ? Fail(error) : 0;
    CloseWaylandConnection(connection);
    return result;
}

int RunWaylandIdle(const IdleServiceOptions& service) {
    CatchEndSignals();
    WaylandConnection connection;
    std::string error;
    if (!OpenWaylandConnection(connection, &error)) {
        CloseWaylandConnection(connection);
        return Fail(error);
    }
    SessionBus bus;
    std::string busError;
    const bool haveBus = OpenSessionBus(bus, &busError);
    WaylandIdleSource idle;
    int result;
    if (!OpenWaylandIdleSource(idle, connection, haveBus ? &bus : nullptr, &error)) {
        result = Fail(error);
    } else {
        IdleSource source = WaylandIdleSourceInterface(idle);
        result = RunIdleService(source, haveBus ? &bus : nullptr, service);
    }
    CloseWaylandIdleSource(idle);
    if (haveBus) CloseSessionBus(bus);
    CloseWaylandConnection(connection);
    return result;
}
