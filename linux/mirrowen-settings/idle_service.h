// "Start when idle" in Wayland sessions: the user service mirrowen-idle
// (mirrowen --wayland --idle SECONDS) switched on and off with
// `systemctl --user`, its idle time set by a drop-in that replaces its
// command line.
#pragma once

#include <string>
#include <vector>

extern const char* const IdleServiceUnit;

// $XDG_CONFIG_HOME/systemd/user/mirrowen-idle.service.d/idle-time.conf
// (else ~/.config/...).
std::string IdleDropInPath();

// The minutes the drop-in sets, else the service's own 5.
int ReadIdleMinutes();

// Writes the drop-in for `minutes` (running `program`), through a temporary
// file and a rename, and has systemd read it again.
bool WriteIdleMinutes(int minutes, const std::string& program, std::string* error);

// Runs `systemctl --user ARGS...`; false with `error` set when it cannot be
// run or fails.
bool RunUserSystemctl(const std::vector<std::string>& args, std::string* error);

// Whether systemd starts the service with the session.
bool IdleServiceEnabled();
