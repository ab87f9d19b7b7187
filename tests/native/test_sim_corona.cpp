#include "test_sim_support.h"

TEST(SimCorona, LowersByOneTenthRoundedOncePerStep) {
    CoronaAngle = 0.0f;
    StepCoronaAngle();
    EXPECT_BITS(CoronaAngle, 0xBDCCCCCD);  // -0.1f
    for (int i = 1; i < 10; ++i) StepCoronaAngle();
    // Ten single-precision steps do not land on -1.0 exactly.
    EXPECT_BITS(CoronaAngle, 0xBF800001);
}

TEST(SimCorona, StopsTurningFromTwoToThe21st) {
    CoronaAngle = -2097152.0f;
    StepCoronaAngle();
    EXPECT_BITS(CoronaAngle, 0xCA000000);
    // Just short of it one step still rounds on to -2^21.
    CoronaAngle = FloatFromBits(0xC9FFFFFF);
    StepCoronaAngle();
    EXPECT_BITS(CoronaAngle, 0xCA000000);
}
