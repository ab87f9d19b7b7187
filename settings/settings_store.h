// Where the saver's settings live: the current user's registry on Windows, a
// file on Linux, memory in tests. Keys are addressed by their registry path
// under the current user ("Software\\Pelloquin\\ScreenSavers\\Mirrowen"),
// values by name, each holding one 32-bit number.
#pragma once

#include <cstdint>

using StoreKey = void*;

struct SettingsStore {
    void* Context;
    // Opens an existing key for reading; false when it is absent or cannot be opened.
    bool (*OpenKeyForRead)(void* context, const char* keyPath, StoreKey* key);
    // Reads one value; false when it is absent or its data is longer than four
    // bytes. Shorter data is zero-extended.
    bool (*ReadValue)(void* context, StoreKey key, const char* name, std::uint32_t* value);
    // Creates the key (and any missing parents) or opens it, for writing.
    bool (*OpenKeyForWrite)(void* context, const char* keyPath, StoreKey* key);
    // Writes one value as a four-byte number; the result is advisory only.
    bool (*WriteValue)(void* context, StoreKey key, const char* name, std::uint32_t value);
    void (*CloseKey)(void* context, StoreKey key);
};

// The key paths, as the registry spells them.
extern const char* const SaverKeyPath;
extern const char* const SystemSaverKeyPath;
