#include <vector>

#include "sim/star_update.h"
#include "test_sim_support.h"

namespace {

// A born star at rest with no decay or pulsation, for tests to adjust.
Star StillStar(float x, float y) {
    Star st = {};
    st.X = x;
    st.Y = y;
    st.Size = 1.0f;
    st.Pulse = 1.0f;
    return st;
}

}  // namespace

class SimUpdate : public SimTest {
protected:
    void SetUp() override {
        SimTest::SetUp();
        s.Gravity = 0;
        s.BounceBottom = 0;
        for (int i = 0; i < MaxOrigins; ++i) {
            StarField.OriginX[i] = 100.0f * (i + 1);
            StarField.OriginY[i] = 10.0f * (i + 1);
        }
    }
    // One live slot holding st; returns it after one update.
    Star UpdateOne(const Star& st) {
        StarField.Count = 1;
        StarField.Stars[0] = st;
        UpdateStars(s);
        return StarField.Stars[0];
    }
};

TEST_F(SimUpdate, NoLiveSlotsStillDrawsTheFirstOrigin) {
    for (int origins : {1, 4}) {
        s.Origins = origins;
        StarField.Count = 0;
        MirrowenSrand(123);
        UpdateStars(s);
        EXPECT_EQ(DrawsSince(123), 1);
    }
}

TEST_F(SimUpdate, RebirthsGoRoundTheOriginsFromTheDrawnOne) {
    // Seed 1 draws 41 (41 % 3 = 2), then 18467 and 6334 for the first birth.
    MirrowenSrand(1);
    s.Origins = 3;
    StarField.Count = 6;
    for (int j = 0; j < 6; ++j) {
        StarField.Stars[j] = StillStar(5.0f, 5.0f);
        StarField.Stars[j].Size = 0.001f;
        StarField.Stars[j].Decay = j == 3 ? 0.0f : -0.001f;  // slot 3 lives on
    }
    UpdateStars(s);
    const int expected[6] = {2, 0, 1, -1, 2, 0};
    for (int j = 0; j < 6; ++j) {
        SCOPED_TRACE(j);
        const Star& st = StarField.Stars[j];
        if (expected[j] < 0) {
            EXPECT_EQ(st.X, 5.0f);
            continue;
        }
        EXPECT_EQ(st.X, StarField.OriginX[expected[j]]);
        EXPECT_EQ(st.Y, StarField.OriginY[expected[j]]);
        EXPECT_EQ(st.Size, 1.0f);
    }
    // StarVel 4: (n % 32 - 16) / 30 as n / 30 rounded once.
    EXPECT_BITS(StarField.Stars[0].VelX, 0xBEDDDDDF);  // 18467 % 32 = 3: -13/30
    EXPECT_BITS(StarField.Stars[0].VelY, 0x3EEEEEF0);  // 6334 % 32 = 30: 14/30
    EXPECT_EQ(DrawsSince(1), 1 + 2 * 5);
}

TEST_F(SimUpdate, OneOriginAndNoStarVel) {
    MirrowenSrand(9);
    s.Origins = 1;
    s.StarVel = 0;
    StarField.Count = 3;
    for (int j = 0; j < 3; ++j) {
        StarField.Stars[j] = StillStar(5.0f, 5.0f);
        StarField.Stars[j].VelX = 2.0f;
        StarField.Stars[j].VelY = 2.0f;
        StarField.Stars[j].Decay = -1.0f;
    }
    UpdateStars(s);
    for (int j = 0; j < 3; ++j) {
        EXPECT_EQ(StarField.Stars[j].X, 100.0f);
        EXPECT_EQ(StarField.Stars[j].Y, 10.0f);
        EXPECT_BITS(StarField.Stars[j].VelX, 0);
        EXPECT_BITS(StarField.Stars[j].VelY, 0);
    }
    EXPECT_EQ(DrawsSince(9), 1);
    // Without gravity a reborn star with no velocity stays where it was born.
    StarField.Stars[0].Decay = -0.01f;
    for (int frame = 0; frame < 50; ++frame) UpdateStars(s);
    EXPECT_EQ(StarField.Stars[0].X, 100.0f);
    EXPECT_EQ(StarField.Stars[0].Y, 10.0f);
}

