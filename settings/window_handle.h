// The native window handle type that the settings record and its dialog carry.
#pragma once

#include <cstdint>

// A native window handle carried as an integer: an HWND on Windows (32-bit
// handle values sign-extended, as they travel on 64-bit Windows), an X11
// window id on Linux. 0 means none.
using WindowHandle = std::intptr_t;
