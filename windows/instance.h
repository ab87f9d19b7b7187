// The process's one instance-handle slot: written by the entry, and again by
// the GL window when it registers its class.
#pragma once

#include <windows.h>

#include "windows/run_mode.h"

extern HINSTANCE InstanceHandle;

inline HWND ToHwnd(WindowHandle handle) { return reinterpret_cast<HWND>(handle); }
inline WindowHandle FromHwnd(HWND hwnd) { return reinterpret_cast<WindowHandle>(hwnd); }
