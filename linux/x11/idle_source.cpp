#include "linux/x11/idle_source.h"

#include <X11/extensions/scrnsaver.h>

#include <cstring>

#include "linux/x11/locker_window.h"

namespace {

std::int64_t Milliseconds(const XSyncValue& value) {
    return (static_cast<std::int64_t>(XSyncValueHigh32(value)) << 32) | XSyncValueLow32(value);
}

XSyncValue SyncValue(std::int64_t ms) {
    XSyncValue value;
    XSyncIntsToValue(&value, static_cast<unsigned>(ms & 0xFFFFFFFF), static_cast<int>(ms >> 32));
    return value;
}

// An alarm on IDLETIME that fires once when the test holds (a comparison
// with no delta goes inactive after it fires); changed in place when it
// exists.
void SetAlarm(X11IdleSource& source, XSyncAlarm* alarm, XSyncTestType test, std::int64_t ms) {
    XSyncAlarmAttributes attributes;
    std::memset(&attributes, 0, sizeof attributes);
    attributes.trigger.counter = source.Counter;
    attributes.trigger.value_type = XSyncAbsolute;
    attributes.trigger.wait_value = SyncValue(ms);
    attributes.trigger.test_type = test;
    attributes.delta = SyncValue(0);
    attributes.events = True;
    const unsigned long mask =
        XSyncCACounter | XSyncCAValueType | XSyncCAValue | XSyncCATestType | XSyncCADelta | XSyncCAEvents;
    if (*alarm == None)
        *alarm = XSyncCreateAlarm(source.Dpy, mask, &attributes);
    else
        XSyncChangeAlarm(source.Dpy, *alarm, mask, &attributes);
}

void ClearAlarm(X11IdleSource& source, XSyncAlarm* alarm) {
    if (*alarm != None) XSyncDestroyAlarm(source.Dpy, *alarm);
    *alarm = None;
}

// Milliseconds since the last input, as the server counts them.
std::int64_t IdleNow(X11IdleSource& source) {
    if (source.UseSync) {
        XSyncValue value;
        return XSyncQueryCounter(source.Dpy, source.Counter, &value) ? Milliseconds(value) : 0;
    }
    XScreenSaverInfo* info = XScreenSaverAllocInfo();
    std::int64_t idle = 0;
    if (info != nullptr && XScreenSaverQueryInfo(source.Dpy, DefaultRootWindow(source.Dpy), info)) idle = info->idle;
    if (info != nullptr) XFree(info);
    return idle;
}

void Noticed(X11IdleSource& source) {
    source.Idle = true;
    ++source.Notices;
}

void AlarmFired(X11IdleSource& source, const XSyncAlarmNotifyEvent& event) {
    if (event.alarm == source.IdleAlarm) {
        // One from an earlier arming, still on its way, is no notice.
        if (source.Idle || Milliseconds(event.counter_value) < source.TargetMs) return;
        Noticed(source);
        // Input from now on, or already since the alarm fired, ends it.
        SetAlarm(source, &source.ActiveAlarm, XSyncNegativeComparison, source.TargetMs - 1);
    } else if (event.alarm == source.ActiveAlarm) {
        // Input: the idle period counts from it, and is the server's own
        // count from here on.
        source.Idle = false;
        ClearAlarm(source, &source.ActiveAlarm);
        source.TargetMs = source.Seconds * 1000;
        SetAlarm(source, &source.IdleAlarm, XSyncPositiveComparison, source.TargetMs);
    }
}

// MIT-SCREEN-SAVER: the idle time read and compared with the last reading.
void CheckIdleTime(X11IdleSource& source) {
    const std::int64_t idle = IdleNow(source);
    if (idle < source.LastIdleMs) {
        source.Idle = false;
        source.TargetMs = source.Seconds * 1000;
    }
    source.LastIdleMs = idle;
    if (!source.Idle && source.Seconds > 0 && idle >= source.TargetMs) Noticed(source);
}

int Prepare(void* context, pollfd* fds, int room, int* timeoutMs) {
    X11IdleSource& source = *static_cast<X11IdleSource*>(context);
    if (room < 1) return 0;
    XFlush(source.Dpy);
    auto lower = [timeoutMs](std::int64_t ms) {
        const int limited = static_cast<int>(ms < 0 ? 0 : ms > 3600000 ? 3600000 : ms);
        if (*timeoutMs < 0 || limited < *timeoutMs) *timeoutMs = limited;
    };
    if (XQLength(source.Dpy) > 0) lower(0);
    if (!source.UseSync && source.Seconds > 0) {
        // No alarms: asked again when the limit may have passed, or, while
        // idle, each second for input.
        lower(source.Idle ? 1000 : source.TargetMs - IdleNow(source));
    }
    fds[0] = pollfd{ConnectionNumber(source.Dpy), POLLIN, 0};
    return 1 + PrepareSaverSuspends(source.Suspends, fds + 1, room - 1, timeoutMs);
}

bool Dispatch(void* context, const pollfd* fds, int count, std::string* error) {
    X11IdleSource& source = *static_cast<X11IdleSource*>(context);
    if (count > 0 && (fds[0].revents & (POLLHUP | POLLERR)) != 0) {
        *error = "the X server closed the connection";
        return false;
    }
    while (XPending(source.Dpy) > 0) {
        XEvent event;
        XNextEvent(source.Dpy, &event);
        if (source.UseSync && event.type == source.SyncEventBase + XSyncAlarmNotify)
            AlarmFired(source, *reinterpret_cast<XSyncAlarmNotifyEvent*>(&event));
    }
    if (!source.UseSync) CheckIdleTime(source);
    DispatchSaverSuspends(source.Suspends, fds + 1, count - 1);
    return true;
}

bool Arm(void* context, std::int64_t seconds, std::string*) {
    X11IdleSource& source = *static_cast<X11IdleSource*>(context);
    source.Seconds = seconds;
    source.Idle = false;
    const std::int64_t now = IdleNow(source);
    source.TargetMs = now + seconds * 1000;
    source.LastIdleMs = now;
    if (source.UseSync) {
        SetAlarm(source, &source.IdleAlarm, XSyncPositiveComparison, source.TargetMs);
        // Until the first input the period counts from now, not from the
        // last input: that input must move it.
        if (now >= 2)
            SetAlarm(source, &source.ActiveAlarm, XSyncNegativeComparison, now - 1);
        else
            ClearAlarm(source, &source.ActiveAlarm);
    }
    XFlush(source.Dpy);
    return true;
}

bool Idle(const void* context) { return static_cast<const X11IdleSource*>(context)->Idle; }

unsigned Notices(const void* context) { return static_cast<const X11IdleSource*>(context)->Notices; }

bool HeldOff(void* context, std::string* why) {
    return SaverSuspended(static_cast<X11IdleSource*>(context)->Suspends, why);
}

// A locker that says nothing on the session bus (i3lock, slock, a locker's
// stand-by window) is known by its window.
bool Locked(void* context) {
    X11IdleSource& source = *static_cast<X11IdleSource*>(context);
    const Window root = DefaultRootWindow(source.Dpy);
    return LockerWindowShown(source.Dpy, root, ListMonitors(source.Dpy, root));
}

}  // namespace

