#include "linux/idle_decisions.h"

IdleStep NextIdleStep(IdleDecisions& decisions, const IdleFacts& facts) {
    if (facts.CoverRunning) return !facts.Idle || facts.Locked ? IdleStep::Uncover : IdleStep::Wait;
    if (decisions.HeldOff && !facts.Inhibited && !facts.Locked) {
        // The idle period counts from the moment nothing holds it off.
        decisions.HeldOff = false;
        return IdleStep::Rearm;
    }
    if (!facts.Idle || facts.Notices == decisions.NoticesTaken) return IdleStep::Wait;
    if (facts.Now < decisions.NoCoverBefore) return IdleStep::Wait;
    decisions.NoticesTaken = facts.Notices;
    if (facts.Inhibited || facts.Locked) {
        decisions.HeldOff = true;
        return IdleStep::Wait;
    }
    return IdleStep::Cover;
}

void CoverEnded(IdleDecisions& decisions, bool badly, std::int64_t now, std::int64_t idleMicros) {
    if (badly) decisions.NoCoverBefore = now + idleMicros;
}
