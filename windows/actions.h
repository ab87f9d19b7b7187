// The actions the entry runs, one per run mode.
#pragma once

#include <atomic>
#include <cstdint>

#include "windows/run_mode.h"

// ChangePassword: have the system change the screen-saver password.
void ChangeSaverPassword(WindowHandle parent);
// Saver and Preview: open the GL window and run the saver until it closes.
void RunSaver(WindowHandle parent);
// Frames the run loop has drawn and swapped since the program started; read
// from other threads by tests.
extern std::atomic<std::uint64_t> FramesShown;
// The preview tool's drawing window, for "/p scrprev"; 0 when there is none.
WindowHandle FindPreviewHost();
