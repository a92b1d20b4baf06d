// The fuel adjustment and the ignition passes over a million logged samples,
// each beside one plain pass over the same samples.
#include <benchmark/benchmark.h>

#include <algorithm>
#include <cmath>
#include <memory>
#include <random>

#include "core/adjust/FuelAdjustment.h"
#include "core/adjust/IgnitionAdjustment.h"
#include "core/state/KelvaneState.h"

namespace kelvane {
namespace {

constexpr int SampleCount = 1'000'000;

// Driving over the default LH 2.3 MAF and S4 axes. knockEverywhere: a
// cylinder's retard grows on a fifth of the samples, anywhere on the map;
// otherwise knock is rare and comes at high load only.
std::unique_ptr<TKelvaneState> MakeState(bool knockEverywhere) {
    auto state = std::make_unique<TKelvaneState>();
    state->Fuel.Reference = FilledGrid(20);
    state->Fuel.ReferenceLoaded = true;
    state->Fuel.RecomputeUpdated(state->Axes.FuelLimits);
    state->Ignition.Reference = FilledGrid(30);
    state->Ignition.ReferenceLoaded = true;
    state->Ignition.RecomputeUpdated();

    std::mt19937 random(42);
    std::uniform_real_distribution<double> unit(0, 1);
    TLogData& log = state->Logs.Data;
    log.Entries.reserve(SampleCount);
    double rpm = 900, throttle = 0.2;
    std::array<double, KnockCylinders> retard{};
    for (int i = 0; i < SampleCount; ++i) {
        throttle = std::clamp(throttle + (unit(random) - 0.5) * 0.08, 0.0, 1.0);
        rpm = std::clamp(rpm + (throttle - 0.4) * 60 + (unit(random) - 0.5) * 40, 600.0, 6500.0);
        TLogDataEntry e;
        e.Rpm = std::round(rpm);
        e.Load = std::clamp(throttle * 100 + (unit(random) - 0.5) * 4, 0.0, 100.0);
        e.PlotMaf = std::clamp(rpm / 6500 * throttle * 600 + 30, 30.0, 560.0);
        e.SmoothedAfr = throttle > 0.85 ? 12.0 + unit(random) : 14.0 + unit(random) * 1.5;
        e.Afr = e.SmoothedAfr;
        e.AfrPresent = 1;
        e.O2Adjust = throttle > 0.85 ? 0 : (unit(random) - 0.5) * 12;
        e.Included = unit(random) < 0.8;
        for (double& r : retard) r = std::max(0.0, r - 0.1);
        const bool knocks = knockEverywhere ? unit(random) < 0.2 : throttle > 0.8 && unit(random) < 0.02;
        if (knocks) retard[random() % KnockCylinders] += std::round(unit(random) * 40) / 10;
        e.KnockRetard = retard;
        e.KnockCount = 0;
        log.Entries.push_back(e);
    }
    return state;
}

TKelvaneState& State(bool knockEverywhere) {
    static const std::unique_ptr<TKelvaneState> rare = MakeState(false);
    static const std::unique_ptr<TKelvaneState> everywhere = MakeState(true);
    return knockEverywhere ? *everywhere : *rare;
}

// The peer: one pass reading what the fuel adjustment reads of each sample.
void BM_PlainPassOverSamples(benchmark::State& bench) {
    const TLogData& log = State(false).Logs.Data;
    for (auto _ : bench) {
        double sum = 0;
        for (const TLogDataEntry& e : log.Entries)
            if (e.Included) sum += e.Rpm * e.PlotMaf + e.SmoothedAfr * e.O2Adjust;
        benchmark::DoNotOptimize(sum);
    }
}
BENCHMARK(BM_PlainPassOverSamples)->Unit(benchmark::kMillisecond);

// The peer of the ignition pass: one pass that also reads every knock retard.
void BM_PlainPassOverKnockRetards(benchmark::State& bench) {
    const TLogData& log = State(true).Logs.Data;
    for (auto _ : bench) {
        double sum = 0;
        for (const TLogDataEntry& e : log.Entries)
            if (e.Included)
                for (double r : e.KnockRetard) sum += r + e.Rpm;
        benchmark::DoNotOptimize(sum);
    }
}
BENCHMARK(BM_PlainPassOverKnockRetards)->Unit(benchmark::kMillisecond);

// One press of "Adjust" over the entire map: against the target AFR map
// (arg 1) or one number.
void BM_FuelAdjust(benchmark::State& bench) {
    TKelvaneState& state = State(false);
    TFuelAdjustment adjustment(state);
    const TFuelTarget target{bench.range(0) != 0, 14.7};
    for (auto _ : bench) benchmark::DoNotOptimize(adjustment.Adjust(WholeGrid, target));
    adjustment.Cancel();
}
BENCHMARK(BM_FuelAdjust)->Arg(0)->Arg(1)->ArgName("targetmap")->Unit(benchmark::kMillisecond);

void BM_FuelSmooth(benchmark::State& bench) {
    TKelvaneState& state = State(false);
    TFuelAdjustment adjustment(state);
    for (auto _ : bench) benchmark::DoNotOptimize(adjustment.Smooth(WholeGrid, 10, 10));
    adjustment.Cancel();
}
BENCHMARK(BM_FuelSmooth)->Unit(benchmark::kMicrosecond);

// Setting up an adjustment: finding each sample's knock events and cells once.
void BM_IgnitionStart(benchmark::State& bench) {
    TKelvaneState& state = State(bench.range(0) != 0);
    TIgnitionAdjustment adjustment(state);
    for (auto _ : bench) benchmark::DoNotOptimize(adjustment.Start(WholeGrid, {3, 1.0}));
    state.Ignition.ResetAdjustments();
}
BENCHMARK(BM_IgnitionStart)->Arg(0)->Arg(1)->ArgName("everywhere")->Unit(benchmark::kMillisecond);

// The first pass of a fresh adjustment, the one with the most to do.
void BM_IgnitionPass(benchmark::State& bench) {
    TKelvaneState& state = State(bench.range(0) != 0);
    TIgnitionAdjustment adjustment(state);
    for (auto _ : bench) {
        bench.PauseTiming();
        adjustment.Start(WholeGrid, {3, 1.0});
        bench.ResumeTiming();
        benchmark::DoNotOptimize(adjustment.RunPass());
    }
    state.Ignition.ResetAdjustments();
}
BENCHMARK(BM_IgnitionPass)->Arg(0)->Arg(1)->ArgName("everywhere")->Unit(benchmark::kMillisecond);

// Start and every pass until the passes end by themselves.
void BM_IgnitionAdjustToTheEnd(benchmark::State& bench) {
    TKelvaneState& state = State(bench.range(0) != 0);
    TIgnitionAdjustment adjustment(state);
    int passes = 0;
    for (auto _ : bench) {
        adjustment.Start(WholeGrid, {3, 1.0});
        while (adjustment.Running()) passes = adjustment.RunPass().Pass;
    }
    bench.counters["passes"] = passes;
    state.Ignition.ResetAdjustments();
}
BENCHMARK(BM_IgnitionAdjustToTheEnd)->Arg(0)->Arg(1)->ArgName("everywhere")->Unit(benchmark::kMillisecond);

}  // namespace
}  // namespace kelvane

BENCHMARK_MAIN();
