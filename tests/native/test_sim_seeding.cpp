#include <vector>

#include "sim/colour_schemes.h"
#include "sim/origins.h"
#include "sim/star_seeding.h"
#include "sim/star_update.h"
#include "test_sim_support.h"

using SimSeeding = SimTest;

TEST_F(SimSeeding, FirstStarFollowsTheDrawOrderWithASpinRedraw) {
    // From seed 11 the eighth draw is 85, a spin of 0, so spin is drawn again.
    SimTestTime = 11;
    s.StarCount = 1;
    SeedStars(s);
    const Star& st = StarField.Stars[0];
    EXPECT_BITS(st.X, 0x42940000);          // 74 % 640
    EXPECT_BITS(st.Y, UnbornYBits);
    EXPECT_BITS(st.Red, 0x00000000);        // 27648 % 256 = 0
    EXPECT_BITS(st.Green, 0x3F100000);      // 144 / 256
    EXPECT_BITS(st.Blue, 0x3EFA0000);       // 125 / 256
    EXPECT_EQ(st.VelX, -3.0f);              // 24011 % 10 - 4
    EXPECT_EQ(st.VelY, -2.0f);              // 22223 % 10 - 5
    EXPECT_EQ(st.Angle, 114.0f);            // 9834 % 360
    EXPECT_EQ(st.Spin, 3.0f);               // 85 -> 0, redrawn: 28238 -> 3
    EXPECT_BITS(st.Size, 0x3F04DD30);       // 519 * 0.001
    EXPECT_BITS(st.Decay, 0xBB8C0CEA);      // -0.004 + (226 * 0.001 - 0.5) * 0.001
    EXPECT_EQ(st.Pulse, 1.0f);
    EXPECT_BITS(st.PulseRate, 0xBC3D238A);  // 785 / -68000
    // Twelve draws in all: the redraw took one more than the usual eleven.
    EXPECT_EQ(MirrowenRandState(), 0x6FA98167u);
    EXPECT_EQ(DrawsSince(11), 12);
}

TEST_F(SimSeeding, WritesCountAndSizeAndSeedsFromTheClock) {
    SimTestTime = 0x1234567890LL;  // only the low 32 bits reach the generator
    s.ScrWidth = 1024;
    s.ScrHeight = 768;
    s.StarCount = 2000;
    SeedStars(s);
    EXPECT_EQ(StarField.Count, 2000);
    EXPECT_EQ(StarField.SeedWidth, 1024);
    EXPECT_EQ(StarField.SeedHeight, 768);
    EXPECT_GT(DrawsSince(0x34567890u), 2000 * 11 - 1);
}

TEST_F(SimSeeding, NoLiveSlotsTouchesNoSlot) {
    for (int count : {0, -5}) {
        StarField.Stars[0].X = 12.5f;
        SimTestTime = 77;
        s.StarCount = count;
        SeedStars(s);
        EXPECT_EQ(StarField.Count, count);
        EXPECT_EQ(StarField.SeedWidth, 640);
        EXPECT_EQ(StarField.SeedHeight, 480);
        EXPECT_EQ(MirrowenRandState(), 77u);
        EXPECT_EQ(StarField.Stars[0].X, 12.5f);
    }
}

TEST_F(SimSeeding, SlotsBeyondCountAreLeftAlone) {
    StarField.Stars[300].X = 7.0f;
    StarField.Stars[300].Y = 8.0f;
    SeedStars(s);
    EXPECT_EQ(StarField.Stars[300].X, 7.0f);
    EXPECT_EQ(StarField.Stars[300].Y, 8.0f);
}

TEST_F(SimSeeding, EveryFieldInItsRangeForEveryDecayAndPulseRate) {
    SimTestTime = 31337;
    s.StarCount = 2000;
    for (int decayRate : {1, 4, 20}) {
        for (int pulsateRate : {1, 4, 20}) {
            SCOPED_TRACE(decayRate * 100 + pulsateRate);
            s.DecayRate = decayRate;
            s.PulsateRate = pulsateRate;
            SeedStars(s);
            const double d = decayRate * 0.001;
            const double divisor = (21 - pulsateRate) * 4000.0;
            bool spins[10] = {};
            for (int j = 0; j < 2000; ++j) {
                const Star& st = StarField.Stars[j];
                ASSERT_EQ(FloatBits(st.Y), UnbornYBits);
                ASSERT_GE(st.X, 0.0f);
                ASSERT_LE(st.X, 639.0f);
                ASSERT_GE(st.Size, 0.0f);
                ASSERT_LE(st.Size, FloatFromBits(0x3F7FBE78));  // 0.999
                ASSERT_LT(st.Decay, 0.0f);
                ASSERT_GE(st.Decay, -(d + 0.0005) - 1e-9);
                ASSERT_LE(st.Decay, -(d - 0.000499) + 1e-9);
                ASSERT_LT(st.PulseRate, 0.0f);
                ASSERT_GE(st.PulseRate, -1199.0 / divisor - 1e-9);
                ASSERT_LE(st.PulseRate, -200.0 / divisor + 1e-9);
                ASSERT_NE(st.Spin, 0.0f);
                ASSERT_GE(st.Spin, -5.0f);
                ASSERT_LE(st.Spin, 4.0f);
                spins[static_cast<int>(st.Spin) + 5] = true;
            }
            for (int spin = -5; spin <= 4; ++spin) EXPECT_EQ(spins[spin + 5], spin != 0) << spin;
        }
    }
}

