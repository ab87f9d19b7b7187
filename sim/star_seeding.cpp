#include "sim/star_seeding.h"

#include "sim/colour_schemes.h"
#include "sim/random.h"
#include "sim/seed_clock.h"
#include "sim/sim_arith.h"
#include "sim/star_field.h"

namespace {

constexpr float Thousandth = 0.001f;
constexpr float MinusThousandth = -0.001f;
constexpr float Half = 0.5f;

void SeedStar(const SaverSettings& s, Star& star) {
    const int width = StarField.SeedWidth;
    const int xDraw = MirrowenRand();
    // A width of 0 cannot be a modulus; such a field scatters nothing.
    star.X = static_cast<float>(width != 0 ? xDraw % width : 0);
    star.Y = UnbornY;
    DrawSchemeColour(s.Colours, star);

    // Replaced at birth, before the first move; drawn all the same.
    star.VelX = static_cast<float>(MirrowenRand() % 10 - 4);
    star.VelY = static_cast<float>(MirrowenRand() % 10 - 5);
    star.Angle = static_cast<float>(MirrowenRand() % 360);

    int spin;
    do {
        spin = MirrowenRand() % 10 - 5;
    } while (spin == 0);
    star.Spin = static_cast<float>(spin);

    star.Size = Narrow(Wide(MirrowenRand() % 1000) * Wide(Thousandth));

    // The base decay is stored (and rounded) before the random part is added.
    star.Decay = Narrow(Wide(s.DecayRate) * Wide(MinusThousandth));
    star.Decay = Narrow(Wide(star.Decay) +
                        (Wide(MirrowenRand() % 1000) * Wide(Thousandth) - Wide(Half)) * Wide(Thousandth));

    star.Pulse = 1.0f;
    if (s.PulsateRate == 0) {
        star.PulseRate = 0.0f;
    } else {
        const int numerator = MirrowenRand() % 1000 + 200;
        const int divisor = s.PulsateRate * 4000 - 84000;
        star.PulseRate = Narrow(Wide(numerator) / Wide(divisor));
    }
}

}  // namespace

void SeedStars(const SaverSettings& s) {
    MirrowenSrand(static_cast<std::uint32_t>(SeedClock()));
    // More slots than the field has would run off its end.
    StarField.Count = s.StarCount < MaxStars ? s.StarCount : MaxStars;
    StarField.SeedWidth = s.ScrWidth;
    StarField.SeedHeight = s.ScrHeight;
    for (int j = 0; j < StarField.Count; ++j) SeedStar(s, StarField.Stars[j]);
}
