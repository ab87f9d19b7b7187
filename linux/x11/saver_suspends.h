// Which X clients suspend the X server's screen saver now
// (XScreenSaverSuspend, which SDL games and video players call): the
// server shows it nowhere but in its own saver timer, so the requests are
// followed as they are made, through the RECORD extension on a connection
// of their own, and a client's suspension ends with its connection, as the
// server ends it. Where the server's own saver timeout has passed without
// the saver coming on, some client suspends it too (one that suspended it
// before this process started, say).
#pragma once

#include <X11/Xlib.h>
#include <poll.h>

#include <map>
#include <string>

struct SaverSuspends {
    Display* Dpy = nullptr;          // the service's connection
    Display* Data = nullptr;         // RECORD's data connection; null without RECORD
    unsigned long Context = 0;
    int SaverOpcode = -1;            // MIT-SCREEN-SAVER's major opcode; -1 without it
    std::map<unsigned long, int> Held;  // suspensions by client (its resource id base)
};

// Starts following on `dpy`'s server; without RECORD only the saver timer's
// word is left.
void StartSaverSuspends(SaverSuspends& suspends, Display* dpy);
void StopSaverSuspends(SaverSuspends& suspends);

int PrepareSaverSuspends(SaverSuspends& suspends, pollfd* fds, int room, int* timeoutMs);
void DispatchSaverSuspends(SaverSuspends& suspends, const pollfd* fds, int count);

// Whether a client suspends the saver now; `why` names it where it can
// (the name of one of its windows).
bool SaverSuspended(SaverSuspends& suspends, std::string* why);
