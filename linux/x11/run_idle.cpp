#include "linux/x11/run_idle.h"

#include <X11/Xlib.h>
#include <unistd.h>

#include "linux/end_signals.h"
#include "linux/service_log.h"
#include "linux/session_bus.h"
#include "linux/x11/idle_source.h"

namespace {

// Xlib ends the process when the connection goes, whatever the handler
// does: it says why first. (A drawing program loses its connection too and
// ends by itself.)
int LostServer(Display*) {
    ServiceLog("the X server closed the connection");
    _exit(1);
}

// Others' windows may go between a listing and a question about them
// (a BadWindow then): the answer is simply no. Xlib's own handler would end
// the process.
int IgnoreXError(Display*, XErrorEvent*) { return 0; }

}  // namespace

int RunX11Idle(const IdleServiceOptions& service, const std::string& displayName) {
    CatchEndSignals();
    Display* dpy = XOpenDisplay(displayName.empty() ? nullptr : displayName.c_str());
    if (dpy == nullptr) {
        ServiceLog("cannot open display " + std::string(XDisplayName(displayName.c_str())));
        return 1;
    }
    XSetErrorHandler(IgnoreXError);
    XSetIOErrorHandler(LostServer);
    SessionBus bus;
    std::string error;
    const bool haveBus = OpenSessionBus(bus, &error);
    X11IdleSource idle;
    int result;
    if (!OpenX11IdleSource(idle, dpy, &error)) {
        ServiceLog(error);
        result = 1;
    } else {
        IdleSource source = X11IdleSourceInterface(idle);
        result = RunIdleService(source, haveBus ? &bus : nullptr, service);
    }
    CloseX11IdleSource(idle);
    if (haveBus) CloseSessionBus(bus);
    XCloseDisplay(dpy);
    return result;
}
