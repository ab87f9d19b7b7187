#include "linux/wayland/gnome_idle_monitor.h"

#include <gio/gio.h>

#include <vector>

namespace {

const char* const MonitorName = "org.gnome.Mutter.IdleMonitor";
const char* const MonitorPath = "/org/gnome/Mutter/IdleMonitor/Core";
const guint32 InhibitIdle = 8;
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
    GVariant* reply = Call(monitor.Bus, MonitorName, MonitorPath, MonitorName, method, parameters, "(u)", nullptr);
    if (reply == nullptr) return 0;
    guint32 id = 0;
    g_variant_get(reply, "(u)", &id);
    g_variant_unref(reply);
    return id;
}

void RemoveWatch(GnomeIdleMonitor& monitor, std::uint32_t id) {
    if (id == 0) return;
    GVariant* reply =
        Call(monitor.Bus, MonitorName, MonitorPath, MonitorName, "RemoveWatch", g_variant_new("(u)", id), nullptr, nullptr);
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
    monitor.RetrySource = g_source_attach(retry, monitor.Context);
    g_source_unref(retry);
}

// A user-active watch fires once, on the next input. Asked without waiting
// for the answer, so that a slow shell holds up no frame.
void AddActiveWatch(GnomeIdleMonitor& monitor) {
    g_main_context_push_thread_default(monitor.Context);
    g_dbus_connection_call(monitor.Bus, MonitorName, MonitorPath, MonitorName, "AddUserActiveWatch", nullptr,
                           G_VARIANT_TYPE("(u)"), G_DBUS_CALL_FLAGS_NO_AUTO_START, CallTimeoutMs, monitor.Cancel,
                           ActiveWatchAdded, &monitor);
    g_main_context_pop_thread_default(monitor.Context);
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

bool OpenGnomeIdleMonitor(GnomeIdleMonitor& monitor, std::uint32_t milliseconds, std::string* error) {
    GError* failure = nullptr;
    monitor.Bus = g_bus_get_sync(G_BUS_TYPE_SESSION, nullptr, &failure);
    if (monitor.Bus == nullptr) {
        *error = std::string("no session bus: ") + (failure != nullptr ? failure->message : "");
        if (failure != nullptr) g_error_free(failure);
        return false;
    }
    std::string why;
    GVariant* idle = Call(monitor.Bus, MonitorName, MonitorPath, MonitorName, "GetIdletime", nullptr, "(t)", &why);
    if (idle == nullptr) {
        *error = "no " + std::string(MonitorName) + " on the session bus (" + why + ")";
        CloseGnomeIdleMonitor(monitor);
        return false;
    }
    g_variant_unref(idle);
    // The signal is delivered in the context current when subscribing: ours.
    monitor.Context = g_main_context_new();
    monitor.Cancel = g_cancellable_new();
    g_main_context_push_thread_default(monitor.Context);
    monitor.Subscription = g_dbus_connection_signal_subscribe(
        monitor.Bus, MonitorName, MonitorName, "WatchFired", MonitorPath, nullptr, G_DBUS_SIGNAL_FLAGS_NONE,
        WatchFired, &monitor, nullptr);
    g_main_context_pop_thread_default(monitor.Context);
    monitor.IdleWatch = AddWatch(monitor, "AddIdleWatch", g_variant_new("(t)", static_cast<guint64>(milliseconds)));
    if (monitor.IdleWatch == 0) {
        *error = std::string(MonitorName) + " refused an idle watch";
        CloseGnomeIdleMonitor(monitor);
        return false;
    }
    return true;
}

void CloseGnomeIdleMonitor(GnomeIdleMonitor& monitor) {
    if (monitor.Cancel != nullptr) {
        g_cancellable_cancel(monitor.Cancel);
        g_object_unref(monitor.Cancel);
    }
    if (monitor.RetrySource != 0) g_source_destroy(g_main_context_find_source_by_id(monitor.Context, monitor.RetrySource));
    if (monitor.Bus != nullptr) {
        RemoveWatch(monitor, monitor.ActiveWatch);
        RemoveWatch(monitor, monitor.IdleWatch);
        if (monitor.Subscription != 0) g_dbus_connection_signal_unsubscribe(monitor.Bus, monitor.Subscription);
        g_object_unref(monitor.Bus);
    }
    if (monitor.Context != nullptr) {
        // Deliver what the unsubscription left queued before the context goes.
        while (g_main_context_iteration(monitor.Context, FALSE)) {
        }
        g_main_context_unref(monitor.Context);
    }
    monitor = GnomeIdleMonitor{};
}

bool GnomeSessionIdleInhibited(GnomeIdleMonitor& monitor) {
    GVariant* reply = Call(monitor.Bus, "org.gnome.SessionManager", "/org/gnome/SessionManager",
                           "org.gnome.SessionManager", "IsInhibited", g_variant_new("(u)", InhibitIdle), "(b)", nullptr);
    if (reply == nullptr) return false;
    gboolean inhibited = FALSE;
    g_variant_get(reply, "(b)", &inhibited);
    g_variant_unref(reply);
    return inhibited != FALSE;
}

int PrepareGnomeIdleMonitor(GnomeIdleMonitor& monitor, pollfd* fds, int room, int* timeoutMs) {
    if (monitor.Context == nullptr || !g_main_context_acquire(monitor.Context)) return 0;
    g_main_context_prepare(monitor.Context, &monitor.Priority);
    std::vector<GPollFD> polled(static_cast<std::size_t>(room));
    int timeout = -1;
    const int count = g_main_context_query(monitor.Context, monitor.Priority, &timeout, polled.data(), room);
    const int used = count < room ? count : room;
    for (int i = 0; i < used; ++i) fds[i] = pollfd{polled[i].fd, static_cast<short>(polled[i].events), 0};
    if (timeout >= 0 && (*timeoutMs < 0 || timeout < *timeoutMs)) *timeoutMs = timeout;
    return used;
}

void DispatchGnomeIdleMonitor(GnomeIdleMonitor& monitor, pollfd* fds, int count) {
    if (monitor.Context == nullptr) return;
    std::vector<GPollFD> polled(static_cast<std::size_t>(count));
    for (int i = 0; i < count; ++i)
        polled[i] = GPollFD{fds[i].fd, static_cast<gushort>(fds[i].events), static_cast<gushort>(fds[i].revents)};
    if (g_main_context_check(monitor.Context, monitor.Priority, polled.data(), count))
        g_main_context_dispatch(monitor.Context);
    g_main_context_release(monitor.Context);
}
