// Run modes of the saver and the window handle type shared by the portable core.
#pragma once

#include <cstdint>

// A native window handle carried as an integer: an HWND on Windows (32-bit
// handle values sign-extended, as they travel on 64-bit Windows), an X11
// window id on Linux. 0 means none.
using WindowHandle = std::intptr_t;

enum RunModeValue : std::int32_t {
    RunModeNone = 0,
    RunModeConfigure = 1,
    RunModeChangePassword = 2,
    RunModePreview = 3,
    RunModeSaver = 4,
};

// Process-wide; 0 at start and written only by the entry's command-line parse.
extern std::int32_t RunMode;
