// The drawing run of the X11 program: opens the window the options name,
// sets up the star field from the settings record, and draws a frame
// whenever no X event is waiting and the -delay since the last frame's
// start has passed (waiting in between, woken at once by an event or an
// end signal), until SIGTERM or SIGINT, the end of the
// -frames count, or (own window only) a key, a button or the window
// manager's close. The result is the process's exit code.
#pragma once

#include "linux/options.h"

int RunX11Saver(const SaverOptions& options);

// A window number as -window-id and $XSCREENSAVER_WINDOW give it: decimal
// or 0x hex; 0 when it is neither.
unsigned long ParseWindowNumber(const char* text);
