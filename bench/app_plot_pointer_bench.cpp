// The main window under the mouse with a million logged samples at
// 1200 x 800: one mouse move over the plot (cursor values, hovered cell and
// sample, readouts, the hover mark) in each cursor mode, and Ctrl+A with its
// statistics. Each beside one plain pass over the samples in the same run.
#include <benchmark/benchmark.h>

#include <QApplication>
#include <QKeyEvent>
#include <filesystem>
#include <memory>

#include "GeneratedLog.h"
#include "QtBenchMain.h"
#include "app/plot/MainImage.h"
#include "app/plot/MainUnit.h"

namespace kelvane {
namespace {

constexpr std::size_t SampleCount = 1'000'000;

struct TPointerFixture {
    std::filesystem::path Folder = std::filesystem::temp_directory_path() / "kelvane_pointer_bench";
    std::unique_ptr<TMainForm> Form;
    bool Ready = false;

    TPointerFixture() {
        std::filesystem::create_directories(Folder);
        const auto log = Folder / "Run1.txt";
        if (!WriteGeneratedLog(log, SampleCount)) return;
        TMainFormOptions options;
        options.CommonRoot = QString::fromStdString((Folder / "common").string());
        options.StartupWindow = false;
        Form = std::make_unique<TMainForm>(options);
        Form->show();
        Form->resize(1400, 900);
        QApplication::processEvents();
        Form->State().Setup() = TEngineSetup{TLHVersion::LH23, TLHConfig::Maf, TEZKVersion::GT};
        Ready = Form->LoadLogFile(QString::fromStdString(log.string()));
        Form->Document().Apply(EverythingChanged);
        std::filesystem::remove(log);
    }
    ~TPointerFixture() {
        Form.reset();
        std::error_code ignored;
        std::filesystem::remove_all(Folder, ignored);
    }

    // Positions across the plot, visited in turn.
    QPoint Position(int step) const {
        const TPlotGeometry& g = *Form->PlotGeometry();
        const int x = g.PlotLeft() + 5 + (step * 37) % std::max(1, g.PlotWidth() - 10);
        const int y = g.PlotTop() + 5 + (step * 23) % std::max(1, g.PlotHeight() - 10);
        return {x, y};
    }
};

TPointerFixture& Fixture() {
    static TPointerFixture fixture;
    return fixture;
}

void MouseMoves(benchmark::State& bench, bool cellCursor) {
    TPointerFixture& f = Fixture();
    if (!f.Ready) {
        bench.SkipWithError("could not make the window with the generated log");
        return;
    }
    f.Form->SetCellCursor(cellCursor);
    // The first move builds what later moves look things up in.
    emit f.Form->MainImage()->MouseMove(f.Position(0), Qt::NoButton);
    int step = 1;
    int inPlot = 0, nearSample = 0;
    for (auto _ : bench) {
        emit f.Form->MainImage()->MouseMove(f.Position(step++), Qt::NoButton);
        inPlot += f.Form->Hover().InPlot ? 1 : 0;
        nearSample += f.Form->Hover().Sample >= 0 ? 1 : 0;
    }
    // Moves that found the plot, and a sample near the mouse, as a check on the setup.
    bench.counters["in plot"] = benchmark::Counter(inPlot, benchmark::Counter::kAvgIterations);
    bench.counters["near a sample"] = benchmark::Counter(nearSample, benchmark::Counter::kAvgIterations);
}

void BM_MouseMoveCellCursor(benchmark::State& bench) {
    MouseMoves(bench, true);
}
void BM_MouseMovePointCursor(benchmark::State& bench) {
    MouseMoves(bench, false);
}

void BM_SelectAllCells(benchmark::State& bench) {
    TPointerFixture& f = Fixture();
    if (!f.Ready) {
        bench.SkipWithError("could not make the window with the generated log");
        return;
    }
    f.Form->SetCellCursor(true);
    for (auto _ : bench) {
        QKeyEvent press(QEvent::KeyPress, Qt::Key_A, Qt::ControlModifier);
        QApplication::sendEvent(f.Form->MainImage(), &press);
        benchmark::DoNotOptimize(f.Form->State().Selection.Items.size());
    }
}

void BM_OnePlainPass(benchmark::State& bench) {
    TPointerFixture& f = Fixture();
    if (!f.Ready) {
        bench.SkipWithError("could not make the window with the generated log");
        return;
    }
    const TLogData& data = f.Form->State().Logs.Data;
    for (auto _ : bench) {
        double sum = 0;
        for (const TLogDataEntry& e : data.Entries)
            if (e.Included) sum += e.Rpm;
        benchmark::DoNotOptimize(sum);
    }
}

BENCHMARK(BM_MouseMoveCellCursor)->Unit(benchmark::kMillisecond)->Repetitions(5)->DisplayAggregatesOnly(true);
BENCHMARK(BM_MouseMovePointCursor)
    ->Unit(benchmark::kMillisecond)
    ->Repetitions(5)
    ->DisplayAggregatesOnly(true);
BENCHMARK(BM_SelectAllCells)->Unit(benchmark::kMillisecond)->Repetitions(5)->DisplayAggregatesOnly(true);
BENCHMARK(BM_OnePlainPass)->Unit(benchmark::kMillisecond)->Repetitions(5)->DisplayAggregatesOnly(true);

}  // namespace
}  // namespace kelvane

int main(int argc, char** argv) {
    return kelvane::RunQtBenchmarks<QApplication>(argc, argv);
}
