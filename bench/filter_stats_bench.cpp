// Filters, mean AFR grid and cell statistics over a million logged samples.
#include <benchmark/benchmark.h>

#include <algorithm>
#include <cmath>
#include <random>
#include <vector>

#include "core/logdata/FilterSettings.h"
#include "core/logdata/KelvaneDefs.h"
#include "core/logdata/PointFilters.h"
#include "core/maps/MapGrid.h"
#include "core/plot/CellStatistics.h"
#include "core/plot/DisplayOptions.h"
#include "core/plot/MeanAfrGrid.h"
#include "core/plot/PlotContext.h"

namespace kelvane {
namespace {

constexpr int SampleCount = 1'000'000;
constexpr int FileCount = 6;

TCellBounds Bounds(const TMapAxis& axis, double low, double high) {
    TCellBounds b{};
    b[0] = low;
    for (int k = 1; k < MapSize; ++k) b[k] = (axis[k - 1] + axis[k]) / 2;
    b[MapSize] = high;
    return b;
}

struct TBenchState {
    TDisplayOptions Options;
    TMapAxis LhRpm{}, LhLoad{}, EzkRpm{}, EzkLoad{};
    TCellBounds LhRpmBounds{}, LhLoadBounds{}, EzkRpmBounds{}, EzkLoadBounds{};
    TMapGrid FuelAdjustment, IgnitionAdjustment;
    TFilterSettings Filters;
    TLogData Log;

    TBenchState() {
        const TMapAxis lhRpm{500,  700,  1000, 1300, 1600, 2000, 2400, 2800,
                             3200, 3600, 4000, 4500, 5000, 5500, 6000, 6500};
        LhRpm = lhRpm;
        for (int k = 0; k < MapSize; ++k) {
            LhLoad[k] = 60 + 70.0 * k;
            EzkRpm[k] = 600 + 400.0 * k;
            EzkLoad[k] = 100.0 * k / 15;
        }
        LhRpmBounds = Bounds(LhRpm, 0, 100000);
        LhLoadBounds = Bounds(LhLoad, 0, 10000);
        EzkRpmBounds = Bounds(EzkRpm, 0, 6800);
        EzkLoadBounds = Bounds(EzkLoad, -3.33, 103.33);
        std::mt19937 random(42);
        std::uniform_real_distribution<double> unit(0, 1);
        for (int r = 0; r < MapSize; ++r)
            for (int l = 0; l < MapSize; ++l) {
                FuelAdjustment.At(r, l) = 0.94 + 0.12 * unit(random);
                IgnitionAdjustment.At(r, l) = unit(random) < 0.2 ? -1.0 : 0.0;
            }

        // Driving: RPM wanders between idle and the limiter, load follows the
        // throttle, gear changes pause the logger for a moment, and each new
        // file starts its clock again.
        Log.Entries.reserve(SampleCount);
        double t = 0, rpm = 900, throttle = 0.2;
        for (int i = 0; i < SampleCount; ++i) {
            if (i % (SampleCount / FileCount) == 0) t = unit(random) * 2;
            t += unit(random) < 0.01 ? 0.3 + unit(random) : 0.05;
            throttle = std::clamp(throttle + (unit(random) - 0.5) * 0.08, 0.0, 1.0);
            rpm = std::clamp(rpm + (throttle - 0.4) * 60 + (unit(random) - 0.5) * 40, 700.0, 6500.0);
            TLogDataEntry e;
            e.TimeSec = t;
            e.Rpm = std::round(rpm);
            e.Load = std::clamp(throttle * 100 + (unit(random) - 0.5) * 4, 0.0, 100.0);
            e.PlotMaf = std::clamp(rpm / 6500 * throttle * 1100 + 40, 40.0, 1100.0);
            e.MafSignal = e.PlotMaf / 10;
            e.Afr = throttle > 0.85 ? 12.0 + unit(random) : 14.0 + unit(random) * 1.5;
            if (throttle < 0.05 && unit(random) < 0.5) e.Afr = 19.5;  // fuel cut on overrun
            e.SmoothedAfr = e.Afr;
            e.AfrPresent = 1;
            e.O2Adjust = throttle > 0.85 ? 0 : (unit(random) - 0.5) * 12;
            e.ThrottleSwitch = throttle < 0.05 ? 1 : throttle > 0.85 ? 3 : 2;
            e.KnockRetard.fill(0);
            if (unit(random) < 0.02) e.KnockRetard[random() % 6] = std::round(unit(random) * 60) / 10;
            e.KnockCount = 0;
            Log.Entries.push_back(e);
        }
        for (std::size_t i = 1; i < Log.Count(); ++i)
            Log[i].SmoothedAfr = (Log[i - 1].Afr * 0.538 + Log[i].Afr) / 1.538;
        ApplyFilters(Log, Filters);
    }