bool OpenX11IdleSource(X11IdleSource& source, Display* dpy, std::string* error) {
    source.Dpy = dpy;
    int major = 0, minor = 0, errorBase = 0;
    if (XSyncQueryExtension(dpy, &source.SyncEventBase, &errorBase) && XSyncInitialize(dpy, &major, &minor)) {
        int count = 0;
        XSyncSystemCounter* counters = XSyncListSystemCounters(dpy, &count);
        for (int i = 0; i < count; ++i)
            if (std::strcmp(counters[i].name, "IDLETIME") == 0) source.Counter = counters[i].counter;
        if (counters != nullptr) XSyncFreeSystemCounterList(counters);
    }
    source.UseSync = source.Counter != None;
    int saverEvent = 0, saverError = 0;
    if (!source.UseSync && !XScreenSaverQueryExtension(dpy, &saverEvent, &saverError)) {
        *error = "--idle needs the X server's SYNC extension with its IDLETIME counter, or MIT-SCREEN-SAVER; "
                 "it has neither";
        return false;
    }
    StartSaverSuspends(source.Suspends, dpy);
    return true;
}

void CloseX11IdleSource(X11IdleSource& source) {
    if (source.Dpy != nullptr) {
        ClearAlarm(source, &source.IdleAlarm);
        ClearAlarm(source, &source.ActiveAlarm);
        StopSaverSuspends(source.Suspends);
    }
    source = X11IdleSource{};
}

IdleSource X11IdleSourceInterface(X11IdleSource& source) {
    IdleSource idle;
    idle.Context = &source;
    idle.Name = source.UseSync ? "the X server's SYNC IDLETIME" : "the X server's MIT-SCREEN-SAVER idle time";
    idle.Prepare = Prepare;
    idle.Dispatch = Dispatch;
    idle.Arm = Arm;
    idle.Idle = Idle;
    idle.Notices = Notices;
    idle.HeldOff = HeldOff;
    idle.Locked = Locked;
    return idle;
}