TEST_F(SimUpdate, BirthVelocitySpanForEveryStarVel) {
    s.Origins = 1;
    StarField.Count = 2000;
    for (int starVel : {1, 4, 30}) {
        SCOPED_TRACE(starVel);
        s.StarVel = starVel;
        float low = 1e9f, high = -1e9f;
        for (int frame = 0; frame < 20; ++frame) {
            for (int j = 0; j < 2000; ++j) StarField.Stars[j].Size = 0.0f;
            UpdateStars(s);
            for (int j = 0; j < 2000; ++j) {
                const float v = StarField.Stars[j].VelX;
                low = v < low ? v : low;
                high = v > high ? v : high;
                // Every velocity is a whole number of thirtieths.
                const double n = v * 30.0;
                ASSERT_NEAR(n, static_cast<double>(static_cast<long>(n + (n < 0 ? -0.5 : 0.5))), 1e-4);
            }
        }
        EXPECT_EQ(low, static_cast<float>(-4 * starVel * static_cast<double>(0.033333335f)));
        EXPECT_EQ(high, static_cast<float>((4 * starVel - 1) * static_cast<double>(0.033333335f)));
    }
}

TEST_F(SimUpdate, DecayPulsationAndTheirReversals) {
    Star st = StillStar(5.0f, 5.0f);
    st.Decay = -0.25f;
    st.Pulse = 0.25f;
    st.PulseRate = -0.5f;
    st = UpdateOne(st);
    EXPECT_EQ(st.Size, 0.75f);
    EXPECT_EQ(st.Pulse, 0.0f);
    EXPECT_EQ(st.PulseRate, 0.5f);

    st.Pulse = 0.75f;  // to 1.25: back to 1, turned down
    st = UpdateOne(st);
    EXPECT_EQ(st.Pulse, 1.0f);
    EXPECT_EQ(st.PulseRate, -0.5f);

    // Landing exactly on 0 or 1 turns nothing.
    st.Pulse = 0.5f;
    st = UpdateOne(st);
    EXPECT_EQ(st.Pulse, 0.0f);
    EXPECT_EQ(st.PulseRate, -0.5f);
    st.Pulse = 0.5f;
    st.PulseRate = 0.5f;
    st = UpdateOne(st);
    EXPECT_EQ(st.Pulse, 1.0f);
    EXPECT_EQ(st.PulseRate, 0.5f);

    st.PulseRate = 0.0f;
    for (int i = 0; i < 2; ++i) st = UpdateOne(st);
    EXPECT_EQ(st.Pulse, 1.0f);
}

TEST_F(SimUpdate, MotionUsesTheOldVelocityThenGravity) {
    Star st = StillStar(10.0f, 300.0f);
    st.VelX = 1.5f;
    st.VelY = 0.1f;
    st.Spin = -3.0f;
    st.Angle = 1.0f;
    st.Decay = -0.001f;
    s.Gravity = 3;
    st = UpdateOne(st);
    EXPECT_EQ(st.X, 11.5f);
    EXPECT_EQ(st.Y, static_cast<float>(300.0 + static_cast<double>(0.1f)));
    EXPECT_EQ(st.Angle, -2.0f);
    EXPECT_BITS(st.VelY, 0x3D800000);  // 0.1 - 3 * 0.0125

    // A case where rounding the gravity term on its own would differ.
    st.VelY = FloatFromBits(0xBE27F37B);  // -0.16401474
    s.Gravity = -3;
    st = UpdateOne(st);
    EXPECT_BITS(st.VelY, 0xBE018D15);
}

TEST_F(SimUpdate, UnbornSlotsNeitherMoveNorTurn) {
    Star st = StillStar(5.0f, UnbornY);
    st.VelX = 3.0f;
    st.VelY = 3.0f;
    st.Spin = 2.0f;
    st.Angle = 45.0f;
    st.Decay = -0.25f;
    st.Pulse = 0.5f;
    st.PulseRate = 0.125f;
    s.Gravity = 5;
    s.BounceBottom = 1;
    st = UpdateOne(st);
    EXPECT_EQ(st.X, 5.0f);
    EXPECT_BITS(st.Y, UnbornYBits);
    EXPECT_EQ(st.VelX, 3.0f);
    EXPECT_EQ(st.VelY, 3.0f);
    EXPECT_EQ(st.Angle, 45.0f);
    EXPECT_EQ(st.Size, 0.75f);
    EXPECT_EQ(st.Pulse, 0.625f);
}

