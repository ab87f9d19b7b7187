// The one window the saver draws into, with its display mode, pixel format
// and rendering context.
#pragma once

#include <windows.h>

extern BYTE FullScreen;
extern HWND GlWindow;
extern HDC GlDeviceContext;
extern HGLRC GlContext;
extern PIXELFORMATDESCRIPTOR PixelFormatTemplate;

// Opens the window of class "OpenGL": full screen (after switching the
// display to width x height x bits), as a child of parent, or framed. On
// success the context is current, the viewport covers width x height and the
// textures are loaded; returns 1, else 0.
int OpenGlWindow(HWND parent, const char* title, int width, int height, int bits, bool fullScreen);

// Restores the display mode and releases context, device context, window and
// class; the result of UnregisterClassA.
BOOL CloseGlWindow();

