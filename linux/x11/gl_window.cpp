#include "linux/x11/gl_window.h"

#include <GL/gl.h>
#include <GL/glu.h>
#include <X11/Xutil.h>

#include <cstring>

#include "render/viewport.h"

namespace {

int DoubleBufferedRgba[] = {GLX_RGBA, GLX_DOUBLEBUFFER, GLX_RED_SIZE, 1, GLX_GREEN_SIZE, 1, GLX_BLUE_SIZE, 1,
                            GLX_DEPTH_SIZE, 16, None};

// Whether a visual can take the context the frames need.
bool Suitable(Display* dpy, XVisualInfo* info) {
    int useGl = 0, rgba = 0, doubleBuffer = 0, depth = 0;
    glXGetConfig(dpy, info, GLX_USE_GL, &useGl);
    glXGetConfig(dpy, info, GLX_RGBA, &rgba);
    glXGetConfig(dpy, info, GLX_DOUBLEBUFFER, &doubleBuffer);
    glXGetConfig(dpy, info, GLX_DEPTH_SIZE, &depth);
    return useGl && rgba && doubleBuffer && depth >= 16;
}

bool HasExtension(const char* list, const char* name) {
    if (list == nullptr) return false;
    const std::size_t length = std::strlen(name);
    for (const char* p = list; (p = std::strstr(p, name)) != nullptr; p += length)
        if ((p == list || p[-1] == ' ') && (p[length] == ' ' || p[length] == '\0')) return true;
    return false;
}

// Makes the context on window.Drawable with the given visual and makes it current.
bool MakeContext(X11GlWindow& window, XVisualInfo* info, std::string* error) {
    window.Context = glXCreateContext(window.Dpy, info, nullptr, True);
    if (window.Context == nullptr) {
        *error = "could not create a GLX context";
        return false;
    }
    if (!glXMakeCurrent(window.Dpy, window.Drawable, window.Context)) {
        *error = "could not make the GLX context current";
        return false;
    }
    return true;
}

Window CreateGlChild(X11GlWindow& window, Window parent, XVisualInfo* info, int x, int y, int width, int height,
                     long events) {
    window.OwnColormap = XCreateColormap(window.Dpy, parent, info->visual, AllocNone);
    XSetWindowAttributes attributes;
    std::memset(&attributes, 0, sizeof attributes);
    attributes.colormap = window.OwnColormap;
    attributes.background_pixel = BlackPixel(window.Dpy, info->screen);
    attributes.border_pixel = 0;
    attributes.event_mask = events;
    return XCreateWindow(window.Dpy, parent, x, y, static_cast<unsigned>(width), static_cast<unsigned>(height), 0,
                         info->depth, InputOutput, info->visual,
                         CWColormap | CWBackPixel | CWBorderPixel | CWEventMask, &attributes);
}

}  // namespace

XVisualInfo* ChooseGlVisual(Display* dpy, int screen) { return glXChooseVisual(dpy, screen, DoubleBufferedRgba); }

bool OpenOwnGlWindow(X11GlWindow& window, Display* dpy, int width, int height, int x, int y, bool placed,
                     std::string* error) {
    window.Dpy = dpy;
    const int screen = DefaultScreen(dpy);
    XVisualInfo* info = ChooseGlVisual(dpy, screen);
    if (info == nullptr) {
        *error = "the display offers no double-buffered RGBA visual with a depth buffer";
        return false;
    }
    window.Target = CreateGlChild(window, RootWindow(dpy, screen), info, x, y, width, height,
                                  KeyPressMask | ButtonPressMask | StructureNotifyMask | ExposureMask);
    window.Drawable = window.Target;
    window.OwnsTarget = true;
    window.Width = width;
    window.Height = height;

    XStoreName(dpy, window.Target, "Mirrowen");
    XClassHint hint;
    hint.res_name = const_cast<char*>("mirrowen");
    hint.res_class = const_cast<char*>("Mirrowen");
    XSetClassHint(dpy, window.Target, &hint);
    XSizeHints size;
    std::memset(&size, 0, sizeof size);
    size.flags = PSize | (placed ? USPosition : 0);
    size.x = x;
    size.y = y;
    size.width = width;
    size.height = height;
    XSetWMNormalHints(dpy, window.Target, &size);
    window.DeleteWindow = XInternAtom(dpy, "WM_DELETE_WINDOW", False);
    XSetWMProtocols(dpy, window.Target, &window.DeleteWindow, 1);
    XMapRaised(dpy, window.Target);

    const bool made = MakeContext(window, info, error);
    XFree(info);
    if (made) ResizeViewport(width, height);
    return made;
}

