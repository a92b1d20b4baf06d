// Pointing at the plot over a million logged samples: the hover sample under
// the mouse (the bucket index against one plain scan of the list), and Ctrl+A
// selecting every cell with the statistics of the selection (against one
// plain pass over the list).
#include <benchmark/benchmark.h>
#include <unistd.h>

#include <filesystem>
#include <random>
#include <vector>

#include "GeneratedLog.h"
#include "core/logdata/LogFileReader.h"
#include "core/plot/CellStatistics.h"
#include "core/plot/NearestSample.h"
#include "core/plot/Selection.h"
#include "core/state/DerivedData.h"
#include "core/state/KelvaneState.h"

namespace kelvane {
namespace {

constexpr std::size_t SampleCount = 1'000'000;
constexpr std::size_t QueryCount = 4096;

struct TPoint {
    double Rpm;
    double Load;
};

struct TPointingFixture {
    TKelvaneState State;
    bool Ready = false;
    // Mouse positions: half near logged samples (the usual hover), half
    // anywhere on the plot's usual ranges.
    std::vector<TPoint> LhQueries, EzkQueries;

    TPointingFixture() {
        const auto path = std::filesystem::temp_directory_path() /
                          ("kelvane-pointing-bench-" + std::to_string(::getpid()) + ".txt");
        if (!WriteGeneratedLog(path, SampleCount)) return;
        State.Setup().LHVersion = TLHVersion::LH23;
        State.Setup().LHConfig = TLHConfig::Maf;
        State.Settings.ActiveFilters.FiltersEnabled = true;
        TLoadLogOptions options;
        options.LHConfig = TLHConfig::Maf;
        Ready = LoadLogFile(State.Logs, path, options).Loaded && State.Logs.Data.Count() == SampleCount;
        std::filesystem::remove(path);
        State.RecomputeAxes();
        UpdateDerivedData(State, FilterInputs);

        std::mt19937 random(7);
        std::uniform_real_distribution<double> unit(0, 1);
        const TLogData& data = State.Logs.Data;
        for (std::size_t q = 0; q < QueryCount; ++q) {
            if (q % 2 == 0) {
                const TLogDataEntry& e = data[static_cast<std::size_t>(unit(random) * (data.Count() - 1))];
                const double rpm = e.Rpm + (unit(random) - 0.5) * 100;
                LhQueries.push_back({rpm, e.PlotMaf + (unit(random) - 0.5) * 10});
                EzkQueries.push_back({rpm, e.Load + (unit(random) - 0.5) * 10});
            } else {
                const double rpm = unit(random) * 7000;
                LhQueries.push_back({rpm, unit(random) * 1200});
                EzkQueries.push_back({rpm, unit(random) * 100});
            }
        }
    }

