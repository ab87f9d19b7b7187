// The one window the saver draws into, with its display mode, pixel format
// and rendering context.
#pragma once

#include <windows.h>

#include "render/viewport.h"

extern BYTE FullScreen;
extern HWND GlWindow;
extern HDC GlDeviceContext;
extern HGLRC GlContext;
extern PIXELFORMATDESCRIPTOR PixelFormatTemplate;

// Every monitor's part of the GL window, in pixels from the window's
// lower-left corner: every monitor the window covers; one entry for a preview, a framed window
// or a single monitor, which is then the whole window.
constexpr int MaxMonitorViewports = 16;
extern ViewportRect MonitorViewports[MaxMonitorViewports];
extern int MonitorViewportCount;

// Opens the window of class "OpenGL": full screen, as a child of parent, or
// framed. Full screen first switches the display to width x height x bits,
// unless keepDisplayMode, and then covers every monitor: with one monitor
// the window is that monitor (width x height at (0, 0) once switched); with
// several it spans the whole virtual screen, in front of every other window,
// with a viewport per monitor. On success the context is
// current, the first viewport is set and the textures are loaded; returns 1,
// else 0.
int OpenGlWindow(HWND parent, const char* title, int width, int height, int bits, bool fullScreen,
                 bool keepDisplayMode = false);

// Full screen only: reads the monitors again and, when they changed, moves
// the window over them and gives each its viewport. Whether anything
// changed.
bool RelayoutMonitors();

// One frame on every monitor: a single clear, the same scene drawn into each
// monitor's viewport, then one simulation step. With one viewport, exactly
// RenderFrame. Always 1.
int RenderMonitorFrame();

// Restores the display mode (when it was switched) and releases context, device context, window and
// class; the result of UnregisterClassA.
BOOL CloseGlWindow();

