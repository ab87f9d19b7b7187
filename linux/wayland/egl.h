// EGL over the Wayland connection: a desktop OpenGL (compatibility)
// context, so the fixed-function frame drawing serves unchanged, with a
// config of exactly 8 bits per colour channel. One context draws into every
// output's surface in turn.
#pragma once

#include <EGL/egl.h>
#include <wayland-client.h>

#include <string>

struct WaylandEgl {
    EGLDisplay Display = EGL_NO_DISPLAY;
    EGLConfig Config = nullptr;
    EGLContext Context = EGL_NO_CONTEXT;
};

bool OpenWaylandEgl(WaylandEgl& egl, wl_display* display, std::string* error);

// The first config that draws desktop OpenGL into windows with red, green,
// blue and alpha of exactly 8 bits (Mesa lists 10-bit configs first; the
// compositor reads alpha, which the run loop keeps at 1) and a depth buffer.
bool ChooseExactRgba8Config(EGLDisplay display, EGLConfig* config);

void CloseWaylandEgl(WaylandEgl& egl);
