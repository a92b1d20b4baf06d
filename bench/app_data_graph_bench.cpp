// The data graph over a million logged samples at 1200 x 200, as the panel
// draws it after a change: every layer (grid with time marks, traces,
// selection fog with a selected run of samples, hover bar) and the composed
// image; the panel keeps its layers (and the time marks' walk) between
// drawings, and so does each run here but the first-draw one. Beside it, one plain pass over the samples
// reading the fields the traces read, measured in the same run, as the floor any drawing stands on.
#include <benchmark/benchmark.h>

#include <QGuiApplication>
#include <filesystem>

#include "GeneratedLog.h"
#include "QtBenchMain.h"
#include "app/plot/DataGraph.h"
#include "core/logdata/LogFileReader.h"
#include "core/state/DerivedData.h"
#include "core/state/KelvaneState.h"
#include "core/state/PlotRanges.h"

namespace kelvane {
namespace {

constexpr std::size_t SampleCount = 1'000'000;
const QSize GraphSize(1200, 200);

struct TGraphFixture {
    TKelvaneState State;
    bool Ready = false;

    TGraphFixture() {
        const auto path = std::filesystem::temp_directory_path() / "kelvane_app_data_graph_bench.txt";
        if (!WriteGeneratedLog(path, SampleCount)) return;
        State.Setup().LHVersion = TLHVersion::LH23;
        State.Setup().LHConfig = TLHConfig::Maf;
        State.Settings.ActiveFilters.FiltersEnabled = true;
        TLoadLogOptions options;
        options.LHConfig = TLHConfig::Maf;
        Ready = LoadLogFile(State.Logs, path, options).Loaded;
        std::filesystem::remove(path);
        State.RecomputeAxes();
        State.PlotRanges = SettingsPlotRanges(State);
        UpdateDerivedData(State, TChange::Samples);
        // A Shift-click's run of selected samples.
        std::vector<TSelectionItem> run;
        for (int i = 400000; i < 410000; ++i) run.push_back(TSelectionItem::Point(i));
        State.SelectionEditor().AddAll(run);
    }
};

TGraphFixture& Fixture() {
    static TGraphFixture fixture;
    return fixture;
}

void BM_DataGraphAllLayers(benchmark::State& bench) {
    TGraphFixture& f = Fixture();
    if (!f.Ready) {
        bench.SkipWithError("could not write or read the generated log");
        return;
    }
    TDataGraphLayers layers;
    for (auto _ : bench) {
        DrawDataGraphLayers(layers, f.State, GraphSize);
        DrawDataGraphHover(layers, f.State, 500000);
        const QImage image = ComposeDataGraph(layers);
        benchmark::DoNotOptimize(image.constBits());
    }
    bench.counters["samples"] = static_cast<double>(f.State.Logs.Data.Count());
}

// The first drawing after a load walks the time marks over the whole list.
void BM_DataGraphFirstDrawAfterLoad(benchmark::State& bench) {
    TGraphFixture& f = Fixture();
    if (!f.Ready) {
        bench.SkipWithError("could not write or read the generated log");
        return;
    }
    TDataGraphLayers layers;
    for (auto _ : bench) {
        layers.Marks.Forget();
        DrawDataGraphLayers(layers, f.State, GraphSize);
        DrawDataGraphHover(layers, f.State, 500000);
        const QImage image = ComposeDataGraph(layers);
        benchmark::DoNotOptimize(image.constBits());
    }
}

void BM_DataGraphTraces(benchmark::State& bench) {
    TGraphFixture& f = Fixture();
    if (!f.Ready) {
        bench.SkipWithError("could not write or read the generated log");
        return;
    }
    TDataGraphLayers layers;
    DrawDataGraphGrid(layers, f.State, GraphSize);
    for (auto _ : bench) {
        DrawDataGraphTraces(layers, f.State);
        benchmark::DoNotOptimize(layers.Traces.constBits());
    }
}

void BM_DataGraphTimeMarks(benchmark::State& bench) {
    TGraphFixture& f = Fixture();
    if (!f.Ready) {
        bench.SkipWithError("could not write or read the generated log");
        return;
    }
    const TGraphArea area = TGraphArea::ForImage(GraphSize.width(), GraphSize.height());
    const TGraphRange range = WholeGraphRange(f.State.Logs.Data.Count());
    for (auto _ : bench) benchmark::DoNotOptimize(TimeMarks(f.State.Logs.Data, range, area));
}

// The floor: every sample's engine speed, load and AFR read once.
void BM_PlainPassOverSamples(benchmark::State& bench) {
    TGraphFixture& f = Fixture();
    if (!f.Ready) {
        bench.SkipWithError("could not write or read the generated log");
        return;
    }
    for (auto _ : bench) {
        double sum = 0;
        for (const TLogDataEntry& e : f.State.Logs.Data.Entries) sum += e.Rpm + e.PlotMaf + e.SmoothedAfr;
        benchmark::DoNotOptimize(sum);
    }
}

BENCHMARK(BM_DataGraphAllLayers)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_DataGraphFirstDrawAfterLoad)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_DataGraphTraces)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_DataGraphTimeMarks)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_PlainPassOverSamples)->Unit(benchmark::kMillisecond);

}  // namespace
}  // namespace kelvane

int main(int argc, char** argv) {
    return kelvane::RunQtBenchmarks<QGuiApplication>(argc, argv);
}
