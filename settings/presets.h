// The eight named presets and the slider bindings shared by the settings
// dialog's front ends. No platform headers: the Linux build reuses these.
#pragma once

#include <cstddef>
#include <cstdint>

struct SaverSettings;

// One preset: the list name and the 14 values it sets, in the record's units.
struct PresetRow {
    std::int32_t Number;
    const char* Name;
    std::int32_t StarVel, StarSize, DecayRate, PulsateRate, Gravity, Colours, Shape,
        Origins, OriginSpeed, Corona, LensFlare, BounceTop, BounceSides, BounceBottom;
};

constexpr std::size_t PresetCount = 8;
extern const PresetRow PresetTable[PresetCount];

// The row numbered `number` (1..8), or null.
const PresetRow* FindPreset(std::int32_t number);

// Writes the row's 14 values into the record; StarCount, the resolution and
// Preset are left alone.
void ApplyPresetRow(SaverSettings& settings, const PresetRow& row);

// One slider shown from a record field: position = value / Divisor - Offset.
struct SliderBinding {
    std::int32_t SliderId;
    std::int32_t SaverSettings::*Field;
    std::int32_t Min;
    std::int32_t Max;
    std::int32_t Divisor;
    std::int32_t Offset;
    std::int32_t LabelId;
};

// The eight sliders a preset refreshes, in the order of refresh.
constexpr std::size_t PresetSliderCount = 8;
extern const SliderBinding PresetSliders[PresetSliderCount];

// Slider position for a value (integer division truncating toward zero);
// the trackbar itself clamps a position outside Min..Max to its nearest end.
std::int32_t SliderPosition(std::int32_t value, std::int32_t divisor, std::int32_t offset);

// The nine sliders of the settings dialog, in the order they are set up and
// re-read; a value comes back from a position through SliderValue.
constexpr std::size_t DialogSliderCount = 9;
extern const SliderBinding DialogSliders[DialogSliderCount];

// Value from a slider position: position * divisor + offset (the inverse of
// SliderPosition on the slider's steps).
std::int32_t SliderValue(std::int32_t position, std::int32_t divisor, std::int32_t offset);

// (height << 16) | width, each part taken as its low 16 bits.
std::uint32_t PackedResolution(std::int32_t width, std::int32_t height);

struct Resolution {
    std::int32_t Width;
    std::int32_t Height;
};
constexpr std::size_t ResolutionCount = 4;
extern const Resolution ResolutionList[ResolutionCount];

// Names the dialog shows, indexed by shape and colour-scheme number.
constexpr std::size_t ShapeNameCount = 11;
extern const char* const ShapeNames[ShapeNameCount];
constexpr std::size_t ColourNameCount = 6;
extern const char* const ColourNames[ColourNameCount];
