// The idle service's wait, as the settings file keeps it: a dword of seconds
// ("IdleTime") beside the saver values, which the Windows saver does not
// read. The settings window writes it; `mirrowen --idle` with no number
// reads it, at start and whenever the file changes.
#pragma once

#include <cstdint>

#include "settings/settings_store.h"

extern const char* const IdleTimeValueName;

constexpr std::int64_t DefaultIdleSeconds = 300;
constexpr std::int64_t MaxIdleSeconds = 86400;

// The stored seconds, or DefaultIdleSeconds when absent or outside 1 to
// MaxIdleSeconds.
std::int64_t ReadStoredIdleTime(const SettingsStore& store);

// Writes it into the saver's key.
void WriteStoredIdleTime(const SettingsStore& store, std::int64_t seconds);
