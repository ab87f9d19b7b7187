// The EGL config both EGL users of the Linux side draw with: the Wayland
// client's window surfaces and the settings window's offscreen preview.
#pragma once

#include <EGL/egl.h>

// The first config of SURFACE_TYPE (EGL_WINDOW_BIT, EGL_PBUFFER_BIT) that
// draws desktop OpenGL with red, green, blue and alpha of exactly 8 bits and
// a depth buffer. Mesa lists 10-bit configs first; a compositor reads alpha,
// and a preview is read back as bytes.
bool ChooseExactRgba8Config(EGLDisplay display, EGLint surfaceType, EGLConfig* config);
