#include "linux/wayland/output_surface.h"

#include <wayland-egl.h>

#include <cmath>
#include <cstdlib>

#include "fractional-scale-v1-client-protocol.h"
#include "viewporter-client-protocol.h"

#include "linux/wayland/layer_shell_protocol.h"
#include "xdg-shell-client-protocol.h"

namespace {

void LayerConfigure(void* data, zwlr_layer_surface_v1* layer, uint32_t serial, uint32_t width, uint32_t height) {
    OutputSurface& surface = *static_cast<OutputSurface*>(data);
    zwlr_layer_surface_v1_ack_configure(layer, serial);
    if (width == 0 || height == 0) {
        // Not for a surface anchored to all edges; fall back on the mode.
        width = static_cast<uint32_t>(surface.Output->ModeWidth / surface.Output->Scale);
        height = static_cast<uint32_t>(surface.Output->ModeHeight / surface.Output->Scale);
    }
    surface.Width = static_cast<int>(width);
    surface.Height = static_cast<int>(height);
    surface.Configured = true;
    surface.SizeChanged = true;
}

void LayerClosed(void* data, zwlr_layer_surface_v1*) { static_cast<OutputSurface*>(data)->Closed = true; }

const zwlr_layer_surface_v1_listener LayerListener = {LayerConfigure, LayerClosed};

// The toplevel's size comes first; the xdg_surface configure that follows
// makes it current.
void ToplevelConfigure(void* data, xdg_toplevel*, int32_t width, int32_t height, wl_array*) {
    OutputSurface& surface = *static_cast<OutputSurface*>(data);
    if (width <= 0 || height <= 0) {
        width = surface.Output->ModeWidth / surface.Output->Scale;
        height = surface.Output->ModeHeight / surface.Output->Scale;
    }
    if (width <= 0 || height <= 0) {
        width = 640;
        height = 480;
    }
    if (width != surface.Width || height != surface.Height) surface.SizeChanged = true;
    surface.Width = width;
    surface.Height = height;
}

void ToplevelClose(void* data, xdg_toplevel*) { static_cast<OutputSurface*>(data)->Closed = true; }

const xdg_toplevel_listener ToplevelListener = {ToplevelConfigure, ToplevelClose, nullptr, nullptr};

void XdgSurfaceConfigure(void* data, xdg_surface* xdg, uint32_t serial) {
    OutputSurface& surface = *static_cast<OutputSurface*>(data);
    xdg_surface_ack_configure(xdg, serial);
    if (!surface.Configured) surface.SizeChanged = true;
    surface.Configured = true;
}

const xdg_surface_listener XdgSurfaceListener = {XdgSurfaceConfigure};

void FrameDone(void* data, wl_callback* callback, uint32_t) {
    OutputSurface& surface = *static_cast<OutputSurface*>(data);
    wl_callback_destroy(callback);
    if (surface.FrameCallback == callback) surface.FrameCallback = nullptr;
    surface.Presented = true;
}

const wl_callback_listener FrameListener = {FrameDone};

void PreferredScale(void* data, wp_fractional_scale_v1*, uint32_t scale) {
    OutputSurface& surface = *static_cast<OutputSurface*>(data);
    if (static_cast<int>(scale) == surface.PreferredScale) return;
    surface.PreferredScale = static_cast<int>(scale);
    if (surface.Configured) surface.SizeChanged = true;
}

const wp_fractional_scale_v1_listener FractionalScaleListener = {PreferredScale};

// Units to pixels at a scale in 120ths, rounded as the protocol says; a
// surface that fills its output gets exactly the output's pixels.
int FractionalPixels(int units, int scale120, int outputPixels) {
    const int pixels = static_cast<int>(std::lround(static_cast<double>(units) * scale120 / 120.0));
    return outputPixels > 0 && std::abs(pixels - outputPixels) <= 1 ? outputPixels : pixels;
}

}  // namespace

void OpenOutputSurface(OutputSurface& surface, WaylandConnection& connection, WaylandOutput& output,
                       SurfaceRole role) {
    surface.Output = &output;
    surface.Surface = wl_compositor_create_surface(connection.Compositor);
    if (role == SurfaceRole::Fullscreen) {
        surface.XdgSurface = xdg_wm_base_get_xdg_surface(connection.WmBase, surface.Surface);
        xdg_surface_add_listener(surface.XdgSurface, &XdgSurfaceListener, &surface);
        surface.Toplevel = xdg_surface_get_toplevel(surface.XdgSurface);
        xdg_toplevel_add_listener(surface.Toplevel, &ToplevelListener, &surface);
        xdg_toplevel_set_title(surface.Toplevel, "Mirrowen");
        xdg_toplevel_set_app_id(surface.Toplevel, "mirrowen");
        xdg_toplevel_set_fullscreen(surface.Toplevel, output.Output);
    } else {
        const uint32_t layer =
            role == SurfaceRole::Overlay ? ZWLR_LAYER_SHELL_V1_LAYER_OVERLAY : ZWLR_LAYER_SHELL_V1_LAYER_BACKGROUND;
        surface.Layer = zwlr_layer_shell_v1_get_layer_surface(connection.LayerShell, surface.Surface, output.Output,
                                                              layer, "mirrowen");
        zwlr_layer_surface_v1_add_listener(surface.Layer, &LayerListener, &surface);
        zwlr_layer_surface_v1_set_size(surface.Layer, 0, 0);
        zwlr_layer_surface_v1_set_anchor(surface.Layer,
                                         ZWLR_LAYER_SURFACE_V1_ANCHOR_TOP | ZWLR_LAYER_SURFACE_V1_ANCHOR_BOTTOM |
                                             ZWLR_LAYER_SURFACE_V1_ANCHOR_LEFT | ZWLR_LAYER_SURFACE_V1_ANCHOR_RIGHT);
        zwlr_layer_surface_v1_set_exclusive_zone(surface.Layer, -1);
        zwlr_layer_surface_v1_set_keyboard_interactivity(surface.Layer,
                                                         ZWLR_LAYER_SURFACE_V1_KEYBOARD_INTERACTIVITY_EXCLUSIVE);
    }
    if (connection.FractionalScale != nullptr && connection.Viewporter != nullptr) {
        surface.FractionalScale = wp_fractional_scale_manager_v1_get_fractional_scale(connection.FractionalScale,
                                                                                      surface.Surface);
        wp_fractional_scale_v1_add_listener(surface.FractionalScale, &FractionalScaleListener, &surface);
        surface.Viewport = wp_viewporter_get_viewport(connection.Viewporter, surface.Surface);
    }
    wl_surface_commit(surface.Surface);
}

