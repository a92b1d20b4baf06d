// A value typed into the fuel map window, to the repainted windows, over a
// million logged samples: the main window (1200 x 800) with the fuel map
// window and the 3D viewer open, a cell of the updated map committed as the
// window commits it (the edit as one undo step, the filters and the mean AFR
// grid worked out again, the plot redrawn, the map window and the viewer
// told through the change flow), then the pending paints run. Beside it, in
// the same run: a typed target AFR cell (no filter pass), the refresh after
// a filter change with no map edited, and one plain pass over the samples.
#include <benchmark/benchmark.h>

#include <QApplication>
#include <filesystem>
#include <memory>

#include "GeneratedLog.h"
#include "QtBenchMain.h"
#include "app/mapwindows/FuelMapUnit.h"
#include "app/mapwindows/MapViewerUnit.h"
#include "app/plot/MainUnit.h"
#include "core/logdata/LogFileReader.h"
#include "core/state/PlotRanges.h"

namespace kelvane {
namespace {

constexpr std::size_t SampleCount = 1'000'000;

struct TEditFixture {
    std::filesystem::path Folder = std::filesystem::temp_directory_path() / "kelvane_app_map_edit_bench";
    std::unique_ptr<TMainForm> Form;
    bool Ready = false;

    TEditFixture() {
        std::filesystem::create_directories(Folder);
        const std::filesystem::path log = Folder / "run.txt";
        if (!WriteGeneratedLog(log, SampleCount)) return;
        TMainFormOptions options;
        options.CommonRoot = QString::fromStdString((Folder / "common").string());
        options.StartupWindow = false;
        Form = std::make_unique<TMainForm>(options);
        TKelvaneState& state = Form->State();
        state.Setup() = TEngineSetup{TLHVersion::LH23, TLHConfig::Maf, TEZKVersion::S4};
        state.Settings.ActiveFilters.FiltersEnabled = true;
        TLoadLogOptions load;
        load.LHConfig = TLHConfig::Maf;
        Ready = LoadLogFile(state.Logs, log, load).Loaded;
        std::filesystem::remove(log);
        state.RecomputeAxes();
        state.PlotRanges = SettingsPlotRanges(state);
        state.Fuel.Reference.Fill(-20);
        state.Fuel.ReferenceLoaded = true;
        state.Fuel.ResetAdjustments(state.Axes.FuelLimits);
        state.PlotDisplay.Overlay = TMapOverlay::Updated;
        Form->resize(1200, 800);
        Form->show();
        Form->Document().Apply(EverythingChanged);
        Form->MapsWindow1Click();
        Form->Map3DView1Click();
        QCoreApplication::processEvents();
    }
    ~TEditFixture() {
        Form.reset();
        std::error_code ignored;
        std::filesystem::remove_all(Folder, ignored);
    }
};

// Made on first use, and gone before the application object is.
std::unique_ptr<TEditFixture>& FixtureSlot() {
    static std::unique_ptr<TEditFixture> fixture;
    return fixture;
}

TEditFixture& Fixture() {
    std::unique_ptr<TEditFixture>& fixture = FixtureSlot();
    if (!fixture) fixture = std::make_unique<TEditFixture>();
    return *fixture;
}

// Enter in the edit box over one cell of the tab, alternating two values.
void TypeIntoCell(benchmark::State& bench, TFuelMapTab tab, const QString& first, const QString& second) {
    TEditFixture& f = Fixture();
    if (!f.Ready) {
        bench.SkipWithError("could not write or read the generated log");
        return;
    }
    TFuelMapForm* form = f.Form->FuelMapForm();
    form->SetTab(tab);
    TMapGridView* grid = form->Grid(tab);
    grid->SetSelection(TMapSelection{6, 6, 6, 6});
    bool odd = false;
    for (auto _ : bench) {
        odd = !odd;
        emit grid->EditCommitted(odd ? first : second);
        QCoreApplication::processEvents();
    }
    bench.counters["samples"] = static_cast<double>(f.Form->State().Logs.Data.Count());
}

void BM_TypeUpdatedCellToRepaint(benchmark::State& bench) {
    TypeIntoCell(bench, TFuelMapTab::Updated, QStringLiteral("40"), QStringLiteral("41"));
}
BENCHMARK(BM_TypeUpdatedCellToRepaint)->Unit(benchmark::kMillisecond);

void BM_TypeTargetCellToRepaint(benchmark::State& bench) {
    TypeIntoCell(bench, TFuelMapTab::TargetAfr, QStringLiteral("14.0"), QStringLiteral("14.1"));
}
BENCHMARK(BM_TypeTargetCellToRepaint)->Unit(benchmark::kMillisecond);

void BM_RefreshAfterFilterChange(benchmark::State& bench) {
    TEditFixture& f = Fixture();
    if (!f.Ready) {
        bench.SkipWithError("could not write or read the generated log");
        return;
    }
    for (auto _ : bench) {
        f.Form->Document().Apply(TChange::Filters);
        QCoreApplication::processEvents();
    }
}
BENCHMARK(BM_RefreshAfterFilterChange)->Unit(benchmark::kMillisecond);

// The floor: one pass over the samples reading what the filters read first.
void BM_PlainPassOverSamples(benchmark::State& bench) {
    TEditFixture& f = Fixture();
    if (!f.Ready) {
        bench.SkipWithError("could not write or read the generated log");
        return;
    }
    const TLogData& data = f.Form->State().Logs.Data;
    for (auto _ : bench) {
        double sum = 0;
        for (std::size_t i = 0; i < data.Count(); ++i) sum += data[i].Rpm + data[i].PlotMaf;
        benchmark::DoNotOptimize(sum);
    }
}
BENCHMARK(BM_PlainPassOverSamples)->Unit(benchmark::kMillisecond);

}  // namespace

void ReleaseEditFixture() {
    FixtureSlot().reset();
}

}  // namespace kelvane

int main(int argc, char** argv) {
    return kelvane::RunQtBenchmarks<QApplication>(argc, argv, [] { kelvane::ReleaseEditFixture(); });
}
