// The corona's turn, lowered once per frame and never wrapped.
#pragma once

// Degrees; 0 at start.
extern float CoronaAngle;

// CoronaAngle = CoronaAngle - 0.1, rounded to single precision at the store.
void StepCoronaAngle();
