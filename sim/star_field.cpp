#include "sim/star_field.h"

#include "sim/sim_arith.h"

StarFieldState StarField;

bool IsUnborn(const Star& star) { return FloatBits(star.Y) == UnbornYBits; }
