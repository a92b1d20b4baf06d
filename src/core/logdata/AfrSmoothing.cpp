#include "core/logdata/AfrSmoothing.h"

#include <array>

namespace kelvane {

namespace {

constexpr int Taps = 3;

// Weights for the offsets -3 .. +3, by setting 1 .. 6.
constexpr std::array<std::array<double, 2 * Taps + 1>, 6> SmoothingWeights{{
    {0, 0, 0, 1, 0, 0, 0},
    {0, 0, 0.076, 1, 0.076, 0, 0},
    {0, 0.076, 0.538, 1, 0.538, 0.076, 0},
    {0.076, 0.307, 0.769, 1, 0.769, 0.307, 0.076},
    {0.211, 0.538, 0.864, 1, 0.864, 0.538, 0.211},
    {0.395, 0.681, 0.911, 1, 0.911, 0.681, 0.395},
}};

}  // namespace

void SmoothAfr(TLogData& data, int setting) {
    SmoothAfr(data, setting, 0, data.Entries.size());
}

void SmoothAfr(TLogData& data, int setting, std::size_t first, std::size_t last) {
    if (setting < 1 || setting > 6) return;
    const auto& weights = SmoothingWeights[static_cast<std::size_t>(setting - 1)];
    auto& entries = data.Entries;
    const std::ptrdiff_t n = static_cast<std::ptrdiff_t>(entries.size());
    for (auto i = static_cast<std::ptrdiff_t>(first); i < static_cast<std::ptrdiff_t>(last); ++i) {
        double sum = 0;
        double weightSum = 0;
        bool anyAfr = false;
        for (int j = -Taps; j <= Taps; ++j) {
            const double w = weights[static_cast<std::size_t>(j + Taps)];
            const std::ptrdiff_t k = i + j;
            if (w == 0 || k < 0 || k >= n) continue;
            // A missing AFR, or one of 0 or below (an empty field, a wideband warming
            // up), is no value: counting it would drag its neighbours toward rich.
            const double afr = entries[static_cast<std::size_t>(k)].Afr;
            if (afr == MissingValue || !(afr > 0)) continue;
            anyAfr = true;
            sum += w * afr;
            weightSum += w;
        }
        entries[static_cast<std::size_t>(i)].SmoothedAfr = anyAfr ? sum / weightSum : MissingValue;
    }
}

}  // namespace kelvane
