#include "core/plot/AfrScaleLegend.h"

#include <algorithm>

#include "core/plot/PlotText.h"

namespace kelvane {

double AfrScaleBarValue(const TColorTable& table, int i) {
    if (table.empty()) return 0;
    const double first = table.front().Value, last = table.back().Value;
    return first + i * (last - first) / AfrScaleBarSteps;
}

std::vector<TAfrScaleTick> AfrScaleTicks(const TColorTable& table) {
    std::vector<TAfrScaleTick> ticks;
    if (table.empty()) return ticks;
    const double first = table.front().Value, last = table.back().Value;
    const double range = last - first;
    const double step = range <= 6 ? 1 : 2;
    // A wildly edited table could ask for millions of ticks on a 201-pixel bar.
    for (int n = 0; n <= AfrScaleBarSteps; ++n) {
        const double value = first + n * step;
        if (!(value <= last + 0.01)) break;
        const double offset = range > 0 ? (value - first) / range * AfrScaleBarSteps : 0.0;
        ticks.push_back({AfrScaleBarLeft + PixelOf(offset), FixedText(value, 1)});
    }
    return ticks;
}

TPixelPoint ClampAfrScaleBox(int left, int top, int imageWidth, int imageHeight) {
    return {std::max(0, std::min(left, imageWidth - AfrScaleWidth)),
            std::max(0, std::min(top, imageHeight - AfrScaleHeight))};
}

TPixelPoint AfrScaleBoxOrigin(int storedX, int storedY, int imageWidth, int imageHeight) {
    return ClampAfrScaleBox(storedX < 0 ? imageWidth + storedX : storedX,
                            storedY < 0 ? imageHeight + storedY : storedY, imageWidth, imageHeight);
}

TPixelPoint StoredAfrScalePosition(int left, int top, int imageWidth, int imageHeight) {
    return {left > imageWidth / 2 ? left - imageWidth : left,
            top > imageHeight / 2 ? top - imageHeight : top};
}

}  // namespace kelvane
