// The window procedure of the saver's GL window, in both drawing modes: the
// dismissal input, the password-checked close, the cursor and the system
// commands the saver swallows.
#pragma once

#include <windows.h>

#include <cstdint>

// Mouse-move messages taken in Saver mode while no password check runs;
// back to 0 after a failed check.
extern std::int32_t MouseMoveCount;

LRESULT CALLBACK SaverWndProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam);
