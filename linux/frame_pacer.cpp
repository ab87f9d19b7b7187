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
    return elapsed >= pacer.Delay ? 0 : pacer.Delay - elapsed;
}

void FrameStarted(FramePacer& pacer, std::int64_t now) {
    pacer.LastStart = now;
    pacer.Started = true;
}

int SwapIntervalFor(double refreshHz, std::int64_t delay) {
    if (refreshHz <= 61.0 || delay <= 0) return 1;
    const double refreshes = refreshHz * static_cast<double>(delay) * 1e-6 + 0.05;
    return refreshes < 1.0 ? 1 : static_cast<int>(refreshes);
}
