// The settings both frame benchmarks draw with, so that their figures compare:
// the defaults, then the heaviest field the dialog offers.
#pragma once

#include "settings/memory_store.h"
#include "settings/saver_settings.h"

inline void UseFrameBenchSettings(SaverSettings& s) {
    MemoryStore store;
    s.ReadSystemSaverSettings(MemoryStoreInterface(store));
    s.LoadSettings(MemoryStoreInterface(store));
    s.StarCount = 2000;
    s.StarSize = 10;
    s.Origins = 4;
    s.Corona = 100;
    s.LensFlare = 1;
}
