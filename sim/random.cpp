#include "sim/random.h"

namespace {
std::uint32_t RandState = 1;
}

void MirrowenSrand(std::uint32_t seed) { RandState = seed; }

int MirrowenRand() {
    RandState = RandState * 214013u + 2531011u;
    return static_cast<int>((RandState >> 16) & 0x7FFFu);
}

std::uint32_t MirrowenRandState() { return RandState; }
