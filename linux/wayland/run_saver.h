// The drawing run of `mirrowen --wayland`: a surface on every output the
// compositor offers (layer shell's overlay layer, or a fullscreen xdg-shell
// toplevel where there is no layer shell), the one star field drawn into
// each and stepped once per frame, paced by the surfaces' frame callbacks.
// It ends on SIGTERM or SIGINT, the end of the -frames count, a key or a
// button (where there is a seat; with --cover pointer motion too), or the
// compositor closing a toplevel; the result is the process's exit code.
#pragma once

#include <string>

#include "linux/idle_run.h"
#include "linux/options.h"
#include "linux/wayland/connection.h"

int RunWaylandSaver(const SaverOptions& options);

// `mirrowen --wayland --idle`: the idle service over the compositor's (or
// GNOME's) idle source; each cover is `service.CoverCommand`.
int RunWaylandIdle(const IdleServiceOptions& service);

// How one cover ended.
enum class CoverEnd {
    Input,   // input: a key, a button, or motion where it counts
    Ended,   // SIGTERM, SIGINT, the -frames count, or a toplevel closed
    Failed,  // the connection lost or EGL refused: the error says which
};

// One cover: the EGL context, a fresh field and a surface per output, drawn
// until it ends; then no surface and no context are left. `givenSocket`:
// started by a locker through $WAYLAND_SOCKET.
CoverEnd CoverOutputs(WaylandConnection& connection, const SaverOptions& options, bool givenSocket,
                      std::string* error);
