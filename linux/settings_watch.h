// Tells the idle service when the settings file may have changed (the
// settings window saving, `mirrowen -save-settings`, an edit by hand), so
// that a new idle time takes effect without a restart. Watches the file's
// folder, and its link target's folder where the file is a link, through
// inotify; no descriptor where inotify is missing (then changes are seen
// at the next start only).
#pragma once

#include <poll.h>

#include <string>

struct SettingsWatch {
    std::string Path;
    int Fd = -1;
};

void StartSettingsWatch(SettingsWatch& watch, const std::string& path);
void StopSettingsWatch(SettingsWatch& watch);

int PrepareSettingsWatch(const SettingsWatch& watch, pollfd* fds, int room);
// Whether the poll says something changed in the folders watched (and
// reads it all).
bool SettingsWatchChanged(SettingsWatch& watch, const pollfd* fds, int count);
