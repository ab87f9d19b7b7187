// A store held in memory: key paths to named values, each value kept as the
// raw bytes of its data so that values of any length can be represented.
// Tests use it directly; a file-backed store can load into and save from it.
#pragma once

#include <cstdint>
#include <map>
#include <string>
#include <vector>

#include "settings/settings_store.h"

struct MemoryStore {
    using Values = std::map<std::string, std::vector<std::uint8_t>>;
    std::map<std::string, Values> Keys;
    int OpenKeys = 0;  // keys opened and not yet closed
};

SettingsStore MemoryStoreInterface(MemoryStore& store);

// Helpers for filling and inspecting a store.
void PutDword(MemoryStore& store, const std::string& keyPath, const std::string& name, std::uint32_t value);
void PutBytes(MemoryStore& store, const std::string& keyPath, const std::string& name,
              std::vector<std::uint8_t> bytes);
// False when the value is absent or is not four bytes long.
bool GetDword(const MemoryStore& store, const std::string& keyPath, const std::string& name, std::uint32_t* value);
