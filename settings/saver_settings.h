// The one settings record: the saver window's runtime state followed by the
// 19 saver values, named after their registry values.
#pragma once

#include <cstddef>
#include <cstdint>

#include "settings/settings_store.h"
#include "settings/window_handle.h"

struct CursorPoint {
    std::int32_t x;
    std::int32_t y;
};

struct SaverSettings {
    // Runtime part, used by the saver window.
    WindowHandle hwnd;
    std::uint32_t PasswordDelay;
    std::int32_t MouseThreshold;
    std::uint32_t MuteSound;
    CursorPoint CursorStart;
    std::uint32_t CreateTick;
    std::uint32_t TimerId;
    std::int32_t CheckingPassword;
    std::int32_t CloseRequested;

    // The saver values.
    std::int32_t BounceBottom;
    std::int32_t BounceTop;
    std::int32_t BounceSides;
    std::int32_t StarCount;
    std::int32_t StarVel;
    std::int32_t StarSize;
    std::int32_t DecayRate;
    std::int32_t PulsateRate;
    std::int32_t Shape;
    std::int32_t Colours;
    std::int32_t Gravity;
    std::int32_t Origins;
    std::int32_t OriginSpeed;
    std::int32_t Corona;
    std::int32_t LensFlare;
    std::int32_t ScrWidth;
    std::int32_t ScrHeight;
    std::int32_t Preset;
    // Non-zero: Saver mode keeps every monitor's own display mode.
    std::int32_t NativeResolution;

    // Clears hwnd, TimerId and CloseRequested; the rest is set by the loads.
    SaverSettings();

    // The system's screen-saver values ("Password Delay", "Mouse Threshold",
    // "Mute Sound") with their defaults; also clears CheckingPassword.
    void ReadSystemSaverSettings(const SettingsStore& store);
    // The 19 defaults, then every stored value that passes its acceptance test.
    void LoadSettings(const SettingsStore& store);
    // Writes all 19 values, creating the key if needed. Silent on failure.
    void SaveSettings(const SettingsStore& store) const;

    // Saver-window operations, defined by the platform's window code.
    void PostClose();
    void BeginPasswordCheck();
    void EndPasswordCheck();
};

// The process's one record, published by the entry.
extern SaverSettings* Settings;

// One stored saver value: its registry name, its field, and the test a
// stored number must pass (as an unsigned 32-bit number) to be taken.
struct StoredSaverValue {
    const char* Name;
    std::int32_t SaverSettings::*Field;
    std::uint32_t Min;
    std::uint32_t Max;
    std::int32_t Bias;  // stored = field + Bias ("Gravity" is kept as 0..10)
};

// The 19 values in the order in which they are read and written.
constexpr std::size_t SaverValueCount = 19;
extern const StoredSaverValue SaverValues[SaverValueCount];

// The entry of SaverValues with that exact name, or null.
const StoredSaverValue* FindSaverValue(const char* name);

// Takes a stored number into the record when it passes the value's test;
// returns whether it did.
bool AcceptStoredValue(SaverSettings& settings, const StoredSaverValue& rule, std::uint32_t stored);

// Sets the 19 built-in defaults (not those of the "(Default)" preset).
void SetDefaultSaverValues(SaverSettings& settings);
