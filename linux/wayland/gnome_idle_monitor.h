// GNOME's word on idleness, on the session bus: org.gnome.Mutter.IdleMonitor
// (an idle watch for the timeout, and a user-active watch while idle, both
// answered by its WatchFired signal), and the session manager's inhibit
// flags (an application asking that the session not go idle).
//
// GDBus (GIO): GNOME's own sessions always carry it, it needs no system
// service, and its signal delivery goes through a main context of ours whose
// descriptors join the run loop's one poll.
#pragma once

#include <poll.h>

#include <cstdint>
#include <string>

struct _GCancellable;
struct _GDBusConnection;
struct _GMainContext;

struct GnomeIdleMonitor {
    _GDBusConnection* Bus = nullptr;
    _GMainContext* Context = nullptr;  // where WatchFired is delivered
    unsigned Subscription = 0;
    std::uint32_t IdleWatch = 0;       // the watch for the timeout
    std::uint32_t ActiveWatch = 0;     // the watch for the next input, while idle
    unsigned ActiveWatchFailures = 0;  // times the shell refused or did not answer it
    unsigned RetrySource = 0;          // the timer that asks for it again
    _GCancellable* Cancel = nullptr;   // the calls still unanswered, at the close
    bool Idle = false;                 // the idle watch fired and no input since
    unsigned Notices = 0;              // times the idle watch fired
    int Priority = 0;                  // of the main-context pass under way
};

// Connects to the session bus and adds the idle watch. False, with
// `error` set, when there is no session bus or no IdleMonitor on it.
bool OpenGnomeIdleMonitor(GnomeIdleMonitor& monitor, std::uint32_t milliseconds, std::string* error);

void CloseGnomeIdleMonitor(GnomeIdleMonitor& monitor);

// Whether an application inhibits the session's idleness
// (org.gnome.SessionManager IsInhibited with the idle flag, 8); false
// where the session manager is absent.
bool GnomeSessionIdleInhibited(GnomeIdleMonitor& monitor);

// The main-context pass around the run loop's poll: Prepare fills `fds`
// (up to `room`) and lowers `*timeoutMs` (-1: none) to what the context
// needs; Dispatch hands the poll's results back and delivers the signals.
int PrepareGnomeIdleMonitor(GnomeIdleMonitor& monitor, pollfd* fds, int room, int* timeoutMs);
void DispatchGnomeIdleMonitor(GnomeIdleMonitor& monitor, pollfd* fds, int count);
