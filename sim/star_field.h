// The simulation state: the star slots, the live count, the size the stars
// were seeded for, and the four origins as parallel arrays.
#pragma once

#include <cstdint>

constexpr int MaxStars = 2000;
constexpr int MaxOrigins = 4;

// One particle slot.
struct Star {
    float X;
    float Y;  // UnbornY until the slot is first born
    float VelX;
    float VelY;
    float Angle;
    float Spin;
    float Size;
    float Decay;
    float Pulse;
    float PulseRate;
    float Red;
    float Green;
    float Blue;
};

// -9999.0f. A slot is unborn when its Y has exactly this bit pattern.
constexpr float UnbornY = -9999.0f;
constexpr std::uint32_t UnbornYBits = 0xC61C3C00u;

struct StarFieldState {
    Star Stars[MaxStars];
    float OriginX[MaxOrigins];
    float OriginY[MaxOrigins];
    std::int32_t Count;
    std::int32_t SeedWidth;
    std::int32_t SeedHeight;  // kept beside the width; nothing reads it
    float OriginVelX[MaxOrigins];  // units per 30 movement steps
    float OriginVelY[MaxOrigins];
};

// The one star field, all zeros at program start.
extern StarFieldState StarField;

// True when the slot has not been born (its Y is UnbornY bit for bit).
bool IsUnborn(const Star& star);
