// The idle service's decisions, worked through with made-up facts: when a
// cover starts and ends, an idle period held off by an application or the
// desktop's lock and timed anew once free, no cover soon after one that
// crashed; and the drawing program's command line.
#include <gtest/gtest.h>

#include "linux/idle_decisions.h"
#include "linux/cover_child.h"

namespace {

IdleFacts IdleNotice(unsigned notices) {
    IdleFacts facts;
    facts.Idle = true;
    facts.Notices = notices;
    facts.Now = 1000000;
    return facts;
}

}  // namespace

TEST(IdleDecisions, ANoticeCoversOnceAndInputOrTheLockEndsIt) {
    IdleDecisions decisions;
    IdleFacts facts = IdleNotice(1);
    EXPECT_EQ(NextIdleStep(decisions, facts), IdleStep::Cover);
    // The same notice covers once: after the cover it takes a new one.
    EXPECT_EQ(NextIdleStep(decisions, facts), IdleStep::Wait);
    facts.CoverRunning = true;
    EXPECT_EQ(NextIdleStep(decisions, facts), IdleStep::Wait);
    // An application inhibiting during a cover does not end it.
    facts.Inhibited = true;
    EXPECT_EQ(NextIdleStep(decisions, facts), IdleStep::Wait);
    facts.Locked = true;
    EXPECT_EQ(NextIdleStep(decisions, facts), IdleStep::Uncover);
    facts.Locked = false;
    facts.Idle = false;
    EXPECT_EQ(NextIdleStep(decisions, facts), IdleStep::Uncover);
    // Not idle, or no notice yet: nothing.
    EXPECT_EQ(NextIdleStep(decisions, IdleFacts{}), IdleStep::Wait);
}

TEST(IdleDecisions, AHeldOffNoticeIsTimedAnewOnceNothingHoldsItOff) {
    for (bool locked : {false, true}) {
        IdleDecisions decisions;
        IdleFacts facts = IdleNotice(3);
        (locked ? facts.Locked : facts.Inhibited) = true;
        EXPECT_EQ(NextIdleStep(decisions, facts), IdleStep::Wait);
        EXPECT_TRUE(decisions.HeldOff);
        EXPECT_EQ(NextIdleStep(decisions, facts), IdleStep::Wait);
        facts.Locked = facts.Inhibited = false;
        // Free: not a cover at once, but a fresh idle period from now.
        EXPECT_EQ(NextIdleStep(decisions, facts), IdleStep::Rearm);
        EXPECT_EQ(NextIdleStep(decisions, facts), IdleStep::Wait);
        facts.Notices = 4;
        EXPECT_EQ(NextIdleStep(decisions, facts), IdleStep::Cover);
    }
}

TEST(IdleDecisions, NoCoverWithinAnIdlePeriodOfOneThatCrashed) {
    IdleDecisions decisions;
    IdleFacts facts = IdleNotice(1);
    ASSERT_EQ(NextIdleStep(decisions, facts), IdleStep::Cover);
    CoverEnded(decisions, true, facts.Now, 5000000);
    facts.Notices = 2;
    facts.Now += 1000000;
    EXPECT_EQ(NextIdleStep(decisions, facts), IdleStep::Wait);
    facts.Now += 4000000;
    EXPECT_EQ(NextIdleStep(decisions, facts), IdleStep::Cover);
    // One that ended well holds nothing back.
    CoverEnded(decisions, false, facts.Now, 5000000);
    facts.Notices = 3;
    EXPECT_EQ(NextIdleStep(decisions, facts), IdleStep::Cover);
}

TEST(IdleDecisions, TheCoverIsThisProgramWithTheServicesOptionsLessIdle) {
    const char* argv[] = {"mirrowen", "--wayland", "--idle", "300", "-delay", "20000", "-preset", "2"};
    EXPECT_EQ(CoverCommandFor("/usr/bin/mirrowen", 8, argv, {"--wayland", "--cover"}),
              (std::vector<std::string>{"/usr/bin/mirrowen", "--wayland", "--cover", "-delay", "20000", "-preset", "2"}));
    const char* noNumber[] = {"mirrowen", "--idle", "-count", "40", "--wayland"};
    EXPECT_EQ(CoverCommandFor("/m", 5, noNumber, {"--wayland", "--cover"}),
              (std::vector<std::string>{"/m", "--wayland", "--cover", "-count", "40"}));
}
