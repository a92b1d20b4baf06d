#include "core/plot/MeanAfrGrid.h"

#include <array>

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

class TMeanAfrAccumulator {
  public:
    explicit TMeanAfrAccumulator(const TPlotContext& context) : FBinner(context) {}

    void Add(const TLogDataEntry& entry) {
        // A sample without engine speed or air mass lies in no cell.
        if (!entry.Included || entry.Rpm == MissingValue || entry.PlotMaf == MissingValue) return;
        TCell cell;
        const double afr = FBinner.PlottedAfrInLhCell(entry, cell);
        if (afr == MissingValue) return;
        const int index = cell.Row * MapSize + cell.Column;
        FSum[index] += afr;
        ++FCount[index];
    }

    TMapGrid Mean() const {
        TMapGrid mean;
        for (int i = 0; i < MapSize * MapSize; ++i)
            mean.Values[i] = FCount[i] > 0 ? FSum[i] / FCount[i] : MissingValue;
        return mean;
    }

  private:
    TSampleBinner FBinner;
    std::array<double, MapSize * MapSize> FSum{};
    std::array<int, MapSize * MapSize> FCount{};
};

}  // namespace

TMapGrid ComputeMeanAfrGrid(const TLogData& logData, const TPlotContext& context) {
    TMeanAfrAccumulator accumulator(context);
    const std::size_t n = logData.Count();
    for (std::size_t i = 0; i < n; ++i) {
        PrefetchEntry(logData.Entries.data(), i + PrefetchDistance, n);
        accumulator.Add(logData[i]);
    }
    return accumulator.Mean();
}

TMapGrid ApplyFiltersAndComputeMeanAfrGrid(TLogData& logData, const TFilterSettings& settings,
                                           bool& filtersDirty, const TPlotContext& context) {
    // Two plain passes beat one pass that hands settled samples over in runs:
    // each loop stays small enough for the compiler to keep it tight.
    ApplyFilters(logData, settings, filtersDirty);
    return ComputeMeanAfrGrid(logData, context);
}

}  // namespace kelvane
