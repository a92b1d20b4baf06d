#include "core/plot/MeanAfrGrid.h"

#include <array>

#include "core/plot/CellBinning.h"
#include "core/plot/PlottedAfr.h"

namespace kelvane {

TMapGrid ComputeMeanAfrGrid(const TLogData& logData, const TPlotContext& context) {
    std::array<double, MapSize * MapSize> sum{};
    std::array<int, MapSize * MapSize> count{};
    for (const TLogDataEntry& entry : logData.Entries) {
        if (!entry.Included) continue;
        const double afr = PlottedAfr(entry, context);
        if (afr == MissingValue) continue;
        const TCell cell = SampleCell(entry, TPlotView::LH, context);
        const int index = cell.Row * MapSize + cell.Column;
        sum[index] += afr;
        ++count[index];
    }
    TMapGrid mean;
    for (int i = 0; i < MapSize * MapSize; ++i)
        mean.Values[i] = count[i] > 0 ? sum[i] / count[i] : MissingValue;
    return mean;
}

}  // namespace kelvane
