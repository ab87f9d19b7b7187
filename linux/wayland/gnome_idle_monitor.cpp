#include "linux/wayland/gnome_idle_monitor.h"

#include <gio/gio.h>


namespace {

const char* const MonitorName = "org.gnome.Mutter.IdleMonitor";
const char* const MonitorPath = "/org/gnome/Mutter/IdleMonitor/Core";
const int CallTimeoutMs = 2000;

// One call on the session bus; the reply, or null.
GVariant* Call(GDBusConnection* bus, const char* name, const char* path, const char* interface, const char* method,
               GVariant* parameters, const char* replyType, std::string* error) {
    GError* failure = nullptr;
    GVariant* reply =
        g_dbus_connection_call_sync(bus, name, path, interface, method, parameters,
                                    replyType != nullptr ? G_VARIANT_TYPE(replyType) : nullptr,
                                    G_DBUS_CALL_FLAGS_NO_AUTO_START, CallTimeoutMs, nullptr, &failure);
    if (reply == nullptr) {
        if (error != nullptr) *error = failure != nullptr ? failure->message : "no reply";
        if (failure != nullptr) g_error_free(failure);
    }
    return reply;
}

std::uint32_t AddWatch(GnomeIdleMonitor& monitor, const char* method, GVariant* parameters) {
    GVariant* reply = Call(monitor.Bus->Bus, MonitorName, MonitorPath, MonitorName, method, parameters, "(u)", nullptr);
    if (reply == nullptr) return 0;
    guint32 id = 0;
    g_variant_get(reply, "(u)", &id);
    g_variant_unref(reply);
    return id;
}

void RemoveWatch(GnomeIdleMonitor& monitor, std::uint32_t id) {
    if (id == 0) return;
    GVariant* reply =
        Call(monitor.Bus->Bus, MonitorName, MonitorPath, MonitorName, "RemoveWatch", g_variant_new("(u)", id), nullptr, nullptr);
    if (reply != nullptr) g_variant_unref(reply);
}

void AddActiveWatch(GnomeIdleMonitor& monitor);

// Asks again a second later while the seat is still taken as idle.
gboolean RetryActiveWatch(gpointer data) {
    GnomeIdleMonitor& monitor = *static_cast<GnomeIdleMonitor*>(data);
    monitor.RetrySource = 0;
    if (monitor.Idle && monitor.ActiveWatch == 0) AddActiveWatch(monitor);
    return G_SOURCE_REMOVE;
}

void ActiveWatchAdded(GObject* bus, GAsyncResult* result, gpointer data) {
    GError* failure = nullptr;
    GVariant* reply = g_dbus_connection_call_finish(G_DBUS_CONNECTION(bus), result, &failure);
    if (reply == nullptr && g_error_matches(failure, G_IO_ERROR, G_IO_ERROR_CANCELLED)) {
        g_error_free(failure);
        return;  // the monitor is closing
    }
    GnomeIdleMonitor& monitor = *static_cast<GnomeIdleMonitor*>(data);
    if (reply != nullptr) {
        g_variant_get(reply, "(u)", &monitor.ActiveWatch);
        g_variant_unref(reply);
        return;
    }
    // A busy shell may not answer in time: without this watch the next
    // input would never be seen, so it is asked for again; meanwhile the
    // idle watch's next notice counts as the next idle period.
    ++monitor.ActiveWatchFailures;
    if (failure != nullptr) g_error_free(failure);
    GSource* retry = g_timeout_source_new(1000);
    g_source_set_callback(retry, RetryActiveWatch, &monitor, nullptr);
    monitor.RetrySource = g_source_attach(retry, monitor.Bus->Context);
    g_source_unref(retry);
}

// A user-active watch fires once, on the next input. Asked without waiting
// for the answer, so that a slow shell holds up no frame.
void AddActiveWatch(GnomeIdleMonitor& monitor) {
    g_dbus_connection_call(monitor.Bus->Bus, MonitorName, MonitorPath, MonitorName, "AddUserActiveWatch", nullptr,
                           G_VARIANT_TYPE("(u)"), G_DBUS_CALL_FLAGS_NO_AUTO_START, CallTimeoutMs, monitor.Cancel,
                           ActiveWatchAdded, &monitor);
}

void WatchFired(GDBusConnection*, const gchar*, const gchar*, const gchar*, const gchar*, GVariant* parameters,
                gpointer data) {
    GnomeIdleMonitor& monitor = *static_cast<GnomeIdleMonitor*>(data);
    if (!g_variant_is_of_type(parameters, G_VARIANT_TYPE("(u)"))) return;
    guint32 id = 0;
    g_variant_get(parameters, "(u)", &id);
    if (id == 0) return;
    if (id == monitor.IdleWatch && (!monitor.Idle || monitor.ActiveWatch == 0)) {
        monitor.Idle = true;
        ++monitor.Notices;
        if (monitor.ActiveWatch == 0 && monitor.RetrySource == 0) AddActiveWatch(monitor);
    } else if (id == monitor.ActiveWatch) {
        monitor.ActiveWatch = 0;
        monitor.Idle = false;
    }
}

}  // namespace

bool OpenGnomeIdleMonitor(GnomeIdleMonitor& monitor, SessionBus& bus, std::string* error) {
    monitor.Bus = &bus;
    std::string why;
    GVariant* idle = Call(bus.Bus, MonitorName, MonitorPath, MonitorName, "GetIdletime", nullptr, "(t)", &why);
    if (idle == nullptr) {
        *error = "no " + std::string(MonitorName) + " on the session bus (" + why + ")";
        monitor = GnomeIdleMonitor{};
        return false;
    }
    g_variant_unref(idle);
    monitor.Cancel = g_cancellable_new();
    // Delivered in the bus's context, the thread's default.
    monitor.Subscription = g_dbus_connection_signal_subscribe(
        bus.Bus, MonitorName, MonitorName, "WatchFired", MonitorPath, nullptr, G_DBUS_SIGNAL_FLAGS_NONE,
        WatchFired, &monitor, nullptr);
    return true;
}

bool ArmGnomeIdleMonitor(GnomeIdleMonitor& monitor, std::uint32_t milliseconds) {
    RemoveWatch(monitor, monitor.ActiveWatch);
    RemoveWatch(monitor, monitor.IdleWatch);
    monitor.ActiveWatch = 0;
    monitor.Idle = false;
    monitor.IdleWatch = AddWatch(monitor, "AddIdleWatch", g_variant_new("(t)", static_cast<guint64>(milliseconds)));
    return monitor.IdleWatch != 0;
}

void CloseGnomeIdleMonitor(GnomeIdleMonitor& monitor) {
    if (monitor.Bus == nullptr) return;
    if (monitor.Cancel != nullptr) {
        g_cancellable_cancel(monitor.Cancel);
        g_object_unref(monitor.Cancel);
    }
    if (monitor.RetrySource != 0) {
        GSource* retry = g_main_context_find_source_by_id(monitor.Bus->Context, monitor.RetrySource);
        if (retry != nullptr) g_source_destroy(retry);
    }
    RemoveWatch(monitor, monitor.ActiveWatch);
    RemoveWatch(monitor, monitor.IdleWatch);
    if (monitor.Subscription != 0) g_dbus_connection_signal_unsubscribe(monitor.Bus->Bus, monitor.Subscription);
    monitor = GnomeIdleMonitor{};
}
