#include "settings/saver_settings.h"

#include <cstring>

const char* const SaverKeyPath = "Software\\Pelloquin\\ScreenSavers\\Mirrowen";
const char* const SystemSaverKeyPath = "Software\\Microsoft\\Windows\\CurrentVersion\\Screen Savers";

SaverSettings* Settings = nullptr;

namespace {

constexpr std::uint32_t Any = 0xFFFFFFFFu;

}  // namespace

const StoredSaverValue SaverValues[SaverValueCount] = {
    {"BounceBottom", &SaverSettings::BounceBottom, 0, Any, 0},
    {"BounceTop", &SaverSettings::BounceTop, 0, Any, 0},
    {"BounceSides", &SaverSettings::BounceSides, 0, Any, 0},
    {"StarCount", &SaverSettings::StarCount, 100, 2000, 0},
    {"StarVel", &SaverSettings::StarVel, 0, 30, 0},
    {"Gravity", &SaverSettings::Gravity, 0, 10, 5},
    {"OriginSpeed", &SaverSettings::OriginSpeed, 1, 10, 0},
    {"Origins", &SaverSettings::Origins, 1, 4, 0},
    {"ScrWidth", &SaverSettings::ScrWidth, 321, Any, 0},
    {"ScrHeight", &SaverSettings::ScrHeight, 200, Any, 0},
    {"Shape", &SaverSettings::Shape, 0, 10, 0},
    {"StarSize", &SaverSettings::StarSize, 0, 10, 0},
    {"DecayRate", &SaverSettings::DecayRate, 1, 20, 0},
    {"PulsateRate", &SaverSettings::PulsateRate, 0, 20, 0},
    {"Corona", &SaverSettings::Corona, 0, 100, 0},
    {"Colours", &SaverSettings::Colours, 0, 5, 0},
    {"LensFlare", &SaverSettings::LensFlare, 0, Any, 0},
    {"Preset", &SaverSettings::Preset, 0, Any, 0},
    {"NativeResolution", &SaverSettings::NativeResolution, 0, Any, 0},
};

const StoredSaverValue* FindSaverValue(const char* name) {
    for (const StoredSaverValue& rule : SaverValues) {
        if (std::strcmp(rule.Name, name) == 0) return &rule;
    }
    return nullptr;
}

bool AcceptStoredValue(SaverSettings& settings, const StoredSaverValue& rule, std::uint32_t stored) {
    if (stored < rule.Min || stored > rule.Max) return false;
    // Unsigned arithmetic keeps the bias defined for every stored number; the
    // result's bits are the signed field value.
    settings.*rule.Field = static_cast<std::int32_t>(stored - static_cast<std::uint32_t>(rule.Bias));
    return true;
}

void SetDefaultSaverValues(SaverSettings& s) {
    s.BounceBottom = 1;
    s.BounceTop = 0;
    s.BounceSides = 0;
    s.StarCount = 300;
    s.StarVel = 4;
    s.StarSize = 7;
    s.DecayRate = 4;
    s.PulsateRate = 4;
    s.Shape = 7;
    s.Colours = 0;
    s.Gravity = 1;
    s.Origins = 1;
    s.OriginSpeed = 1;
    s.Corona = 70;
    s.LensFlare = 0;
    s.ScrWidth = 640;
    s.ScrHeight = 480;
    s.Preset = 1;
    s.NativeResolution = 0;
}

SaverSettings::SaverSettings() : hwnd(0), TimerId(0), CloseRequested(0) {}

void SaverSettings::ReadSystemSaverSettings(const SettingsStore& store) {
    PasswordDelay = 1;
    MouseThreshold = 50;
    // Nothing reads it, but it should not be left undefined when the value is absent.
    MuteSound = 0;
    CheckingPassword = 0;

    StoreKey key = nullptr;
    if (!store.OpenKeyForRead(store.Context, SystemSaverKeyPath, &key)) return;
    std::uint32_t v = 0;
    if (store.ReadValue(store.Context, key, "Password Delay", &v)) PasswordDelay = v;
    if (store.ReadValue(store.Context, key, "Mouse Threshold", &v)) MouseThreshold = static_cast<std::int32_t>(v);
    if (store.ReadValue(store.Context, key, "Mute Sound", &v)) MuteSound = v;
    store.CloseKey(store.Context, key);
}

void SaverSettings::LoadSettings(const SettingsStore& store) {
    SetDefaultSaverValues(*this);

    StoreKey key = nullptr;
    if (!store.OpenKeyForRead(store.Context, SaverKeyPath, &key)) return;
    for (const StoredSaverValue& rule : SaverValues) {
        std::uint32_t v = 0;
        if (store.ReadValue(store.Context, key, rule.Name, &v)) AcceptStoredValue(*this, rule, v);
    }
    store.CloseKey(store.Context, key);
}

void SaverSettings::SaveSettings(const SettingsStore& store) const {
    StoreKey key = nullptr;
    if (!store.OpenKeyForWrite(store.Context, SaverKeyPath, &key)) return;
    for (const StoredSaverValue& rule : SaverValues) {
        const std::uint32_t stored = static_cast<std::uint32_t>(this->*rule.Field) + static_cast<std::uint32_t>(rule.Bias);
        store.WriteValue(store.Context, key, rule.Name, stored);
    }
    store.CloseKey(store.Context, key);
}
