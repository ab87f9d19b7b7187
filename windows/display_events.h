// What the system tells the saver's window about the displays: the console
// display switched off, dimmed or on again, and a change of the monitors or
// their modes. The window procedure notes them; the run loop acts on them.
#pragma once

#include <windows.h>

// Asks for the console display state (off, on, dimmed) to be sent to window.
// Where the system cannot, nothing changes: the saver draws as always.
// Returns whether the notification was registered.
bool RegisterConsoleDisplayState(HWND window);
void UnregisterConsoleDisplayState();

// The console display is off: nothing is worth drawing.
bool ConsoleDisplayOff();

// A WM_POWERBROADCAST's PBT_POWERSETTINGCHANGE data; any other setting, or
// data too short to read, is ignored.
void NoteConsoleDisplayState(const POWERBROADCAST_SETTING* setting);

// WM_DISPLAYCHANGE arrived: the monitors are to be read again.
void NoteDisplayChange();

// Whether a display change was noted since the last call; clears it.
bool TakeDisplayChange();
