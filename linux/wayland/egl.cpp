#include "linux/wayland/egl.h"

#include <EGL/eglext.h>

#include "linux/egl_config.h"

bool OpenWaylandEgl(WaylandEgl& egl, wl_display* display, std::string* error) {
    egl.Display = eglGetPlatformDisplay(EGL_PLATFORM_WAYLAND_KHR, display, nullptr);
    if (egl.Display == EGL_NO_DISPLAY || !eglInitialize(egl.Display, nullptr, nullptr)) {
        *error = "EGL cannot draw on this Wayland display";
        egl.Display = EGL_NO_DISPLAY;
        return false;
    }
    if (!eglBindAPI(EGL_OPENGL_API)) {
        *error = "EGL offers no desktop OpenGL";
        return false;
    }
    if (!ChooseExactRgba8Config(egl.Display, EGL_WINDOW_BIT, &egl.Config)) {
        *error = "EGL offers no 8-bit RGBA window config with OpenGL and depth";
        return false;
    }
    egl.Context = eglCreateContext(egl.Display, egl.Config, EGL_NO_CONTEXT, nullptr);
    if (egl.Context == EGL_NO_CONTEXT) {
        *error = "EGL could not create an OpenGL context";
        return false;
    }
    return true;
}

void CloseWaylandEgl(WaylandEgl& egl) {
    if (egl.Display != EGL_NO_DISPLAY) {
        eglMakeCurrent(egl.Display, EGL_NO_SURFACE, EGL_NO_SURFACE, EGL_NO_CONTEXT);
        if (egl.Context != EGL_NO_CONTEXT) eglDestroyContext(egl.Display, egl.Context);
        eglTerminate(egl.Display);
    }
    egl = WaylandEgl{};
}
