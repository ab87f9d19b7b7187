// The window the X11 program draws into and its GLX context: a window of
// its own, or a window another program made (the root window, the window
// XScreenSaver gives, a -window-id). A foreign window whose visual cannot
// take a double-buffered RGBA context gets a child window that can, kept at
// the parent's size.
#pragma once

#include <GL/glx.h>
#include <X11/Xlib.h>

#include <string>

struct X11GlWindow {
    Display* Dpy = nullptr;
    Window Target = 0;      // the window asked for
    Window Drawable = 0;    // where GL draws: Target or a child of it
    bool OwnsTarget = false;
    bool OwnsDrawable = false;
    Colormap OwnColormap = 0;
    GLXContext Context = nullptr;
    Atom DeleteWindow = 0;
    int Width = 0;
    int Height = 0;
};

// The visual every window drawn into takes: double-buffered RGBA with a
// depth buffer; null when the display offers none. XFree it.
XVisualInfo* ChooseGlVisual(Display* dpy, int screen);

// A window of its own, width x height, at (x, y) when placed is set; shown,
// with the window manager's close offered. Key, button and structure events
// are selected on it.
bool OpenOwnGlWindow(X11GlWindow& window, Display* dpy, int width, int height, int x, int y, bool placed,
                     std::string* error);

// Draws on the existing window target; only its structure events are
// selected (another client may hold its input).
bool OpenForeignGlWindow(X11GlWindow& window, Display* dpy, Window target, std::string* error);

// Releases the context and whatever windows were made; the display stays open.
void CloseX11GlWindow(X11GlWindow& window);

// Follows a new size of the target: the child (if any) is resized with it
// and the viewport stretched over it.
void FollowTargetSize(X11GlWindow& window, int width, int height);

// Asks GLX to let the swap wait for `interval` display refreshes, through
// GLX_EXT_swap_control or GLX_MESA_swap_control where the server offers
// one; false when neither is offered.
bool RequestSwapInterval(X11GlWindow& window, int interval);
