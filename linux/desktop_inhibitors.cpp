#include "linux/desktop_inhibitors.h"

#include <gio/gio.h>

#include "linux/service_log.h"

namespace {

const char* const GnomeName = "org.gnome.SessionManager";
const char* const GnomePath = "/org/gnome/SessionManager";
const char* const GnomeInhibitor = "org.gnome.SessionManager.Inhibitor";
const guint32 GnomeIdleFlag = 8;
const char* const KdeName = "org.kde.Solid.PowerManagement.PolicyAgent";
const char* const KdePath = "/org/kde/Solid/PowerManagement/PolicyAgent";
// The policies that keep the screen as it is (4: org.freedesktop.ScreenSaver's
// inhibitions) or the session running (1: how the desktop portal's idle
// inhibition arrives, and a sleep inhibition too).
const guint32 KdeIdlePolicies = 4 | 1;
const int CallTimeoutMs = 1000;

// A call's reply, or null; `replyType` null takes any reply.
GVariant* Call(SessionBus& bus, const char* name, const char* path, const char* interface, const char* method,
               GVariant* parameters, const char* replyType) {
    return g_dbus_connection_call_sync(bus.Bus, name, path, interface, method, parameters,
                                       replyType != nullptr ? G_VARIANT_TYPE(replyType) : nullptr,
                                       G_DBUS_CALL_FLAGS_NO_AUTO_START, CallTimeoutMs, nullptr, nullptr);
}

// KDE's lists of (application, reason) pairs, which it declares as a
// dictionary but sends as an array of pairs: either is read.
void ForEachPair(GVariant* list, void (*each)(const char*, const char*, void*), void* data) {
    if (!g_variant_is_container(list)) return;
    GVariantIter entries;
    g_variant_iter_init(&entries, list);
    GVariant* entry = nullptr;
    while ((entry = g_variant_iter_next_value(&entries)) != nullptr) {
        if (g_variant_is_of_type(entry, G_VARIANT_TYPE("(ss)")) || g_variant_is_of_type(entry, G_VARIANT_TYPE("{ss}"))) {
            const gchar* application = nullptr;
            const gchar* reason = nullptr;
            g_variant_get(entry, g_variant_is_of_type(entry, G_VARIANT_TYPE("(ss)")) ? "(&s&s)" : "{&s&s}",
                          &application, &reason);
            each(application, reason, data);
        }
        g_variant_unref(entry);
    }
}

std::string GnomeText(SessionBus& bus, const char* path, const char* method) {
    GVariant* reply = Call(bus, GnomeName, path, GnomeInhibitor, method, nullptr, "(s)");
    if (reply == nullptr) return "";
    const gchar* text = nullptr;
    g_variant_get(reply, "(&s)", &text);
    std::string result = text;
    g_variant_unref(reply);
    return result;
}

std::string Describe(const std::string& application, const std::string& reason) {
    return (application.empty() ? std::string("an application") : application) + " (" +
           (reason.empty() ? std::string("no reason given") : reason) + ")";
}

void GnomeInhibitorAdded(DesktopInhibitors& inhibitors, const char* path) {
    GVariant* flags = Call(*inhibitors.Bus, GnomeName, path, GnomeInhibitor, "GetFlags", nullptr, "(u)");
    if (flags == nullptr) return;
    guint32 value = 0;
    g_variant_get(flags, "(u)", &value);
    g_variant_unref(flags);
    if ((value & GnomeIdleFlag) == 0) return;
    const std::string held =
        Describe(GnomeText(*inhibitors.Bus, path, "GetAppId"), GnomeText(*inhibitors.Bus, path, "GetReason"));
    inhibitors.GnomeHeld.emplace_back(path, held);
    ServiceLog("inhibited by " + held + " through the GNOME session manager");
}

void GnomeSignal(GDBusConnection*, const gchar*, const gchar*, const gchar*, const gchar* signal,
                 GVariant* parameters, gpointer data) {
    auto& inhibitors = *static_cast<DesktopInhibitors*>(data);
    if (!g_variant_is_of_type(parameters, G_VARIANT_TYPE("(o)"))) return;
    const gchar* path = nullptr;
    g_variant_get(parameters, "(&o)", &path);
    if (std::string(signal) == "InhibitorAdded") {
        GnomeInhibitorAdded(inhibitors, path);
        return;
    }
    for (std::size_t i = 0; i < inhibitors.GnomeHeld.size(); ++i) {
        if (inhibitors.GnomeHeld[i].first != path) continue;
        ServiceLog("inhibition released: " + inhibitors.GnomeHeld[i].second + " through the GNOME session manager");
        inhibitors.GnomeHeld.erase(inhibitors.GnomeHeld.begin() + static_cast<std::ptrdiff_t>(i));
        return;
    }
}

void KdeSignal(GDBusConnection*, const gchar*, const gchar*, const gchar*, const gchar*, GVariant* parameters,
               gpointer) {
    if (g_variant_n_children(parameters) != 2) return;
    GVariant* added = g_variant_get_child_value(parameters, 0);
    GVariant* removed = g_variant_get_child_value(parameters, 1);
    ForEachPair(added, [](const char* application, const char* reason, void*) {
        ServiceLog("inhibited by " + Describe(application, reason) + " through KDE power management");
    }, nullptr);
    if (g_variant_is_of_type(removed, G_VARIANT_TYPE("as"))) {
        GVariantIter names;
        g_variant_iter_init(&names, removed);
        const gchar* application = nullptr;
        while (g_variant_iter_next(&names, "&s", &application))
            ServiceLog(std::string("inhibition released: ") + (application[0] != '\0' ? application : "an application") +
                       " through KDE power management");
    }
    g_variant_unref(added);
    g_variant_unref(removed);
}

}  // namespace

