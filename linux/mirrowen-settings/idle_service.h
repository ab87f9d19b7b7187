// "Start when idle", in Wayland and X11 sessions: the user service
// mirrowen-idle (mirrowen --idle, which waits in the session it runs in and
// takes its idle time from the settings file) switched on and off with `systemctl --user`, run beside the window
// so that it never holds the window up.
#pragma once

#include <gio/gio.h>

#include <cstdint>
#include <string>
#include <vector>

extern const char* const IdleServiceUnit;

// Told in the main loop that `systemctl --user ...` has ended: whether it
// succeeded and, when not, why.
using SystemctlDone = void (*)(bool ok, const std::string& error, gpointer data);

// Starts `systemctl --user ARGS...` and returns at once; `done` is called
// later (never from within this call), unless `cancellable` is cancelled
// first.
void RunUserSystemctl(const std::vector<std::string>& args, GCancellable* cancellable, SystemctlDone done,
                      gpointer data);

// The drop-in through which the window's previous version set the
// service's idle time, by replacing its command line.
struct OldIdleDropIn {
    std::string Path;  // $XDG_CONFIG_HOME/systemd/user/mirrowen-idle.service.d/idle-time.conf (else ~/.config/...)
    bool Found = false;
    // Its idle time when its text is exactly what that window wrote
    // ("[Service]\nExecStart=\nExecStart=PROGRAM --wayland --idle N\n", N
    // seconds, a whole number of minutes from 1 to 120); 0 for anything
    // else, which is the user's own and left alone.
    std::int64_t Seconds = 0;
};
OldIdleDropIn FindOldIdleDropIn();

// Removes it, and its directory when that is left empty; false with
// `error` set when it stays.
bool RemoveOldIdleDropIn(const OldIdleDropIn& dropIn, std::string* error);
