// The actions the entry runs, one per run mode.
#pragma once

#include "windows/run_mode.h"

// ChangePassword: have the system change the screen-saver password.
void ChangeSaverPassword(WindowHandle parent);
// Saver and Preview: open the GL window and run the saver until it closes.
void RunSaver(WindowHandle parent);
// The preview tool's drawing window, for "/p scrprev"; 0 when there is none.
WindowHandle FindPreviewHost();
