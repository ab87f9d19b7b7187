// `mirrowen --cover` in an X11 session: one cover of the idle service. An
// override-redirect window on every monitor (cover_windows.h) shares one
// GLX context; the one star field is drawn into each in the same frame and
// stepped once per frame, paced as the X11 display mode paces its window.
// Any key, button or pointer motion ends it, seen through XInput 2's raw
// events on the root window, which come whatever has the focus, without a
// grab that could keep the desktop's locker from the keyboard. Monitors
// that come and go are followed, windows raised over it are covered again,
// and while DPMS has the monitors off nothing is drawn. It ends, too, when
// a locker's window (another program's override-redirect window over a
// whole monitor) appears, so that the lock screen is what shows. SIGTERM
// and SIGINT end it with 0; a lost X server with 1.
#pragma once

#include "linux/options.h"

int RunX11Cover(const SaverOptions& options);
