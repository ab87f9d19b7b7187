// Stand-ins for other X clients in the idle tests, each running until it is
// killed once it has said (on stdout) that it is ready:
//   x11_client suspend     suspends the X screen saver, as a game or a video player does
//   x11_client fullscreen  a window the window manager shows fullscreen, painted #ff00ff;
//                          says "ready WINDOW" (its number) and "key" for each key it gets
//   x11_client locker      a locker's window: override-redirect over the whole screen, #0000ff
//   x11_client cursor      says "cursor hidden" or "cursor shown": whether the pointer's
//                          image where it is now has any pixel that is not clear, and ends
#include <X11/Xatom.h>
#include <X11/Xlib.h>
#include <X11/Xutil.h>
#include <X11/extensions/Xfixes.h>
#include <X11/extensions/scrnsaver.h>
#include <unistd.h>

#include <cstdio>
#include <cstring>

namespace {

Window Painted(Display* dpy, bool overrideRedirect, unsigned long pixel) {
    const int screen = DefaultScreen(dpy);
    XSetWindowAttributes attributes;
    std::memset(&attributes, 0, sizeof attributes);
    attributes.override_redirect = overrideRedirect ? True : False;
    attributes.background_pixel = pixel;
    return XCreateWindow(dpy, RootWindow(dpy, screen), 0, 0, static_cast<unsigned>(DisplayWidth(dpy, screen)),
                         static_cast<unsigned>(DisplayHeight(dpy, screen)), 0, CopyFromParent, InputOutput,
                         CopyFromParent, CWOverrideRedirect | CWBackPixel, &attributes);
}

}  // namespace

int main(int argc, char** argv) {
    const char* mode = argc > 1 ? argv[1] : "";
    Display* dpy = XOpenDisplay(nullptr);
    if (dpy == nullptr) {
        std::fprintf(stderr, "x11_client: no display\n");
        return 1;
    }
    if (std::strcmp(mode, "cursor") == 0) {
        XFixesCursorImage* image = XFixesGetCursorImage(dpy);
        bool shown = false;
        for (int i = 0; image != nullptr && i < image->width * image->height; ++i)
            shown = shown || (image->pixels[i] >> 24) != 0;
        std::printf("cursor %s\n", shown ? "shown" : "hidden");
        if (image == nullptr) return 1;
        XFree(image);
        XCloseDisplay(dpy);
        return 0;
    }
    if (std::strcmp(mode, "suspend") == 0) {
        XScreenSaverSuspend(dpy, True);
    } else if (std::strcmp(mode, "fullscreen") == 0) {
        const Window window = Painted(dpy, false, 0xff00ff);
        XStoreName(dpy, window, "fullscreen stand-in");
        const Atom state = XInternAtom(dpy, "_NET_WM_STATE", False);
        Atom fullscreen = XInternAtom(dpy, "_NET_WM_STATE_FULLSCREEN", False);
        XChangeProperty(dpy, window, state, XA_ATOM, 32, PropModeReplace,
                        reinterpret_cast<unsigned char*>(&fullscreen), 1);
        XWMHints hints;
        std::memset(&hints, 0, sizeof hints);
        hints.flags = InputHint;
        hints.input = True;
        XSetWMHints(dpy, window, &hints);
        XSelectInput(dpy, window, KeyPressMask);
        XMapRaised(dpy, window);
        XSync(dpy, False);
        std::printf("ready 0x%lx\n", window);
        std::fflush(stdout);
        for (;;) {
            XEvent event;
            XNextEvent(dpy, &event);
            if (event.type == KeyPress) std::printf("key\n");
            std::fflush(stdout);
        }
    } else if (std::strcmp(mode, "locker") == 0) {
        XMapRaised(dpy, Painted(dpy, true, 0x0000ff));
    } else {
        std::fprintf(stderr, "usage: x11_client suspend|fullscreen|locker|cursor\n");
        return 2;
    }
    XSync(dpy, False);
    std::printf("ready\n");
    std::fflush(stdout);
    for (;;) pause();
}
