// What the idle service does next, from what it knows now: plain decisions
// over plain facts, the same for every kind of session, so that they can be
// worked through with made-up facts.
//
// A cover starts on an idle notice that nothing holds off; it ends when the
// seat is active again or the desktop locks (then its lock screen is what
// shows). An idle notice that comes while an application inhibits idleness
// is not forgotten: when the inhibition ends, the idle period is timed again
// from then. After a cover that ended badly (the drawing program crashed or
// was killed) no cover starts again before a whole idle period has passed.
#pragma once

#include <cstdint>

struct IdleFacts {
    bool Idle = false;          // the session's idle source: idle since its last notice
    unsigned Notices = 0;       // its idle notices so far
    bool Inhibited = false;     // an application holds the cover off
    bool Locked = false;        // the desktop's locker shows
    bool CoverRunning = false;  // a drawing program covers the screens
    std::int64_t Now = 0;       // microseconds of a monotonic clock
};

// The loop's own memory between decisions.
struct IdleDecisions {
    unsigned NoticesTaken = 0;        // notices covered, or held off
    bool HeldOff = false;             // a notice came while inhibited (or locked)
    std::int64_t NoCoverBefore = 0;   // after a cover that ended badly
};

enum class IdleStep {
    Wait,     // nothing to do until something changes
    Cover,    // start the drawing program
    Uncover,  // end it
    Rearm,    // time a fresh idle period from now
};

IdleStep NextIdleStep(IdleDecisions& decisions, const IdleFacts& facts);

// Records that a cover ended: `badly` when the drawing program crashed or
// was killed. The service then times a fresh idle period (Rearm).
void CoverEnded(IdleDecisions& decisions, bool badly, std::int64_t now, std::int64_t idleMicros);
