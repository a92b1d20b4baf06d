#include <benchmark/benchmark.h>
#include <unistd.h>

#include <cstdio>
#include <cstring>
#include <filesystem>
#include <memory>
#include <vector>

#include "GeneratedLog.h"
#include "core/ground/AtomicFile.h"
#include "core/logdata/LogFileReader.h"
#include "core/plot/LogExport.h"
#include "core/state/KelvaneState.h"

namespace kelvane {
namespace {

constexpr std::size_t BenchSamples = 1'000'000;

// The generated log, written once per run and removed at exit.
class TBenchLog {
  public:
    TBenchLog()
        : FPath(std::filesystem::temp_directory_path() /
                ("kelvane-bench-log-" + std::to_string(::getpid()) + ".txt")) {
        Written = WriteGeneratedLog(FPath, BenchSamples);
    }
    ~TBenchLog() {
        std::error_code ignored;
        std::filesystem::remove(FPath, ignored);
    }
    const std::filesystem::path& Path() const { return FPath; }
    bool Written = false;

  private:
    std::filesystem::path FPath;
};

const TBenchLog& BenchLog() {
    static const TBenchLog log;
    return log;
}

// withProgress: the load tells a callback its progress, as the window's load does; the
// lines are then parsed aside and join the list at the end.
void LoadLog(benchmark::State& state, bool withProgress, unsigned threads) {
    const TBenchLog& log = BenchLog();
    if (!log.Written) {
        state.SkipWithError("cannot write the generated log");
        return;
    }
    const auto fileBytes = std::filesystem::file_size(log.Path());
    TLoadLogOptions options;
    options.LHConfig = TLHConfig::Map;  // the longer PlotMaf pass
    options.Threads = threads;
    std::uint64_t reports = 0;
    if (withProgress)
        options.Progress = [&reports](std::uint64_t, std::uint64_t) {
            ++reports;
            return true;
        };

    std::size_t samples = 0, capacity = 0;
    for (auto _ : state) {
        auto logState = std::make_unique<TLogState>();
        const TLoadLogResult result = LoadLogFile(*logState, log.Path(), options);
        benchmark::DoNotOptimize(result.Loaded);
        state.PauseTiming();
        if (!result.Loaded) state.SkipWithError("the generated log did not load");
        samples = logState->Data.Count();
        capacity = logState->Data.Entries.capacity();
        logState.reset();
        state.ResumeTiming();
    }
    state.SetBytesProcessed(static_cast<std::int64_t>(state.iterations() * fileBytes));
    state.counters["Samples"] = static_cast<double>(samples);
    state.counters["EntryBytes"] = sizeof(TLogDataEntry);
    state.counters["CapacityPerSample"] = samples ? static_cast<double>(capacity) / samples : 0;
    state.counters["ListBytesPerSample"] =
        samples ? static_cast<double>(capacity * sizeof(TLogDataEntry)) / samples : 0;
    if (withProgress)
        state.counters["ReportsPerLoad"] =
            state.iterations() ? static_cast<double>(reports) / static_cast<double>(state.iterations()) : 0;
}

// Argument: the threads that parse, 0 for all the machine has.
void LoadGeneratedLog(benchmark::State& state) {
    LoadLog(state, false, static_cast<unsigned>(state.range(0)));
}

void LoadGeneratedLogWithProgress(benchmark::State& state) {
    LoadLog(state, true, static_cast<unsigned>(state.range(0)));
}

// Floors measured beside the loads: reading the file's bytes once in the reader's block
// size and finding its line ends, and filling a list of default samples of the same length.
void FloorReadFileAndCountLines(benchmark::State& state) {
    const TBenchLog& log = BenchLog();
    std::vector<char> block(std::size_t{1} << 20);
    std::size_t lines = 0;
    for (auto _ : state) {
        std::FILE* file = std::fopen(log.Path().c_str(), "rb");
        if (!file) {
            state.SkipWithError("cannot open the generated log");
            return;
        }
        lines = 0;
        std::size_t read = 0;
        while ((read = std::fread(block.data(), 1, block.size(), file)) > 0)
            for (const char* p = block.data();
                 (p = static_cast<const char*>(
                      std::memchr(p, '\n', static_cast<std::size_t>(block.data() + read - p))));
                 ++p)
                ++lines;
        std::fclose(file);
        benchmark::DoNotOptimize(lines);
    }
    state.counters["Lines"] = static_cast<double>(lines);
}

void FloorFillList(benchmark::State& state) {
    for (auto _ : state) {
        std::vector<TLogDataEntry> list(BenchSamples);
        benchmark::DoNotOptimize(list.data());
        state.PauseTiming();
        list = {};
        state.ResumeTiming();
    }
}

// Every sample's line read back from the loaded log, as "Copy All Log Data" does.
void ExportGeneratedLog(benchmark::State& state) {
    const TBenchLog& log = BenchLog();
    auto kelvane = std::make_unique<TKelvaneState>();
    TLoadLogOptions options;
    options.LHConfig = TLHConfig::Map;
    if (!log.Written || !LoadLogFile(kelvane->Logs, log.Path(), options).Loaded) {
        state.SkipWithError("the generated log did not load");
        return;
    }
    std::size_t textBytes = 0;
    for (auto _ : state) {
        const TLogLines lines =
            CollectLogLines(kelvane->Logs.Data, kelvane->Selection, kelvane->PlotContext());
        std::string text, error;
        if (!ReadLogLines(kelvane->Logs.Data, lines, text, error)) state.SkipWithError(error.c_str());
        textBytes = text.size();
        benchmark::DoNotOptimize(text.data());
    }
    state.SetBytesProcessed(static_cast<std::int64_t>(state.iterations() * textBytes));
    state.counters["Samples"] = static_cast<double>(kelvane->Logs.Data.Count());
}

// The floor for the export: the whole file read into memory at once.
void ReadGeneratedLogWhole(benchmark::State& state) {
    const TBenchLog& log = BenchLog();
    std::string bytes;
    for (auto _ : state) {
        if (!ReadWholeFile(log.Path(), bytes)) state.SkipWithError("cannot read the generated log");
        benchmark::DoNotOptimize(bytes.data());
    }
    state.SetBytesProcessed(static_cast<std::int64_t>(state.iterations() * bytes.size()));
}

BENCHMARK(LoadGeneratedLog)->Arg(1)->Arg(0)->Unit(benchmark::kMillisecond)->UseRealTime()->MinTime(3);
BENCHMARK(LoadGeneratedLogWithProgress)->Arg(0)->Unit(benchmark::kMillisecond)->UseRealTime()->MinTime(3);
BENCHMARK(ExportGeneratedLog)->Unit(benchmark::kMillisecond)->UseRealTime()->MinTime(3);
BENCHMARK(FloorReadFileAndCountLines)->Unit(benchmark::kMillisecond)->UseRealTime()->MinTime(3);
BENCHMARK(ReadGeneratedLogWhole)->Unit(benchmark::kMillisecond)->UseRealTime()->MinTime(3);
BENCHMARK(FloorFillList)->Unit(benchmark::kMillisecond)->UseRealTime()->MinTime(3);

}  // namespace
}  // namespace kelvane

BENCHMARK_MAIN();