void StartDesktopInhibitors(DesktopInhibitors& inhibitors, SessionBus& bus) {
    inhibitors.Bus = &bus;
    inhibitors.Subscriptions[0] = g_dbus_connection_signal_subscribe(
        bus.Bus, GnomeName, GnomeName, "InhibitorAdded", GnomePath, nullptr, G_DBUS_SIGNAL_FLAGS_NONE, GnomeSignal,
        &inhibitors, nullptr);
    inhibitors.Subscriptions[1] = g_dbus_connection_signal_subscribe(
        bus.Bus, GnomeName, GnomeName, "InhibitorRemoved", GnomePath, nullptr, G_DBUS_SIGNAL_FLAGS_NONE, GnomeSignal,
        &inhibitors, nullptr);
    inhibitors.Subscriptions[2] =
        g_dbus_connection_signal_subscribe(bus.Bus, KdeName, KdeName, "InhibitionsChanged", KdePath, nullptr,
                                           G_DBUS_SIGNAL_FLAGS_NONE, KdeSignal, &inhibitors, nullptr);
    // Those held already, for the log.
    GVariant* kde = Call(bus, KdeName, KdePath, KdeName, "ListInhibitions", nullptr, nullptr);
    if (kde != nullptr && g_variant_n_children(kde) == 1) {
        GVariant* pairs = g_variant_get_child_value(kde, 0);
        ForEachPair(pairs, [](const char* application, const char* reason, void*) {
            ServiceLog("inhibited by " + Describe(application, reason) + " through KDE power management");
        }, nullptr);
        g_variant_unref(pairs);
    }
    if (kde != nullptr) g_variant_unref(kde);
    if (!SessionBusNameHasOwner(bus, GnomeName)) return;
    GVariant* reply = Call(bus, GnomeName, GnomePath, GnomeName, "GetInhibitors", nullptr, "(ao)");
    if (reply == nullptr) return;
    GVariantIter* paths = nullptr;
    g_variant_get(reply, "(ao)", &paths);
    const gchar* path = nullptr;
    while (g_variant_iter_loop(paths, "&o", &path)) GnomeInhibitorAdded(inhibitors, path);
    g_variant_iter_free(paths);
    g_variant_unref(reply);
}

void StopDesktopInhibitors(DesktopInhibitors& inhibitors) {
    if (inhibitors.Bus == nullptr) return;
    for (unsigned id : inhibitors.Subscriptions)
        if (id != 0) g_dbus_connection_signal_unsubscribe(inhibitors.Bus->Bus, id);
    inhibitors = DesktopInhibitors{};
}

bool DesktopHoldsIdleOff(DesktopInhibitors& inhibitors, std::string* why) {
    SessionBus& bus = *inhibitors.Bus;
    GVariant* gnome = Call(bus, GnomeName, GnomePath, GnomeName, "IsInhibited", g_variant_new("(u)", GnomeIdleFlag), "(b)");
    if (gnome != nullptr) {
        gboolean inhibited = FALSE;
        g_variant_get(gnome, "(b)", &inhibited);
        g_variant_unref(gnome);
        if (inhibited) {
            *why = (inhibitors.GnomeHeld.empty() ? std::string("an application") : inhibitors.GnomeHeld.front().second) +
                   ", through the GNOME session manager";
            return true;
        }
    }
    GVariant* kde = Call(bus, KdeName, KdePath, KdeName, "HasInhibition", g_variant_new("(u)", KdeIdlePolicies), "(b)");
    if (kde == nullptr) return false;
    gboolean inhibited = FALSE;
    g_variant_get(kde, "(b)", &inhibited);
    g_variant_unref(kde);
    if (!inhibited) return false;
    *why = "an application, through KDE power management";
    GVariant* list = Call(bus, KdeName, KdePath, KdeName, "ListInhibitions", nullptr, nullptr);
    if (list != nullptr && g_variant_n_children(list) == 1) {
        GVariant* pairs = g_variant_get_child_value(list, 0);
        ForEachPair(pairs, [](const char* application, const char* reason, void* data) {
            std::string& text = *static_cast<std::string*>(data);
            if (text.rfind("an application", 0) == 0) text = Describe(application, reason) + ", through KDE power management";
        }, why);
        g_variant_unref(pairs);
    }
    if (list != nullptr) g_variant_unref(list);
    return true;
}
