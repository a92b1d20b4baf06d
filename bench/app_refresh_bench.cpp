// The plot refresh over a million logged samples at 1200 x 800, as the main
// window does it: with the filters dirty (filters, mean AFR grid, every layer
// and the composed image) and clean (layers and composed image only). The
// window keeps one layers object between refreshes, and so does each run here.
// The passes share the samples among one thread per core; KELVANE_THREADS=1
// runs them on one thread. The plain pass is the floor to quote the others
// against: on a shared machine the speed varies from run to run.
#include <benchmark/benchmark.h>

#include <QGuiApplication>
#include <filesystem>

#include "GeneratedLog.h"
#include "QtBenchMain.h"
#include "app/plot/PlotLayers.h"
#include "core/logdata/LogFileReader.h"
#include "core/logdata/PointFilters.h"
#include "core/plot/MeanAfrGrid.h"
#include "core/state/DerivedData.h"
#include "core/state/KelvaneState.h"
#include "core/state/PlotRanges.h"

namespace kelvane {
namespace {

constexpr std::size_t SampleCount = 1'000'000;
const QSize ImageSize(1200, 800);

struct TRefreshFixture {
    TKelvaneState State;
    TColorTable Colors = BuiltInColorTable(DefaultColorTableNumber);
    TPlotLayerOptions Options;
    bool Ready = false;

    TRefreshFixture() {
        const auto path = std::filesystem::temp_directory_path() / "kelvane_app_refresh_bench.txt";
        if (!WriteGeneratedLog(path, SampleCount)) return;
        State.Setup().LHVersion = TLHVersion::LH23;
        State.Setup().LHConfig = TLHConfig::Maf;
        State.Settings.ScaleMode = TScaleMode::Automatic;
        State.Settings.ActiveFilters.FiltersEnabled = true;
        TLoadLogOptions options;
        options.LHConfig = TLHConfig::Maf;
        Ready = LoadLogFile(State.Logs, path, options).Loaded;
        std::filesystem::remove(path);
        State.RecomputeAxes();
        State.PlotRanges = SettingsPlotRanges(State);
        AutoScalePlot(State, State.PlotRanges);
        State.PlotDisplay.Overlay = TMapOverlay::MeanAfr;
    }
};

TRefreshFixture& Fixture() {
    static TRefreshFixture fixture;
    return fixture;
}

void Refresh(benchmark::State& bench, bool filtersDirty) {
    TRefreshFixture& f = Fixture();
    if (!f.Ready) {
        bench.SkipWithError("could not write or read the generated log");
        return;
    }
    TPlotLayers layers;
    for (auto _ : bench) {
        if (filtersDirty) UpdateDerivedData(f.State, TChange::Filters);
        DrawPlotLayers(layers, f.State, f.Colors, ImageSize, f.Options);
        const QImage image = ComposePlot(layers);
        benchmark::DoNotOptimize(image.constBits());
    }
    bench.counters["samples"] = static_cast<double>(f.State.Logs.Data.Count());
}

void BM_RefreshFiltersDirty(benchmark::State& bench) {
    Refresh(bench, true);
}
void BM_RefreshFiltersClean(benchmark::State& bench) {
    Refresh(bench, false);
}
BENCHMARK(BM_RefreshFiltersDirty)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_RefreshFiltersClean)->Unit(benchmark::kMillisecond);

// The floor: one plain serial pass over the samples reading the fields every
// refresh reads (their first cache line), to set the refresh against on a
// machine whose speed varies from run to run.
void BM_PlainPassOverSamples(benchmark::State& bench) {
    TRefreshFixture& f = Fixture();
    if (!f.Ready) {
        bench.SkipWithError("could not write or read the generated log");
        return;
    }
    for (auto _ : bench) {
        double sum = 0;
        for (const TLogDataEntry& e : f.State.Logs.Data.Entries) sum += e.Rpm;
        benchmark::DoNotOptimize(sum);
    }
}
BENCHMARK(BM_PlainPassOverSamples)->Unit(benchmark::kMillisecond);

// The refresh's steps one at a time, to see where its time goes.
enum TRefreshStep { StepFilters, StepMeanAfrGrid, StepPoints, StepOtherLayers, StepCompose };

void BM_RefreshStep(benchmark::State& bench) {
    TRefreshFixture& f = Fixture();
    if (!f.Ready) {
        bench.SkipWithError("could not write or read the generated log");
        return;
    }
    TPlotLayers layers;
    const TPlotGeometry g = DrawPlotLayers(layers, f.State, f.Colors, ImageSize, f.Options);
    const auto step = static_cast<TRefreshStep>(bench.range(0));
    for (auto _ : bench) {
        switch (step) {
            case StepFilters:
                ApplyFilters(f.State.Logs.Data, f.State.Settings.ActiveFilters);
                break;
            case StepMeanAfrGrid:
                benchmark::DoNotOptimize(ComputeMeanAfrGrid(f.State.Logs.Data, f.State.PlotContext()));
                break;
            case StepPoints:
                DrawPointsAndKnockLayers(layers, g, f.State, f.Colors, f.State.PlotDisplay);
                break;
            case StepOtherLayers:
                DrawGridLayer(layers, g, AxisTitles(f.State.Setup().LHConfig, g.View()));
                DrawOverlayLayer(layers, g, f.State, f.State.PlotDisplay.Overlay);
                DrawAfrScaleLayer(layers, g, f.Colors, f.State.PlotDisplay);
                ClearSelectionAndCursorLayers(layers, g);
                break;
            case StepCompose:
                benchmark::DoNotOptimize(ComposePlot(layers).constBits());
                break;
        }
    }
}
BENCHMARK(BM_RefreshStep)
    ->ArgName("step")
    ->DenseRange(StepFilters, StepCompose)
    ->Unit(benchmark::kMillisecond);

}  // namespace
}  // namespace kelvane

int main(int argc, char** argv) {
    return kelvane::RunQtBenchmarks<QGuiApplication>(argc, argv);
}
