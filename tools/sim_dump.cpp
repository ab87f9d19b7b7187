#include "tools/sim_dump.h"

#include <cinttypes>

#include "sim/corona.h"
#include "sim/random.h"
#include "sim/sim_arith.h"
#include "sim/star_field.h"

namespace {

void PutFloat(std::FILE* out, float value) {
    std::fprintf(out, " %08" PRIx32, FloatBits(value));
}

}  // namespace

void WriteSimDump(std::FILE* out) {
    std::fprintf(out, "field %" PRId32 " %" PRId32 " %" PRId32 "\n", StarField.Count, StarField.SeedWidth,
                 StarField.SeedHeight);
    for (int i = 0; i < MaxOrigins; ++i) {
        std::fprintf(out, "origin %d", i);
        PutFloat(out, StarField.OriginX[i]);
        PutFloat(out, StarField.OriginY[i]);
        PutFloat(out, StarField.OriginVelX[i]);
        PutFloat(out, StarField.OriginVelY[i]);
        std::fputc('\n', out);
    }
    const int count = StarField.Count < MaxStars ? StarField.Count : MaxStars;
    for (int j = 0; j < count; ++j) {
        const Star& s = StarField.Stars[j];
        std::fprintf(out, "star %d", j);
        const float fields[13] = {s.X,     s.Y,     s.VelX,  s.VelY,      s.Angle, s.Spin, s.Size,
                                  s.Decay, s.Pulse, s.PulseRate, s.Red, s.Green, s.Blue};
        for (float f : fields) PutFloat(out, f);
        std::fputc('\n', out);
    }
    std::fputs("corona", out);
    PutFloat(out, CoronaAngle);
    std::fprintf(out, "\nrand %08" PRIx32 "\n", MirrowenRandState());
}
