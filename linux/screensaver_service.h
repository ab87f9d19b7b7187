// org.freedesktop.ScreenSaver on the session bus, where no one else offers
// it (sway, Hyprland, river, niri): applications (video players, browsers,
// games, presentations) ask it to hold the screen saver off with
// Inhibit(application, reason) and give the cookie back with UnInhibit. An
// inhibition also ends when its caller leaves the bus, so a player that
// crashed does not hold the saver off for ever. Served at
// /org/freedesktop/ScreenSaver and /ScreenSaver, with GetActive,
// GetActiveTime, SetActive and SimulateUserActivity for the cover itself
// (no ActiveChanged, which desktops take for their lock screen). The name
// is given up to a desktop that asks for it.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

#include "linux/session_bus.h"

struct ScreenSaverInhibition {
    std::uint32_t Cookie = 0;
    std::string Caller;       // its unique bus name
    std::string Application;  // as the caller gave it
    std::string Reason;
};

struct ScreenSaverService {
    SessionBus* Bus = nullptr;
    unsigned Registrations[2] = {0, 0};
    unsigned NameOwner = 0;
    bool OwnsName = false;
    std::vector<ScreenSaverInhibition> Held;
    std::vector<std::pair<std::string, unsigned>> CallerWatches;  // caller, its watch
    std::uint32_t NextCookie = 1;
    // The cover as the service's run knows it, for GetActive.
    bool CoverActive = false;
    std::int64_t CoverSince = 0;
    // Asked of the run by callers: a cover now (SetActive true), none
    // (SetActive false), or activity (SimulateUserActivity: no cover, and
    // the idle period timed anew).
    bool CoverRequested = false;
    bool UncoverRequested = false;
    bool ActivityRequested = false;
};

// Serves the interface and asks for the name where no one holds it.
void StartScreenSaverService(ScreenSaverService& service, SessionBus& bus);
void StopScreenSaverService(ScreenSaverService& service);

// The first inhibition held, as "application (reason)"; empty when none.
std::string ScreenSaverHeldBy(const ScreenSaverService& service);

// The run's word that a cover started or ended.
void SetScreenSaverActive(ScreenSaverService& service, bool active, std::int64_t now);
