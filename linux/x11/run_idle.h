// `mirrowen --idle` in an X11 session: the idle service over the X
// server's idle time (idle_source.h); each cover is `service.CoverCommand`
// (this program with --cover). A lost X server ends it with 1.
#pragma once

#include <string>

#include "linux/idle_run.h"

int RunX11Idle(const IdleServiceOptions& service, const std::string& displayName);
