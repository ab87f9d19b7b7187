// `mirrowen --wayland --idle SECONDS`: one long-running process that waits,
// with no surface and no GL context, until the seat has had no input for
// SECONDS, covers every output until the next input, and waits again. The
// first idle source the session offers serves: ext_idle_notifier_v1,
// org_kde_kwin_idle, or GNOME's IdleMonitor on the session bus (with the
// session manager's idle inhibitors respected). SIGTERM and SIGINT end it
// with 0; a lost compositor, with 1.
#pragma once

#include "linux/options.h"
#include "linux/wayland/connection.h"

int RunWaylandIdle(WaylandConnection& connection, const SaverOptions& options);
