#include "linux/stored_frame_delay.h"

#include "linux/frame_pacer.h"

std::int64_t ReadStoredFrameDelay(const SettingsStore& store) {
    std::int64_t delay = DefaultFrameDelay;
    StoreKey key = nullptr;
    if (store.OpenKeyForRead(store.Context, SaverKeyPath, &key)) {
        std::uint32_t v = 0;
        if (store.ReadValue(store.Context, key, FrameDelayValueName, &v) && v <= MaxFrameDelay) delay = v;
        store.CloseKey(store.Context, key);
    }
    return delay;
}

void WriteStoredFrameDelay(const SettingsStore& store, std::int64_t delay) {
    StoreKey key = nullptr;
    if (!store.OpenKeyForWrite(store.Context, SaverKeyPath, &key)) return;
    store.WriteValue(store.Context, key, FrameDelayValueName, static_cast<std::uint32_t>(delay));
    store.CloseKey(store.Context, key);
}
