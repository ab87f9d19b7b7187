// One frame of the saver: the coronas, lens flares and stars drawn in the
// fixed 640 x 480 drawing space, then one simulation step. Needs only a
// current GL context, so every platform shares it.
#pragma once

#include "sim/simulation_step.h"

// Clears the target, draws the current state and advances the simulation
// one step; always 1.
int RenderFrame();

// Draws the current state of the star field, changing no simulation state.
// A target made of several viewports draws it once into each.
void DrawScene();

// The state every scene is drawn in: the 640 x 480 projection, textures,
// additive blending and no depth test. EndSceneState puts back what
// BeginSceneState changed.
void BeginSceneState();
void EndSceneState();
