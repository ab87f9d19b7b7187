// What both frame back ends draw alike: the quad's half-size, the lens-flare
// chain, and the values each element takes from the settings and the star
// field, computed in one place so that both get them bit for bit.
#pragma once

#include "render/texture_set.h"
#include "settings/saver_settings.h"
#include "sim/star_field.h"

constexpr float QuadHalf = 15.0f;

// One element of the lens-flare chain, placed at centre + K * (origin - centre).
struct FlareElement {
    float K;
    int Texture;  // index into TextureSet
    float Grey;
    float HalfSize;
};

inline constexpr FlareElement FlareChain[6] = {
    {1.4f, FlareHaloIndex, 0.2f, 30.0f},  {0.6f, FlareRingIndex, 0.3f, 50.0f},
    {0.3f, FlareGlowIndex, 0.1f, 30.0f},  {-0.4f, FlareHaloIndex, 0.25f, 80.0f},
    {-0.5f, FlareHaloIndex, 0.4f, 15.0f}, {-0.9f, FlareHaloIndex, 0.3f, 25.0f},
};

// The grey of both corona layers; Corona 100 gives exactly 1.
inline float CoronaGrey(const SaverSettings& s) {
    return static_cast<float>(s.Corona * static_cast<double>(0.01f));
}

// The second corona layer's turn, on top of the first: net -CoronaAngle.
inline float SecondCoronaTurn(float coronaAngle) { return static_cast<float>(coronaAngle * -2.0); }

// A flare element's centre along one axis, for an origin at `origin` on
// that axis whose screen centre is `centre`.
inline float FlarePlace(float k, float origin, double centre) {
    return static_cast<float>(centre + static_cast<double>(k) * (static_cast<double>(origin) - centre));
}

// A star's scale factor: its square is 30 x this units wide.
inline float StarScale(const SaverSettings& s, const Star& star) {
    return static_cast<float>(static_cast<double>(s.StarSize) * static_cast<double>(star.Size) *
                              static_cast<double>(0.2f));
}
