#include <vector>

#include "sim/origins.h"
#include "test_sim_support.h"

namespace {

struct ClampEvent {
    int Step;
    int Origin;
    char Axis;
    float Bound;
};

// Runs single steps and records every clamp: a clamped axis ends its step on
// the bound with velocity exactly zero, which the pull never leaves.
std::vector<ClampEvent> RunAndRecordClamps(int steps) {
    std::vector<ClampEvent> events;
    for (int step = 1; step <= steps; ++step) {
        MoveOrigins(1);
        for (int i = 0; i < MaxOrigins; ++i) {
            const float x = StarField.OriginX[i];
            const float y = StarField.OriginY[i];
            if ((x == 50.0f || x == 590.0f) && StarField.OriginVelX[i] == 0.0f)
                events.push_back({step, i, 'x', x});
            if ((y == 30.0f || y == 450.0f) && StarField.OriginVelY[i] == 0.0f)
                events.push_back({step, i, 'y', y});
        }
    }
    return events;
}

void PlaceOrigin(int i, float x, float y, float vx, float vy) {
    StarField.OriginX[i] = x;
    StarField.OriginY[i] = y;
    StarField.OriginVelX[i] = vx;
    StarField.OriginVelY[i] = vy;
}

}  // namespace

using SimOrigins = SimTest;

TEST_F(SimOrigins, ResetAt640x480GivesTheFourDiagonalVelocities) {
    ResetOrigins(640, 480);
    const std::uint32_t vx[4] = {0x42A00000, 0xC28E38E4, 0x42800000, 0xC268BA2F};  // 80, -71.111115, 64, -58.18182
    const std::uint32_t vy[4] = {0x42700000, 0x42555555, 0xC2400000, 0xC22E8BA3};  // 60, 53.333332, -48, -43.636364
    for (int i = 0; i < MaxOrigins; ++i) {
        EXPECT_BITS(StarField.OriginX[i], 0x43A00000);  // 320
        EXPECT_BITS(StarField.OriginY[i], 0x43700000);  // 240
        EXPECT_BITS(StarField.OriginVelX[i], vx[i]);
        EXPECT_BITS(StarField.OriginVelY[i], vy[i]);
    }
}

TEST_F(SimOrigins, OneStepFromTheCentre) {
    ResetOrigins(640, 480);
    MoveOrigins(1);
    EXPECT_BITS(StarField.OriginX[0], 0x43A15555);     // 322.66666
    EXPECT_BITS(StarField.OriginY[0], 0x43720000);     // 242.0
    EXPECT_BITS(StarField.OriginVelX[0], 0x429F6666);  // 79.7
    EXPECT_BITS(StarField.OriginVelY[0], 0x426ECCCD);  // 59.7
}

TEST_F(SimOrigins, AdvanceIsRoundedOnceNotTwice) {
    // 398.89426 + 60.020596 / 30: rounding the product to single precision
    // first would end one unit in the last place higher.
    PlaceOrigin(0, FloatFromBits(0x43C77277), 200.0f, FloatFromBits(0x42701517), 0.0f);
    MoveOrigins(1);
    EXPECT_BITS(StarField.OriginX[0], 0x43C8728D);
}

TEST_F(SimOrigins, NoStepsLeaveEverythingAsItIs) {
    ResetOrigins(800, 600);
    MoveOrigins(3);
    const StarFieldState before = StarField;
    MoveOrigins(0);
    MoveOrigins(-1);
    MoveOrigins(-2147483647 - 1);
    EXPECT_EQ(std::memcmp(&before, &StarField, sizeof StarField), 0);
}

TEST_F(SimOrigins, ExactlyOnTheCentreIsPulledUpward) {
    PlaceOrigin(0, 320.0f, 240.0f, 0.0f, 0.0f);
    PlaceOrigin(1, FloatFromBits(0x43A00001), FloatFromBits(0x43700001), 0.0f, 0.0f);  // just past
    MoveOrigins(1);
    EXPECT_BITS(StarField.OriginVelX[0], 0x3E99999A);  // +0.3
    EXPECT_BITS(StarField.OriginVelY[0], 0x3E99999A);
    EXPECT_BITS(StarField.OriginVelX[1], 0xBE99999A);  // -0.3
    EXPECT_BITS(StarField.OriginVelY[1], 0xBE99999A);
}

