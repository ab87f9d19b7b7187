#include "windows/registry_store.h"

#include <windows.h>

namespace {

HKEY KeyOf(StoreKey key) { return static_cast<HKEY>(key); }

bool OpenForRead(void*, const char* keyPath, StoreKey* key) {
    HKEY hkey = nullptr;
    // Full rights although the key is only read, as the saver always asked.
    if (RegOpenKeyExA(HKEY_CURRENT_USER, keyPath, 0, KEY_ALL_ACCESS, &hkey) != ERROR_SUCCESS) return false;
    *key = hkey;
    return true;
}

bool Read(void*, StoreKey key, const char* name, std::uint32_t* value) {
    // A four-byte buffer: longer data fails the query, shorter data leaves the
    // upper bytes zero. The type is fetched but not examined.
    BYTE data[4] = {0, 0, 0, 0};
    DWORD size = sizeof data;
    DWORD type = 0;
    if (RegQueryValueExA(KeyOf(key), name, nullptr, &type, data, &size) != ERROR_SUCCESS) return false;
    *value = std::uint32_t{data[0]} | std::uint32_t{data[1]} << 8 | std::uint32_t{data[2]} << 16 |
             std::uint32_t{data[3]} << 24;
    return true;
}

bool OpenForWrite(void*, const char* keyPath, StoreKey* key) {
    HKEY hkey = nullptr;
    DWORD disposition = 0;
    if (RegCreateKeyExA(HKEY_CURRENT_USER, keyPath, 0, nullptr, 0, KEY_ALL_ACCESS, nullptr, &hkey, &disposition) !=
        ERROR_SUCCESS)
        return false;
    *key = hkey;
    return true;
}

bool Write(void*, StoreKey key, const char* name, std::uint32_t value) {
    DWORD data = value;
    return RegSetValueExA(KeyOf(key), name, 0, REG_DWORD, reinterpret_cast<const BYTE*>(&data), sizeof data) ==
           ERROR_SUCCESS;
}

void Close(void*, StoreKey key) { RegCloseKey(KeyOf(key)); }

}  // namespace

SettingsStore RegistryStore() { return SettingsStore{nullptr, OpenForRead, Read, OpenForWrite, Write, Close}; }
