// The simulation's own random generator. The platform's rand() may use
// another generator, so the star field carries this one to stay reproducible.
#pragma once

#include <cstdint>

// Sets the state to the seed.
void MirrowenSrand(std::uint32_t seed);
// state = state * 214013 + 2531011 (mod 2^32); returns (state >> 16) & 0x7FFF.
int MirrowenRand();
// The state as it stands; 1 before the first seed.
std::uint32_t MirrowenRandState();
