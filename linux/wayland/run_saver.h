// The drawing run of `mirrowen --wayland`: a surface on every output the
// compositor offers (layer shell's overlay layer, or a fullscreen xdg-shell
// toplevel where there is no layer shell), the one star field drawn into
// each and stepped once per frame, paced by the surfaces' frame callbacks.
// It ends on SIGTERM or SIGINT, the end of the -frames count, a key or a
// button (where there is a seat), or the compositor closing a toplevel; the
// result is the process's exit code.
#pragma once

#include "linux/options.h"

int RunWaylandSaver(const SaverOptions& options);
