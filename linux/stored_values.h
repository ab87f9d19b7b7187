// The Linux program's own values, kept in the settings file beside the
// saver values as dwords of the saver's key, which the Windows saver does
// not read: the frame delay ("FrameDelay", microseconds; used when no -delay
// option is given) and the idle service's wait ("IdleTime", seconds; used
// when --idle has no number, and followed as the file changes).
#pragma once

#include <cstdint>

#include "settings/frame_delay.h"
#include "settings/settings_store.h"

extern const char* const IdleTimeValueName;

constexpr std::int64_t DefaultIdleSeconds = 300;
constexpr std::int64_t MaxIdleSeconds = 86400;

// The stored delay, or DefaultFrameDelay when absent or outside 0 to 100000.
std::int64_t ReadStoredFrameDelay(const SettingsStore& store);
void WriteStoredFrameDelay(const SettingsStore& store, std::int64_t delay);

// The stored seconds, or DefaultIdleSeconds when absent or outside 1 to
// MaxIdleSeconds.
std::int64_t ReadStoredIdleTime(const SettingsStore& store);
void WriteStoredIdleTime(const SettingsStore& store, std::int64_t seconds);
