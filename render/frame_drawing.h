// One frame of the saver: the coronas, lens flares and stars drawn in the
// fixed 640 x 480 drawing space, then one simulation step. Needs only a
// current GL context, so every platform shares it.
#pragma once

// Clears the target, draws the current state and advances the simulation
// one step; always 1.
int RenderFrame();

// Draws the current state of the star field, changing no simulation state.
// A target made of several viewports draws it once into each.
void DrawScene();

// Advances the simulation one step: the origins, every star and the
// corona's turn.
void StepSimulation();