    TPlotView View(const benchmark::State& bench) const {
        return bench.range(0) == 0 ? TPlotView::LH : TPlotView::EZK;
    }
    const std::vector<TPoint>& Queries(TPlotView view) const {
        return view == TPlotView::LH ? LhQueries : EzkQueries;
    }
};

TPointingFixture& Fixture() {
    static TPointingFixture fixture;
    return fixture;
}

bool Ready(benchmark::State& bench) {
    if (Fixture().Ready) return true;
    bench.SkipWithError("could not write or read the generated log");
    return false;
}

void BM_NearestSampleIndexBuild(benchmark::State& bench) {
    if (!Ready(bench)) return;
    TPointingFixture& f = Fixture();
    const TPlotView view = f.View(bench);
    TNearestSampleIndex index;
    for (auto _ : bench) {
        index.Build(f.State.Logs.Data, view);
        benchmark::DoNotOptimize(index);
    }
}
BENCHMARK(BM_NearestSampleIndexBuild)->Arg(0)->Arg(1)->ArgName("ezk")->Unit(benchmark::kMillisecond);

// One query per iteration, cycling through the mouse positions.
void BM_NearestSampleIndexFind(benchmark::State& bench) {
    if (!Ready(bench)) return;
    TPointingFixture& f = Fixture();
    const TPlotView view = f.View(bench);
    const std::vector<TPoint>& queries = f.Queries(view);
    TNearestSampleIndex index;
    index.Build(f.State.Logs.Data, view);
    std::size_t q = 0, found = 0;
    for (auto _ : bench) {
        const TPoint& p = queries[q++ % queries.size()];
        const int nearest = index.Find(p.Rpm, p.Load);
        benchmark::DoNotOptimize(nearest);
        found += nearest >= 0;
    }
    bench.counters["found"] =
        benchmark::Counter(static_cast<double>(found), benchmark::Counter::kAvgIterations);
}
BENCHMARK(BM_NearestSampleIndexFind)
    ->Arg(0)
    ->Arg(1)
    ->ArgName("ezk")
    ->Unit(benchmark::kMicrosecond)
    ->Repetitions(9)
    ->DisplayAggregatesOnly(true);

void BM_NearestSampleScan(benchmark::State& bench) {
    if (!Ready(bench)) return;
    TPointingFixture& f = Fixture();
    const TPlotView view = f.View(bench);
    const std::vector<TPoint>& queries = f.Queries(view);
    std::size_t q = 0;
    for (auto _ : bench) {
        const TPoint& p = queries[q++ % queries.size()];
        benchmark::DoNotOptimize(NearestSample(f.State.Logs.Data, view, p.Rpm, p.Load));
    }
}
BENCHMARK(BM_NearestSampleScan)
    ->Arg(0)
    ->Arg(1)
    ->ArgName("ezk")
    ->Unit(benchmark::kMillisecond)
    ->Repetitions(9)
    ->DisplayAggregatesOnly(true);

// Ctrl+A: every cell selected, the samples marked, the statistics for the
// status bar worked out. The second argument times the parts alone: 1 the
// marking of the samples, 2 the statistics.
void BM_SelectAllCellsWithStatistics(benchmark::State& bench) {
    if (!Ready(bench)) return;
    TPointingFixture& f = Fixture();
    f.State.Display.View = f.View(bench);
    const bool mark = bench.range(1) != 2;
    const bool count = bench.range(1) != 1;
    const std::vector<TSelectionItem> all = RegionCells(WholeGrid);
    if (!mark) f.State.SelectionEditor().AddAll(all);
    std::int32_t counted = 0;
    for (auto _ : bench) {
        if (mark) f.State.SelectionEditor().Replace(all);
        if (count) {
            const TCellStatistics statistics =
                SelectionStatistics(f.State.Logs.Data, f.State.Selection.Items, f.State.PlotContext());
            benchmark::DoNotOptimize(statistics);
            counted = statistics.Count;
        }
    }
    bench.counters["counted"] = counted;
    f.State.SelectionEditor().Clear();
    f.State.Display.View = TPlotView::LH;
}
BENCHMARK(BM_SelectAllCellsWithStatistics)
    ->ArgsProduct({{0, 1}, {0, 1, 2}})
    ->ArgNames({"ezk", "part"})
    ->Unit(benchmark::kMillisecond)
    ->Repetitions(5)
    ->DisplayAggregatesOnly(true);

// What any pass over the list costs at the least: each sample read once.
void BM_OnePlainPass(benchmark::State& bench) {
    if (!Ready(bench)) return;
    const TLogData& data = Fixture().State.Logs.Data;
    for (auto _ : bench) {
        double sum = 0;
        for (const TLogDataEntry& e : data.Entries)
            if (e.Included) sum += e.Rpm;
        benchmark::DoNotOptimize(sum);
    }
}
BENCHMARK(BM_OnePlainPass)->Unit(benchmark::kMillisecond)->Repetitions(5)->DisplayAggregatesOnly(true);

}  // namespace
}  // namespace kelvane

BENCHMARK_MAIN();