TEST_F(SimSeeding, DecayAndPulseRateAtTheirExtremeDraws) {
    // Draws at the ends of the ranges are searched for with the reference
    // generator: for one star without a spin redraw, draw 10 is the decay's
    // and draw 11 the pulse rate's.
    const struct {
        int Draw;        // draw % 1000
        int DrawIndex;   // 9: decay, 10: pulse rate
        int Rate;        // DecayRate or PulsateRate
        std::uint32_t Bits;
    } cases[] = {
        {0, 9, 4, 0xBB9374BD},     // -0.004 - 0.0005
        {999, 9, 4, 0xBB657109},   // -0.004 + 0.000499
        {500, 9, 20, 0xBCA3D70B},  // -0.02 exactly as rounded
        {0, 9, 1, 0xBAC49BA6},     // -0.0015
        {0, 10, 20, 0xBD4CCCCD},   // 200 / -4000 = -0.05
        {999, 10, 20, 0xBE9978D5}, // 1199 / -4000
        {0, 10, 1, 0xBB23D70A},    // 200 / -80000
        {999, 10, 1, 0xBC758E22},  // 1199 / -80000
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.Bits);
        std::uint32_t seed = 0;
        for (;; ++seed) {
            ReferenceRand g{seed};
            int d[11];
            for (int& v : d) v = g();
            if (d[7] % 10 != 5 && d[c.DrawIndex] % 1000 == c.Draw) break;
        }
        SimTestTime = seed;
        s.StarCount = 1;
        s.DecayRate = c.DrawIndex == 9 ? c.Rate : 4;
        s.PulsateRate = c.DrawIndex == 10 ? c.Rate : 4;
        SeedStars(s);
        EXPECT_BITS(c.DrawIndex == 9 ? StarField.Stars[0].Decay : StarField.Stars[0].PulseRate, c.Bits);
    }
}

TEST_F(SimSeeding, PulsationOffMakesNoPulseDraw) {
    SimTestTime = 11;  // the seed with one spin redraw: 12 draws with pulsation
    s.StarCount = 1;
    s.PulsateRate = 0;
    SeedStars(s);
    EXPECT_EQ(DrawsSince(11), 11);
    EXPECT_BITS(StarField.Stars[0].PulseRate, 0);

    s.StarCount = 300;
    SimTestTime = 99;
    SeedStars(s);
    for (int frame = 0; frame < 400; ++frame) UpdateStars(s);
    for (int j = 0; j < 300; ++j) {
        ASSERT_EQ(StarField.Stars[j].PulseRate, 0.0f);
        ASSERT_EQ(StarField.Stars[j].Pulse, 1.0f);
    }
}

TEST_F(SimSeeding, PickingSchemesUseTheirThreeColours) {
    struct Scheme {
        int Number;
        float Colours[3][3];
    };
    const Scheme schemes[] = {
        {Fire, {{1.0f, 0.2f, 0.0f}, {1.0f, 0.7f, 0.3f}, {1.0f, 1.0f, 0.7f}}},
        {Primary, {{1.0f, 0.0f, 0.0f}, {0.0f, 1.0f, 0.0f}, {0.0f, 0.0f, 1.0f}}},
        {UltraViolet, {{1.0f, 1.0f, 1.0f}, {1.0f, 0.2f, 0.5f}, {1.0f, 0.0f, 1.0f}}},
        {InfraRed, {{1.0f, 0.3f, 0.1f}, {0.7f, 0.2f, 0.0f}, {0.4f, 0.1f, 0.0f}}},
    };
    for (const Scheme& scheme : schemes) {
        SCOPED_TRACE(scheme.Number);
        // The pick is the draw right after X: seed 4 draws 51 then 17945 (k = 2).
        SimTestTime = 4;
        s.Colours = scheme.Number;
        s.StarCount = 1;
        SeedStars(s);
        EXPECT_EQ(StarField.Stars[0].Red, scheme.Colours[2][0]);
        EXPECT_EQ(StarField.Stars[0].Green, scheme.Colours[2][1]);
        EXPECT_EQ(StarField.Stars[0].Blue, scheme.Colours[2][2]);
        EXPECT_EQ(StarField.Stars[0].VelX, 27159 % 10 - 4);  // the next draw

        s.StarCount = 300;
        SeedStars(s);
        int seen[3] = {};
        for (int j = 0; j < 300; ++j) {
            const Star& st = StarField.Stars[j];
            int match = -1;
            for (int k = 0; k < 3; ++k) {
                const float* c = scheme.Colours[k];
                if (st.Red == c[0] && st.Green == c[1] && st.Blue == c[2]) match = k;
            }
            ASSERT_GE(match, 0) << j;
            ++seen[match];
        }
        for (int k = 0; k < 3; ++k) EXPECT_GT(seen[k], 50) << k;
    }
}

