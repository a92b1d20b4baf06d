#include "core/maps/MapSets.h"

#include <array>
#include <cmath>
#include <cstddef>

#include "core/maps/EngineSetup.h"

namespace kelvane {

namespace {

constexpr std::array<double, MapSize> DefaultTargetAfr{14.7, 14.7, 14.7, 14.7, 14.7, 14.5, 14.4, 14.3,
                                                       14.1, 13.8, 13.5, 13.1, 12.8, 12.6, 12.5, 12.5};

// Offset that turns a signed LH value back into the ECU's unsigned scale.
constexpr double FuelOffset = 512;

}  // namespace

TFuelLimits FuelLimitsFor(TLHVersion lhVersion, TLHMapSource lhMapSource) {
    if (lhMapSource == TLHMapSource::PrimaryLoad) return {65535, 0};
    if (lhVersion == TLHVersion::LH22) return {511, -511};
    return {127, -127};
}

TMapGrid DefaultTargetAfrMap() {
    TMapGrid grid;
    for (int r = 0; r < MapSize; ++r)
        for (int l = 0; l < MapSize; ++l) grid.At(r, l) = DefaultTargetAfr[static_cast<std::size_t>(l)];
    return grid;
}

TMapGrid FilledGrid(double value) {
    TMapGrid grid;
    grid.Fill(value);
    return grid;
}

double TFuelMapSet::AdjustmentFor(double reference, double updated, double current) const {
    const bool primaryLoad = Source == TLHMapSource::PrimaryLoad;
    const double base = primaryLoad ? reference : reference + FuelOffset;
    if (base == 0) return current;
    return (primaryLoad ? updated : updated + FuelOffset) / base;
}

TClampCount TFuelMapSet::RecomputeUpdated(const TFuelLimits& limits) {
    const bool primaryLoad = Source == TLHMapSource::PrimaryLoad;
    TClampCount clamped;
    for (std::size_t i = 0; i < Updated.Values.size(); ++i) {
        const double r = Reference.Values[i];
        double& a = Adjustments.Values[i];
        double u = primaryLoad ? std::nearbyint(r * a) : std::nearbyint((r + FuelOffset) * a) - FuelOffset;
        if (u > limits.Max || u < limits.Min) {
            ++(u > limits.Max ? clamped.AtMax : clamped.AtMin);
            u = u > limits.Max ? limits.Max : limits.Min;
            a = AdjustmentFor(r, u, a);
        }
        Updated.Values[i] = u;
    }
    return clamped;
}

void TFuelMapSet::RecomputeAdjustments() {
    for (std::size_t i = 0; i < Adjustments.Values.size(); ++i)
        Adjustments.Values[i] = AdjustmentFor(Reference.Values[i], Updated.Values[i], Adjustments.Values[i]);
}

TClampCount TFuelMapSet::ResetAdjustments(const TFuelLimits& limits) {
    Adjustments.Fill(1.0);
    AdjustmentsEdited = false;
    return RecomputeUpdated(limits);
}

TClampCount TIgnitionMapSet::RecomputeUpdated() {
    TClampCount clamped;
    for (std::size_t i = 0; i < Updated.Values.size(); ++i) {
        const double r = Reference.Values[i];
        double& a = Adjustments.Values[i];
        double u = r + a;
        if (u > IgnitionMax) {
            u = IgnitionMax;
            a = IgnitionMax - r;
            ++clamped.AtMax;
        } else if (u < IgnitionMin) {
            u = IgnitionMin;
            a = IgnitionMin - r;
            ++clamped.AtMin;
        }
        Updated.Values[i] = u;
    }
    return clamped;
}

void TIgnitionMapSet::RecomputeAdjustments() {
    for (std::size_t i = 0; i < Adjustments.Values.size(); ++i)
        Adjustments.Values[i] = Updated.Values[i] - Reference.Values[i];
}

TClampCount TIgnitionMapSet::ResetAdjustments() {
    Adjustments.Fill(0.0);
    AdjustmentsEdited = false;
    return RecomputeUpdated();
}

}  // namespace kelvane
