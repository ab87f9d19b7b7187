// One frame of every live star: decay, pulsation, motion under gravity, the
// bounces that are switched on, and rebirth at the origins in turn.
#pragma once

#include "settings/saver_settings.h"

// Reads BounceBottom, BounceTop, BounceSides, Gravity, StarVel and Origins.
// Call after MoveOrigins, so rebirths use the origins' new positions.
void UpdateStars(const SaverSettings& settings);
