#include "linux/session_bus.h"

#include <gio/gio.h>

#include <vector>

bool OpenSessionBus(SessionBus& bus, std::string* error) {
    bus.Context = g_main_context_new();
    g_main_context_push_thread_default(bus.Context);
    GError* failure = nullptr;
    // A connection of its own: the shared one would deliver into whichever
    // context first asked for it.
    gchar* address = g_dbus_address_get_for_bus_sync(G_BUS_TYPE_SESSION, nullptr, &failure);
    if (address != nullptr) {
        bus.Bus = g_dbus_connection_new_for_address_sync(
            address, static_cast<GDBusConnectionFlags>(G_DBUS_CONNECTION_FLAGS_AUTHENTICATION_CLIENT |
                                                       G_DBUS_CONNECTION_FLAGS_MESSAGE_BUS_CONNECTION),
            nullptr, nullptr, &failure);
        g_free(address);
    }
    if (bus.Bus == nullptr) {
        *error = std::string("no session bus: ") + (failure != nullptr ? failure->message : "");
        if (failure != nullptr) g_error_free(failure);
        CloseSessionBus(bus);
        return false;
    }
    // A bus that goes away ends nothing but the bus's own services.
    g_dbus_connection_set_exit_on_close(bus.Bus, FALSE);
    return true;
}

void CloseSessionBus(SessionBus& bus) {
    if (bus.Bus != nullptr) {
        g_dbus_connection_flush_sync(bus.Bus, nullptr, nullptr);
        g_object_unref(bus.Bus);
    }
    if (bus.Context != nullptr) {
        // Deliver what is queued before the context goes.
        while (g_main_context_iteration(bus.Context, FALSE)) {
        }
        g_main_context_pop_thread_default(bus.Context);
        g_main_context_unref(bus.Context);
    }
    bus = SessionBus{};
}

int PrepareSessionBus(SessionBus& bus, pollfd* fds, int room, int* timeoutMs) {
    if (bus.Context == nullptr || !g_main_context_acquire(bus.Context)) return 0;
    g_main_context_prepare(bus.Context, &bus.Priority);
    std::vector<GPollFD> polled(static_cast<std::size_t>(room));
    int timeout = -1;
    const int count = g_main_context_query(bus.Context, bus.Priority, &timeout, polled.data(), room);
    const int used = count < room ? count : room;
    for (int i = 0; i < used; ++i) fds[i] = pollfd{polled[i].fd, static_cast<short>(polled[i].events), 0};
    if (timeout >= 0 && (*timeoutMs < 0 || timeout < *timeoutMs)) *timeoutMs = timeout;
    return used;
}

void DispatchSessionBus(SessionBus& bus, const pollfd* fds, int count) {
    if (bus.Context == nullptr) return;
    std::vector<GPollFD> polled(static_cast<std::size_t>(count));
    for (int i = 0; i < count; ++i)
        polled[i] = GPollFD{fds[i].fd, static_cast<gushort>(fds[i].events), static_cast<gushort>(fds[i].revents)};
    if (g_main_context_check(bus.Context, bus.Priority, polled.data(), count)) g_main_context_dispatch(bus.Context);
    g_main_context_release(bus.Context);
}

bool SessionBusNameHasOwner(SessionBus& bus, const char* name) {
    GVariant* reply = g_dbus_connection_call_sync(bus.Bus, "org.freedesktop.DBus", "/org/freedesktop/DBus",
                                                  "org.freedesktop.DBus", "NameHasOwner", g_variant_new("(s)", name),
                                                  G_VARIANT_TYPE("(b)"), G_DBUS_CALL_FLAGS_NONE, 2000, nullptr, nullptr);
    if (reply == nullptr) return false;
    gboolean owned = FALSE;
    g_variant_get(reply, "(b)", &owned);
    g_variant_unref(reply);
    return owned != FALSE;
}
