#include "linux/wayland/egl.h"

#include <EGL/eglext.h>

#include <vector>

bool ChooseExactRgba8Config(EGLDisplay display, EGLConfig* config) {
    const EGLint wanted[] = {EGL_SURFACE_TYPE, EGL_WINDOW_BIT, EGL_RENDERABLE_TYPE, EGL_OPENGL_BIT,
                             EGL_RED_SIZE,     8,              EGL_GREEN_SIZE,      8,
                             EGL_BLUE_SIZE,    8,              EGL_ALPHA_SIZE,      8,
                             EGL_DEPTH_SIZE,   16,             EGL_NONE};
    EGLint count = 0;
    if (!eglChooseConfig(display, wanted, nullptr, 0, &count) || count <= 0) return false;
    std::vector<EGLConfig> configs(static_cast<std::size_t>(count));
    if (!eglChooseConfig(display, wanted, configs.data(), count, &count)) return false;
    for (EGLint i = 0; i < count; ++i) {
        EGLint red = 0, green = 0, blue = 0, alpha = 0;
        eglGetConfigAttrib(display, configs[i], EGL_RED_SIZE, &red);
        eglGetConfigAttrib(display, configs[i], EGL_GREEN_SIZE, &green);
        eglGetConfigAttrib(display, configs[i], EGL_BLUE_SIZE, &blue);
        eglGetConfigAttrib(display, configs[i], EGL_ALPHA_SIZE, &alpha);
        if (red == 8 && green == 8 && blue == 8 && alpha == 8) {
            *config = configs[i];
            return true;
        }
    }
    return false;
}

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
    if (!ChooseExactRgba8Config(egl.Display, &egl.Config)) {
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
