#include "linux/screensaver_service.h"

#include <gio/gio.h>

#include "linux/frame_pacer.h"
#include "linux/service_log.h"

namespace {

const char* const Name = "org.freedesktop.ScreenSaver";
const char* const Paths[2] = {"/org/freedesktop/ScreenSaver", "/ScreenSaver"};
const char* const Xml =
    "<node><interface name='org.freedesktop.ScreenSaver'>"
    "<method name='Inhibit'><arg type='s' direction='in'/><arg type='s' direction='in'/>"
    "<arg type='u' direction='out'/></method>"
    "<method name='UnInhibit'><arg type='u' direction='in'/></method>"
    "<method name='GetActive'><arg type='b' direction='out'/></method>"
    "<method name='GetActiveTime'><arg type='u' direction='out'/></method>"
    "<method name='SetActive'><arg type='b' direction='in'/><arg type='b' direction='out'/></method>"
    "<method name='SimulateUserActivity'/>"
    "</interface></node>";

std::string Describe(const ScreenSaverInhibition& inhibition) {
    return (inhibition.Application.empty() ? std::string("an application") : inhibition.Application) + " (" +
           (inhibition.Reason.empty() ? std::string("no reason given") : inhibition.Reason) + ")";
}

void Unwatch(ScreenSaverService& service, const std::string& caller) {
    for (std::size_t i = 0; i < service.CallerWatches.size(); ++i) {
        if (service.CallerWatches[i].first != caller) continue;
        g_bus_unwatch_name(service.CallerWatches[i].second);
        service.CallerWatches.erase(service.CallerWatches.begin() + static_cast<std::ptrdiff_t>(i));
        return;
    }
}

struct VanishedCaller {
    ScreenSaverService* Service;
    std::string Caller;
};

void CallerVanished(GDBusConnection*, const gchar*, gpointer data) {
    VanishedCaller& vanished = *static_cast<VanishedCaller*>(data);
    ScreenSaverService& service = *vanished.Service;
    const std::string caller = vanished.Caller;  // the watch (and `vanished`) goes below
    for (std::size_t i = 0; i < service.Held.size();) {
        if (service.Held[i].Caller == caller) {
            ServiceLog("inhibition released: " + Describe(service.Held[i]) + ", its caller left the bus");
            service.Held.erase(service.Held.begin() + static_cast<std::ptrdiff_t>(i));
        } else {
            ++i;
        }
    }
    Unwatch(service, caller);
}

void WatchCaller(ScreenSaverService& service, const std::string& caller) {
    for (const auto& watch : service.CallerWatches)
        if (watch.first == caller) return;
    auto* vanished = new VanishedCaller{&service, caller};
    const unsigned id = g_bus_watch_name_on_connection(
        service.Bus->Bus, caller.c_str(), G_BUS_NAME_WATCHER_FLAGS_NONE, nullptr, CallerVanished, vanished,
        [](gpointer data) { delete static_cast<VanishedCaller*>(data); });
    service.CallerWatches.emplace_back(caller, id);
}

void MethodCalled(GDBusConnection* bus, const gchar* sender, const gchar*, const gchar*, const gchar* method,
                  GVariant* parameters, GDBusMethodInvocation* invocation, gpointer data) {
    ScreenSaverService& service = *static_cast<ScreenSaverService*>(data);
    const std::string name = method;
    if (name == "Inhibit") {
        const gchar* application = nullptr;
        const gchar* reason = nullptr;
        g_variant_get(parameters, "(&s&s)", &application, &reason);
        ScreenSaverInhibition inhibition{service.NextCookie++, sender != nullptr ? sender : "", application, reason};
        if (inhibition.Cookie == 0) inhibition.Cookie = service.NextCookie++;
        service.Held.push_back(inhibition);
        ServiceLog("inhibited by " + Describe(inhibition) + " through " + Name);
        if (!inhibition.Caller.empty()) WatchCaller(service, inhibition.Caller);
        g_dbus_method_invocation_return_value(invocation, g_variant_new("(u)", inhibition.Cookie));
    } else if (name == "UnInhibit") {
        guint32 cookie = 0;
        g_variant_get(parameters, "(u)", &cookie);
        std::string caller;
        for (std::size_t i = 0; i < service.Held.size(); ++i) {
            if (service.Held[i].Cookie != cookie) continue;
            ServiceLog("inhibition released: " + Describe(service.Held[i]));
            caller = service.Held[i].Caller;
            service.Held.erase(service.Held.begin() + static_cast<std::ptrdiff_t>(i));
            break;
        }
        bool stillHolds = false;
        for (const auto& held : service.Held) stillHolds = stillHolds || held.Caller == caller;
        if (!caller.empty() && !stillHolds) Unwatch(service, caller);
        g_dbus_method_invocation_return_value(invocation, nullptr);
    } else if (name == "GetActive") {
        g_dbus_method_invocation_return_value(invocation, g_variant_new("(b)", service.CoverActive));
    } else if (name == "GetActiveTime") {
        const std::int64_t seconds = service.CoverActive ? (PacerNow() - service.CoverSince) / 1000000 : 0;
        g_dbus_method_invocation_return_value(invocation, g_variant_new("(u)", static_cast<guint32>(seconds)));
    } else if (name == "SetActive") {
        gboolean active = FALSE;
        g_variant_get(parameters, "(b)", &active);
        (active ? service.CoverRequested : service.UncoverRequested) = true;
        g_dbus_method_invocation_return_value(invocation, g_variant_new("(b)", TRUE));
    } else if (name == "SimulateUserActivity") {
        service.ActivityRequested = true;
        g_dbus_method_invocation_return_value(invocation, nullptr);
    }
    (void)bus;
}

void NameAcquired(GDBusConnection*, const gchar*, gpointer data) {
    auto& service = *static_cast<ScreenSaverService*>(data);
    service.OwnsName = true;
    ServiceLog(std::string("serving ") + Name + ": applications' inhibitions are kept here");
}

void NameLost(GDBusConnection*, const gchar*, gpointer data) {
    auto& service = *static_cast<ScreenSaverService*>(data);
    if (service.OwnsName) ServiceLog(std::string("gave ") + Name + " up to the desktop");
    service.OwnsName = false;
}

}  // namespace

