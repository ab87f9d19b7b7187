#include "sim/star_update.h"

#include "sim/random.h"
#include "sim/sim_arith.h"
#include "sim/star_field.h"

namespace {

constexpr float GravityStep = 0.0125f;
constexpr float Half = 0.5f;
constexpr float VelocityStep = 0.033333335f;  // birth velocities are n/30
constexpr float Bottom = 0.0f;
constexpr float Top = 480.0f;
constexpr float Left = 0.0f;
constexpr float Right = 640.0f;

struct UpdateRules {
    bool BounceBottom;
    bool BounceTop;
    bool BounceSides;
    std::int32_t Gravity;
    std::int32_t StarVel;
    int Origins;
};

float Rebound(float velocity) { return Narrow(-(Wide(velocity) * Wide(Half))); }

float BirthVelocity(std::int32_t starVel) {
    return Narrow(Wide(MirrowenRand() % (8 * starVel) - 4 * starVel) * Wide(VelocityStep));
}

void Move(const UpdateRules& r, Star& st) {
    st.Angle = Narrow(Wide(st.Angle) + Wide(st.Spin));
    st.X = Narrow(Wide(st.X) + Wide(st.VelX));
    st.Y = Narrow(Wide(st.Y) + Wide(st.VelY));
    st.VelY = Narrow(Wide(st.VelY) - Wide(r.Gravity) * Wide(GravityStep));

    // The four bounds differ: the bottom lets a star sink by its size before
    // it bounces, the top and left have no size term, and the right puts the
    // star back a size inside.
    if (r.BounceBottom && !(Wide(st.Y) + Wide(st.Size) > Wide(Bottom))) {
        st.VelY = Rebound(st.VelY);
        st.Y = Bottom;
    }
    if (r.BounceTop && st.Y >= Top) {
        st.VelY = Rebound(st.VelY);
        st.Y = Top;
    }
    if (r.BounceSides) {
        if (Wide(st.X) + Wide(st.Size) >= Wide(Right)) {
            st.VelX = Rebound(st.VelX);
            st.X = Narrow(Wide(Right) - Wide(st.Size));
        }
        if (!(st.X > Left)) {
            st.VelX = Rebound(st.VelX);
            st.X = Left;
        }
    }
}

void Rebirth(const UpdateRules& r, int& nextOrigin, Star& st) {
    st.X = StarField.OriginX[nextOrigin];
    st.Y = StarField.OriginY[nextOrigin];
    nextOrigin = nextOrigin + 1 > r.Origins - 1 ? 0 : nextOrigin + 1;
    if (r.StarVel < 1) {
        st.VelX = 0.0f;
        st.VelY = 0.0f;
    } else {
        st.VelX = BirthVelocity(r.StarVel);
        st.VelY = BirthVelocity(r.StarVel);
    }
    st.Size = 1.0f;
    st.Pulse = 1.0f;
}

}  // namespace

void UpdateStars(const SaverSettings& s) {
    UpdateRules r;
    r.BounceBottom = s.BounceBottom != 0;
    r.BounceTop = s.BounceTop != 0;
    r.BounceSides = s.BounceSides != 0;
    r.Gravity = s.Gravity;
    r.StarVel = s.StarVel;
    // The origin count is a modulus and an index into the four origins.
    r.Origins = s.Origins < 1 ? 1 : (s.Origins > MaxOrigins ? MaxOrigins : s.Origins);

    // Drawn on every call, whether or not any star is reborn.
    int nextOrigin = MirrowenRand() % r.Origins;

    const int count = StarField.Count < MaxStars ? StarField.Count : MaxStars;
    for (int j = 0; j < count; ++j) {
        Star& st = StarField.Stars[j];
        st.Size = Narrow(Wide(st.Size) + Wide(st.Decay));

        st.Pulse = Narrow(Wide(st.Pulse) + Wide(st.PulseRate));
        if (st.Pulse < 0.0f) {
            st.Pulse = 0.0f;
            st.PulseRate = -st.PulseRate;
        }
        if (st.Pulse > 1.0f) {
            st.Pulse = 1.0f;
            st.PulseRate = -st.PulseRate;
        }

        if (!IsUnborn(st)) Move(r, st);

        // Y plays no part: a star off the top or bottom lives on unseen.
        if (!(st.X >= Left) || st.X > Right || !(st.Size > 0.0f)) Rebirth(r, nextOrigin, st);
    }
}
