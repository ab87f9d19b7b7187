// `mirrowen --idle`: one long-running process that waits, holding no
// window and no GL, until the session's idle source says the seat has had
// no input for the idle time; then it runs the drawing program as a child
// (`mirrowen --wayland --cover ...` or `mirrowen --cover ...`) until input,
// the source's word that the seat is active again (SIGTERM to the child),
// or the desktop locking; and waits again. Applications hold the cover off
// through org.freedesktop.ScreenSaver (served here where no one else does),
// GNOME's session manager or KDE's power management, and the source's own
// ways. Each step goes into the log. SIGTERM and SIGINT end a running cover
// and then the service, with 0; a lost session, with 1.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

#include "linux/idle_source.h"
#include "linux/session_bus.h"

struct IdleServiceOptions {
    std::int64_t IdleSeconds = 0;           // given on the command line; 0: the settings file's, followed
    std::string SettingsPath;               // the settings file
    std::vector<std::string> CoverCommand;  // the drawing program and its arguments
};

// `bus` may be null (no session bus): then no application's inhibition is
// seen but the source's own.
int RunIdleService(IdleSource& source, SessionBus* bus, const IdleServiceOptions& options);

// This program's own path (from /proc, else `argv0`), to run it again.
std::string OwnProgramPath(const char* argv0);

// The idle time in force: the command line's, else the settings file's.
std::int64_t IdleSecondsNow(const IdleServiceOptions& options);
