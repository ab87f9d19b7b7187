// The settings file as the settings window keeps it: the file's whole
// contents (values and keys the saver does not know included), the saver
// values read from it and the frame delay of the Linux program. Every
// change is written back at once, atomically.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

#include "settings/file_store.h"
#include "settings/saver_settings.h"

struct SettingsDocument {
    FileStore File;
    SaverSettings Values;
    std::int64_t FrameDelay = 0;  // the Linux program's -delay, kept beside the values
    // Lines of a damaged file that could not be read (kept in the file).
    std::vector<std::string> Problems;
};

// Reads the file at `path` (a missing one gives the defaults). False when it
// exists but cannot be read; the document then holds the defaults.
bool LoadSettingsDocument(SettingsDocument& document, const std::string& path);

// Writes the document's saver values and frame delay into its file through a
// temporary file and a rename. On failure `error` says why and the file on
// disk is as it was.
bool SaveSettingsDocument(SettingsDocument& document, std::string* error);
