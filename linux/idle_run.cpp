#include "linux/idle_run.h"

#include <malloc.h>
#include <poll.h>
#include <unistd.h>

#include <csignal>

#include <ctime>

#include "linux/cover_child.h"
#include "linux/desktop_inhibitors.h"
#include "linux/desktop_lock.h"
#include "linux/end_signals.h"
#include "linux/frame_pacer.h"
#include "linux/idle_decisions.h"
#include "linux/screensaver_service.h"
#include "linux/service_log.h"
#include "linux/settings_watch.h"
#include "linux/stored_values.h"
#include "settings/file_store.h"

namespace {

// A drawing program asked to end gets this long before SIGKILL.
constexpr std::int64_t EndGrace = 2000000;
// While an idle period is held off, the desktop is asked again this often.
constexpr int HeldOffRecheckMs = 1000;

std::string Seconds(std::int64_t seconds) { return std::to_string(seconds) + " s"; }

struct Run {
    IdleSource& Source;
    SessionBus* Bus;
    const IdleServiceOptions& Options;
    ScreenSaverService Service;
    DesktopInhibitors Desktop;
    DesktopLock Lock;
    SettingsWatch Watch;
    CoverChild Child;
    IdleDecisions Decisions;
    std::int64_t IdleSeconds = 0;
    std::string Error;
};

bool Arm(Run& run) { return run.Source.Arm(run.Source.Context, run.IdleSeconds, &run.Error); }

// What holds the cover off now, if anything.
bool HeldOff(Run& run, std::string* why) {
    if (run.Source.HeldOff != nullptr && run.Source.HeldOff(run.Source.Context, why)) return true;
    if (run.Bus == nullptr) return false;
    *why = ScreenSaverHeldBy(run.Service);
    if (!why->empty()) return true;
    return DesktopHoldsIdleOff(run.Desktop, why);
}

void StartCover(Run& run, const std::string& because) {
    const std::int64_t now = PacerNow();
    std::string error;
    if (!StartCoverChild(run.Child, run.Options.CoverCommand, now, &error)) {
        ServiceLog(error);
        CoverEnded(run.Decisions, true, now, run.IdleSeconds * 1000000);
        return;
    }
    ServiceLog(because + ": covering (drawing program " + std::to_string(run.Child.Pid) + ")");
    SetScreenSaverActive(run.Service, true, now);
}

void EndCover(Run& run, const std::string& because) {
    if (run.Child.Pid <= 0 || run.Child.TermSentAt >= 0) return;
    ServiceLog(because + ": ending the cover");
    EndCoverChild(run.Child, PacerNow());
}

// The drawing program has ended: why, in the log, and a fresh idle period.
bool ChildEnded(Run& run, int status, bool termSent) {
    const std::int64_t now = PacerNow();
    const bool well = CoverEndedWell(status, termSent);
    ServiceLog(std::string("the cover ") + (well ? "ended" : DescribeCoverEnd(status)) +
               (well ? "" : "; covering again after the next idle period"));
    CoverEnded(run.Decisions, !well, now, run.IdleSeconds * 1000000);
    SetScreenSaverActive(run.Service, false, now);
    // What the child's start cost the waiting process goes back to the system.
    malloc_trim(0);
    return Arm(run);
}

void FollowSettings(Run& run) {
    const std::int64_t seconds = IdleSecondsNow(run.Options);
    if (seconds == run.IdleSeconds) return;
    ServiceLog("the idle time is now " + Seconds(seconds) + " (settings file)");
    run.IdleSeconds = seconds;
    if (run.Child.Pid <= 0) Arm(run);
}

void HandleRequests(Run& run) {
    ScreenSaverService& service = run.Service;
    if (service.ActivityRequested) {
        service.ActivityRequested = false;
        EndCover(run, "an application reported activity");
        if (run.Child.Pid <= 0) Arm(run);
    }
    if (service.UncoverRequested) {
        service.UncoverRequested = false;
        EndCover(run, "an application asked for no cover");
    }
    if (service.CoverRequested) {
        service.CoverRequested = false;
        if (run.Child.Pid <= 0) StartCover(run, "an application asked for the screen saver");
    }
}

}  // namespace

std::string OwnProgramPath(const char* argv0) {
    char path[4096];
    const ssize_t length = readlink("/proc/self/exe", path, sizeof path - 1);
    if (length <= 0) return argv0;
    return std::string(path, static_cast<std::size_t>(length));
}

std::int64_t IdleSecondsNow(const IdleServiceOptions& options) {
    if (options.IdleSeconds > 0) return options.IdleSeconds;
    FileStore file;
    if (options.SettingsPath.empty() || !LoadFileStore(file, options.SettingsPath)) return DefaultIdleSeconds;
    return ReadStoredIdleTime(FileStoreInterface(file));
}

