#include "sim/colour_schemes.h"

#include "sim/random.h"
#include "sim/sim_arith.h"

namespace {

// A level is n/256 for a draw n of 0 to 255.
constexpr float LevelStep = 0.00390625f;

struct Rgb {
    float Red;
    float Green;
    float Blue;
};

// The three colours of each picking scheme, indexed by scheme then pick.
const Rgb FireColours[3] = {{1.0f, 0.2f, 0.0f}, {1.0f, 0.7f, 0.3f}, {1.0f, 1.0f, 0.7f}};
const Rgb PrimaryColours[3] = {{1.0f, 0.0f, 0.0f}, {0.0f, 1.0f, 0.0f}, {0.0f, 0.0f, 1.0f}};
const Rgb UltraVioletColours[3] = {{1.0f, 1.0f, 1.0f}, {1.0f, 0.2f, 0.5f}, {1.0f, 0.0f, 1.0f}};
const Rgb InfraRedColours[3] = {{1.0f, 0.3f, 0.1f}, {0.7f, 0.2f, 0.0f}, {0.4f, 0.1f, 0.0f}};

float DrawLevel() { return Narrow(Wide(MirrowenRand() % 256) * Wide(LevelStep)); }

void Pick(const Rgb (&colours)[3], Star& star) {
    const Rgb& c = colours[MirrowenRand() % 3];
    star.Red = c.Red;
    star.Green = c.Green;
    star.Blue = c.Blue;
}

}  // namespace

void DrawSchemeColour(int scheme, Star& star) {
    switch (scheme) {
    case Fire:
        Pick(FireColours, star);
        break;
    case Greyscale: {
        const float v = DrawLevel();
        star.Red = v;
        star.Green = v;
        star.Blue = v;
        break;
    }
    case Primary:
        Pick(PrimaryColours, star);
        break;
    case UltraViolet:
        Pick(UltraVioletColours, star);
        break;
    case InfraRed:
        Pick(InfraRedColours, star);
        break;
    default:
        // The three draws happen in this order: red, green, blue.
        star.Red = DrawLevel();
        star.Green = DrawLevel();
        star.Blue = DrawLevel();
        break;
    }
}
