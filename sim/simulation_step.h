// One step of the whole simulation, as every frame takes it after drawing.
#pragma once

// Advances the simulation one step under the process's settings: the
// origins, every star and the corona's turn.
void StepSimulation();
