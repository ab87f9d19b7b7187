// The Windows 9x screen-saver password services, loaded from the system
// directory around each single call. ChangeSaverPassword is in windows/actions.h.
#pragma once

#include <windows.h>

// True when the saver may close: always on the NT family, and whenever the
// system's password library or its entry cannot be reached.
bool VerifySaverPassword(HWND window);
