// The inhibitions a desktop keeps itself, where it owns the applications'
// inhibit services: GNOME's session manager (org.gnome.SessionManager, which
// GNOME's org.freedesktop.ScreenSaver and the desktop portal forward to;
// IsInhibited with the idle flag) and KDE Plasma's power management
// (org.kde.Solid.PowerManagement.PolicyAgent, which KWin's
// org.freedesktop.ScreenSaver and the portal forward to; HasInhibition of
// the screen settings or the session). Each is asked only where it is on
// the bus. Their change signals put each inhibition taken or released in
// the log.
#pragma once

#include <string>
#include <vector>

#include "linux/session_bus.h"

struct DesktopInhibitors {
    SessionBus* Bus = nullptr;
    unsigned Subscriptions[3] = {0, 0, 0};
    // GNOME's inhibitors with the idle flag, by object path: "application (reason)".
    std::vector<std::pair<std::string, std::string>> GnomeHeld;
};

void StartDesktopInhibitors(DesktopInhibitors& inhibitors, SessionBus& bus);
void StopDesktopInhibitors(DesktopInhibitors& inhibitors);

// Whether the desktop holds idleness off now, asked of it; `why` says who,
// where it can tell.
bool DesktopHoldsIdleOff(DesktopInhibitors& inhibitors, std::string* why);
