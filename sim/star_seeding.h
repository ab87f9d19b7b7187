// Seeding: the generator from the calendar clock, then every live slot's
// colour, spin, head start, decay and pulsation. Every slot starts unborn.
#pragma once

#include "settings/saver_settings.h"

// Reads StarCount, ScrWidth, ScrHeight, Colours, DecayRate and PulsateRate;
// writes Count, SeedWidth, SeedHeight and the first Count slots.
void SeedStars(const SaverSettings& settings);
