#include "settings/presets.h"

#include "settings/saver_settings.h"

// clang-format off
const PresetRow PresetTable[PresetCount] = {
    // #  name                   Vel Size Decay Puls Grav Col Shape Orig OSpd Cor Lens Top Sides Bottom
    {1, "(Default)",              5,  7,   4,   7,   2,  0,  7,   1,   1,  70,  0,  0,  0,  1},
    {2, "Mirrowen classic",       7,  7,   4,   7,   3,  0,  3,   1,   2,   0,  0,  0,  1,  1},
    {3, "Fireflies",              2,  7,  20,  20,   0,  5,  7,   4,   4, 100,  0,  0,  0,  0},
    {4, "Fireball",               2, 10,  15,  20,  -5,  1,  2,   1,   1,  70,  1,  0,  0,  0},
    {5, "Great balls of fire",    2, 10,  20,  20,  -5,  1,  2,   4,   4,  50,  0,  0,  0,  0},
    {6, "Poured milk",            0,  7,   4,   0,   2,  2,  2,   1,   2,   0,  0,  0,  0,  1},
    {7, "Crazy comets",           2,  7,  16,  10,   0,  4,  2,   3,   3,  70,  0,  0,  0,  0},
    {8, "Brass band",            10, 10,   4,   7,  -1,  2,  6,   4,  10,   0,  0,  0,  0,  0},
};

const SliderBinding PresetSliders[PresetSliderCount] = {
    {1015, &SaverSettings::StarVel,     0, 20,  1,  0, 1017},
    {1018, &SaverSettings::Gravity,     0, 10,  1, -5, 1020},
    {1032, &SaverSettings::StarSize,    1, 10,  1,  0, 1033},
    {1034, &SaverSettings::DecayRate,   1, 20,  1,  0, 1035},
    {1022, &SaverSettings::PulsateRate, 0, 20,  1,  0, 1023},
    {1019, &SaverSettings::Origins,     1,  4,  1,  0, 1021},
    {1027, &SaverSettings::OriginSpeed, 1, 10,  1,  0, 1028},
    {1036, &SaverSettings::Corona,      0, 10, 10,  0, 1037},
};
// clang-format on

const PresetRow* FindPreset(std::int32_t number) {
    for (const PresetRow& row : PresetTable)
        if (row.Number == number) return &row;
    return nullptr;
}

void ApplyPresetRow(SaverSettings& s, const PresetRow& row) {
    s.StarVel = row.StarVel;
    s.StarSize = row.StarSize;
    s.DecayRate = row.DecayRate;
    s.PulsateRate = row.PulsateRate;
    s.Gravity = row.Gravity;
    s.Colours = row.Colours;
    s.Shape = row.Shape;
    s.Origins = row.Origins;
    s.OriginSpeed = row.OriginSpeed;
    s.Corona = row.Corona;
    s.LensFlare = row.LensFlare;
    s.BounceTop = row.BounceTop;
    s.BounceSides = row.BounceSides;
    s.BounceBottom = row.BounceBottom;
}

std::int32_t SliderPosition(std::int32_t value, std::int32_t divisor, std::int32_t offset) {
    // A zero divisor never occurs in the tables; treat it as 1 rather than trap.
    if (divisor == 0) divisor = 1;
    return value / divisor - offset;
}

// clang-format off
const SliderBinding DialogSliders[DialogSliderCount] = {
    {1014, &SaverSettings::StarCount,   1, 20, 100,  0, 1016},
    {1015, &SaverSettings::StarVel,     0, 20,   1,  0, 1017},
    {1018, &SaverSettings::Gravity,     0, 10,   1, -5, 1020},
    {1032, &SaverSettings::StarSize,    1, 10,   1,  0, 1033},
    {1034, &SaverSettings::DecayRate,   1, 20,   1,  0, 1035},
    {1022, &SaverSettings::PulsateRate, 0, 20,   1,  0, 1023},
    {1019, &SaverSettings::Origins,     1,  4,   1,  0, 1021},
    {1027, &SaverSettings::OriginSpeed, 1, 10,   1,  0, 1028},
    {1036, &SaverSettings::Corona,      0, 10,  10,  0, 1037},
};
// clang-format on

std::int32_t SliderValue(std::int32_t position, std::int32_t divisor, std::int32_t offset) {
    return position * divisor + offset;
}

std::uint32_t PackedResolution(std::int32_t width, std::int32_t height) {
    return ((static_cast<std::uint32_t>(height) & 0xFFFFu) << 16) |
           (static_cast<std::uint32_t>(width) & 0xFFFFu);
}

const Resolution ResolutionList[ResolutionCount] = {
    {640, 480}, {800, 600}, {1024, 768}, {1280, 1024}};

const char* const ShapeNames[ShapeNameCount] = {
    "Five-point star", "Arrow", "Circle", "Classic star", "Flower", "Heart",
    "Musical note", "Shining star", "Starburst", "Thick hoop", "Thin hoop"};

const char* const ColourNames[ColourNameCount] = {
    "Multi-coloured", "Fire", "Greyscale", "Primary", "Ultra-violet", "Infra-red"};
