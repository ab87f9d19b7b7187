// The Linux program's frame delay as the settings file keeps it: a dword of
// microseconds ("FrameDelay") beside the saver values, which the Windows
// saver does not read. Used when no -delay option is given.
#pragma once

#include <cstdint>

#include "settings/frame_delay.h"
#include "settings/settings_store.h"

// The stored delay, or DefaultFrameDelay when absent or outside 0 to 100000.
std::int64_t ReadStoredFrameDelay(const SettingsStore& store);

// Writes it into the saver's key.
void WriteStoredFrameDelay(const SettingsStore& store, std::int64_t delay);
