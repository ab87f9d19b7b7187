#include "linux/x11/saver_suspends.h"

#include <X11/Xatom.h>
#include <X11/Xutil.h>
#include <X11/extensions/record.h>
#include <X11/Xproto.h>  // the protocol types saverproto.h uses
#include <X11/extensions/saverproto.h>
#include <X11/extensions/scrnsaver.h>

#include <vector>

namespace {

void Intercepted(XPointer closure, XRecordInterceptData* data) {
    SaverSuspends& suspends = *reinterpret_cast<SaverSuspends*>(closure);
    if (data->category == XRecordFromClient && data->data_len * 4 >= sz_xScreenSaverSuspendReq &&
        data->data[0] == suspends.SaverOpcode && data->data[1] == X_ScreenSaverSuspend) {
        // A boolean in four bytes, in the client's byte order: any bit set is true.
        const bool suspend = (data->data[4] | data->data[5] | data->data[6] | data->data[7]) != 0;
        int& count = suspends.Held[data->id_base];
        count += suspend ? 1 : (count > 0 ? -1 : 0);
        if (count == 0) suspends.Held.erase(data->id_base);
    } else if (data->category == XRecordClientDied) {
        suspends.Held.erase(data->id_base);
    }
    XRecordFreeData(data);
}

// A window's name for the log: its class, else its title.
std::string WindowName(Display* dpy, Window window) {
    XClassHint hint{nullptr, nullptr};
    std::string name;
    if (XGetClassHint(dpy, window, &hint)) {
        if (hint.res_class != nullptr) name = hint.res_class;
        XFree(hint.res_name);
        XFree(hint.res_class);
    }
    char* title = nullptr;
    if (name.empty() && XFetchName(dpy, window, &title) && title != nullptr) name = title;
    if (title != nullptr) XFree(title);
    return name;
}

// The name of a window the client with this resource base made (`mask`:
// the bits of an id that name its client): among the
// window manager's clients, else the root's children.
std::string ClientName(Display* dpy, unsigned long base, unsigned long mask) {
    std::vector<Window> windows;
    const Window root = DefaultRootWindow(dpy);
    Atom type = None;
    int format = 0;
    unsigned long count = 0, after = 0;
    unsigned char* list = nullptr;
    if (XGetWindowProperty(dpy, root, XInternAtom(dpy, "_NET_CLIENT_LIST", False), 0, 4096, False, XA_WINDOW, &type,
                           &format, &count, &after, &list) == Success && list != nullptr) {
        if (format == 32) windows.assign(reinterpret_cast<Window*>(list), reinterpret_cast<Window*>(list) + count);
        XFree(list);
    }
    Window parent = 0, unused = 0;
    Window* children = nullptr;
    unsigned int childCount = 0;
    if (XQueryTree(dpy, root, &unused, &parent, &children, &childCount)) {
        windows.insert(windows.end(), children, children + childCount);
        if (children != nullptr) XFree(children);
    }
    for (Window window : windows) {
        if ((window & mask) != base) continue;
        const std::string name = WindowName(dpy, window);
        if (!name.empty()) return name;
    }
    return "";
}

}  // namespace

void StartSaverSuspends(SaverSuspends& suspends, Display* dpy) {
    suspends.Dpy = dpy;
    int event = 0, error = 0, major = 0, minor = 0;
    if (!XQueryExtension(dpy, "MIT-SCREEN-SAVER", &suspends.SaverOpcode, &event, &error)) {
        suspends.SaverOpcode = -1;
        return;
    }
    if (!XRecordQueryVersion(dpy, &major, &minor)) return;
    XRecordRange* range = XRecordAllocRange();
    if (range == nullptr) return;
    range->ext_requests.ext_major.first = range->ext_requests.ext_major.last =
        static_cast<unsigned char>(suspends.SaverOpcode);
    range->ext_requests.ext_minor.first = range->ext_requests.ext_minor.last = X_ScreenSaverSuspend;
    range->client_died = True;
    XRecordClientSpec clients = XRecordAllClients;
    suspends.Context = XRecordCreateContext(dpy, 0, &clients, 1, &range, 1);
    XFree(range);
    if (suspends.Context == 0) return;
    XSync(dpy, False);
    suspends.Data = XOpenDisplay(DisplayString(dpy));
    if (suspends.Data == nullptr || !XRecordEnableContextAsync(suspends.Data, suspends.Context, Intercepted,
                                                               reinterpret_cast<XPointer>(&suspends))) {
        StopSaverSuspends(suspends);
        suspends.Dpy = dpy;
    }
}

void StopSaverSuspends(SaverSuspends& suspends) {
    if (suspends.Context != 0 && suspends.Dpy != nullptr) {
        XRecordDisableContext(suspends.Dpy, suspends.Context);
        XRecordFreeContext(suspends.Dpy, suspends.Context);
        XSync(suspends.Dpy, False);
    }
    if (suspends.Data != nullptr) XCloseDisplay(suspends.Data);
    const int opcode = suspends.SaverOpcode;
    suspends = SaverSuspends{};
    suspends.SaverOpcode = opcode;
}

int PrepareSaverSuspends(SaverSuspends& suspends, pollfd* fds, int room, int* timeoutMs) {
    if (suspends.Data == nullptr || room < 1) return 0;
    XFlush(suspends.Data);
    if (XQLength(suspends.Data) > 0) *timeoutMs = 0;
    fds[0] = pollfd{ConnectionNumber(suspends.Data), POLLIN, 0};
    return 1;
}

void DispatchSaverSuspends(SaverSuspends& suspends, const pollfd* fds, int count) {
    if (suspends.Data == nullptr || count < 1) return;
    if ((fds[0].revents & (POLLIN | POLLHUP | POLLERR)) != 0 || XQLength(suspends.Data) > 0)
        XRecordProcessReplies(suspends.Data);
}

bool SaverSuspended(SaverSuspends& suspends, std::string* why) {
    if (!suspends.Held.empty()) {
        const std::string name =
            ClientName(suspends.Dpy, suspends.Held.begin()->first, XRecordIdBaseMask(suspends.Dpy));
        *why = (name.empty() ? std::string("an X client") : name) + " (XScreenSaverSuspend)";
        return true;
    }
    if (suspends.SaverOpcode < 0) return false;
    // The server's own timer: passed, and still no saver.
    int timeout = 0, interval = 0, blanking = 0, exposures = 0;
    XGetScreenSaver(suspends.Dpy, &timeout, &interval, &blanking, &exposures);
    XScreenSaverInfo* info = XScreenSaverAllocInfo();
    if (info == nullptr) return false;
    bool suspended = false;
    if (timeout > 0 && XScreenSaverQueryInfo(suspends.Dpy, DefaultRootWindow(suspends.Dpy), info))
        suspended = info->state == ScreenSaverOff && info->idle >= static_cast<unsigned long>(timeout) * 1000;
    XFree(info);
    if (suspended) *why = "an X client (XScreenSaverSuspend: the X server's own screen saver is held off too)";
    return suspended;
}
