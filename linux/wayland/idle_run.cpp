#include "linux/wayland/idle_run.h"

#include <malloc.h>

#include <cstdio>
#include <string>

#include "linux/end_signals.h"
#include "linux/frame_pacer.h"
#include "linux/wayland/event_wait.h"
#include "linux/wayland/gnome_idle_monitor.h"
#include "linux/wayland/idle_watch.h"
#include "linux/wayland/run_saver.h"

namespace {

int Fail(const std::string& message) {
    std::fprintf(stderr, "mirrowen: %s\n", message.c_str());
    return 1;
}

}  // namespace

int RunWaylandIdle(WaylandConnection& connection, const SaverOptions& options) {
    const std::uint32_t timeoutMs = static_cast<std::uint32_t>(options.IdleSeconds * 1000);
    const std::int64_t timeoutMicros = options.IdleSeconds * 1000000;
    WaylandIdleWatch wayland;
    GnomeIdleMonitor gnome;
    bool useGnome = false;
    std::string gnomeError;
    if (WaylandIdleOffered(connection)) {
        if (!StartWaylandIdleWatch(wayland, connection, timeoutMs))
            return Fail("the Wayland compositor offers an idle protocol but no seat to watch");
    } else if (OpenGnomeIdleMonitor(gnome, timeoutMs, &gnomeError)) {
        useGnome = true;
    } else {
        return Fail("--idle needs the compositor's ext_idle_notifier_v1 or org_kde_kwin_idle, or "
                    "org.gnome.Mutter.IdleMonitor on the session bus; there is none (" +
                    gnomeError + ")");
    }
    // The cover ends on any input, pointer motion too.
    connection.MotionEnds = true;

    CoverWatch watch;
    watch.Wayland = useGnome ? nullptr : &wayland;
    watch.Gnome = useGnome ? &gnome : nullptr;
    watch.GnomeEvents = useGnome ? &gnome : nullptr;
    unsigned seatChanges = connection.SeatChanges;
    // GNOME: after a cover that input ended, the monitor's own word of the
    // input may come a moment later: no new cover until it has said so, or
    // has given a new idle notice.
    bool awaitActive = false;
    unsigned noticesAtEnd = 0;
    // GNOME: an inhibited idle period is looked at again after a period.
    std::int64_t recheckAt = -1;
    std::string error;
    int result = 0;
    while (!EndSignalled()) {
        if (!useGnome && connection.SeatChanges != seatChanges && connection.Seat != nullptr) {
            // The seat went and came back: the watch on the old one is dead.
            seatChanges = connection.SeatChanges;
            StartWaylandIdleWatch(wayland, connection, timeoutMs);
        }
        const bool idle = useGnome ? gnome.Idle : wayland.Idle;
        const unsigned notices = useGnome ? gnome.Notices : wayland.Notices;
        const std::int64_t now = PacerNow();
        if (!idle || notices != noticesAtEnd) awaitActive = false;
        std::int64_t wait = -1;
        if (idle && !awaitActive) {
            if (useGnome && recheckAt >= 0 && now < recheckAt) {
                wait = recheckAt - now;
            } else if (useGnome && GnomeSessionIdleInhibited(gnome)) {
                recheckAt = now + timeoutMicros;
                wait = timeoutMicros;
            } else {
                recheckAt = -1;
                const CoverEnd end = CoverOutputs(connection, options, watch, &error);
                if (end == CoverEnd::Failed) {
                    result = Fail(error);
                    break;
                }
                if (end == CoverEnd::Ended) break;
                // Light while waiting: what the cover freed goes back to the system.
                malloc_trim(0);
                if (useGnome) {
                    awaitActive = true;
                    noticesAtEnd = notices;
                } else {
                    // A fresh watch times the next idle period from now. (An
                    // inhibited org_kde_kwin_idle that saw the input says
                    // neither "resumed" nor, once free, "idle" again.)
                    StartWaylandIdleWatch(wayland, connection, timeoutMs);
                }
            }
        }
        if (!idle) recheckAt = -1;
        // Outputs that went while nothing covered them.
        for (std::size_t i = 0; i < connection.Outputs.size();) {
            if (connection.Outputs[i]->Gone) {
                ReleaseWaylandOutput(*connection.Outputs[i]);
                connection.Outputs.erase(connection.Outputs.begin() + static_cast<std::ptrdiff_t>(i));
            } else {
                ++i;
            }
        }
        if (EndSignalled()) break;
        if (!WaitForEvents(connection.Display, watch.GnomeEvents, wait)) {
            result = Fail(LostConnectionMessage(connection.Display));
            break;
        }
    }
    StopWaylandIdleWatch(wayland);
    CloseGnomeIdleMonitor(gnome);
    return result;
}
