// One frame of the saver: the coronas, lens flares and stars drawn in the
// fixed 640 x 480 drawing space, then one simulation step. Needs only a
// current GL context, so every platform shares it.
#pragma once

// Draws the current state and advances the simulation one step; always 1.
int RenderFrame();

// Draws the current state of the star field, changing no simulation state.
void DrawScene();

// Advances the simulation one step: origins, stars and the corona angle.
void StepSimulation();
