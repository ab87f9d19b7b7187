#include "linux/frame_pacer.h"

#include <chrono>

std::int64_t PacerNow() {
    const auto since = std::chrono::steady_clock::now().time_since_epoch();
    return std::chrono::duration_cast<std::chrono::microseconds>(since).count();
}

std::int64_t TimeUntilNextFrame(const FramePacer& pacer, std::int64_t now) {
    if (!pacer.Started || pacer.Delay <= 0) return 0;
    const std::int64_t elapsed = now - pacer.LastStart;
    // A clock that seems to run backwards (it cannot, but a caller's times
    // might) waits one delay at most.
    if (elapsed < 0) return pacer.Delay;
    std::int64_t due = pacer.Delay;
    if (pacer.DisplayPeriod > 0) due = due > pacer.DisplayPeriod / 2 ? due - pacer.DisplayPeriod / 2 : 0;
    return elapsed >= due ? 0 : due - elapsed;
}

void FrameStarted(FramePacer& pacer, std::int64_t now) {
    pacer.LastStart = now;
    pacer.Started = true;
}

std::int64_t RefreshPeriod(double refreshHz) {
    return refreshHz > 1.0 ? static_cast<std::int64_t>(1e6 / refreshHz + 0.5) : 0;
}

int SwapIntervalFor(double refreshHz, std::int64_t delay) {
    if (refreshHz <= 61.0 || delay <= 0) return 1;
    const double refreshes = refreshHz * static_cast<double>(delay) * 1e-6 + 0.05;
    return refreshes < 1.0 ? 1 : static_cast<int>(refreshes);
}
