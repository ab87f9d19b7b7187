// Per-frame cost of the star field: the star update at the full 2000 slots
// and the origin movement at its largest step count.
#include <benchmark/benchmark.h>

#include "bench/allocation_count.h"
#include "settings/saver_settings.h"
#include "sim/corona.h"
#include "sim/origins.h"
#include "sim/seed_clock.h"
#include "sim/star_field.h"
#include "sim/star_seeding.h"
#include "sim/star_update.h"

namespace {

std::int64_t FixedTime() { return 1000000000; }

// A full field, run until every slot has been born at least once.
SaverSettings FullField(bool allBounces) {
    SaverSettings s;
    SetDefaultSaverValues(s);
    s.StarCount = MaxStars;
    if (allBounces) {
        s.BounceTop = 1;
        s.BounceSides = 1;
        s.Origins = 4;
    }
    SeedClock = FixedTime;
    ResetOrigins(s.ScrWidth, s.ScrHeight);
    SeedStars(s);
    for (int frame = 0; frame < 400; ++frame) {
        MoveOrigins(s.OriginSpeed);
        UpdateStars(s);
    }
    return s;
}

void CountAllocations(benchmark::State& state, long before) {
    state.counters["allocs/iter"] =
        benchmark::Counter(static_cast<double>(AllocationCount() - before), benchmark::Counter::kAvgIterations);
}

void StarUpdates(benchmark::State& state) {
    const SaverSettings s = FullField(state.range(0) != 0);
    const long before = AllocationCount();
    for (auto _ : state) {
        UpdateStars(s);
        benchmark::ClobberMemory();
    }
    CountAllocations(state, before);
    state.SetItemsProcessed(state.iterations() * MaxStars);
    state.counters["per_star"] = benchmark::Counter(static_cast<double>(state.iterations()) * MaxStars,
                                                    benchmark::Counter::kIsRate | benchmark::Counter::kInvert);
}
BENCHMARK(StarUpdates)->ArgName("all_bounces")->Arg(0)->Arg(1);

void OriginSteps(benchmark::State& state) {
    ResetOrigins(640, 480);
    const int steps = static_cast<int>(state.range(0));
    const long before = AllocationCount();
    for (auto _ : state) {
        MoveOrigins(steps);
        benchmark::ClobberMemory();
    }
    CountAllocations(state, before);
}
BENCHMARK(OriginSteps)->ArgName("steps")->Arg(1)->Arg(10);

// What a drawn frame asks of the simulation: origins, stars, corona.
void FrameStep(benchmark::State& state) {
    SaverSettings s = FullField(true);
    s.OriginSpeed = 10;
    const long before = AllocationCount();
    for (auto _ : state) {
        MoveOrigins(s.OriginSpeed);
        UpdateStars(s);
        StepCoronaAngle();
        benchmark::ClobberMemory();
    }
    CountAllocations(state, before);
}
BENCHMARK(FrameStep);

}  // namespace

BENCHMARK_MAIN();
