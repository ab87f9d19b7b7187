// The one wait of the Wayland run, between frames and between covers: the
// compositor's connection, SIGTERM and SIGINT, and (on GNOME) the session
// bus's idle signals, in one poll that uses no CPU while nothing comes.
#pragma once

#include <wayland-client.h>

#include <cstdint>
#include <string>

#include "linux/wayland/gnome_idle_monitor.h"

// Reads and dispatches what came, waiting up to `micros` microseconds
// (negative: until something comes). False when the connection is lost.
bool WaitForEvents(wl_display* display, GnomeIdleMonitor* gnome, std::int64_t micros);

// What happened to a lost connection, in one line: the compositor closed
// it, or the protocol error it ended it with (the interface and code).
std::string LostConnectionMessage(wl_display* display);
