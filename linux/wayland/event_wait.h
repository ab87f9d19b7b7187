// The one wait of the Wayland drawing run, between frames: the compositor's
// connection, SIGTERM and SIGINT, in one poll that uses no CPU while nothing
// comes.
#pragma once

#include <wayland-client.h>

#include <cstdint>
#include <string>


// Reads and dispatches what came, waiting up to `micros` microseconds
// (negative: until something comes). False when the connection is lost.
bool WaitForEvents(wl_display* display, std::int64_t micros);

// What happened to a lost connection, in one line: the compositor closed
// it, or the protocol error it ended it with (the interface and code).
std::string LostConnectionMessage(wl_display* display);
