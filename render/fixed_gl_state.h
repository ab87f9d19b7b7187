// The fixed-function state the frames start from.
#pragma once

// Smooth shading, black clear colour, depth 1, depth test LEQUAL, 2-D
// texturing, nicest perspective correction.
void SetFixedGlState();
