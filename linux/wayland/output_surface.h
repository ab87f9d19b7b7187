// The program's surface on one output: a layer-shell surface on the chosen
// layer, anchored to all four edges with the size left to the compositor,
// or (without layer shell) a fullscreen xdg-shell toplevel on that output;
// with its EGL window surface and its frame callback.
#pragma once

#include <EGL/egl.h>
#include <wayland-client.h>

#include <cstdint>

#include "linux/wayland/connection.h"
#include "linux/wayland/egl.h"

struct zwlr_layer_surface_v1;
struct xdg_surface;
struct xdg_toplevel;
struct wl_egl_window;
struct wp_fractional_scale_v1;
struct wp_viewport;

struct OutputSurface {
    WaylandOutput* Output = nullptr;
    wl_surface* Surface = nullptr;
    zwlr_layer_surface_v1* Layer = nullptr;
    xdg_surface* XdgSurface = nullptr;
    xdg_toplevel* Toplevel = nullptr;
    wl_egl_window* EglWindow = nullptr;
    EGLSurface EglSurface = EGL_NO_SURFACE;
    int Width = 0;             // surface size, in the compositor's units
    int Height = 0;
    int Scale = 1;             // buffer pixels per unit (integer scale)
    wp_fractional_scale_v1* FractionalScale = nullptr;
    wp_viewport* Viewport = nullptr;
    int PreferredScale = 0;    // the compositor's preferred scale in 120ths; 0: none said
    int PixelWidth = 0;        // the buffer, as drawn
    int PixelHeight = 0;
    bool Configured = false;   // the compositor gave a size: drawing may start
    bool SizeChanged = false;  // a configure not yet applied to the EGL window
    bool Closed = false;       // the compositor ended it (layer closed, toplevel close)
    bool SwapFailed = false;   // the last swap failed: the window surface is made anew
    bool Presented = false;    // a frame callback came back: the compositor showed it
    wl_callback* FrameCallback = nullptr;  // the frame callback still awaited
    std::int64_t FrameRequested = 0;       // when it was asked for (microseconds, monotonic)
};

// Which shell role the surfaces take.
enum class SurfaceRole {
    Overlay,     // layer shell, overlay layer: above everything
    Background,  // layer shell, background layer: as a locker's background program
    Fullscreen,  // xdg-shell fullscreen toplevel
};

// Makes the surface and its role and commits it empty; the compositor's
// configure then gives the size.
void OpenOutputSurface(OutputSurface& surface, WaylandConnection& connection, WaylandOutput& output,
                       SurfaceRole role);

// Applies the last configure: creates or resizes the EGL window and sets the
// opaque region. The buffer has the output's pixels: at the compositor's
// preferred fractional scale through a viewport where it offers both, else
// at the output's integer scale. False when EGL refuses the window surface.
bool ApplyOutputSurfaceSize(OutputSurface& surface, WaylandConnection& connection, const WaylandEgl& egl);

// Asks for a frame callback before the next commit; `now` is kept to tell a
// surface the compositor does not show (no callback comes back).
void RequestFrameCallback(OutputSurface& surface, std::int64_t now);

// Drops the awaited frame callback (after a swap that committed nothing).
void ForgetFrameCallback(OutputSurface& surface);

// Whether the surface's buffer no longer matches its output's scale (an
// output re-scaled at the same logical size gets no new configure).
bool OutputScaleChanged(const OutputSurface& surface);

void CloseOutputSurface(OutputSurface& surface, const WaylandEgl& egl);
