// The Color Adjustment window over a million logged samples at 1200 x 800:
// one move of a row's slider until the plot has painted the new colours,
// beside a whole refresh of the plot (what the move would cost if it drew
// everything again) and one plain pass over the samples in the same run.
#include <benchmark/benchmark.h>

#include <QApplication>
#include <QSlider>
#include <filesystem>
#include <memory>

#include "GeneratedLog.h"
#include "QtBenchMain.h"
#include "app/display/ColorPanels.h"
#include "app/display/ColorUnit.h"
#include "app/plot/MainImage.h"
#include "app/plot/MainUnit.h"

namespace kelvane {
namespace {

constexpr std::size_t SampleCount = 1'000'000;

struct TSliderFixture {
    std::filesystem::path Folder = std::filesystem::temp_directory_path() / "kelvane_color_slider_bench";
    std::unique_ptr<TMainForm> Form;
    bool Ready = false;

    TSliderFixture() {
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
        QApplication::processEvents();
        std::filesystem::remove(log);
        // Shown without its modal loop, as the benchmark drives it.
        Form->ColorForm().Prepare();
        Form->ColorForm().show();
        QApplication::processEvents();
        Ready = Ready && Form->ColorForm().Rows().size() > 2;
    }
    ~TSliderFixture() {
        Form.reset();
        std::error_code ignored;
        std::filesystem::remove_all(Folder, ignored);
    }
};

TSliderFixture& Fixture() {
    static TSliderFixture fixture;
    return fixture;
}

// The hue slider of the 14.7 row, where most samples lie.
void BM_ColorSliderMoveToRepaintedPlot(benchmark::State& bench) {
    TSliderFixture& f = Fixture();
    if (!f.Ready) {
        bench.SkipWithError("could not make the windows with the generated log");
        return;
    }
    QSlider* hue = f.Form->ColorForm().Rows()[2]->Slider(0);
    int step = 0;
    for (auto _ : bench) {
        hue->setValue(120 + (step++ % 80));
        f.Form->MainImage()->repaint();
    }
    bench.counters["samples"] = static_cast<double>(f.Form->State().Logs.Data.Count());
}

void BM_WholePlotRefresh(benchmark::State& bench) {
    TSliderFixture& f = Fixture();
    if (!f.Ready) {
        bench.SkipWithError("could not make the windows with the generated log");
        return;
    }
    for (auto _ : bench) {
        f.Form->Document().Apply(TChange::Display);
        f.Form->MainImage()->repaint();
    }
}

void BM_OnePlainPass(benchmark::State& bench) {
    TSliderFixture& f = Fixture();
    if (!f.Ready) {
        bench.SkipWithError("could not make the windows with the generated log");
        return;
    }
    const TLogData& data = f.Form->State().Logs.Data;
    for (auto _ : bench) {
        double sum = 0;
        for (const TLogDataEntry& e : data.Entries)
            if (e.Included) sum += e.Afr;
        benchmark::DoNotOptimize(sum);
    }
}

BENCHMARK(BM_ColorSliderMoveToRepaintedPlot)
    ->Unit(benchmark::kMillisecond)
    ->Repetitions(5)
    ->DisplayAggregatesOnly(true);
BENCHMARK(BM_WholePlotRefresh)->Unit(benchmark::kMillisecond)->Repetitions(5)->DisplayAggregatesOnly(true);
BENCHMARK(BM_OnePlainPass)->Unit(benchmark::kMillisecond)->Repetitions(5)->DisplayAggregatesOnly(true);

}  // namespace
}  // namespace kelvane

int main(int argc, char** argv) {
    return kelvane::RunQtBenchmarks<QApplication>(argc, argv);
}