TEST_F(SimSeeding, GreyscaleDrawsOneLevelAndUnknownSchemesAreMultiColoured) {
    SimTestTime = 4;  // draws 51, 17945, 27159, 386
    s.StarCount = 1;
    s.Colours = Greyscale;
    SeedStars(s);
    const float grey = (17945 % 256) / 256.0f;
    EXPECT_EQ(StarField.Stars[0].Red, grey);
    EXPECT_EQ(StarField.Stars[0].Green, grey);
    EXPECT_EQ(StarField.Stars[0].Blue, grey);
    EXPECT_EQ(StarField.Stars[0].VelX, 27159 % 10 - 4);

    s.StarCount = 500;
    s.Colours = MultiColoured;
    SeedStars(s);
    const StarFieldState multi = StarField;
    EXPECT_EQ(multi.Stars[0].Red, grey);
    EXPECT_EQ(multi.Stars[0].Green, (27159 % 256) / 256.0f);
    EXPECT_EQ(multi.Stars[0].Blue, (386 % 256) / 256.0f);
    for (int scheme : {6, -1, 1000}) {
        s.Colours = scheme;
        SeedStars(s);
        EXPECT_EQ(std::memcmp(&multi, &StarField, sizeof StarField), 0) << scheme;
    }
}

TEST_F(SimSeeding, WiderScreensScatterSomeStarsBeyond640AndThoseAreBornFirst) {
    for (int width : {640, 800, 1024, 1280}) {
        SCOPED_TRACE(width);
        std::memset(&StarField, 0, sizeof StarField);
        ResetOrigins(640, 480);
        SimTestTime = 2024;
        s.ScrWidth = width;
        s.StarCount = 2000;
        SeedStars(s);
        std::vector<bool> beyond(2000), earlyBySize(2000);
        int beyondCount = 0;
        for (int j = 0; j < 2000; ++j) {
            const Star& st = StarField.Stars[j];
            ASSERT_LT(st.X, static_cast<float>(width));
            beyond[j] = st.X > 640.0f;
            beyondCount += beyond[j];
            // Born by size alone in the first update: Size + Decay <= 0.
            earlyBySize[j] = !(static_cast<float>(st.Size + static_cast<double>(st.Decay)) > 0.0f);
        }
        if (width == 640)
            EXPECT_EQ(beyondCount, 0);
        else
            EXPECT_GT(beyondCount, 2000 * (width - 641) / width / 2);
        UpdateStars(s);
        for (int j = 0; j < 2000; ++j) {
            const bool born = FloatBits(StarField.Stars[j].Y) != UnbornYBits;
            ASSERT_EQ(born, beyond[j] || earlyBySize[j]) << j;
        }
    }
}

TEST_F(SimSeeding, StartingSizeZeroIsBornInTheFirstUpdate) {
    SimTestTime = 2024;
    s.StarCount = 2000;
    ResetOrigins(640, 480);
    SeedStars(s);
    int zero = -1;
    for (int j = 0; j < 2000 && zero < 0; ++j)
        if (StarField.Stars[j].Size == 0.0f) zero = j;
    ASSERT_GE(zero, 0) << "the chosen seed should give one slot a size of 0";
    UpdateStars(s);
    EXPECT_EQ(StarField.Stars[zero].X, StarField.OriginX[0]);
    EXPECT_EQ(StarField.Stars[zero].Size, 1.0f);
}

TEST_F(SimSeeding, SameSecondSameFieldFrameByFrame) {
    s.StarCount = 800;
    s.BounceSides = 1;
    s.Origins = 4;
    const int frames = 600;
    std::vector<std::uint32_t> firstRand;
    std::vector<std::uint32_t> firstCorona;
    std::vector<StarFieldState> snapshots;
    snapshots.reserve(frames / 50 + 1);
    for (int run = 0; run < 2; ++run) {
        std::memset(&StarField, 0, sizeof StarField);
        CoronaAngle = 0.0f;
        MirrowenSrand(run == 0 ? 5u : 6u);  // whatever came before must not matter
        SimTestTime = 1700000000;
        ResetOrigins(s.ScrWidth, s.ScrHeight);
        SeedStars(s);
        for (int frame = 1; frame <= frames; ++frame) {
            MoveOrigins(s.OriginSpeed);
            UpdateStars(s);
            StepCoronaAngle();
            const std::size_t k = static_cast<std::size_t>(frame);
            if (run == 0) {
                firstRand.push_back(MirrowenRandState());
                firstCorona.push_back(FloatBits(CoronaAngle));
                if (frame % 50 == 0) snapshots.push_back(StarField);
            } else {
                ASSERT_EQ(MirrowenRandState(), firstRand[k - 1]) << frame;
                ASSERT_EQ(FloatBits(CoronaAngle), firstCorona[k - 1]) << frame;
                if (frame % 50 == 0) {
                    ASSERT_EQ(std::memcmp(&snapshots[k / 50 - 1], &StarField, sizeof StarField), 0) << frame;
                }
            }
        }
    }
}