TEST_F(SimUpdate, AStarFallingOntoMinus9999CountsAsUnborn) {
    Star st = StillStar(5.0f, -9998.5f);
    st.VelY = -0.5f;
    st.Decay = -0.25f;
    st.Spin = 1.0f;
    st = UpdateOne(st);
    EXPECT_BITS(st.Y, UnbornYBits);
    st = UpdateOne(st);  // frozen now
    EXPECT_BITS(st.Y, UnbornYBits);
    EXPECT_EQ(st.Angle, 2.0f - 1.0f);
    EXPECT_EQ(st.Size, 0.5f);
    st = UpdateOne(st);
    st = UpdateOne(st);  // size runs out: born again at origin 0
    EXPECT_EQ(st.X, 100.0f);
    EXPECT_EQ(st.Y, 10.0f);
}

TEST_F(SimUpdate, BottomBounceAtMinusSize) {
    s.BounceBottom = 1;
    Star st = StillStar(5.0f, 1.0f);
    st.Size = 0.5f;
    st.VelY = -1.5f;  // lands exactly on -Size
    st = UpdateOne(st);
    EXPECT_EQ(st.Y, 0.0f);
    EXPECT_EQ(st.VelY, 0.75f);

    st = StillStar(5.0f, 1.0f);
    st.Size = 0.5f;
    st.VelY = -1.25f;  // -0.25: still above -Size
    st = UpdateOne(st);
    EXPECT_EQ(st.Y, -0.25f);
    EXPECT_EQ(st.VelY, -1.25f);

    s.BounceBottom = 0;
    st.VelY = -10.0f;
    st = UpdateOne(st);
    EXPECT_EQ(st.Y, -10.25f);  // off, and not reborn for it
    EXPECT_EQ(st.VelY, -10.0f);
}

TEST_F(SimUpdate, BottomBounceSkipsWithEverSmallerHops) {
    s.BounceBottom = 1;
    s.Gravity = 5;
    Star st = StillStar(5.0f, 50.0f);
    st.Decay = -0.0001f;
    std::vector<float> peaks;
    float peak = 0.0f;
    for (int frame = 0; frame < 3000; ++frame) {
        const float before = st.VelY;
        st = UpdateOne(st);
        ASSERT_GE(st.Y + st.Size, 0.0f);
        peak = st.Y > peak ? st.Y : peak;
        if (st.Y == 0.0f && st.VelY > 0.0f && before < 0.0f) {
            peaks.push_back(peak);
            peak = 0.0f;
        }
    }
    ASSERT_GT(peaks.size(), 5u);
    EXPECT_EQ(peaks.front(), 50.0f);
    EXPECT_LT(peaks[3], peaks[0] / 4);
    EXPECT_LT(peaks.back(), 1.0f);
}

TEST_F(SimUpdate, TopBounceAt480) {
    s.BounceTop = 1;
    Star st = StillStar(5.0f, 479.0f);
    st.VelY = 1.0f;
    st = UpdateOne(st);
    EXPECT_EQ(st.Y, 480.0f);
    EXPECT_EQ(st.VelY, -0.5f);

    st = StillStar(5.0f, 478.0f);
    st.VelY = FloatFromBits(0x3F7FFFFF);  // just short of 480
    st = UpdateOne(st);
    EXPECT_LT(st.Y, 480.0f);
    EXPECT_EQ(FloatBits(st.VelY), 0x3F7FFFFFu);

    // Rising stars gather along the top.
    s.Gravity = -2;
    st = StillStar(5.0f, 400.0f);
    st.Decay = -0.001f;
    for (int frame = 0; frame < 400; ++frame) st = UpdateOne(st);
    EXPECT_GT(st.Y, 479.0f);
    EXPECT_LE(st.Y, 480.0f);
}

TEST_F(SimUpdate, SideBouncesAtTheirBounds) {
    s.BounceSides = 1;
    Star st = StillStar(638.0f, 100.0f);
    st.Size = 0.5f;
    st.VelX = 1.5f;  // X + Size reaches 640 exactly
    st = UpdateOne(st);
    EXPECT_EQ(st.X, 639.5f);
    EXPECT_EQ(st.VelX, -0.75f);

    st = StillStar(2.0f, 100.0f);
    st.VelX = -2.0f;  // X reaches 0 exactly
    st = UpdateOne(st);
    EXPECT_BITS(st.X, 0);
    EXPECT_EQ(st.VelX, 1.0f);

    st = StillStar(2.0f, 100.0f);
    st.VelX = -1.75f;
    st = UpdateOne(st);
    EXPECT_EQ(st.X, 0.25f);
    EXPECT_EQ(st.VelX, -1.75f);
}

