#include "sim/origins.h"

#include "sim/sim_arith.h"
#include "sim/star_field.h"

namespace {

// Velocity factors 1/8, 1/9, 1/10, 1/11 with the directions of the four
// diagonals (y upward).
const float OriginFactorX[MaxOrigins] = {0.125f, -0.11111111f, 0.1f, -0.09090909f};
const float OriginFactorY[MaxOrigins] = {0.125f, 0.11111111f, -0.1f, -0.09090909f};

constexpr float Half = 0.5f;
constexpr float StepFraction = 0.033333335f;  // a velocity covers 30 steps
constexpr float Pull = 0.3f;
constexpr float CentreX = 320.0f;
constexpr float CentreY = 240.0f;
constexpr float MinX = 50.0f;
constexpr float MaxX = 590.0f;
constexpr float MinY = 30.0f;
constexpr float MaxY = 450.0f;

}  // namespace

void ResetOrigins(int width, int height) {
    for (int i = 0; i < MaxOrigins; ++i) {
        StarField.OriginX[i] = Narrow(Wide(width) * Wide(Half));
        StarField.OriginY[i] = Narrow(Wide(height) * Wide(Half));
        StarField.OriginVelX[i] = Narrow(Wide(width) * Wide(OriginFactorX[i]));
        StarField.OriginVelY[i] = Narrow(Wide(height) * Wide(OriginFactorY[i]));
    }
}

void MoveOrigins(int steps) {
    for (int step = 0; step < steps; ++step) {
        for (int i = 0; i < MaxOrigins; ++i) {
            float& x = StarField.OriginX[i];
            float& y = StarField.OriginY[i];
            float& vx = StarField.OriginVelX[i];
            float& vy = StarField.OriginVelY[i];

            x = Narrow(Wide(x) + Wide(vx) * Wide(StepFraction));
            y = Narrow(Wide(y) + Wide(vy) * Wide(StepFraction));

            // An origin exactly on the centre line is pulled up, not down.
            vx = Narrow(x > CentreX ? Wide(vx) - Wide(Pull) : Wide(vx) + Wide(Pull));
            vy = Narrow(y > CentreY ? Wide(vy) - Wide(Pull) : Wide(vy) + Wide(Pull));

            if (!(x >= MinX)) {
                x = MinX;
                vx = 0.0f;
            }
            if (x > MaxX) {
                x = MaxX;
                vx = 0.0f;
            }
            if (!(y >= MinY)) {
                y = MinY;
                vy = 0.0f;
            }
            if (y > MaxY) {
                y = MaxY;
                vy = 0.0f;
            }
        }
    }
}
