#include "linux/egl_config.h"

#include <vector>

bool ChooseExactRgba8Config(EGLDisplay display, EGLint surfaceType, EGLConfig* config) {
    const EGLint wanted[] = {EGL_SURFACE_TYPE, surfaceType,    EGL_RENDERABLE_TYPE, EGL_OPENGL_BIT,
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
