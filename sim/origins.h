// The four emitter points: placed together with diverging velocities at the
// start of a run, then pulled toward the drawing-space centre every step.
#pragma once

// All four origins at (width/2, height/2) with their fixed velocities.
void ResetOrigins(int width, int height);
// Advances every origin `steps` movement steps; nothing for steps <= 0.
void MoveOrigins(int steps);
