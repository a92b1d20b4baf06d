#include "core/plot/MeanAfrGrid.h"

#include <array>
#include <cstdint>
#include <vector>

#include "core/logdata/PointFilters.h"
#include "core/plot/SampleBinner.h"

namespace kelvane {

namespace {

// Samples are large and a pass reads only their first cache line; asking for
// it a few samples ahead keeps the memory busy while the values are worked.
constexpr std::size_t PrefetchDistance = 12;

void PrefetchEntry(const TLogDataEntry* entries, std::size_t index, std::size_t count) {
    if (index < count) __builtin_prefetch(entries + index);
}

// A sample's share of the grid: the fuel map cell it lies in (-1 for none)
// and its plotted AFR.
struct TCellSample {
    double Afr;
    std::int32_t Cell;
};

// Places the samples [first, end) and works out their plotted AFR, handing
// each place to sink(index, place): the costly part of the pass, done in
// parallel ranges.
template <typename TSink>
void PlaceSamples(const TLogData& logData, const TPlotContext& context, std::size_t first, std::size_t end,
                  TSink&& sink) {
    const TSampleBinner binner(context);
    const TLogDataEntry* entries = logData.Entries.data();
    const std::size_t n = logData.Count();
    for (std::size_t i = first; i < end; ++i) {
        PrefetchEntry(entries, i + PrefetchDistance, n);
        const TLogDataEntry& entry = entries[i];
        // A sample without engine speed or air mass lies in no cell.
        if (!entry.Included || entry.Rpm == MissingValue || entry.PlotMaf == MissingValue) {
            sink(i, TCellSample{0.0, -1});
            continue;
        }
        TCell cell;
        const double afr = binner.PlottedAfrInLhCell(entry, cell);
        sink(i,
             afr == MissingValue ? TCellSample{0.0, -1} : TCellSample{afr, cell.Row * MapSize + cell.Column});
    }
}

}  // namespace

TMapGrid ComputeMeanAfrGrid(const TLogData& logData, const TPlotContext& context, TWorkerPool& pool) {
    std::array<double, MapSize * MapSize> sum{};
    std::array<int, MapSize * MapSize> count{};
    auto add = [&](const TCellSample& place) {
        if (place.Cell < 0) return;
        sum[static_cast<std::size_t>(place.Cell)] += place.Afr;
        ++count[static_cast<std::size_t>(place.Cell)];
    };
    const std::size_t n = logData.Count();
    const int parts = pool.Threads();
    if (parts == 1) {
        // One thread: no list of places to write and read back.
        PlaceSamples(logData, context, 0, n, [&](std::size_t, const TCellSample& place) { add(place); });
    } else {
        // The places are kept between refreshes, one list per calling thread;
        // a thread-local name inside the task would name the worker's own.
        static thread_local std::vector<TCellSample> places;
        places.resize(n);
        TCellSample* out = places.data();
        pool.Run([&](int part) {
            PlaceSamples(logData, context, PartBegin(n, part, parts), PartBegin(n, part + 1, parts),
                         [out](std::size_t i, const TCellSample& place) { out[i] = place; });
        });
        // The sums are taken in list order on one thread, so that the means
        // do not depend on how many threads placed the samples.
        for (const TCellSample& place : places) add(place);
    }
    TMapGrid mean;
    for (std::size_t i = 0; i < sum.size(); ++i)
        mean.Values[i] = count[i] > 0 ? sum[i] / count[i] : MissingValue;
    return mean;
}

TMapGrid ApplyFiltersAndComputeMeanAfrGrid(TLogData& logData, const TFilterSettings& settings,
                                           bool& filtersDirty, const TPlotContext& context,
                                           TWorkerPool& pool) {
    ApplyFilters(logData, settings, filtersDirty, pool);
    return ComputeMeanAfrGrid(logData, context, pool);
}

}  // namespace kelvane
