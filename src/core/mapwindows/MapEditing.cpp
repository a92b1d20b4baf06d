#include "core/mapwindows/MapEditing.h"

#include <algorithm>

#include "core/maps/MapFields.h"
#include "core/maps/MapText.h"

namespace kelvane {

namespace {

struct TRange {
    double Min;
    double Max;
};

TMapSelection CutToMap(const TMapSelection& selection) {
    return {std::max(1, selection.Left), std::max(1, selection.Top), std::min(MapSize, selection.Right),
            std::min(MapSize, selection.Bottom)};
}

// Calls action(rpmIndex, loadIndex) for every cell of the selection within the map.
template <class TAction>
void ForEachCell(const TMapSelection& selection, TAction action) {
    const TMapSelection cut = CutToMap(selection);
    for (int t = cut.Top; t <= cut.Bottom; ++t)
        for (int c = cut.Left; c <= cut.Right; ++c) action(c - 1, t - 1);
}

void Clamp(TMapGrid& map, const TMapSelection& area, TRange range) {
    ForEachCell(area, [&](int r, int l) { map.At(r, l) = std::clamp(map.At(r, l), range.Min, range.Max); });
}

void Fill(TMapGrid& map, const TMapSelection& selection, double value) {
    ForEachCell(selection, [&](int r, int l) { map.At(r, l) = value; });
}

TRange FuelRange(const TKelvaneState& state) {
    return {state.Axes.FuelLimits.Min, state.Axes.FuelLimits.Max};
}

constexpr TRange TargetRange{TargetAfrMin, TargetAfrMax};
constexpr TRange IgnitionTextRange{IgnitionTextMin, IgnitionTextMax};

TMapEditResult FuelMapsEdited(TKelvaneState& state) {
    state.Fuel.AdjustmentsEdited = true;
    return {true, TChange::FuelMaps, {}};
}

TMapEditResult TargetEdited(TKelvaneState& state) {
    state.Fuel.TargetEdited = true;
    return {true, TChange::TargetAfr, {}};
}

TMapEditResult IgnitionMapsEdited(TKelvaneState& state) {
    state.Ignition.AdjustmentsEdited = true;
    return {true, TChange::IgnitionMaps, {}};
}

// The cells of area of a freshly pasted copy of a fuel tab's map, taken into
// the set with the relations of that map.
TMapEditResult TakeFuelPaste(TKelvaneState& state, TFuelMapTab tab, TMapGrid pasted,
                             const TMapSelection& area) {
    TFuelMapSet& fuel = state.Fuel;
    switch (tab) {
        case TFuelMapTab::Reference:
            Clamp(pasted, area, FuelRange(state));
            fuel.Reference = pasted;
            fuel.ReferenceLoaded = true;
            fuel.RecomputeUpdated(state.Axes.FuelLimits);
            return FuelMapsEdited(state);
        case TFuelMapTab::Adjustments:
            fuel.Adjustments = pasted;
            fuel.RecomputeUpdated(state.Axes.FuelLimits);
            return FuelMapsEdited(state);
        case TFuelMapTab::Updated:
            Clamp(pasted, area, FuelRange(state));
            fuel.Updated = pasted;
            fuel.RecomputeAdjustments();
            return FuelMapsEdited(state);
        case TFuelMapTab::TargetAfr:
            Clamp(pasted, area, TargetRange);
            fuel.TargetAfr = pasted;
            return TargetEdited(state);
        case TFuelMapTab::Remainder:
            break;
    }
    return {};
}

TMapEditResult TakeIgnitionPaste(TKelvaneState& state, TIgnitionMapTab tab, TMapGrid pasted,
                                 const TMapSelection& area) {
    TIgnitionMapSet& ignition = state.Ignition;
    switch (tab) {
        case TIgnitionMapTab::Reference:
            Clamp(pasted, area, IgnitionTextRange);
            ignition.Reference = pasted;
            ignition.ReferenceLoaded = true;
            ignition.RecomputeUpdated();
            return IgnitionMapsEdited(state);
        case TIgnitionMapTab::Adjustments:
            ignition.Adjustments = pasted;
            ignition.RecomputeUpdated();
            return IgnitionMapsEdited(state);
        case TIgnitionMapTab::Updated:
            Clamp(pasted, area, IgnitionTextRange);
            ignition.Updated = pasted;
            ignition.RecomputeAdjustments();
            return IgnitionMapsEdited(state);
        case TIgnitionMapTab::Wot:
            break;
    }
    return {};
}

}  // namespace

std::optional<double> TypedNumber(std::string_view text, bool percentAllowed) {
    text = TrimMapText(text);
    if (percentAllowed && !text.empty() && text.back() == '%')
        text = TrimMapText(text.substr(0, text.size() - 1));
    double value = 0;
    if (!ParseMapNumber(text, TDecimalComma::Refused, value)) return std::nullopt;
    return value;
}

// ---- Fuel map window ----

double FuelStepSize(TMapStep step) {
    switch (step) {
        case TMapStep::Plus:
            return 0.01;
        case TMapStep::Minus:
            return -0.01;
        case TMapStep::PlusPlus:
            return 0.1;
        case TMapStep::MinusMinus:
            return -0.1;
    }
    return 0;
}

std::string_view FuelStepHint(TMapStep step) {
    switch (step) {
        case TMapStep::Plus:
            return "Increment selected cells by +1";
        case TMapStep::Minus:
            return "Decrement selected cells by -1";
        case TMapStep::PlusPlus:
            return "Increment selected cells by +10";
        case TMapStep::MinusMinus:
            return "Decrement selected cells by -10";
    }
    return {};
}

bool FuelStepButtonsEnabled(TFuelMapTab tab) {
    return tab == TFuelMapTab::Adjustments || tab == TFuelMapTab::Updated;
}

bool FuelPasteEnabled(TFuelMapTab tab) {
    return tab != TFuelMapTab::Remainder;
}

bool FuelResetEnabled(TFuelMapTab tab) {
    return tab == TFuelMapTab::Adjustments || tab == TFuelMapTab::TargetAfr;
}

bool FuelTypingAllowed(TFuelMapTab tab) {
    return tab != TFuelMapTab::Remainder;
}

TMapEditResult StepFuelCells(TKelvaneState& state, TFuelMapTab tab, const TMapSelection& selection,
                             double step) {
    TFuelMapSet& fuel = state.Fuel;
    if (tab == TFuelMapTab::Adjustments || tab == TFuelMapTab::Updated) {
        // The updated map's cells move through their factors as well.
        ForEachCell(selection, [&](int r, int l) { fuel.Adjustments.At(r, l) += step; });
        fuel.RecomputeUpdated(state.Axes.FuelLimits);
        return FuelMapsEdited(state);
    }
    if (tab == TFuelMapTab::TargetAfr) {
        ForEachCell(selection, [&](int r, int l) {
            double& target = fuel.TargetAfr.At(r, l);
            target = std::clamp(target + 10 * step, TargetAfrMin, TargetAfrMax);
        });
        return TargetEdited(state);
    }
    return {};
}

TMapEditResult TypeFuelValue(TKelvaneState& state, TFuelMapTab tab, const TMapSelection& selection,
                             std::string_view text) {
    if (!FuelTypingAllowed(tab)) return {};
    const std::optional<double> typed = TypedNumber(text, tab == TFuelMapTab::Adjustments);
    if (!typed) return {};
    TFuelMapSet& fuel = state.Fuel;
    const TRange range = FuelRange(state);
    switch (tab) {
        case TFuelMapTab::Reference:
            Fill(fuel.Reference, selection, std::clamp(*typed, range.Min, range.Max));
            fuel.RecomputeUpdated(state.Axes.FuelLimits);
            return FuelMapsEdited(state);
        case TFuelMapTab::Adjustments:
            Fill(fuel.Adjustments, selection, std::max(*typed / 100 + 1, SmallestTypedFactor));
            fuel.RecomputeUpdated(state.Axes.FuelLimits);
            return FuelMapsEdited(state);
        case TFuelMapTab::Updated:
            Fill(fuel.Updated, selection, std::clamp(*typed, range.Min, range.Max));
            fuel.RecomputeAdjustments();
            return FuelMapsEdited(state);
        case TFuelMapTab::TargetAfr:
            Fill(fuel.TargetAfr, selection, std::clamp(*typed, TargetAfrMin, TargetAfrMax));
            return TargetEdited(state);
        case TFuelMapTab::Remainder:
            break;
    }
    return {};
}

TMapEditResult PasteFuelCells(TKelvaneState& state, TFuelMapTab tab, const TMapSelection& selection,
                              std::string_view text) {
    if (!FuelPasteEnabled(tab)) return {};
    TMapGrid pasted = FuelTabMap(state.Fuel, tab);
    TMapSelection area;
    if (!PasteBlock(text, pasted, selection, &area)) return {false, {}, FuelPasteMismatchText};
    return TakeFuelPaste(state, tab, pasted, area);
}

TMapEditResult PasteFuelMap(TKelvaneState& state, TFuelMapTab tab, std::string_view text) {
    if (!FuelPasteEnabled(tab)) return {};
    TMapGrid pasted = FuelTabMap(state.Fuel, tab);
    if (!PasteBlock(text, pasted, WholeMap)) return {false, {}, NotAMapText};
    if (tab != TFuelMapTab::Reference) return TakeFuelPaste(state, tab, pasted, WholeMap);

    // A new reference from no file: its limits follow from source 0.
    TFuelMapSet& fuel = state.Fuel;
    fuel.Source = TLHMapSource::Text;
    fuel.ReferencePath.clear();
    fuel.ReferenceLoaded = true;
    state.RecomputeAxes();
    Clamp(pasted, WholeMap, FuelRange(state));
    fuel.Reference = pasted;
    fuel.ResetAdjustments(state.Axes.FuelLimits);
    return {true, TChange::FuelMaps | TChange::Axes, {}};
}

TMapEditResult ResetFuelTab(TKelvaneState& state, TFuelMapTab tab) {
    TFuelMapSet& fuel = state.Fuel;
    if (tab == TFuelMapTab::TargetAfr) {
        fuel.TargetAfr = DefaultTargetAfrMap();
        return TargetEdited(state);
    }
    if (tab == TFuelMapTab::Adjustments) {
        fuel.Adjustments.Fill(1.0);
        fuel.RecomputeUpdated(state.Axes.FuelLimits);
        return FuelMapsEdited(state);
    }
    return {};
}

std::string CopyFuelCells(const TFuelMapSet& fuel, TFuelMapTab tab, const TMapSelection& selection) {
    return CopyBlock(FuelTabMap(fuel, tab), selection, FuelCopyDecimals(tab));
}

// ---- Ignition map window ----

double IgnitionStepSize(TMapStep step, bool percent) {
    switch (step) {
        case TMapStep::Plus:
            return percent ? 1 : 0.4;
        case TMapStep::Minus:
            return percent ? -1 : -0.4;
        case TMapStep::PlusPlus:
            return percent ? 5 : 3;
        case TMapStep::MinusMinus:
            return percent ? -5 : -3;
    }
    return 0;
}

std::string_view IgnitionStepHint(TMapStep step, bool percent) {
    switch (step) {
        case TMapStep::Plus:
            return percent ? "Increment selected cells by 1%" : "Increment selected cells by 0.4 deg";
        case TMapStep::Minus:
            return percent ? "Decrement selected cells by 1%" : "Decrement selected cells by 0.4 deg";
        case TMapStep::PlusPlus:
            return percent ? "Increment selected cells by 5%" : "Increment selected cells by 3 deg";
        case TMapStep::MinusMinus:
            return percent ? "Decrement selected cells by 5%" : "Decrement selected cells by 3 deg";
    }
    return {};
}

bool IgnitionStepsEnabled(TIgnitionMapTab tab) {
    return tab != TIgnitionMapTab::Reference;
}

bool IgnitionTypingAllowed(TIgnitionMapTab tab) {
    return tab != TIgnitionMapTab::Wot;
}

TMapEditResult StepIgnitionCells(TKelvaneState& state, TIgnitionMapTab tab, const TMapSelection& selection,
                                 TMapStep step, bool percent) {
    if (tab != TIgnitionMapTab::Adjustments && tab != TIgnitionMapTab::Updated) return {};
    TIgnitionMapSet& ignition = state.Ignition;
    const double size = IgnitionStepSize(step, percent);
    const auto delta = [&](int r, int l) {
        return percent ? size / 100 * ignition.Reference.At(r, l) : size;
    };
    if (tab == TIgnitionMapTab::Adjustments) {
        ForEachCell(selection, [&](int r, int l) { ignition.Adjustments.At(r, l) += delta(r, l); });
        ignition.RecomputeUpdated();
    } else {
        // No 50 degree clamp on this path, but the map must still read back.
        ForEachCell(selection, [&](int r, int l) {
            double& updated = ignition.Updated.At(r, l);
            updated = std::clamp(updated + delta(r, l), IgnitionTextMin, IgnitionTextMax);
        });
        ignition.RecomputeAdjustments();
    }
    return IgnitionMapsEdited(state);
}

TMapEditResult TypeIgnitionValue(TKelvaneState& state, TIgnitionMapTab tab, const TMapSelection& selection,
                                 std::string_view text) {
    if (!IgnitionTypingAllowed(tab)) return {};
    const std::optional<double> typed = TypedNumber(text, false);
    if (!typed) return {};
    TIgnitionMapSet& ignition = state.Ignition;
    const double degrees = std::clamp(*typed, IgnitionTextMin, IgnitionTextMax);
    switch (tab) {
        case TIgnitionMapTab::Reference:
            Fill(ignition.Reference, selection, degrees);
            ignition.RecomputeUpdated();
            break;
        case TIgnitionMapTab::Adjustments:
            // The updated map's clamp keeps what the adjustment can reach.
            Fill(ignition.Adjustments, selection, *typed);
            ignition.RecomputeUpdated();
            break;
        case TIgnitionMapTab::Updated:
            Fill(ignition.Updated, selection, degrees);
            ignition.RecomputeAdjustments();
            break;
        case TIgnitionMapTab::Wot:
            return {};
    }
    return IgnitionMapsEdited(state);
}

TMapEditResult PasteIgnitionCells(TKelvaneState& state, TIgnitionMapTab tab, const TMapSelection& selection,
                                  std::string_view text) {
    if (tab == TIgnitionMapTab::Wot) return {};
    TMapGrid pasted = IgnitionTabMap(state.Ignition, tab);
    TMapSelection area;
    if (!PasteBlock(text, pasted, selection, &area))
        return {
            false, {}, tab == TIgnitionMapTab::Reference ? IgnitionPasteMismatchText : std::string_view()};
    return TakeIgnitionPaste(state, tab, pasted, area);
}

TMapEditResult PasteIgnitionMap(TKelvaneState& state, TIgnitionMapTab tab, std::string_view text) {
    if (tab == TIgnitionMapTab::Wot) return {};
    TMapGrid pasted = IgnitionTabMap(state.Ignition, tab);
    if (!PasteBlock(text, pasted, WholeMap)) return {false, {}, NotAMapText};
    if (tab != TIgnitionMapTab::Reference) return TakeIgnitionPaste(state, tab, pasted, WholeMap);

    TIgnitionMapSet& ignition = state.Ignition;
    Clamp(pasted, WholeMap, IgnitionTextRange);
    ignition.Reference = pasted;
    ignition.ReferenceLoaded = true;
    ignition.Source = TEZKMapSource::Text;
    ignition.ReferencePath.clear();
    ignition.ResetAdjustments();
    return {true, TChange::IgnitionMaps, {}};
}

std::optional<std::string> CopyIgnitionCells(const TIgnitionMapSet& ignition, TIgnitionMapTab tab,
                                             const TMapSelection& selection) {
    if (tab == TIgnitionMapTab::Wot) return std::nullopt;
    return CopyBlock(IgnitionTabMap(ignition, tab), selection, IgnitionDecimals);
}

std::string CopyIgnitionMap(const TIgnitionMapSet& ignition, TIgnitionMapTab tab) {
    if (tab == TIgnitionMapTab::Wot)
        return CopyBlock(ignition.WotCurve, {1, 1, MapSize, 1}, IgnitionDecimals);
    return CopyBlock(IgnitionTabMap(ignition, tab), WholeMap, IgnitionDecimals);
}

}  // namespace kelvane