    TPlotContext Context() const {
        return {Options,      LhRpm,         LhLoad,         LhRpmBounds,       LhLoadBounds,
                EzkRpmBounds, EzkLoadBounds, FuelAdjustment, IgnitionAdjustment};
    }
};

TBenchState& State() {
    static TBenchState state;
    return state;
}

void BM_ApplyFiltersAndMeanAfrGrid(benchmark::State& bench) {
    TBenchState& s = State();
    for (auto _ : bench) {
        bool dirty = true;
        const TMapGrid mean = ApplyFiltersAndComputeMeanAfrGrid(s.Log, s.Filters, dirty, s.Context());
        benchmark::DoNotOptimize(mean);
    }
    std::size_t included = 0;
    for (const TLogDataEntry& e : s.Log.Entries) included += e.Included;
    bench.counters["included"] = static_cast<double>(included);
}
BENCHMARK(BM_ApplyFiltersAndMeanAfrGrid)->Unit(benchmark::kMillisecond);

void BM_AllCellStatistics(benchmark::State& bench) {
    TBenchState& s = State();
    s.Options.View = bench.range(0) == 0 ? TPlotView::LH : TPlotView::EZK;
    for (auto _ : bench) {
        const TCellStatisticsGrid grid = AllCellStatistics(s.Log, s.Context());
        benchmark::DoNotOptimize(grid);
    }
    s.Options.View = TPlotView::LH;
}
BENCHMARK(BM_AllCellStatistics)->Arg(0)->Arg(1)->ArgName("ezk")->Unit(benchmark::kMillisecond);

void BM_SelectionStatisticsEveryCell(benchmark::State& bench) {
    TBenchState& s = State();
    s.Options.View = bench.range(0) == 0 ? TPlotView::LH : TPlotView::EZK;
    std::vector<TSelectionItem> every;
    for (int r = 0; r < MapSize; ++r)
        for (int c = 0; c < MapSize; ++c) every.push_back(TSelectionItem::Cell(r, c));
    for (auto _ : bench) {
        const TCellStatistics statistics = SelectionStatistics(s.Log, every, s.Context());
        benchmark::DoNotOptimize(statistics);
    }
    s.Options.View = TPlotView::LH;
}
BENCHMARK(BM_SelectionStatisticsEveryCell)->Arg(0)->Arg(1)->ArgName("ezk")->Unit(benchmark::kMillisecond);

}  // namespace
}  // namespace kelvane

namespace kelvane {
namespace {

// The two halves of the refresh step, apart.
void BM_ApplyFilters(benchmark::State& bench) {
    TBenchState& s = State();
    for (auto _ : bench) ApplyFilters(s.Log, s.Filters);
}
BENCHMARK(BM_ApplyFilters)->Unit(benchmark::kMillisecond);

void BM_ComputeMeanAfrGrid(benchmark::State& bench) {
    TBenchState& s = State();
    s.Options.IncludeAdjustments = bench.range(0);
    for (auto _ : bench) benchmark::DoNotOptimize(ComputeMeanAfrGrid(s.Log, s.Context()));
    s.Options.IncludeAdjustments = true;
}
BENCHMARK(BM_ComputeMeanAfrGrid)->Arg(0)->Arg(1)->ArgName("adjustments")->Unit(benchmark::kMillisecond);

}  // namespace
}  // namespace kelvane

BENCHMARK_MAIN();
