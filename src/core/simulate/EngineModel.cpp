#include "core/simulate/EngineModel.h"

#include <algorithm>
#include <cmath>

namespace kelvane {

namespace {

constexpr double StoichAfr = 14.7;
constexpr double LHOffset = 512;

// Position of value on the axis as (lower index, weight of the upper one).
std::pair<int, double> Bracket(const TMapAxis& axis, double value) {
    if (value <= axis[0]) return {0, 0.0};
    if (value >= axis[MapSize - 1]) return {MapSize - 2, 1.0};
    int k = 1;
    while (k < MapSize - 1 && axis[k] < value) ++k;
    const double span = axis[k] - axis[k - 1];
    return {k - 1, span > 0 ? (value - axis[k - 1]) / span : 0.0};
}

}  // namespace

double Interpolate(const TMapGrid& grid, const TMapAxis& rpmAxis, const TMapAxis& loadAxis, double rpm,
                   double load) {
    const auto [r, wr] = Bracket(rpmAxis, rpm);
    const auto [l, wl] = Bracket(loadAxis, load);
    const double low = grid.At(r, l) * (1 - wl) + grid.At(r, l + 1) * wl;
    const double high = grid.At(r + 1, l) * (1 - wl) + grid.At(r + 1, l + 1) * wl;
    return low * (1 - wr) + high * wr;
}

double OpenLoopAfr(double trueValue, double mapValue) {
    return StoichAfr * (trueValue + LHOffset) / std::max(1.0, mapValue + LHOffset);
}

double ScaleFuelValue(double mapValue, double factor) {
    return (mapValue + LHOffset) * factor - LHOffset;
}

TEngineModel MakeEngineModel(const TEngineSetup& setup) {
    TEngineModel model;
    model.Setup = setup;
    model.Axes = RecomputeAxes(setup, TLHMapSource::Text);
    const TMapAxes& axes = model.Axes;
    const double firstLoad = axes.LHLoad[0];
    const double lastLoad = axes.LHLoad[MapSize - 1];
    for (int r = 0; r < MapSize; ++r) {
        const double rpm = axes.LHRpm[r];
        // Breathing is best near the torque peak; the load axis already
        // carries air per stroke, so the need per map value varies gently.
        const double torquePeak = std::exp(-std::pow((rpm - 3900) / 2200, 2));
        for (int l = 0; l < MapSize; ++l) {
            const double load = (axes.LHLoad[l] - firstLoad) / (lastLoad - firstLoad);
            const double value =
                -20 + 45 * torquePeak + 30 * load - 25 * load * load + 8 * std::sin(rpm / 900.0);
            model.TrueFuel.At(r, l) = std::round(std::clamp(value, axes.FuelLimits.Min, axes.FuelLimits.Max));
        }
    }
    for (int r = 0; r < MapSize; ++r) {
        const double rpm = axes.EZKRpm[r];
        for (int l = 0; l < MapSize; ++l) {
            const double load = axes.EZKLoad[l] / 100;
            const double sound =
                12 + 22 * std::min(rpm, 4200.0) / 4200 - 16 * load + 2 * std::max(0.0, rpm - 4200) / 2000;
            const double margin = 2.0 + 2.5 * (1 - load);
            model.SoundIgnition.At(r, l) = std::round(std::clamp(sound, 4.0, 40.0) * 4) / 4;
            model.KnockThreshold.At(r, l) = model.SoundIgnition.At(r, l) + margin;
        }
    }
    return model;
}

}  // namespace kelvane
