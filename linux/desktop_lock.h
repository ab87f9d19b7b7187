// Whether the desktop's locker shows, from what the desktops' screen-saver
// services say on the session bus: ActiveChanged of org.gnome.ScreenSaver
// (GNOME Shell), org.cinnamon.ScreenSaver (Cinnamon), org.mate.ScreenSaver,
// org.xfce.ScreenSaver and org.freedesktop.ScreenSaver (KDE Plasma and the
// lockers that serve it), and their GetActive when the service starts;
// never the idle service's own org.freedesktop.ScreenSaver, whose covers
// are no lock. A
// locker that leaves the bus while it said locked (it crashed, or quit)
// leaves the desktop unlocked, so that covers come again.
#pragma once

#include <string>

#include "linux/session_bus.h"

struct DesktopLock {
    SessionBus* Bus = nullptr;
    unsigned Subscription = 0;
    unsigned NameWatches[5] = {0, 0, 0, 0, 0};  // one per locker's name
    bool Locked = false;
    std::string Locker;  // the service that said so last, for the log
};

void StartDesktopLock(DesktopLock& lock, SessionBus& bus);
void StopDesktopLock(DesktopLock& lock);
