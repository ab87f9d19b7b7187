// The live preview: the saver's own simulation and frame drawing at the
// values the window shows, drawn offscreen into an EGL pbuffer with a
// desktop OpenGL compatibility context (the frame drawing is fixed-function,
// which GTK's own core or GLES contexts cannot run), read back and shown as a
// texture in a GtkPicture.
#pragma once

#include <EGL/egl.h>
#include <gtk/gtk.h>

#include <cstdint>
#include <string>
#include <vector>

struct SettingsPreview {
    EGLDisplay Display = EGL_NO_DISPLAY;
    EGLContext Context = EGL_NO_CONTEXT;
    EGLSurface Surface = EGL_NO_SURFACE;
    int Width = 0;
    int Height = 0;
    GtkPicture* Picture = nullptr;
    // The last frame read back: RGBA rows, bottom row first.
    std::vector<unsigned char> Pixels;
    std::int64_t Frames = 0;
    std::int64_t FrameDelay = 0;      // microseconds a frame takes at least
    std::int64_t NextFrameTime = 0;   // frame clock time the next frame is due
    guint TickId = 0;
    std::int64_t StartTime = 0;       // monotonic time the ticks began, for the debug log
    std::string Error;
};

// Creates the offscreen target of width x height and loads the images for
// the values in Settings. False with `error` set when EGL cannot.
bool OpenPreview(SettingsPreview& preview, int width, int height, std::string* error);
void ClosePreview(SettingsPreview& preview);

// Whether the offscreen OpenGL is a software rasteriser (Mesa's llvmpipe or
// softpipe).
bool PreviewGlIsSoftware();

// Under software OpenGL GTK's own GL renderer costs the preview most of its
// frames, and its cairo renderer draws this window well: asks GTK for cairo
// then, unless GSK_RENDERER already names a renderer. Before GTK starts.
void ChooseGtkRenderer();

// Makes the preview's context current (GTK's own is let go first); false
// when EGL refuses. ReleasePreview lets it go again.
bool MakePreviewCurrent(SettingsPreview& preview);
void ReleasePreview(SettingsPreview& preview);

// Starts the field anew from Settings, as the saver does when it starts.
void RestartPreviewField();
// Loads the star-shape image of Settings->Shape in place of the old one.
bool ReloadPreviewShape(SettingsPreview& preview);

// Draws the current state, steps the field once and shows the picture.
bool DrawPreviewFrame(SettingsPreview& preview);

// Draws frames from the widget's frame clock, at most one per FrameDelay.
void StartPreviewTicks(SettingsPreview& preview);
void StopPreviewTicks(SettingsPreview& preview);
