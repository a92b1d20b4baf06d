#include "core/mapwindows/MapCellTexts.h"

#include <algorithm>

#include "core/plot/PlotText.h"

namespace kelvane {

namespace {

bool ShowsAsZero(std::string_view text) {
    return text.find_first_not_of("0.") == std::string_view::npos;
}

// The percentage with an explicit sign, except on a value that shows as zero.
std::string SignedText(double percent, int decimals) {
    std::string text = FixedText(percent, decimals);
    if (percent > 0 && !ShowsAsZero(text)) text.insert(0, 1, '+');
    return text;
}

}  // namespace

std::string_view FuelMapTabCaption(TFuelMapTab tab) {
    switch (tab) {
        case TFuelMapTab::Reference:
            return "Reference Map";
        case TFuelMapTab::Adjustments:
            return "Adjustments";
        case TFuelMapTab::Updated:
            return "Updated Map";
        case TFuelMapTab::Remainder:
            return "Remainder Map";
        case TFuelMapTab::TargetAfr:
            return "Target AFR";
    }
    return {};
}

std::string_view IgnitionMapTabCaption(TIgnitionMapTab tab) {
    switch (tab) {
        case TIgnitionMapTab::Reference:
            return "Reference Map";
        case TIgnitionMapTab::Adjustments:
            return "Adjustments";
        case TIgnitionMapTab::Updated:
            return "Updated Map";
        case TIgnitionMapTab::Wot:
            return "WOT Map";
    }
    return {};
}

TMapGrid& FuelTabMap(TFuelMapSet& fuel, TFuelMapTab tab) {
    switch (tab) {
        case TFuelMapTab::Reference:
            return fuel.Reference;
        case TFuelMapTab::Adjustments:
            return fuel.Adjustments;
        case TFuelMapTab::Updated:
            return fuel.Updated;
        case TFuelMapTab::Remainder:
            return fuel.Remainder;
        case TFuelMapTab::TargetAfr:
            return fuel.TargetAfr;
    }
    return fuel.Reference;
}

const TMapGrid& FuelTabMap(const TFuelMapSet& fuel, TFuelMapTab tab) {
    return FuelTabMap(const_cast<TFuelMapSet&>(fuel), tab);
}

TMapGrid& IgnitionTabMap(TIgnitionMapSet& ignition, TIgnitionMapTab tab) {
    switch (tab) {
        case TIgnitionMapTab::Reference:
            return ignition.Reference;
        case TIgnitionMapTab::Adjustments:
            return ignition.Adjustments;
        case TIgnitionMapTab::Updated:
            return ignition.Updated;
        case TIgnitionMapTab::Wot:
            return ignition.WotCurve;
    }
    return ignition.Reference;
}

const TMapGrid& IgnitionTabMap(const TIgnitionMapSet& ignition, TIgnitionMapTab tab) {
    return IgnitionTabMap(const_cast<TIgnitionMapSet&>(ignition), tab);
}

std::string_view FuelMapWindowCaption(TLHMapSource source) {
    switch (source) {
        case TLHMapSource::Cat:
            return "LH Cat Fuel Map";
        case TLHMapSource::NoCat:
            return "LH No-Cat Fuel Map";
        case TLHMapSource::PrimaryLoad:
            return "LH Primary Load Map";
        case TLHMapSource::Text:
            break;
    }
    return "LH Fuel Maps";
}

int FuelCopyDecimals(TFuelMapTab tab) {
    switch (tab) {
        case TFuelMapTab::Adjustments:
        case TFuelMapTab::Remainder:
            return 3;
        case TFuelMapTab::TargetAfr:
            return 1;
        case TFuelMapTab::Reference:
        case TFuelMapTab::Updated:
            break;
    }
    return 0;
}

std::string AxisHeaderText(double value) {
    return FixedText(value, 0);
}

std::string AdjustmentPercentText(double factor) {
    const double percent = (factor - 1) * 100;
    std::string text = SignedText(percent, 1) + "%";
    if (text.size() >= 6) text = SignedText(percent, 0) + "%";
    if (text == "0.0%") text = "0%";
    return text;
}

std::string FuelCellText(TFuelMapTab tab, double value) {
    switch (tab) {
        case TFuelMapTab::Adjustments:
        case TFuelMapTab::Remainder:
            return AdjustmentPercentText(value);
        case TFuelMapTab::TargetAfr:
            return FixedText(value, 1);
        case TFuelMapTab::Reference:
        case TFuelMapTab::Updated:
            break;
    }
    return FixedText(value, 0);
}

std::string IgnitionCellText(double value) {
    return FixedText(value, IgnitionDecimals);
}

std::string FuelEditText(TFuelMapTab tab, double value) {
    if (tab == TFuelMapTab::Adjustments) return SignedText((value - 1) * 100, 1) + "%";
    return FuelCellText(tab, value);
}

TColorTable ShowColorScale(const TFuelMapSet& fuel) {
    TColorTable table = MapWindowDefaultColorTable();
    if (fuel.Source != TLHMapSource::PrimaryLoad) return table;
    // The Primary Load Map's values lie far beyond the default stops.
    double smallest = 65535;
    double largest = 0;
    for (const double value : fuel.Updated.Values) {
        smallest = std::min(smallest, value);
        largest = std::max(largest, value);
    }
    table[0].Value = smallest;
    table[1].Value = largest;
    return table;
}

TColorTable ShowColor2Scale() {
    return MapWindowColor2Table();
}

std::optional<TColor32> FuelCellBackground(TFuelMapTab tab, double value, const TFuelCellColoring& coloring) {
    switch (tab) {
        case TFuelMapTab::TargetAfr:
            if (!coloring.AfrScale) return std::nullopt;
            return ColorLookup(*coloring.AfrScale, 255, value);
        case TFuelMapTab::Reference:
        case TFuelMapTab::Updated:
            if (coloring.ShowColor) {
                if (!coloring.WindowScale) return std::nullopt;
                return ColorLookup(*coloring.WindowScale, 255, value);
            }
            if (value == coloring.Limits.Max) return LimitMaxColor;
            if (value == coloring.Limits.Min) return LimitMinColor;
            return std::nullopt;
        case TFuelMapTab::Adjustments:
        case TFuelMapTab::Remainder:
            break;
    }
    return std::nullopt;
}

}  // namespace kelvane
