// The compositor's word that the seat has had no input for a while, through
// whichever idle protocol it offers: ext_idle_notifier_v1 (which also
// honours the applications' idle inhibitors) or the older
// org_kde_kwin_idle. One watch on the connection's seat, armed for the
// whole run: idle after the timeout, active again on the next input, idle
// again after the next quiet timeout.
#pragma once

#include <cstdint>

#include "linux/wayland/connection.h"

struct ext_idle_notification_v1;
struct org_kde_kwin_idle_timeout;

struct WaylandIdleWatch {
    ext_idle_notification_v1* Notification = nullptr;
    org_kde_kwin_idle_timeout* KdeTimeout = nullptr;
    wl_seat* Seat = nullptr;  // the seat it was made for
    bool Idle = false;        // idle since the last notice, no input after it
    unsigned Notices = 0;     // idle notices so far, counted on when the watch is made anew
};

// Whether the compositor offers either protocol.
bool WaylandIdleOffered(const WaylandConnection& connection);

// Arms the watch on the connection's seat for `milliseconds` of no input,
// from now (a watch made before is replaced). False when there is no seat
// or neither protocol.
bool StartWaylandIdleWatch(WaylandIdleWatch& watch, WaylandConnection& connection, std::uint32_t milliseconds);

void StopWaylandIdleWatch(WaylandIdleWatch& watch);