int RunIdleService(IdleSource& source, SessionBus* bus, const IdleServiceOptions& options) {
    Run run{source, bus, options, {}, {}, {}, {}, {}, {}, 0, {}};
    run.IdleSeconds = IdleSecondsNow(options);
    if (bus != nullptr) {
        StartScreenSaverService(run.Service, *bus);
        StartDesktopInhibitors(run.Desktop, *bus);
        StartDesktopLock(run.Lock, *bus);
    }
    if (options.IdleSeconds <= 0) StartSettingsWatch(run.Watch, options.SettingsPath);
    int result = 0;
    if (!Arm(run)) {
        ServiceLog(run.Error);
        result = 1;
    } else {
        ServiceLog("waiting for " + Seconds(run.IdleSeconds) + " without input (" + source.Name + ")" +
                   (bus == nullptr ? "; no session bus, so no application's inhibition is seen" : ""));
    }
    while (result == 0 && !EndSignalled()) {
        const std::int64_t now = PacerNow();
        int status = 0;
        const bool termSent = run.Child.TermSentAt >= 0;
        if (run.Child.Pid > 0 && CoverChildEnded(run.Child, &status) && !ChildEnded(run, status, termSent)) {
            ServiceLog(run.Error);
            result = 1;
            break;
        }
        if (run.Child.Pid > 0 && run.Child.TermSentAt >= 0 && now - run.Child.TermSentAt > EndGrace) {
            ServiceLog("the drawing program did not end when asked: killed");
            kill(run.Child.Pid, SIGKILL);
            run.Child.TermSentAt = now;
        }
        if (bus != nullptr) HandleRequests(run);

        IdleFacts facts;
        facts.Idle = source.Idle(source.Context);
        facts.Notices = source.Notices(source.Context);
        facts.Locked = run.Lock.Locked || (source.Locked != nullptr && source.Locked(source.Context));
        facts.CoverRunning = run.Child.Pid > 0;
        facts.Now = now;
        std::string why;
        // The desktop is asked only when it matters: a notice to act on, or
        // a held-off period that may be free now.
        const bool fresh = facts.Idle && facts.Notices != run.Decisions.NoticesTaken;
        if (!facts.CoverRunning && (fresh || run.Decisions.HeldOff)) facts.Inhibited = HeldOff(run, &why);
        const bool wasHeldOff = run.Decisions.HeldOff;
        switch (NextIdleStep(run.Decisions, facts)) {
        case IdleStep::Cover:
            StartCover(run, "idle for " + Seconds(run.IdleSeconds));
            break;
        case IdleStep::Uncover:
            EndCover(run, facts.Locked ? "the desktop locked" : "the seat is active again");
            break;
        case IdleStep::Rearm:
            ServiceLog("nothing holds the cover off now: it comes after " + Seconds(run.IdleSeconds) +
                       " more without input");
            if (!Arm(run)) {
                ServiceLog(run.Error);
                result = 1;
            }
            break;
        case IdleStep::Wait:
            if (run.Decisions.HeldOff && !wasHeldOff)
                ServiceLog("idle for " + Seconds(run.IdleSeconds) + ", but " +
                           (facts.Locked ? std::string("the desktop is locked") : "held off by " + why));
            break;
        }
        if (result != 0 || EndSignalled()) break;

        // The one wait: the end signals, the source, the bus, the drawing
        // program's end and the settings file.
        constexpr int Room = 32;
        pollfd fds[Room];
        int count = 0;
        int timeoutMs = -1;
        const int endFd = EndSignalFd();
        if (endFd >= 0) fds[count++] = pollfd{endFd, POLLIN, 0};
        const int sourceAt = count;
        count += source.Prepare(source.Context, fds + count, Room - count, &timeoutMs);
        const int sourceCount = count - sourceAt;
        const int childAt = count;
        count += PrepareCoverChild(run.Child, fds + count, Room - count, &timeoutMs);
        const int watchAt = count;
        count += PrepareSettingsWatch(run.Watch, fds + count, Room - count);
        const int watchCount = count - watchAt;
        const int busAt = count;
        int busCount = 0;
        if (bus != nullptr) {
            busCount = PrepareSessionBus(*bus, fds + count, Room - count, &timeoutMs);
            count += busCount;
        }
        auto lower = [&timeoutMs](std::int64_t micros) {
            const int ms = static_cast<int>(micros > 0 ? (micros + 999) / 1000 : 0);
            if (timeoutMs < 0 || ms < timeoutMs) timeoutMs = ms;
        };
        if (run.Decisions.HeldOff) lower(HeldOffRecheckMs * 1000);
        if (run.Decisions.NoCoverBefore > now) lower(run.Decisions.NoCoverBefore - now);
        if (run.Child.TermSentAt >= 0) lower(run.Child.TermSentAt + EndGrace - now + 1000);
        poll(fds, static_cast<nfds_t>(count), timeoutMs);
        (void)childAt;
        if (bus != nullptr) DispatchSessionBus(*bus, fds + busAt, busCount);
        if (!source.Dispatch(source.Context, fds + sourceAt, sourceCount, &run.Error)) {
            ServiceLog(run.Error);
            result = 1;
        }
        if (SettingsWatchChanged(run.Watch, fds + watchAt, watchCount)) FollowSettings(run);
    }
    if (run.Child.Pid > 0) {
        ServiceLog(result == 0 ? "ending: the cover first" : "ending the cover");
        StopCoverChild(run.Child, EndGrace);
    }
    SetScreenSaverActive(run.Service, false, PacerNow());
    StopSettingsWatch(run.Watch);
    StopDesktopLock(run.Lock);
    StopDesktopInhibitors(run.Desktop);
    StopScreenSaverService(run.Service);
    return result;
}