bool OpenForeignGlWindow(X11GlWindow& window, Display* dpy, Window target, std::string* error) {
    window.Dpy = dpy;
    window.Target = target;
    XWindowAttributes attributes;
    if (!XGetWindowAttributes(dpy, target, &attributes)) {
        *error = "no such window";
        return false;
    }
    window.Width = attributes.width;
    window.Height = attributes.height;
    XSelectInput(dpy, target, StructureNotifyMask);

    XVisualInfo wanted;
    std::memset(&wanted, 0, sizeof wanted);
    wanted.visualid = XVisualIDFromVisual(attributes.visual);
    int count = 0;
    XVisualInfo* own = XGetVisualInfo(dpy, VisualIDMask, &wanted, &count);
    XVisualInfo* info = own;
    if (own == nullptr || !Suitable(dpy, own)) {
        // The window's own visual will not do: draw on a child that fills it.
        info = ChooseGlVisual(dpy, XScreenNumberOfScreen(attributes.screen));
        if (info == nullptr) {
            if (own != nullptr) XFree(own);
            *error = "the display offers no double-buffered RGBA visual with a depth buffer";
            return false;
        }
        window.Drawable = CreateGlChild(window, target, info, 0, 0, window.Width, window.Height, 0);
        window.OwnsDrawable = true;
        XMapWindow(dpy, window.Drawable);
    } else {
        window.Drawable = target;
    }
    const bool made = MakeContext(window, info, error);
    if (info != own) XFree(info);
    if (own != nullptr) XFree(own);
    if (made) ResizeViewport(window.Width, window.Height);
    return made;
}

void CloseX11GlWindow(X11GlWindow& window) {
    if (window.Dpy == nullptr) return;
    if (window.Context != nullptr) {
        glXMakeCurrent(window.Dpy, None, nullptr);
        glXDestroyContext(window.Dpy, window.Context);
        window.Context = nullptr;
    }
    if (window.OwnsDrawable && window.Drawable != 0) XDestroyWindow(window.Dpy, window.Drawable);
    if (window.OwnsTarget && window.Target != 0) XDestroyWindow(window.Dpy, window.Target);
    if (window.OwnColormap != 0) XFreeColormap(window.Dpy, window.OwnColormap);
    window.Drawable = window.Target = 0;
    window.OwnColormap = 0;
    XSync(window.Dpy, False);
}

void FollowTargetSize(X11GlWindow& window, int width, int height) {
    if (width == window.Width && height == window.Height) return;
    window.Width = width;
    window.Height = height;
    if (window.OwnsDrawable)
        XResizeWindow(window.Dpy, window.Drawable, static_cast<unsigned>(width), static_cast<unsigned>(height));
    ResizeViewport(width, height);
}

bool RequestSwapInterval(X11GlWindow& window, int interval) {
    const char* extensions = glXQueryExtensionsString(window.Dpy, DefaultScreen(window.Dpy));
    if (HasExtension(extensions, "GLX_EXT_swap_control")) {
        using Proc = void (*)(Display*, GLXDrawable, int);
        auto proc = reinterpret_cast<Proc>(glXGetProcAddressARB(reinterpret_cast<const GLubyte*>("glXSwapIntervalEXT")));
        if (proc != nullptr) {
            proc(window.Dpy, window.Drawable, interval);
            return true;
        }
    }
    if (HasExtension(extensions, "GLX_MESA_swap_control")) {
        using Proc = int (*)(unsigned);
        auto proc = reinterpret_cast<Proc>(glXGetProcAddressARB(reinterpret_cast<const GLubyte*>("glXSwapIntervalMESA")));
        if (proc != nullptr) return proc(static_cast<unsigned>(interval)) == 0;
    }
    return false;
}
