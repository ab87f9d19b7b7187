#include "linux/wayland/idle_watch.h"

#include "ext-idle-notify-v1-client-protocol.h"
#include "idle-client-protocol.h"

namespace {

void Notice(WaylandIdleWatch& watch) {
    watch.Idle = true;
    ++watch.Notices;
}

void Idled(void* data, ext_idle_notification_v1*) { Notice(*static_cast<WaylandIdleWatch*>(data)); }
void Resumed(void* data, ext_idle_notification_v1*) { static_cast<WaylandIdleWatch*>(data)->Idle = false; }
const ext_idle_notification_v1_listener NotificationListener = {Idled, Resumed};

void KdeIdle(void* data, org_kde_kwin_idle_timeout*) { Notice(*static_cast<WaylandIdleWatch*>(data)); }
void KdeResumed(void* data, org_kde_kwin_idle_timeout*) { static_cast<WaylandIdleWatch*>(data)->Idle = false; }
const org_kde_kwin_idle_timeout_listener KdeTimeoutListener = {KdeIdle, KdeResumed};

}  // namespace

bool WaylandIdleOffered(const WaylandConnection& connection) {
    return connection.IdleNotifier != nullptr || connection.KdeIdle != nullptr;
}

bool StartWaylandIdleWatch(WaylandIdleWatch& watch, WaylandConnection& connection, std::uint32_t milliseconds) {
    // The notices count on across watches: the service tells them apart by it.
    const unsigned notices = watch.Notices;
    StopWaylandIdleWatch(watch);
    watch.Notices = notices;
    if (connection.Seat == nullptr) return false;
    if (connection.IdleNotifier != nullptr) {
        watch.Notification =
            ext_idle_notifier_v1_get_idle_notification(connection.IdleNotifier, milliseconds, connection.Seat);
        ext_idle_notification_v1_add_listener(watch.Notification, &NotificationListener, &watch);
    } else if (connection.KdeIdle != nullptr) {
        watch.KdeTimeout = org_kde_kwin_idle_get_idle_timeout(connection.KdeIdle, connection.Seat, milliseconds);
        org_kde_kwin_idle_timeout_add_listener(watch.KdeTimeout, &KdeTimeoutListener, &watch);
    } else {
        return false;
    }
    watch.Seat = connection.Seat;
    return true;
}

void StopWaylandIdleWatch(WaylandIdleWatch& watch) {
    if (watch.Notification != nullptr) ext_idle_notification_v1_destroy(watch.Notification);
    if (watch.KdeTimeout != nullptr) org_kde_kwin_idle_timeout_release(watch.KdeTimeout);
    watch = WaylandIdleWatch{};
}
