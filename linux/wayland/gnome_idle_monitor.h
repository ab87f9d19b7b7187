// GNOME's word on idleness, on the session bus: org.gnome.Mutter.IdleMonitor
// (an idle watch for the timeout, and a user-active watch while idle, both
// answered by its WatchFired signal). Mutter itself fires no idle watch
// while the session manager's inhibitors hold idleness off.
#pragma once

#include <cstdint>
#include <string>

#include "linux/session_bus.h"

struct _GCancellable;

struct GnomeIdleMonitor {
    SessionBus* Bus = nullptr;
    unsigned Subscription = 0;
    std::uint32_t IdleWatch = 0;       // the watch for the timeout
    std::uint32_t ActiveWatch = 0;     // the watch for the next input, while idle
    unsigned ActiveWatchFailures = 0;  // times the shell refused or did not answer it
    unsigned RetrySource = 0;          // the timer that asks for it again
    _GCancellable* Cancel = nullptr;   // the calls still unanswered, at the close
    bool Idle = false;                 // the idle watch fired and no input since
    unsigned Notices = 0;              // times the idle watch fired
};

// Finds the monitor on the bus and subscribes to its signal. False, with
// `error` set, when there is no IdleMonitor on it.
bool OpenGnomeIdleMonitor(GnomeIdleMonitor& monitor, SessionBus& bus, std::string* error);

// Adds the idle watch for `milliseconds` without input, in place of any
// before; the seat is not idle until it fires. False when refused.
bool ArmGnomeIdleMonitor(GnomeIdleMonitor& monitor, std::uint32_t milliseconds);

void CloseGnomeIdleMonitor(GnomeIdleMonitor& monitor);
