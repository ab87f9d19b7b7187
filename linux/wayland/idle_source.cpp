#include "linux/wayland/idle_source.h"

#include <cerrno>

#include "linux/wayland/event_wait.h"

namespace {

int Prepare(void* context, pollfd* fds, int room, int*) {
    WaylandIdleSource& source = *static_cast<WaylandIdleSource*>(context);
    wl_display* display = source.Connection->Display;
    source.ReadPrepared = false;
    if (room < 1) return 0;
    while (wl_display_prepare_read(display) != 0)
        if (wl_display_dispatch_pending(display) < 0) return 0;
    source.ReadPrepared = true;
    wl_display_flush(display);
    fds[0] = pollfd{wl_display_get_fd(display), POLLIN, 0};
    return 1;
}

// Outputs that went are released: nothing covers them in this process.
void ReleaseGoneOutputs(WaylandConnection& connection) {
    for (std::size_t i = 0; i < connection.Outputs.size();) {
        if (connection.Outputs[i]->Gone) {
            ReleaseWaylandOutput(*connection.Outputs[i]);
            connection.Outputs.erase(connection.Outputs.begin() + static_cast<std::ptrdiff_t>(i));
        } else {
            ++i;
        }
    }
}

bool Arm(void* context, std::int64_t seconds, std::string* error) {
    WaylandIdleSource& source = *static_cast<WaylandIdleSource*>(context);
    source.Seconds = seconds;
    const std::uint32_t milliseconds = static_cast<std::uint32_t>(seconds * 1000);
    if (source.UseGnome) {
        if (ArmGnomeIdleMonitor(source.Gnome, milliseconds)) return true;
        *error = "org.gnome.Mutter.IdleMonitor refused an idle watch";
        return false;
    }
    source.SeatChanges = source.Connection->SeatChanges;
    if (StartWaylandIdleWatch(source.Watch, *source.Connection, milliseconds)) return true;
    *error = "the Wayland compositor offers an idle protocol but no seat to watch";
    return false;
}

bool Dispatch(void* context, const pollfd* fds, int count, std::string* error) {
    WaylandIdleSource& source = *static_cast<WaylandIdleSource*>(context);
    wl_display* display = source.Connection->Display;
    bool lost = false;
    if (source.ReadPrepared) {
        source.ReadPrepared = false;
        if (count > 0 && (fds[0].revents & POLLIN) != 0) {
            lost = wl_display_read_events(display) < 0;
        } else {
            wl_display_cancel_read(display);
            lost = count > 0 && (fds[0].revents & (POLLERR | POLLHUP)) != 0;
        }
    }
    if (lost || wl_display_dispatch_pending(display) < 0) {
        *error = LostConnectionMessage(display);
        return false;
    }
    ReleaseGoneOutputs(*source.Connection);
    // The seat went and came back: the watch on the old one is dead.
    WaylandConnection& connection = *source.Connection;
    if (!source.UseGnome && connection.SeatChanges != source.SeatChanges && connection.Seat != nullptr &&
        source.Seconds > 0)
        return Arm(context, source.Seconds, error);
    return true;
}

bool Idle(const void* context) {
    const WaylandIdleSource& source = *static_cast<const WaylandIdleSource*>(context);
    return source.UseGnome ? source.Gnome.Idle : source.Watch.Idle;
}

unsigned Notices(const void* context) {
    const WaylandIdleSource& source = *static_cast<const WaylandIdleSource*>(context);
    return source.UseGnome ? source.Gnome.Notices : source.Watch.Notices;
}

}  // namespace

bool OpenWaylandIdleSource(WaylandIdleSource& source, WaylandConnection& connection, SessionBus* bus,
                           std::string* error) {
    source.Connection = &connection;
    if (WaylandIdleOffered(connection)) return true;
    std::string why = "no session bus";
    if (bus != nullptr && OpenGnomeIdleMonitor(source.Gnome, *bus, &why)) {
        source.UseGnome = true;
        return true;
    }
    *error = "--idle needs the compositor's ext_idle_notifier_v1 or org_kde_kwin_idle, or "
             "org.gnome.Mutter.IdleMonitor on the session bus; there is none (" +
             why + ")";
    return false;
}

void CloseWaylandIdleSource(WaylandIdleSource& source) {
    StopWaylandIdleWatch(source.Watch);
    CloseGnomeIdleMonitor(source.Gnome);
    source = WaylandIdleSource{};
}

IdleSource WaylandIdleSourceInterface(WaylandIdleSource& source) {
    IdleSource idle;
    idle.Context = &source;
    idle.Name = source.UseGnome                              ? "GNOME's idle monitor"
                : source.Connection->IdleNotifier != nullptr ? "the compositor's ext_idle_notifier_v1"
                                                             : "the compositor's org_kde_kwin_idle";
    idle.Prepare = Prepare;
    idle.Dispatch = Dispatch;
    idle.Arm = Arm;
    idle.Idle = Idle;
    idle.Notices = Notices;
    return idle;
}
