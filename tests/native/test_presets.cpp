#include <gtest/gtest.h>

#include <cstring>

#include "settings/presets.h"
#include "settings/saver_settings.h"

TEST(Presets, RowsNumberedOneToEightAndFound) {
    for (std::int32_t n = 1; n <= 8; ++n) {
        const PresetRow* row = FindPreset(n);
        ASSERT_NE(row, nullptr);
        EXPECT_EQ(row->Number, n);
    }
    EXPECT_EQ(FindPreset(0), nullptr);
    EXPECT_EQ(FindPreset(9), nullptr);
    EXPECT_STREQ(FindPreset(6)->Name, "Poured milk");
}

TEST(Presets, ApplyLeavesStarCountResolutionAndPresetAlone) {
    SaverSettings s;
    SetDefaultSaverValues(s);
    s.StarCount = 350;
    s.ScrWidth = 1024;
    s.ScrHeight = 768;
    s.Preset = 3;
    ApplyPresetRow(s, *FindPreset(6));
    EXPECT_EQ(s.StarVel, 0);
    EXPECT_EQ(s.PulsateRate, 0);
    EXPECT_EQ(s.StarCount, 350);
    EXPECT_EQ(s.ScrWidth, 1024);
    EXPECT_EQ(s.ScrHeight, 768);
    EXPECT_EQ(s.Preset, 3);
}

TEST(Presets, OnlyFireballLensFlareOnlyClassicSidesNoneTop) {
    for (const PresetRow& row : PresetTable) {
        EXPECT_EQ(row.LensFlare, std::strcmp(row.Name, "Fireball") == 0 ? 1 : 0) << row.Name;
        EXPECT_EQ(row.BounceSides, std::strcmp(row.Name, "Mirrowen classic") == 0 ? 1 : 0) << row.Name;
        EXPECT_EQ(row.BounceTop, 0) << row.Name;
    }
}

TEST(Presets, EveryValueFitsItsSlider) {
    for (const PresetRow& row : PresetTable) {
        SaverSettings s;
        SetDefaultSaverValues(s);
        ApplyPresetRow(s, row);
        for (const SliderBinding& b : PresetSliders) {
            std::int32_t pos = SliderPosition(s.*b.Field, b.Divisor, b.Offset);
            EXPECT_GE(pos, b.Min) << row.Name << " slider " << b.SliderId;
            EXPECT_LE(pos, b.Max) << row.Name << " slider " << b.SliderId;
        }
    }
}

TEST(SliderMapping, GravityOffsetAndCoronaDivisorTruncate) {
    EXPECT_EQ(SliderPosition(-5, 1, -5), 0);
    EXPECT_EQ(SliderPosition(5, 1, -5), 10);
    EXPECT_EQ(SliderPosition(50, 10, 0), 5);
    EXPECT_EQ(SliderPosition(75, 10, 0), 7);
    EXPECT_EQ(SliderPosition(350, 100, 0), 3);
}

TEST(SliderMapping, ValueFromPositionShowsValuesNotPositions) {
    // Gravity at position 0 reads -5; Corona at 7 reads 70; star count 3 is 300.
    EXPECT_EQ(SliderValue(0, 1, -5), -5);
    EXPECT_EQ(SliderValue(7, 10, 0), 70);
    EXPECT_EQ(SliderValue(3, 100, 0), 300);
    for (const SliderBinding& b : DialogSliders)
        for (std::int32_t pos = b.Min; pos <= b.Max; ++pos)
            EXPECT_EQ(SliderPosition(SliderValue(pos, b.Divisor, b.Offset), b.Divisor, b.Offset), pos)
                << "slider " << b.SliderId;
}

TEST(DialogTables, PresetSlidersAreTheDialogSlidersWithoutStarCount) {
    ASSERT_EQ(DialogSliders[0].SliderId, 1014);
    for (std::size_t i = 0; i < PresetSliderCount; ++i) {
        EXPECT_EQ(PresetSliders[i].SliderId, DialogSliders[i + 1].SliderId);
        EXPECT_EQ(PresetSliders[i].Divisor, DialogSliders[i + 1].Divisor);
        EXPECT_EQ(PresetSliders[i].Offset, DialogSliders[i + 1].Offset);
        EXPECT_EQ(PresetSliders[i].LabelId, DialogSliders[i + 1].LabelId);
    }
}

TEST(DialogTables, PackedResolutionUsesLow16Bits) {
    EXPECT_EQ(PackedResolution(640, 480), (480u << 16) | 640u);
    EXPECT_EQ(PackedResolution(65536 + 640, 65536 * 3 + 480), PackedResolution(640, 480));
    EXPECT_EQ(PackedResolution(ResolutionList[0].Width, ResolutionList[0].Height), (480u << 16) | 640u);
    EXPECT_STREQ(ShapeNames[0], "Five-point star");
    EXPECT_STREQ(ShapeNames[10], "Thin hoop");
    EXPECT_STREQ(ColourNames[5], "Infra-red");
}
