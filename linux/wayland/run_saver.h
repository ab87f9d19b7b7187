// The drawing run of `mirrowen --wayland`: a surface on every output the
// compositor offers (layer shell's overlay layer, or a fullscreen xdg-shell
// toplevel where there is no layer shell), the one star field drawn into
// each and stepped once per frame, paced by the surfaces' frame callbacks.
// It ends on SIGTERM or SIGINT, the end of the -frames count, a key or a
// button (where there is a seat), or the compositor closing a toplevel; the
// result is the process's exit code. With --idle it stays, and covers the
// outputs each time the seat goes idle.
#pragma once

#include <string>

#include "linux/options.h"
#include "linux/wayland/connection.h"
#include "linux/wayland/gnome_idle_monitor.h"
#include "linux/wayland/idle_watch.h"

int RunWaylandSaver(const SaverOptions& options);

// How one cover ended.
enum class CoverEnd {
    Input,   // input: a key, a button, motion where it counts, or the seat active again
    Ended,   // SIGTERM, SIGINT, the -frames count, or a toplevel closed
    Failed,  // the connection lost or EGL refused: the error says which
};

// What else ends a cover: the idle source that started it saying the seat
// is active again.
struct CoverWatch {
    const WaylandIdleWatch* Wayland = nullptr;
    const GnomeIdleMonitor* Gnome = nullptr;
    GnomeIdleMonitor* GnomeEvents = nullptr;  // its bus, read in the same wait
    bool GivenSocket = false;                 // started by a locker through $WAYLAND_SOCKET
};

// One cover: the EGL context, a fresh field and a surface per output, drawn
// until it ends; then no surface and no context are left.
CoverEnd CoverOutputs(WaylandConnection& connection, const SaverOptions& options, const CoverWatch& watch,
                      std::string* error);
