#include "core/adjust/FuelAdjustment.h"

#include <algorithm>
#include <array>
#include <cmath>
#include <numbers>

#include "core/ground/SettingsValues.h"
#include "core/plot/SampleBinner.h"

namespace kelvane {

namespace {

constexpr double MaxPlausibleO2Adjust = 22;  // beyond this the O2 loop is not in control
constexpr double MinCellWeight = 0.01;       // a cell with less weight gets no correction
constexpr double MinSmoothingWidth = 1;
constexpr double MaxSmoothingWidth = 10;

struct TErrorSums {
    std::array<double, MapSize * MapSize> S{};  // weighted relative error
    std::array<double, MapSize * MapSize> W{};  // weight
};

double O2Factor(double o2Adjust) {
    if (o2Adjust == MissingValue || !(std::fabs(o2Adjust) < MaxPlausibleO2Adjust)) return 1.0;
    return 1 + 0.01 * o2Adjust;
}

// Weights of the two breakpoints around a value: breakpoint k is the first
// not below it. Below the first or above the last breakpoint neither gets any.
struct TBracket {
    double Lo = 0;  // for index k - 1
    double Hi = 0;  // for index k
};
TBracket BracketAt(double value, const TMapAxis& axis, int k) {
    if (k < 1 || k >= MapSize) return {};
    const double below = axis[static_cast<std::size_t>(k - 1)];
    const double above = axis[static_cast<std::size_t>(k)];
    const double gap = above - below;
    if (!(gap > 0)) return {};
    return {std::max(0.0, 1 - (value - below) / gap), std::max(0.0, 1 - (above - value) / gap)};
}

// One pass over the samples: each included sample whose fuel map cell lies in
// the region adds its relative error, weighted, to the four grid points
// around it.
TErrorSums SumRelativeErrors(const TKelvaneState& state, const TCellRegion& region,
                             const TFuelTarget& target) {
    TErrorSums sums;
    const TSampleBinner binner(state.PlotContext());
    const TMapAxis& rpmAxis = state.Axes.LHRpm;
    const TMapAxis& loadAxis = state.Axes.LHLoad;
    const TMapGrid& targetMap = state.Fuel.TargetAfr;
    for (const TLogDataEntry& e : state.Logs.Data.Entries) {
        if (!e.Included) continue;
        // A sample without both values has no place on the grid.
        if (e.Rpm == MissingValue || e.PlotMaf == MissingValue) continue;
        if (!region.Contains(binner.LhRpmCell(e.Rpm), binner.LhLoadCell(e.PlotMaf))) continue;
        // An AFR of 0 is an empty field, as the plot takes it.
        if (e.SmoothedAfr == MissingValue || !(e.SmoothedAfr > 0)) continue;
        const int k = binner.LhRpmBreakpoint(e.Rpm);
        const int m = binner.LhLoadBreakpoint(e.PlotMaf);
        const TBracket rows = BracketAt(e.Rpm, rpmAxis, k);
        const TBracket columns = BracketAt(e.PlotMaf, loadAxis, m);
        if (rows.Lo + rows.Hi == 0 || columns.Lo + columns.Hi == 0) continue;
        const double aim = target.UseTargetMap ? binner.LhMapAt(targetMap, e.Rpm, e.PlotMaf) : target.Afr;
        // A target of 0 or less has no relative error to aim at.
        if (!(aim > 0) || !std::isfinite(aim)) continue;
        const double error = (e.SmoothedAfr * O2Factor(e.O2Adjust) - aim) / aim;
        const auto add = [&](int row, int column, double w) {
            if (!(w > 0)) return;
            const std::size_t cell = static_cast<std::size_t>(row * MapSize + column);
            sums.S[cell] += w * error;
            sums.W[cell] += w;
        };
        if (rows.Lo > 0) {
            add(k - 1, m - 1, rows.Lo * columns.Lo);
            add(k - 1, m, rows.Lo * columns.Hi);
        }
        if (rows.Hi > 0) {
            add(k, m - 1, rows.Hi * columns.Lo);
            add(k, m, rows.Hi * columns.Hi);
        }
    }
    return sums;
}

// Raised cosine: 1 at distance 0, 0 from the width on.
double Kernel(double distance, double width) {
    if (std::fabs(distance) > width) return 0;
    return 0.5 * (1 + std::cos(std::numbers::pi * distance / width));
}

double SmoothingWidth(double width) {
    if (!(width >= MinSmoothingWidth)) return MinSmoothingWidth;
    return std::min(width, MaxSmoothingWidth);
}

// Two decimals, fewer while the text is wider than four characters.
std::string WidthText(double width) {
    std::string text;
    for (int decimals = 2; decimals >= 0; --decimals) {
        text = FormatNumber(width, decimals);
        if (text.size() <= 4) break;
    }
    return text;
}

}  // namespace

double TargetAfrFromText(std::string_view text) {
    return ParseNumber(text, TDecimalComma::Accepted, DefaultTargetAfr);
}

double VertWidthOfPosition(int position) {
    return std::pow(10.0, (SmoothingSliderMax - position) / 20.0);
}

double HorizWidthOfPosition(int position) {
    return std::pow(10.0, position / 20.0);
}

int VertPositionOfWidth(double width) {
    return SmoothingSliderMax - static_cast<int>(std::nearbyint(20 * std::log10(width)));
}

int HorizPositionOfWidth(double width) {
    return static_cast<int>(std::nearbyint(20 * std::log10(width)));
}

std::string VertLabelText(double width) {
    return "Vert = " + WidthText(width);
}

std::string HorizLabelText(double width) {
    return "Horiz = " + WidthText(width);
}

std::string SmoothingWidthSettingText(double width) {
    std::string text = FormatNumber(width, 2);
    if (text.size() < 5) text.insert(0, 5 - text.size(), ' ');
    return text;
}

TFuelAdjustment::TFuelAdjustment(TKelvaneState& state)
    : FState(state),
      FCancelSnapshot(state.Fuel.Adjustments),
      FAdjustUndoSnapshot(state.Fuel.Adjustments),
      FSmoothSource(state.Fuel.Updated) {}

TAdjustResult TFuelAdjustment::Finish(const TMapGrid& adjustmentsBefore, const TMapGrid& updatedBefore,
                                      TChangeSet changes) {
    TFuelMapSet& fuel = FState.Fuel;
    TAdjustResult result;
    result.AdjustmentsChanged = fuel.Adjustments != adjustmentsBefore || fuel.Updated != updatedBefore;
    // Every change of the maps is work the save question must not let go.
    if (result.AdjustmentsChanged) {
        fuel.AdjustmentsEdited = true;
        changes |= TChange::FuelMaps;
    }
    result.Changes = changes;
    return result;
}

TChangeSet TFuelAdjustment::ShowAdjustedMap() {
    TChangeSet changes;
    if (!FState.Display.IncludeAdjustments) {
        FState.Display.IncludeAdjustments = true;
        changes |= TChange::PlottedValues;
    }
    if (FState.PlotDisplay.Overlay == TMapOverlay::Reference) {
        FState.PlotDisplay.Overlay = TMapOverlay::Updated;
        changes |= TChange::Overlay;
    }
    return changes;
}

TAdjustResult TFuelAdjustment::Adjust(const TCellRegion& region, const TFuelTarget& target) {
    TFuelMapSet& fuel = FState.Fuel;
    const TMapGrid adjustmentsBefore = fuel.Adjustments;
    const TMapGrid updatedBefore = fuel.Updated;
    FAdjustUndoSnapshot = fuel.Adjustments;
    FAdjustUndoValid = true;

    const TErrorSums sums = SumRelativeErrors(FState, region, target);
    for (int i = region.R0; i <= region.R1; ++i)
        for (int j = region.C0; j <= region.C1; ++j) {
            const std::size_t cell = static_cast<std::size_t>(i * MapSize + j);
            const double w = sums.W[cell];
            // Below a weight of 1 the correction shrinks with the evidence.
            fuel.Adjustments.At(i, j) = w <= MinCellWeight ? 1.0 : 1 + sums.S[cell] / std::max(w, 1.0);
        }
    fuel.RecomputeUpdated(FState.Axes.FuelLimits);
    FSmoothSource = fuel.Updated;
    return Finish(adjustmentsBefore, updatedBefore, ShowAdjustedMap());
}

TAdjustResult TFuelAdjustment::Smooth(const TCellRegion& region, double vertWidth, double horizWidth) {
    TFuelMapSet& fuel = FState.Fuel;
    const TMapGrid adjustmentsBefore = fuel.Adjustments;
    const TMapGrid updatedBefore = fuel.Updated;
    const TMapGrid remainderBefore = fuel.Remainder;
    if (!FSmoothUndoValid) {
        FSmoothUndoSnapshot = fuel.Adjustments;
        FSmoothUndoValid = true;
    }
    vertWidth = SmoothingWidth(vertWidth);
    horizWidth = SmoothingWidth(horizWidth);
    const int rowReach = static_cast<int>(std::ceil(horizWidth));
    const int columnReach = static_cast<int>(std::ceil(vertWidth));
    const bool primaryLoad = fuel.Source == TLHMapSource::PrimaryLoad;
    for (int i = region.R0; i <= region.R1; ++i)
        for (int j = region.C0; j <= region.C1; ++j) {
            // Neighbours outside the region take part; only region cells change.
            double sum = 0, weight = 0;
            for (int i2 = std::max(0, i - rowReach); i2 <= std::min(MapSize - 1, i + rowReach); ++i2) {
                const double rowWeight = Kernel(i - i2, horizWidth);
                if (rowWeight == 0) continue;
                for (int j2 = std::max(0, j - columnReach); j2 <= std::min(MapSize - 1, j + columnReach);
                     ++j2) {
                    const double w = rowWeight * Kernel(j - j2, vertWidth);
                    weight += w;
                    sum += w * FSmoothSource.At(i2, j2);
                }
            }
            const double smoothed = sum / weight;  // the cell itself weighs 1
            double& updated = fuel.Updated.At(i, j);
            // What smoothing took away, as a factor; nothing to say about a 0.
            if (primaryLoad && smoothed != 0) fuel.Remainder.At(i, j) = (updated - smoothed) / smoothed + 1;
            updated = smoothed;
        }
    fuel.RecomputeAdjustments();
    TChangeSet changes = ShowAdjustedMap();
    if (fuel.Remainder != remainderBefore) changes |= TChange::FuelMaps;
    return Finish(adjustmentsBefore, updatedBefore, changes);
}

TAdjustResult TFuelAdjustment::UndoAdjustment() {
    TFuelMapSet& fuel = FState.Fuel;
    const TMapGrid adjustmentsBefore = fuel.Adjustments;
    const TMapGrid updatedBefore = fuel.Updated;
    if (FAdjustUndoValid) fuel.Adjustments = FAdjustUndoSnapshot;
    FAdjustUndoValid = false;
    fuel.RecomputeUpdated(FState.Axes.FuelLimits);
    // Smoothing must not bring the undone adjustment back.
    TakeSmoothSource();
    return Finish(adjustmentsBefore, updatedBefore, {});
}

TAdjustResult TFuelAdjustment::UndoSmoothing() {
    TFuelMapSet& fuel = FState.Fuel;
    const TMapGrid adjustmentsBefore = fuel.Adjustments;
    const TMapGrid updatedBefore = fuel.Updated;
    const TMapGrid remainderBefore = fuel.Remainder;
    if (FSmoothUndoValid) {
        fuel.Adjustments = FSmoothUndoSnapshot;
        fuel.Remainder.Fill(1.0);
    }
    FSmoothUndoValid = false;
    fuel.RecomputeUpdated(FState.Axes.FuelLimits);
    TakeSmoothSource();
    return Finish(adjustmentsBefore, updatedBefore,
                  fuel.Remainder != remainderBefore ? TChangeSet(TChange::FuelMaps) : TChangeSet());
}

TAdjustResult TFuelAdjustment::ResetAll() {
    TFuelMapSet& fuel = FState.Fuel;
    const TMapGrid adjustmentsBefore = fuel.Adjustments;
    const TMapGrid updatedBefore = fuel.Updated;
    const TMapGrid remainderBefore = fuel.Remainder;
    fuel.Adjustments.Fill(1.0);
    fuel.Remainder.Fill(1.0);
    fuel.RecomputeUpdated(FState.Axes.FuelLimits);
    return Finish(adjustmentsBefore, updatedBefore,
                  fuel.Remainder != remainderBefore ? TChangeSet(TChange::FuelMaps) : TChangeSet());
}

TAdjustResult TFuelAdjustment::Cancel() {
    TFuelMapSet& fuel = FState.Fuel;
    const TMapGrid adjustmentsBefore = fuel.Adjustments;
    const TMapGrid updatedBefore = fuel.Updated;
    fuel.Adjustments = FCancelSnapshot;
    fuel.RecomputeUpdated(FState.Axes.FuelLimits);
    return Finish(adjustmentsBefore, updatedBefore, {});
}

void TFuelAdjustment::TakeSmoothSource() {
    FSmoothSource = FState.Fuel.Updated;
}

TCellRegion AdjustmentRegion(const TSelection& selection, TPlotView gridView, bool selectedArea) {
    // Cells of the other grid name other places.
    if (!selectedArea || !selection.IsCells() || selection.View != gridView) return WholeGrid;
    return SelectionRegion(selection);
}

}  // namespace kelvane
