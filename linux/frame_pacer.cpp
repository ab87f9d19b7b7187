#include "linux/frame_pacer.h"

#include <chrono>

std::int64_t PacerNow() {
    const auto since = std::chrono::steady_clock::now().time_since_epoch();
    return std::chrono::duration_cast<std::chrono::microseconds>(since).count();
}

std::int64_t WholeDisplayPeriods(const FramePacer& pacer) {
    const std::int64_t period = pacer.DisplayPeriod;
    const std::int64_t delay = pacer.Delay;
    if (period <= 0 || delay <= 0) return 0;
    if (delay * 100 <= period * 102) return 1;
    const std::int64_t n = (delay + period / 2) / period;
    const std::int64_t off = delay > n * period ? delay - n * period : n * period - delay;
    return off * 100 <= delay * 2 ? n : 0;
}

std::int64_t TimeUntilNextFrame(const FramePacer& pacer, std::int64_t now) {
    if (!pacer.Started || pacer.Delay <= 0) return 0;
    // A clock that seems to run backwards (it cannot, but a caller's times
    // might) waits one delay at most.
    if (now < pacer.LastStart) return pacer.Delay;
    const std::int64_t due =
        pacer.DisplayPeriod > 0 ? pacer.Scheduled - pacer.DisplayPeriod / 2 : pacer.LastStart + pacer.Delay;
    return now >= due ? 0 : due - now;
}

void FrameStarted(FramePacer& pacer, std::int64_t now) {
    const std::int64_t period = pacer.DisplayPeriod;
    if (period > 0 && pacer.Delay > 0) {
        const std::int64_t whole = WholeDisplayPeriods(pacer);
        // A frame a refresh is due a little early each time (1/64 of a
        // refresh): a display that waits holds it back to its refresh, so a
        // panel a little faster than its stated rate never leaves one shown
        // twice; where the swap waits for nothing, 1.6 % more frames.
        const std::int64_t step = whole == 1 ? period - period / 64 : whole > 0 ? whole * period : pacer.Delay;
        // Late for its refresh (held back by the display, a stall, a slow
        // frame): the schedule starts again here.
        const bool late = now >= pacer.Scheduled + period / 2;
        pacer.Scheduled = !pacer.Started || late || now < pacer.LastStart ? now + step : pacer.Scheduled + step;
    }
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
