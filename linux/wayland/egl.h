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

void CloseWaylandEgl(WaylandEgl& egl);
