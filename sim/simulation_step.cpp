#include "sim/simulation_step.h"

#include "settings/saver_settings.h"
#include "sim/corona.h"
#include "sim/origins.h"
#include "sim/star_update.h"

void StepSimulation() {
    MoveOrigins(Settings->OriginSpeed);
    UpdateStars(*Settings);
    StepCoronaAngle();
}