void StartScreenSaverService(ScreenSaverService& service, SessionBus& bus) {
    service.Bus = &bus;
    GDBusNodeInfo* node = g_dbus_node_info_new_for_xml(Xml, nullptr);
    static const GDBusInterfaceVTable table = {MethodCalled, nullptr, nullptr, {}};
    for (int i = 0; i < 2; ++i)
        service.Registrations[i] =
            g_dbus_connection_register_object(bus.Bus, Paths[i], node->interfaces[0], &table, &service, nullptr, nullptr);
    g_dbus_node_info_unref(node);
    // Not queued behind a desktop's own service, and given up to one that
    // asks for it later.
    service.NameOwner = g_bus_own_name_on_connection(
        bus.Bus, Name,
        static_cast<GBusNameOwnerFlags>(G_BUS_NAME_OWNER_FLAGS_ALLOW_REPLACEMENT | G_BUS_NAME_OWNER_FLAGS_DO_NOT_QUEUE),
        NameAcquired, NameLost, &service, nullptr);
}

void StopScreenSaverService(ScreenSaverService& service) {
    if (service.Bus == nullptr) return;
    if (service.NameOwner != 0) g_bus_unown_name(service.NameOwner);
    for (unsigned id : service.Registrations)
        if (id != 0) g_dbus_connection_unregister_object(service.Bus->Bus, id);
    for (const auto& watch : service.CallerWatches) g_bus_unwatch_name(watch.second);
    service = ScreenSaverService{};
}

std::string ScreenSaverHeldBy(const ScreenSaverService& service) {
    return service.Held.empty() ? std::string() : Describe(service.Held.front());
}

void SetScreenSaverActive(ScreenSaverService& service, bool active, std::int64_t now) {
    if (service.CoverActive == active) return;
    service.CoverActive = active;
    service.CoverSince = now;
    // No ActiveChanged: desktops take it for their lock screen (KWin then
    // refuses screenshots and more), and a cover is not a lock.
}
