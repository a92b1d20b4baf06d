// The session's "Open files" key read against the folder's log list: the time
// must grow in step with the number of names, whether they are listed or not.
#include <benchmark/benchmark.h>

#include <string>
#include <vector>

#include "core/projects/ProjectFolders.h"

namespace kelvane {
namespace {

// n names stored; every second one is in the folder, a third of them are gone
// from it and some hold a separator.
struct TKey {
    std::string Text;
    std::vector<std::string> Listed;
};

TKey MakeKey(int names) {
    TKey key;
    for (int i = 0; i < names; ++i) {
        const std::string name = "Run" + std::to_string(i) + (i % 97 == 0 ? ",a.txt" : ".txt");
        if (!key.Text.empty()) key.Text += ',';
        key.Text += i % 3 == 0 ? "Gone" + std::to_string(i) + ".txt" : name;
        if (i % 2 == 0) key.Listed.push_back(name);
    }
    return key;
}

void BM_TicksFromOpenFilesKey(benchmark::State& bench) {
    const TKey key = MakeKey(static_cast<int>(bench.range(0)));
    for (auto _ : bench) benchmark::DoNotOptimize(TicksFromOpenFilesKey(key.Text, key.Listed));
    bench.SetComplexityN(bench.range(0));
}
BENCHMARK(BM_TicksFromOpenFilesKey)
    ->RangeMultiplier(4)
    ->Range(500, 32000)
    ->Complexity(benchmark::oN)
    ->Unit(benchmark::kMillisecond);

}  // namespace
}  // namespace kelvane

BENCHMARK_MAIN();
