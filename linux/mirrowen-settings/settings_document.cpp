#include "linux/mirrowen-settings/settings_document.h"

#include <cerrno>
#include <cstring>

#include "linux/stored_frame_delay.h"

bool LoadSettingsDocument(SettingsDocument& document, const std::string& path) {
    document.Problems.clear();
    const bool read = LoadFileStore(document.File, path, &document.Problems);
    const SettingsStore store = FileStoreInterface(document.File);
    document.Values.LoadSettings(store);
    document.FrameDelay = ReadStoredFrameDelay(store);
    return read;
}

bool SaveSettingsDocument(SettingsDocument& document, std::string* error) {
    // The values go into the kept contents; the file is written once below,
    // where a failure can be told.
    document.File.SaveOnClose = false;
    const SettingsStore store = FileStoreInterface(document.File);
    document.Values.SaveSettings(store);
    WriteStoredFrameDelay(store, document.FrameDelay);
    document.File.SaveOnClose = true;
    if (SaveFileStore(document.File)) return true;
    *error = "Could not save the settings to " + document.File.Path + ": " + std::strerror(errno);
    return false;
}
