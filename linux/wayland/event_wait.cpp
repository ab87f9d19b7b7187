#include "linux/wayland/event_wait.h"

#include <poll.h>

#include <cerrno>
#include <cstring>
#include <ctime>

#include "linux/end_signals.h"

bool WaitForEvents(wl_display* display, std::int64_t micros) {
    while (wl_display_prepare_read(display) != 0)
        if (wl_display_dispatch_pending(display) < 0) return false;
    if (wl_display_flush(display) < 0 && errno != EAGAIN) {
        wl_display_cancel_read(display);
        return false;
    }
    const int endFd = EndSignalFd();
    pollfd fds[2] = {{wl_display_get_fd(display), POLLIN, 0}, {endFd, POLLIN, 0}};
    timespec timeout;
    if (micros >= 0) {
        timeout.tv_sec = static_cast<time_t>(micros / 1000000);
        timeout.tv_nsec = static_cast<long>(micros % 1000000) * 1000;
    }
    const int ready = ppoll(fds, endFd >= 0 ? 2 : 1, micros >= 0 ? &timeout : nullptr, nullptr);
    const pollfd& fd = fds[0];
    if (ready > 0 && (fd.revents & POLLIN) != 0) {
        if (wl_display_read_events(display) < 0) return false;
    } else {
        wl_display_cancel_read(display);
        if (ready > 0 && (fd.revents & (POLLERR | POLLHUP)) != 0) return false;
    }
    return wl_display_dispatch_pending(display) >= 0;
}

std::string LostConnectionMessage(wl_display* display) {
    const int code = wl_display_get_error(display);
    if (code == EPROTO) {
        const wl_interface* interface = nullptr;
        std::uint32_t id = 0;
        const std::uint32_t error = wl_display_get_protocol_error(display, &interface, &id);
        return std::string("the Wayland compositor ended the connection over a protocol error: ") +
               (interface != nullptr ? interface->name : "unknown interface") + " error " + std::to_string(error);
    }
    if (code == 0 || code == EPIPE || code == ECONNRESET) return "the Wayland compositor closed the connection";
    return std::string("the Wayland connection failed: ") + std::strerror(code);
}