TEST_F(SimUpdate, RightBoundIsJudgedOnTheUnroundedSum) {
    // 639.99994 + 0.00004 is below 640, though a single-precision sum would
    // round it up to 640. With no velocity only the sign of VelX shows a bounce.
    s.BounceSides = 1;
    Star st = StillStar(FloatFromBits(0x441FFFFF), 100.0f);
    st.Size = 0.00004f;
    st = UpdateOne(st);
    EXPECT_BITS(st.VelX, 0x00000000);
    st.X = 640.0f;
    st = UpdateOne(st);
    EXPECT_BITS(st.VelX, 0x80000000);  // bounced: -(0 * 0.5)
}

TEST_F(SimUpdate, LeavingSidewaysIsARebirthOnlyBeyondTheEdges) {
    for (float x : {0.0f, 640.0f, 320.0f}) {
        const Star st = UpdateOne(StillStar(x, 100.0f));
        EXPECT_EQ(st.X, x);
        EXPECT_EQ(st.Y, 100.0f);
    }
    for (std::uint32_t bits : {0x80000001u, 0x44200001u, 0xBF800000u, 0x7FC00000u}) {  // -tiny, above 640, -1, NaN
        const Star st = UpdateOne(StillStar(FloatFromBits(bits), 100.0f));
        EXPECT_EQ(st.X, 100.0f) << std::hex << bits;
        EXPECT_EQ(st.Y, 10.0f);
    }
    // Y plays no part.
    const Star st = UpdateOne(StillStar(5.0f, -5000.0f));
    EXPECT_EQ(st.Y, -5000.0f);
}

TEST_F(SimUpdate, RebirthKeepsTheSlotsCharacter) {
    Star st = StillStar(5.0f, 5.0f);
    st.Size = 0.001f;
    st.Decay = -0.002f;
    st.Angle = 33.0f;
    st.Spin = -4.0f;
    st.PulseRate = 0.125f;
    st.Pulse = 0.25f;
    st.Red = 0.5f;
    st.Green = 0.25f;
    st.Blue = 0.125f;
    st = UpdateOne(st);
    EXPECT_EQ(st.X, 100.0f);
    EXPECT_EQ(st.Size, 1.0f);
    EXPECT_EQ(st.Pulse, 1.0f);
    EXPECT_EQ(st.Angle, 29.0f);  // turned in this frame, before it died
    EXPECT_EQ(st.Spin, -4.0f);
    EXPECT_EQ(st.Decay, -0.002f);
    EXPECT_EQ(st.PulseRate, 0.125f);
    EXPECT_EQ(st.Red, 0.5f);
    EXPECT_EQ(st.Green, 0.25f);
    EXPECT_EQ(st.Blue, 0.125f);
    // Next frame the positive rate is pushed back from above 1 and turned.
    st = UpdateOne(st);
    EXPECT_EQ(st.Pulse, 1.0f);
    EXPECT_EQ(st.PulseRate, -0.125f);
}

TEST_F(SimUpdate, OutOfRangeOriginsAndCountStayInsideTheField) {
    // Below 1 every birth is at origin 0; above 4 the births use all four.
    for (int origins : {0, -3, 9}) {
        SCOPED_TRACE(origins);
        s.Origins = origins;
        StarField.Count = MaxStars + 50;
        for (int j = 0; j < MaxStars; ++j) StarField.Stars[j] = StillStar(-1.0f, 5.0f);
        UpdateStars(s);
        bool used[MaxOrigins] = {};
        for (int j = 0; j < MaxStars; ++j) {
            const float x = StarField.Stars[j].X;
            ASSERT_TRUE(x == 100.0f || x == 200.0f || x == 300.0f || x == 400.0f) << j;
            used[static_cast<int>(x / 100.0f) - 1] = true;
        }
        for (int i = 0; i < MaxOrigins; ++i) EXPECT_EQ(used[i], origins > 1 || i == 0) << i;
    }
}
