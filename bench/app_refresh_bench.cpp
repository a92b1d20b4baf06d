// The plot refresh over a million logged samples at 1200 x 800, as the main
// window does it: with the filters dirty (filters, mean AFR grid, every layer
// and the composed image) and clean (layers and composed image only). The
// window keeps one layers object between refreshes, and so does each run here.
#include <benchmark/benchmark.h>

#include <QGuiApplication>
#include <filesystem>

#include "GeneratedLog.h"
#include "QtBenchMain.h"
#include "app/plot/PlotLayers.h"
#include "core/logdata/LogFileReader.h"
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
        Options.Ranges = SettingsPlotRanges(State);
        AutoScalePlot(State, Options.Ranges);
        Options.Display.Overlay = TMapOverlay::MeanAfr;
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

}  // namespace
}  // namespace kelvane

int main(int argc, char** argv) {
    return kelvane::RunQtBenchmarks<QGuiApplication>(argc, argv);
}
