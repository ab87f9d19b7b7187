#include "linux/stored_idle_time.h"

const char* const IdleTimeValueName = "IdleTime";

std::int64_t ReadStoredIdleTime(const SettingsStore& store) {
    std::int64_t seconds = DefaultIdleSeconds;
    StoreKey key = nullptr;
    if (store.OpenKeyForRead(store.Context, SaverKeyPath, &key)) {
        std::uint32_t v = 0;
        if (store.ReadValue(store.Context, key, IdleTimeValueName, &v) && v >= 1 && v <= MaxIdleSeconds) seconds = v;
        store.CloseKey(store.Context, key);
    }
    return seconds;
}

void WriteStoredIdleTime(const SettingsStore& store, std::int64_t seconds) {
    StoreKey key = nullptr;
    if (!store.OpenKeyForWrite(store.Context, SaverKeyPath, &key)) return;
    store.WriteValue(store.Context, key, IdleTimeValueName, static_cast<std::uint32_t>(seconds));
    store.CloseKey(store.Context, key);
}
