// The Wayland session's idle source for the idle service: the compositor's
// ext_idle_notifier_v1 or org_kde_kwin_idle on the connection's seat (the
// compositor honours the applications' Wayland idle inhibitors itself), or
// GNOME's idle monitor on the session bus where the compositor offers
// neither. The connection is also how the service learns that the session
// has gone.
#pragma once

#include <string>

#include "linux/idle_source.h"
#include "linux/session_bus.h"
#include "linux/wayland/connection.h"
#include "linux/wayland/gnome_idle_monitor.h"
#include "linux/wayland/idle_watch.h"

struct WaylandIdleSource {
    WaylandConnection* Connection = nullptr;
    WaylandIdleWatch Watch;
    GnomeIdleMonitor Gnome;
    bool UseGnome = false;
    unsigned SeatChanges = 0;     // the seat's changes when the watch was made
    std::int64_t Seconds = 0;     // what it was armed for
    bool ReadPrepared = false;    // between Prepare and Dispatch
};

// Chooses the idle protocol (or GNOME's monitor on `bus`, which may be
// null). False, with `error` saying what is missing, when there is none.
bool OpenWaylandIdleSource(WaylandIdleSource& source, WaylandConnection& connection, SessionBus* bus,
                           std::string* error);
void CloseWaylandIdleSource(WaylandIdleSource& source);

IdleSource WaylandIdleSourceInterface(WaylandIdleSource& source);
