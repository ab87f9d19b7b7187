// Run modes of the saver.
#pragma once

#include <cstdint>

#include "settings/window_handle.h"

enum RunModeValue : std::int32_t {
    RunModeNone = 0,
    RunModeConfigure = 1,
    RunModeChangePassword = 2,
    RunModePreview = 3,
    RunModeSaver = 4,
};

// Process-wide; 0 at start and written only by the entry's command-line parse.
extern std::int32_t RunMode;
