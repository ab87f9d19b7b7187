// Whether the desktop's locker shows, from what the desktops' screen-saver
// services say on the session bus: ActiveChanged of org.gnome.ScreenSaver
// (GNOME Shell), org.cinnamon.ScreenSaver (Cinnamon), org.mate.ScreenSaver,
// org.xfce.ScreenSaver and org.freedesktop.ScreenSaver (KDE Plasma and the
// lockers that serve it), and their GetActive when the service starts. The
// idle service's own org.freedesktop.ScreenSaver says ActiveChanged for its
// covers: what this connection sent itself is not the desktop's word.
#pragma once

#include <string>

#include "linux/session_bus.h"

struct DesktopLock {
    SessionBus* Bus = nullptr;
    unsigned Subscription = 0;
    bool Locked = false;
    std::string Locker;  // the service that said so last, for the log
};

void StartDesktopLock(DesktopLock& lock, SessionBus& bus);
void StopDesktopLock(DesktopLock& lock);
