#include "sim/corona.h"

#include "sim/sim_arith.h"

float CoronaAngle = 0.0f;

void StepCoronaAngle() { CoronaAngle = Narrow(Wide(CoronaAngle) - Wide(0.1f)); }
