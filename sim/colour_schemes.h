// The colour schemes a star slot draws its colour from when it is seeded.
#pragma once

#include "sim/star_field.h"

enum ColourScheme {
    MultiColoured = 0,
    Fire = 1,
    Greyscale = 2,
    Primary = 3,
    UltraViolet = 4,
    InfraRed = 5,
};

// Sets Red, Green and Blue from the scheme, making the scheme's draws (three
// levels, one level, or one pick of three). Any unknown scheme is
// MultiColoured.
void DrawSchemeColour(int scheme, Star& star);
