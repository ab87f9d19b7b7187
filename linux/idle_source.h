// What the idle service needs of a session's idle source (the Wayland
// compositor's idle protocols, GNOME's idle monitor, the X server's idle
// time): its descriptors in the service's one poll, a watch armed for a
// number of seconds without input, and its word on whether the seat is idle.
#pragma once

#include <poll.h>

#include <cstdint>
#include <string>

struct IdleSource {
    void* Context = nullptr;
    const char* Name = "";  // for the log: "the compositor's ext_idle_notifier_v1", ...
    // The descriptors to wait on (up to `room`); lowers `*timeoutMs` (-1:
    // none) where the source needs to be asked again sooner.
    int (*Prepare)(void* context, pollfd* fds, int room, int* timeoutMs) = nullptr;
    // Reads what came on them. False, with `error` set, when the session is
    // gone (the compositor or the X server closed the connection).
    bool (*Dispatch)(void* context, const pollfd* fds, int count, std::string* error) = nullptr;
    // Arms the watch anew: the next idle notice comes after `seconds` without
    // input, counted from now, and the seat is not idle until then.
    bool (*Arm)(void* context, std::int64_t seconds, std::string* error) = nullptr;
    // Idle since the source's last notice, with no input after it.
    bool (*Idle)(const void* context) = nullptr;
    // Idle notices so far.
    unsigned (*Notices)(const void* context) = nullptr;
    // Optional: what holds idleness off that only this kind of session knows
    // (an X client that suspends the screen saver); `why` says who.
    bool (*HeldOff)(void* context, std::string* why) = nullptr;
    // Optional: whether the desktop's locker shows.
    bool (*Locked)(void* context) = nullptr;
};