TEST_F(SimOrigins, MarginsThemselvesAreInsideJustBeyondIsClamped) {
    PlaceOrigin(0, 50.0f, 30.0f, 0.0f, 0.0f);
    PlaceOrigin(1, 590.0f, 450.0f, 0.0f, 0.0f);
    PlaceOrigin(2, FloatFromBits(0x4247FFFF), FloatFromBits(0x41EFFFFF), 0.0f, 0.0f);  // below 50, 30
    PlaceOrigin(3, FloatFromBits(0x44138001), FloatFromBits(0x43E10001), 0.0f, 0.0f);  // above 590, 450
    MoveOrigins(1);
    EXPECT_EQ(StarField.OriginX[0], 50.0f);
    EXPECT_EQ(StarField.OriginY[0], 30.0f);
    EXPECT_BITS(StarField.OriginVelX[0], 0x3E99999A);
    EXPECT_BITS(StarField.OriginVelY[0], 0x3E99999A);
    EXPECT_EQ(StarField.OriginX[1], 590.0f);
    EXPECT_EQ(StarField.OriginY[1], 450.0f);
    EXPECT_BITS(StarField.OriginVelX[1], 0xBE99999A);
    EXPECT_BITS(StarField.OriginVelY[1], 0xBE99999A);
    for (int i = 2; i < 4; ++i) {
        EXPECT_EQ(StarField.OriginX[i], i == 2 ? 50.0f : 590.0f);
        EXPECT_EQ(StarField.OriginY[i], i == 2 ? 30.0f : 450.0f);
        EXPECT_BITS(StarField.OriginVelX[i], 0);
        EXPECT_BITS(StarField.OriginVelY[i], 0);
    }
}

TEST_F(SimOrigins, At640x480OnlyTheFirstSwingIsClamped) {
    ResetOrigins(640, 480);
    const std::vector<ClampEvent> events = RunAndRecordClamps(300000);
    ASSERT_EQ(events.size(), 2u);
    EXPECT_EQ(events[0].Origin + events[1].Origin, 1);
    for (const ClampEvent& e : events) {
        EXPECT_EQ(e.Axis, 'x');
        EXPECT_EQ(e.Bound, e.Origin == 0 ? 590.0f : 50.0f);
        EXPECT_LT(e.Step, 1000);
    }
}

TEST_F(SimOrigins, LargerScreensStartOffCentreAndMeetTheYClamps) {
    const int sizes[2][2] = {{800, 600}, {1024, 768}};
    for (const auto& size : sizes) {
        SCOPED_TRACE(size[0]);
        ResetOrigins(size[0], size[1]);
        EXPECT_EQ(StarField.OriginX[3], size[0] * 0.5f);
        EXPECT_EQ(StarField.OriginY[3], size[1] * 0.5f);
        EXPECT_EQ(StarField.OriginVelX[0], size[0] * 0.125f);
        EXPECT_EQ(StarField.OriginVelY[2], static_cast<float>(size[1] * static_cast<double>(-0.1f)));

        const std::vector<ClampEvent> events = RunAndRecordClamps(100000);
        for (int i = 0; i < MaxOrigins; ++i) {
            SCOPED_TRACE(i);
            int xClamps = 0, low = 0, high = 0, firstX = -1;
            for (const ClampEvent& e : events) {
                if (e.Origin != i) continue;
                if (e.Axis == 'x') {
                    ++xClamps;
                    firstX = e.Step;
                } else {
                    (e.Bound == 30.0f ? low : high) += 1;
                }
            }
            EXPECT_EQ(xClamps, 1);
            // On the first swing (origin 1 may meet y = 450 just before it).
            EXPECT_LT(firstX, 1000);
            EXPECT_GT(low, 10);
            EXPECT_GT(high, 10);
        }
    }
}

TEST_F(SimOrigins, At1280x1024AllFourMeetInTheCornerAndMoveAsOne) {
    ResetOrigins(1280, 1024);
    EXPECT_EQ(StarField.OriginX[0], 640.0f);
    EXPECT_EQ(StarField.OriginY[0], 512.0f);
    MoveOrigins(1);
    for (int i = 0; i < MaxOrigins; ++i) {
        EXPECT_EQ(StarField.OriginX[i], 590.0f);
        EXPECT_EQ(StarField.OriginY[i], 450.0f);
        EXPECT_BITS(StarField.OriginVelX[i], 0);
        EXPECT_BITS(StarField.OriginVelY[i], 0);
    }
    for (int step = 0; step < 20000; ++step) {
        MoveOrigins(1);
        for (int i = 1; i < MaxOrigins; ++i) {
            ASSERT_EQ(FloatBits(StarField.OriginX[i]), FloatBits(StarField.OriginX[0]));
            ASSERT_EQ(FloatBits(StarField.OriginY[i]), FloatBits(StarField.OriginY[0]));
            ASSERT_EQ(FloatBits(StarField.OriginVelX[i]), FloatBits(StarField.OriginVelX[0]));
            ASSERT_EQ(FloatBits(StarField.OriginVelY[i]), FloatBits(StarField.OriginVelY[0]));
        }
    }
}

TEST_F(SimOrigins, SeveralStepsEqualAsManySingleSteps) {
    ResetOrigins(1024, 768);
    MoveOrigins(10);
    const StarFieldState tenAtOnce = StarField;
    ResetOrigins(1024, 768);
    for (int i = 0; i < 10; ++i) MoveOrigins(1);
    EXPECT_EQ(std::memcmp(&tenAtOnce, &StarField, sizeof StarField), 0);
}
