// Shared set-up for the star-field tests: a zeroed field, the default saver
// values and a fixed seeding clock.
#pragma once

#include <cstdint>
#include <cstring>

#include <gtest/gtest.h>

#include "settings/saver_settings.h"
#include "sim/corona.h"
#include "sim/random.h"
#include "sim/seed_clock.h"
#include "sim/sim_arith.h"
#include "sim/star_field.h"

// The generator written out again, so that tests can say which draws they
// expect without going through the simulation's copy.
struct ReferenceRand {
    std::uint32_t State;
    int operator()() {
        State = State * 214013u + 2531011u;
        return static_cast<int>((State >> 16) & 0x7FFFu);
    }
};

inline std::int64_t SimTestTime = 0;
inline std::int64_t SimTestClock() { return SimTestTime; }

class SimTest : public ::testing::Test {
protected:
    SaverSettings s;

    void SetUp() override {
        std::memset(&StarField, 0, sizeof StarField);
        CoronaAngle = 0.0f;
        SetDefaultSaverValues(s);
        SimTestTime = 0;
        SeedClock = SimTestClock;
    }
    void TearDown() override { SeedClock = SystemCalendarTime; }
};

// The state after n draws from seed.
inline std::uint32_t StateAfter(std::uint32_t seed, int n) {
    ReferenceRand r{seed};
    for (int i = 0; i < n; ++i) r();
    return r.State;
}

// How many draws led from seed to the generator's present state (-1: none
// within limit).
inline int DrawsSince(std::uint32_t seed, int limit = 100000) {
    ReferenceRand r{seed};
    for (int n = 0; n <= limit; ++n) {
        if (r.State == MirrowenRandState()) return n;
        r();
    }
    return -1;
}

#define EXPECT_BITS(value, bits) EXPECT_EQ(FloatBits(value), static_cast<std::uint32_t>(bits)) << (value)
