#include "linux/desktop_lock.h"

#include <gio/gio.h>

#include <cstring>

#include "linux/service_log.h"

namespace {

struct Locker {
    const char* Name;
    const char* Path;
};
const Locker Lockers[] = {
    {"org.gnome.ScreenSaver", "/org/gnome/ScreenSaver"},
    {"org.cinnamon.ScreenSaver", "/org/cinnamon/ScreenSaver"},
    {"org.mate.ScreenSaver", "/org/mate/ScreenSaver"},
    {"org.xfce.ScreenSaver", "/org/xfce/ScreenSaver"},
    {"org.freedesktop.ScreenSaver", "/org/freedesktop/ScreenSaver"},
};

static_assert(sizeof Lockers / sizeof Lockers[0] == sizeof DesktopLock::NameWatches / sizeof(unsigned),
              "a name watch for each locker");

void Changed(DesktopLock& lock, bool locked, const std::string& locker) {
    if (locked == lock.Locked) return;
    lock.Locked = locked;
    lock.Locker = locker;
    ServiceLog(locker + (locked ? " says the desktop is locked" : " says the desktop is unlocked"));
}

void ActiveChanged(GDBusConnection* bus, const gchar* sender, const gchar*, const gchar* interface, const gchar*,
                   GVariant* parameters, gpointer data) {
    auto& lock = *static_cast<DesktopLock*>(data);
    // Never the idle service's own org.freedesktop.ScreenSaver.
    const gchar* own = g_dbus_connection_get_unique_name(bus);
    if (sender == nullptr || (own != nullptr && std::strcmp(sender, own) == 0)) return;
    if (!g_variant_is_of_type(parameters, G_VARIANT_TYPE("(b)"))) return;
    bool known = false;
    for (const Locker& locker : Lockers) known = known || std::strcmp(interface, locker.Name) == 0;
    if (!known) return;
    gboolean active = FALSE;
    g_variant_get(parameters, "(b)", &active);
    Changed(lock, active != FALSE, interface);
}

void LockerVanished(GDBusConnection*, const gchar* name, gpointer data) {
    auto& lock = *static_cast<DesktopLock*>(data);
    if (!lock.Locked || lock.Locker != name) return;
    ServiceLog(std::string(name) + " left the bus: the desktop is taken as unlocked");
    lock.Locked = false;
}

// The locker's state now, where one is on the bus that is not this service.
void AskActive(DesktopLock& lock, const Locker& locker) {
    GDBusConnection* bus = lock.Bus->Bus;
    GVariant* owner = g_dbus_connection_call_sync(bus, "org.freedesktop.DBus", "/org/freedesktop/DBus",
                                                  "org.freedesktop.DBus", "GetNameOwner",
                                                  g_variant_new("(s)", locker.Name), G_VARIANT_TYPE("(s)"),
                                                  G_DBUS_CALL_FLAGS_NONE, 1000, nullptr, nullptr);
    if (owner == nullptr) return;
    const gchar* unique = nullptr;
    g_variant_get(owner, "(&s)", &unique);
    const gchar* own = g_dbus_connection_get_unique_name(bus);
    const bool mine = own != nullptr && std::strcmp(unique, own) == 0;
    g_variant_unref(owner);
    if (mine) return;
    GVariant* reply = g_dbus_connection_call_sync(bus, locker.Name, locker.Path, locker.Name, "GetActive", nullptr,
                                                  G_VARIANT_TYPE("(b)"), G_DBUS_CALL_FLAGS_NO_AUTO_START, 1000,
                                                  nullptr, nullptr);
    if (reply == nullptr) return;
    gboolean active = FALSE;
    g_variant_get(reply, "(b)", &active);
    g_variant_unref(reply);
    if (active) Changed(lock, true, locker.Name);
}

}  // namespace

void StartDesktopLock(DesktopLock& lock, SessionBus& bus) {
    lock.Bus = &bus;
    // Any sender, any path: the interface names the locker.
    lock.Subscription = g_dbus_connection_signal_subscribe(bus.Bus, nullptr, nullptr, "ActiveChanged", nullptr,
                                                           nullptr, G_DBUS_SIGNAL_FLAGS_NONE, ActiveChanged, &lock,
                                                           nullptr);
    for (std::size_t i = 0; i < sizeof Lockers / sizeof Lockers[0]; ++i) {
        lock.NameWatches[i] = g_bus_watch_name_on_connection(bus.Bus, Lockers[i].Name, G_BUS_NAME_WATCHER_FLAGS_NONE,
                                                             nullptr, LockerVanished, &lock, nullptr);
        AskActive(lock, Lockers[i]);
    }
}

void StopDesktopLock(DesktopLock& lock) {
    if (lock.Bus != nullptr && lock.Subscription != 0)
        g_dbus_connection_signal_unsubscribe(lock.Bus->Bus, lock.Subscription);
    for (unsigned watch : lock.NameWatches)
        if (watch != 0) g_bus_unwatch_name(watch);
    lock = DesktopLock{};
}
