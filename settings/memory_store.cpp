#include "settings/memory_store.h"

namespace {

struct OpenKey {
    MemoryStore::Values* Values;
};

MemoryStore& StoreOf(void* context) { return *static_cast<MemoryStore*>(context); }

bool OpenForRead(void* context, const char* keyPath, StoreKey* key) {
    MemoryStore& store = StoreOf(context);
    auto it = store.Keys.find(keyPath);
    if (it == store.Keys.end()) return false;
    *key = new OpenKey{&it->second};
    ++store.OpenKeys;
    return true;
}

bool OpenForWrite(void* context, const char* keyPath, StoreKey* key) {
    MemoryStore& store = StoreOf(context);
    *key = new OpenKey{&store.Keys[keyPath]};
    ++store.OpenKeys;
    return true;
}

bool Read(void*, StoreKey key, const char* name, std::uint32_t* value) {
    const MemoryStore::Values& values = *static_cast<OpenKey*>(key)->Values;
    auto it = values.find(name);
    if (it == values.end() || it->second.size() > 4) return false;
    std::uint32_t v = 0;
    for (std::size_t i = 0; i < it->second.size(); ++i) v |= std::uint32_t{it->second[i]} << (8 * i);
    *value = v;
    return true;
}

bool Write(void*, StoreKey key, const char* name, std::uint32_t value) {
    MemoryStore::Values& values = *static_cast<OpenKey*>(key)->Values;
    values[name] = {static_cast<std::uint8_t>(value), static_cast<std::uint8_t>(value >> 8),
                    static_cast<std::uint8_t>(value >> 16), static_cast<std::uint8_t>(value >> 24)};
    return true;
}

void Close(void* context, StoreKey key) {
    delete static_cast<OpenKey*>(key);
    --StoreOf(context).OpenKeys;
}

}  // namespace

SettingsStore MemoryStoreInterface(MemoryStore& store) {
    return SettingsStore{&store, OpenForRead, Read, OpenForWrite, Write, Close};
}

void PutDword(MemoryStore& store, const std::string& keyPath, const std::string& name, std::uint32_t value) {
    PutBytes(store, keyPath, name,
             {static_cast<std::uint8_t>(value), static_cast<std::uint8_t>(value >> 8),
              static_cast<std::uint8_t>(value >> 16), static_cast<std::uint8_t>(value >> 24)});
}

void PutBytes(MemoryStore& store, const std::string& keyPath, const std::string& name,
              std::vector<std::uint8_t> bytes) {
    store.Keys[keyPath][name] = std::move(bytes);
}

bool GetDword(const MemoryStore& store, const std::string& keyPath, const std::string& name, std::uint32_t* value) {
    auto key = store.Keys.find(keyPath);
    if (key == store.Keys.end()) return false;
    auto it = key->second.find(name);
    if (it == key->second.end() || it->second.size() != 4) return false;
    const auto& b = it->second;
    *value = std::uint32_t{b[0]} | std::uint32_t{b[1]} << 8 | std::uint32_t{b[2]} << 16 | std::uint32_t{b[3]} << 24;
    return true;
}