bool ApplyOutputSurfaceSize(OutputSurface& surface, WaylandConnection& connection, const WaylandEgl& egl) {
    surface.SizeChanged = false;
    // Sharp on scaled outputs: the buffer has the output's pixels.
    surface.Scale = surface.Output->Scale;
    if (surface.Viewport != nullptr && surface.PreferredScale > 0) {
        // The viewport maps the buffer onto the surface's size; the buffer scale stays 1.
        surface.PixelWidth = FractionalPixels(surface.Width, surface.PreferredScale, surface.Output->ModeWidth);
        surface.PixelHeight = FractionalPixels(surface.Height, surface.PreferredScale, surface.Output->ModeHeight);
        wp_viewport_set_destination(surface.Viewport, surface.Width, surface.Height);
        wl_surface_set_buffer_scale(surface.Surface, 1);
    } else {
        if (wl_surface_get_version(surface.Surface) >= WL_SURFACE_SET_BUFFER_SCALE_SINCE_VERSION)
            wl_surface_set_buffer_scale(surface.Surface, surface.Scale);
        else
            surface.Scale = 1;
        surface.PixelWidth = surface.Width * surface.Scale;
        surface.PixelHeight = surface.Height * surface.Scale;
    }
    if (surface.SwapFailed && surface.EglSurface != EGL_NO_SURFACE) {
        if (eglGetCurrentSurface(EGL_DRAW) == surface.EglSurface)
            eglMakeCurrent(egl.Display, EGL_NO_SURFACE, EGL_NO_SURFACE, EGL_NO_CONTEXT);
        eglDestroySurface(egl.Display, surface.EglSurface);
        surface.EglSurface = EGL_NO_SURFACE;
        wl_egl_window_destroy(surface.EglWindow);
        surface.EglWindow = nullptr;
    }
    surface.SwapFailed = false;
    if (surface.EglWindow == nullptr) {
        surface.EglWindow = wl_egl_window_create(surface.Surface, surface.PixelWidth, surface.PixelHeight);
        surface.EglSurface = eglCreatePlatformWindowSurface(egl.Display, egl.Config, surface.EglWindow, nullptr);
        if (surface.EglSurface == EGL_NO_SURFACE) return false;
    } else {
        wl_egl_window_resize(surface.EglWindow, surface.PixelWidth, surface.PixelHeight, 0, 0);
    }
    // Opaque: the compositor need draw nothing beneath it.
    wl_region* region = wl_compositor_create_region(connection.Compositor);
    wl_region_add(region, 0, 0, surface.Width, surface.Height);
    wl_surface_set_opaque_region(surface.Surface, region);
    wl_region_destroy(region);
    return true;
}

void RequestFrameCallback(OutputSurface& surface, std::int64_t now) {
    surface.FrameCallback = wl_surface_frame(surface.Surface);
    wl_callback_add_listener(surface.FrameCallback, &FrameListener, &surface);
    surface.FrameRequested = now;
}

void ForgetFrameCallback(OutputSurface& surface) {
    if (surface.FrameCallback != nullptr) wl_callback_destroy(surface.FrameCallback);
    surface.FrameCallback = nullptr;
}

bool OutputScaleChanged(const OutputSurface& surface) {
    const bool fractional = surface.Viewport != nullptr && surface.PreferredScale > 0;
    return surface.EglWindow != nullptr && !fractional && surface.Scale != surface.Output->Scale &&
           wl_surface_get_version(surface.Surface) >= WL_SURFACE_SET_BUFFER_SCALE_SINCE_VERSION;
}

void CloseOutputSurface(OutputSurface& surface, const WaylandEgl& egl) {
    if (surface.FrameCallback != nullptr) wl_callback_destroy(surface.FrameCallback);
    if (surface.FractionalScale != nullptr) wp_fractional_scale_v1_destroy(surface.FractionalScale);
    if (surface.Viewport != nullptr) wp_viewport_destroy(surface.Viewport);
    if (surface.EglSurface != EGL_NO_SURFACE) {
        if (eglGetCurrentSurface(EGL_DRAW) == surface.EglSurface)
            eglMakeCurrent(egl.Display, EGL_NO_SURFACE, EGL_NO_SURFACE, EGL_NO_CONTEXT);
        eglDestroySurface(egl.Display, surface.EglSurface);
    }
    if (surface.EglWindow != nullptr) wl_egl_window_destroy(surface.EglWindow);
    if (surface.Toplevel != nullptr) xdg_toplevel_destroy(surface.Toplevel);
    if (surface.XdgSurface != nullptr) xdg_surface_destroy(surface.XdgSurface);
    if (surface.Layer != nullptr) zwlr_layer_surface_v1_destroy(surface.Layer);
    if (surface.Surface != nullptr) wl_surface_destroy(surface.Surface);
    surface = OutputSurface{};
}
