#include "linux/stored_values.h"

const char* const IdleTimeValueName = "IdleTime";

namespace {

// A dword of the saver's key, or `fallback` when absent or outside its range.
std::int64_t ReadDword(const SettingsStore& store, const char* name, std::int64_t low, std::int64_t high,
                       std::int64_t fallback) {
    std::int64_t value = fallback;
    StoreKey key = nullptr;
    if (store.OpenKeyForRead(store.Context, SaverKeyPath, &key)) {
        std::uint32_t v = 0;
        if (store.ReadValue(store.Context, key, name, &v) && v >= low && v <= high) value = v;
        store.CloseKey(store.Context, key);
    }
    return value;
}

void WriteDword(const SettingsStore& store, const char* name, std::int64_t value) {
    StoreKey key = nullptr;
    if (!store.OpenKeyForWrite(store.Context, SaverKeyPath, &key)) return;
    store.WriteValue(store.Context, key, name, static_cast<std::uint32_t>(value));
    store.CloseKey(store.Context, key);
}

}  // namespace

std::int64_t ReadStoredFrameDelay(const SettingsStore& store) {
    return ReadDword(store, FrameDelayValueName, 0, MaxFrameDelay, DefaultFrameDelay);
}

void WriteStoredFrameDelay(const SettingsStore& store, std::int64_t delay) {
    WriteDword(store, FrameDelayValueName, delay);
}

std::int64_t ReadStoredIdleTime(const SettingsStore& store) {
    return ReadDword(store, IdleTimeValueName, 1, MaxIdleSeconds, DefaultIdleSeconds);
}

void WriteStoredIdleTime(const SettingsStore& store, std::int64_t seconds) {
    WriteDword(store, IdleTimeValueName, seconds);
}
