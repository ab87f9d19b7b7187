#include "test_sim_support.h"

namespace {
// Read while the program starts, before any test has seeded the generator.
const std::uint32_t StateBeforeAnySeed = MirrowenRandState();
}  // namespace

TEST(SimRandom, StateIsOneBeforeTheFirstSeed) { EXPECT_EQ(StateBeforeAnySeed, 1u); }

TEST(SimRandom, SequenceFromSeedOne) {
    MirrowenSrand(1);
    const int expected[5] = {41, 18467, 6334, 26500, 19169};
    for (int value : expected) EXPECT_EQ(MirrowenRand(), value);
}

TEST(SimRandom, StateWrapsModulo2To32AndResultIsBits16To30) {
    MirrowenSrand(0xFFFFFFFFu);
    // 0xFFFFFFFF * 214013 + 2531011 = 2531011 - 214013 (mod 2^32) = 0x00235AC6.
    EXPECT_EQ(MirrowenRand(), 0x23);
    EXPECT_EQ(MirrowenRandState(), 0x00235AC6u);
    // Bit 31 of the state never reaches the result.
    MirrowenSrand(0x7FFFFFFFu);
    for (int i = 0; i < 1000; ++i) {
        const int v = MirrowenRand();
        ASSERT_GE(v, 0);
        ASSERT_LE(v, 32767);
        ASSERT_EQ(static_cast<std::uint32_t>(v), (MirrowenRandState() >> 16) & 0x7FFFu);
    }
}

TEST(SimRandom, SeedSetsTheStateItself) {
    MirrowenSrand(1000000000u);
    EXPECT_EQ(MirrowenRandState(), 1000000000u);
}
