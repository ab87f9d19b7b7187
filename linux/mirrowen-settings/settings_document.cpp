#include "linux/mirrowen-settings/settings_document.h"

#include <cerrno>
#include <cstdio>
#include <cstring>

#include "linux/stored_values.h"

namespace {

bool HasIdleTime(const SettingsStore& store) {
    StoreKey key = nullptr;
    if (!store.OpenKeyForRead(store.Context, SaverKeyPath, &key)) return false;
    std::uint32_t ignored = 0;
    const bool found = store.ReadValue(store.Context, key, IdleTimeValueName, &ignored);
    store.CloseKey(store.Context, key);
    return found;
}

}  // namespace

bool LoadSettingsDocument(SettingsDocument& document, const std::string& path) {
    document = SettingsDocument{};
    const bool read = LoadFileStore(document.File, path, &document.Problems);
    for (const std::string& p : document.Problems)
        std::fprintf(stderr, "mirrowen-settings: %s: skipped %s\n", path.c_str(), p.c_str());
    const SettingsStore store = FileStoreInterface(document.File);
    document.Values.LoadSettings(store);
    document.FrameDelay = ReadStoredFrameDelay(store);
    document.IdleTime = ReadStoredIdleTime(store);
    document.IdleTimeStored = HasIdleTime(store);
    return read;
}

void MarkChanged(SettingsDocument& document, std::int32_t SaverSettings::*field) {
    for (std::size_t i = 0; i < SaverValueCount; ++i)
        if (SaverValues[i].Field == field) document.Changed[i] = true;
}

bool RereadSettingsDocument(SettingsDocument& document, std::string* error) {
    FileStore file;
    std::vector<std::string> problems;
    if (!LoadFileStore(file, document.File.Path, &problems)) {
        *error = "Could not read " + document.File.Path + ": " + std::strerror(errno);
        return false;
    }
    const SettingsStore store = FileStoreInterface(file);
    SaverSettings read;
    read.LoadSettings(store);
    for (std::size_t i = 0; i < SaverValueCount; ++i)
        if (!document.Changed[i]) document.Values.*SaverValues[i].Field = read.*SaverValues[i].Field;
    if (!document.FrameDelayChanged) document.FrameDelay = ReadStoredFrameDelay(store);
    if (!document.IdleTimeChanged) document.IdleTime = ReadStoredIdleTime(store);
    document.IdleTimeStored = HasIdleTime(store);
    document.File.Contents = std::move(file.Contents);
    document.Problems = std::move(problems);
    return true;
}

bool SaveSettingsDocument(SettingsDocument& document, std::string* error) {
    if (!RereadSettingsDocument(document, error)) return false;
    // The values go into the contents just read; the file is written once
    // below, where a failure can be told.
    FileStore file = document.File;
    file.SaveOnClose = false;
    const SettingsStore store = FileStoreInterface(file);
    StoreKey key = nullptr;
    if (store.OpenKeyForWrite(store.Context, SaverKeyPath, &key)) {
        for (std::size_t i = 0; i < SaverValueCount; ++i) {
            if (!document.Changed[i]) continue;
            const StoredSaverValue& rule = SaverValues[i];
            store.WriteValue(store.Context, key, rule.Name,
                             static_cast<std::uint32_t>(document.Values.*rule.Field) +
                                 static_cast<std::uint32_t>(rule.Bias));
        }
        store.CloseKey(store.Context, key);
    }
    if (document.FrameDelayChanged) WriteStoredFrameDelay(store, document.FrameDelay);
    if (document.IdleTimeChanged) WriteStoredIdleTime(store, document.IdleTime);
    if (!SaveFileStore(file)) {
        *error = "Could not save the settings to " + document.File.Path + ": " + std::strerror(errno);
        return false;
    }
    document.File.Contents = std::move(file.Contents);
    if (document.IdleTimeChanged) document.IdleTimeStored = true;
    for (bool& changed : document.Changed) changed = false;
    document.FrameDelayChanged = false;
    document.IdleTimeChanged = false;
    return true;
}
