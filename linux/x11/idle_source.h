// The X11 session's idle source for the idle service: the SYNC extension's
// IDLETIME counter with alarms, so that the X server itself wakes the
// process when the idle time passes the limit and on the first input after
// it; where the server has no IDLETIME, MIT-SCREEN-SAVER's idle time, asked
// when it may have passed and each second while idle. Clients that suspend
// the X server's screen saver hold the cover off (saver_suspends.h); a
// locker's window shown is the desktop locked (locker_window.h). The
// connection is also how the service learns that the session has gone.
#pragma once

#include <X11/Xlib.h>
#include <X11/extensions/sync.h>

#include <cstdint>
#include <string>

#include "linux/idle_source.h"
#include "linux/x11/saver_suspends.h"

struct X11IdleSource {
    Display* Dpy = nullptr;
    bool UseSync = false;
    int SyncEventBase = 0;
    XSyncCounter Counter = None;  // IDLETIME
    XSyncAlarm IdleAlarm = None;    // the idle time reaches TargetMs
    XSyncAlarm ActiveAlarm = None;  // input: the idle time falls again
    std::int64_t Seconds = 0;       // what it was armed for
    // The idle time (ms since the last input) at which the next notice
    // comes: the armed seconds counted from the arming, until input makes
    // them count from the input.
    std::int64_t TargetMs = 0;
    std::int64_t LastIdleMs = 0;    // MIT-SCREEN-SAVER: the idle time last read
    bool Idle = false;
    unsigned Notices = 0;
    SaverSuspends Suspends;
};

// Chooses SYNC's IDLETIME, else MIT-SCREEN-SAVER, on `dpy`. False, with
// `error` saying what is missing, when the server has neither.
bool OpenX11IdleSource(X11IdleSource& source, Display* dpy, std::string* error);
void CloseX11IdleSource(X11IdleSource& source);

IdleSource X11IdleSourceInterface(X11IdleSource& source);
