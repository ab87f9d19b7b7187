// The settings store of the Linux build: a text file in the registry's own
// export format (REGEDIT4), so that the same file can be imported into and
// exported from the registry on Windows. Keys keep their registry paths under
// HKEY_CURRENT_USER, values their names; the saver's values are dwords.
//
//   REGEDIT4
//
//   [HKEY_CURRENT_USER\Software\Pelloquin\ScreenSavers\Mirrowen]
//   "StarCount"=dword:0000012c
//
// Values of other types (strings, hex data) and keys the saver does not use
// are kept as they were written, and so are the lines of a damaged file that
// cannot be read: a save loses nothing.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

#include "settings/settings_store.h"

struct RegFileValue {
    std::string Name;               // as the file spells it, unescaped; "@" is the unnamed value
    std::string Data;               // the text after '=', written back unchanged
    std::vector<std::uint8_t> Bytes;  // the value's data as the registry would return it
    bool Verbatim = false;          // an unreadable line, kept whole in Data and written back as it was
};

struct RegFileKey {
    // Full path, e.g. "HKEY_CURRENT_USER\Software\..."; empty for unreadable
    // lines outside any readable key, kept in their place.
    std::string Path;
    std::vector<RegFileValue> Values;
};

struct RegFile {
    std::vector<RegFileKey> Keys;
};

// Reads the text of a file. A line that cannot be read is kept verbatim,
// read as nothing, and described in `problems` ("line N: ...").
RegFile ParseRegFile(const std::string& text, std::vector<std::string>* problems);
// The text of a file: the REGEDIT4 header, then every key with its values.
std::string FormatRegFile(const RegFile& file);

struct FileStore {
    std::string Path;
    RegFile Contents;
    int OpenKeys = 0;
    // Closing a key opened for writing saves the file; a caller that saves by
    // itself, to learn whether it worked, turns this off.
    bool SaveOnClose = true;
};

// Reads the file at path into the store; a missing file is an empty store.
// Unreadable lines are given in `problems` when it is not null, else
// reported on stderr, one line each. False only when the file exists and
// cannot be read at all.
bool LoadFileStore(FileStore& store, const std::string& path, std::vector<std::string>* problems = nullptr);

// Writes the store's contents to its path through a temporary file in the
// same directory and a rename, creating the directory if needed. When the
// path is a symbolic link (or a chain of them), the file at its end is
// written, in its own directory, and the links stay; a dangling link's
// target is made. A file that is there keeps its mode; a new one gets 0666
// less the umask.
bool SaveFileStore(const FileStore& store);

// The file a save writes: the path itself, or the end of its chain of
// symbolic links (relative targets taken from each link's directory), which
// need not exist. Empty, with errno set, when the chain cannot be followed.
std::string SaveTargetPath(const std::string& path);

// The store's five operations; closing a key that was opened for writing
// saves the file.
SettingsStore FileStoreInterface(FileStore& store);

// $XDG_CONFIG_HOME/mirrowen/mirrowen.reg, or ~/.config/mirrowen/mirrowen.reg
// when $XDG_CONFIG_HOME is unset or not absolute; empty without a home.
std::string SettingsFilePath();
