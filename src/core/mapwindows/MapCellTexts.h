#pragma once

#include <array>
#include <optional>
#include <string>
#include <string_view>

#include "core/display/ColorTable.h"
#include "core/maps/MapSets.h"

namespace kelvane {

// The tabs of the fuel map window, in their order.
enum class TFuelMapTab { Reference, Adjustments, Updated, Remainder, TargetAfr };
inline constexpr std::array<TFuelMapTab, 5> FuelMapTabs{TFuelMapTab::Reference, TFuelMapTab::Adjustments,
                                                        TFuelMapTab::Updated, TFuelMapTab::Remainder,
                                                        TFuelMapTab::TargetAfr};
std::string_view FuelMapTabCaption(TFuelMapTab tab);

// The tabs of the ignition map window, in their order.
enum class TIgnitionMapTab { Reference, Adjustments, Updated, Wot };
inline constexpr std::array<TIgnitionMapTab, 4> IgnitionMapTabs{
    TIgnitionMapTab::Reference, TIgnitionMapTab::Adjustments, TIgnitionMapTab::Updated, TIgnitionMapTab::Wot};
std::string_view IgnitionMapTabCaption(TIgnitionMapTab tab);

// The map a tab shows.
const TMapGrid& FuelTabMap(const TFuelMapSet& fuel, TFuelMapTab tab);
TMapGrid& FuelTabMap(TFuelMapSet& fuel, TFuelMapTab tab);
const TMapGrid& IgnitionTabMap(const TIgnitionMapSet& ignition, TIgnitionMapTab tab);
TMapGrid& IgnitionTabMap(TIgnitionMapSet& ignition, TIgnitionMapTab tab);

// "LH Cat Fuel Map", "LH No-Cat Fuel Map", "LH Primary Load Map", else "LH Fuel Maps".
std::string_view FuelMapWindowCaption(TLHMapSource source);
inline constexpr std::string_view IgnitionMapWindowCaption = "EZK Ignition Maps";

// Decimals of a tab's clipboard blocks (the factors themselves on the
// adjustments and remainder tabs).
int FuelCopyDecimals(TFuelMapTab tab);
inline constexpr int IgnitionDecimals = 1;

// Axis values in the header row and column.
std::string AxisHeaderText(double value);

// A factor as the percentage it adds: "+5.0%", "-5.0%", "0%"; a text of six
// characters or more drops its decimal ("+25%").
std::string AdjustmentPercentText(double factor);

// The text of a data cell.
std::string FuelCellText(TFuelMapTab tab, double value);
std::string IgnitionCellText(double value);

// The text the editor starts with on F2: the cell as shown, the factor as its
// percentage with one decimal.
std::string FuelEditText(TFuelMapTab tab, double value);

// The fuel window's colour scales: the default one (on the Primary Load Map
// its two stops span the updated map's values), and the "Show Color 2" one.
TColorTable ShowColorScale(const TFuelMapSet& fuel);
TColorTable ShowColor2Scale();

inline constexpr TColor32 LimitMaxColor = 0xFFFF0000;  // red
inline constexpr TColor32 LimitMinColor = 0xFFFFFF00;  // yellow

// What colours the background of a data cell that is not selected. Nothing
// means the window colour.
struct TFuelCellColoring {
    bool ShowColor = false;
    const TColorTable* WindowScale = nullptr;  // the window's own scale
    const TColorTable* AfrScale = nullptr;     // the main window's AFR scale
    TFuelLimits Limits;
};
std::optional<TColor32> FuelCellBackground(TFuelMapTab tab, double value, const TFuelCellColoring& coloring);

}  // namespace kelvane
