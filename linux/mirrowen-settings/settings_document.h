// The settings file as the settings window keeps it: the file's whole
// contents (values and keys the saver does not know included), the saver
// values read from it, and the frame delay and idle time of the Linux
// program. Every change is written back at once, atomically, over what the
// file holds at that moment: a change made meanwhile by someone else (by
// hand, by `mirrowen -save-settings`) to another value is kept.
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
    std::int64_t IdleTime = 0;    // seconds before the idle service covers the screens
    // What the window has changed and not yet written (in the order of
    // SaverValues): only these go into the file; the rest is the file's.
    bool Changed[SaverValueCount] = {};
    bool FrameDelayChanged = false;
    bool IdleTimeChanged = false;
    // Whether the file itself holds an idle time (else the default serves).
    bool IdleTimeStored = false;
    // Lines of a damaged file that could not be read (kept in the file).
    std::vector<std::string> Problems;
};

// Reads the file at `path` (a missing one gives the defaults); its
// unreadable lines are also reported on stderr. False when it exists but
// cannot be read; the document then holds the defaults.
bool LoadSettingsDocument(SettingsDocument& document, const std::string& path);

// Marks a saver value as changed by the window.
void MarkChanged(SettingsDocument& document, std::int32_t SaverSettings::*field);

// Reads the file again: every value the window has not changed becomes the
// file's. False with `error` set when the file cannot be read; the document
// is then as it was.
bool RereadSettingsDocument(SettingsDocument& document, std::string* error);

// Reads the file again and writes the window's changes into it through a
// temporary file and a rename. On failure `error` says why, the file on disk
// is as it was, and the changes stay marked for the next save.
bool SaveSettingsDocument(SettingsDocument& document, std::string* error);
