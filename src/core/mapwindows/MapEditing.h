#pragma once

#include <optional>
#include <string>
#include <string_view>

#include "core/maps/MapGrid.h"
#include "core/mapwindows/MapCellTexts.h"
#include "core/state/KelvaneState.h"
#include "core/state/StateChange.h"

namespace kelvane {

// The edits of the two map windows. Each works on the state's map set in
// place on the cells of a grid selection (1-based, cut to the map) and says
// what it did; the window passes Changes to the main window. A refused edit
// changes nothing; Message is then the error box's text, or empty for none.
//
// Every value that enters a map is kept within what the map stands for and
// what the map readers take back: fuel values within the fuel limits, target
// AFR 10 to 18, ignition degrees 0 to 90. Every change sets its flag: the
// adjustments-edited flag for A and U, the target-edited flag for the target.
struct TMapEditResult {
    bool Accepted = false;
    TChangeSet Changes;
    std::string_view Message;
};

inline constexpr std::string_view FuelPasteMismatchText =
    "Selected area does not match the data in the clipboard";
inline constexpr std::string_view IgnitionPasteMismatchText =
    "Selected area is not the same shape as the data in the clipboard";
inline constexpr std::string_view NotAMapText = "Clipboard data is not the correct format for a map";

inline constexpr double TargetAfrMin = 10;
inline constexpr double TargetAfrMax = 18;
// The EZK map text test takes degrees from 0 to 90.
inline constexpr double IgnitionTextMin = 0;
inline constexpr double IgnitionTextMax = 90;
// The smallest factor a typed percentage stores.
inline constexpr double SmallestTypedFactor = 0.01;

// A typed value: a plain number ("." as the point, no comma); on the fuel
// adjustments a trailing "%" is taken too, as the editor shows it there.
std::optional<double> TypedNumber(std::string_view text, bool percentAllowed);

// ---- Fuel map window ----

// The step buttons and keys: "+" / Q +0.01, "-" / A -0.01, "++" / W +0.1, "--" / S -0.1.
enum class TMapStep { Plus, Minus, PlusPlus, MinusMinus };
double FuelStepSize(TMapStep step);
std::string_view FuelStepHint(TMapStep step);

bool FuelStepButtonsEnabled(TFuelMapTab tab);  // adjustments and updated map
bool FuelPasteEnabled(TFuelMapTab tab);        // all but the remainder
bool FuelResetEnabled(TFuelMapTab tab);        // adjustments and target AFR
bool FuelTypingAllowed(TFuelMapTab tab);       // all but the remainder

// Adjustments and updated map: A + step, U follows. Target AFR: T + 10 * step,
// kept within 10 .. 18. Other tabs: nothing.
TMapEditResult StepFuelCells(TKelvaneState& state, TFuelMapTab tab, const TMapSelection& selection,
                             double step);
// The typed text into every selected cell. On the adjustments it is the
// percentage added: factor max(value / 100 + 1, 0.01).
TMapEditResult TypeFuelValue(TKelvaneState& state, TFuelMapTab tab, const TMapSelection& selection,
                             std::string_view text);
// Ctrl+V: a block into the selection.
TMapEditResult PasteFuelCells(TKelvaneState& state, TFuelMapTab tab, const TMapSelection& selection,
                              std::string_view text);
// "Paste Map": a block into the whole map. On the reference it is a new
// reference from no file, as the Edit menu's paste makes it: source 0, no
// path, the adjustments reset.
TMapEditResult PasteFuelMap(TKelvaneState& state, TFuelMapTab tab, std::string_view text);
// "Reset": target AFR to its default rows, or every factor to 1.0.
TMapEditResult ResetFuelTab(TKelvaneState& state, TFuelMapTab tab);
// Ctrl+C and "Copy Map": the cells with the tab's decimals.
std::string CopyFuelCells(const TFuelMapSet& fuel, TFuelMapTab tab, const TMapSelection& selection);

// ---- Ignition map window ----

// "+" 0.4, "-" -0.4, "++" 3, "--" -3 degrees; with "%" on 1, -1, 5, -5 % of
// each cell's reference value.
double IgnitionStepSize(TMapStep step, bool percent);
std::string_view IgnitionStepHint(TMapStep step, bool percent);

bool IgnitionStepsEnabled(TIgnitionMapTab tab);   // all but the reference
bool IgnitionTypingAllowed(TIgnitionMapTab tab);  // reference, adjustments, updated

// Adjustments: A + step, U follows (0 .. 50). Updated: U + step without the
// 50 degree clamp, kept within 0 .. 90, A follows. Other tabs: nothing.
TMapEditResult StepIgnitionCells(TKelvaneState& state, TIgnitionMapTab tab, const TMapSelection& selection,
                                 TMapStep step, bool percent);
TMapEditResult TypeIgnitionValue(TKelvaneState& state, TIgnitionMapTab tab, const TMapSelection& selection,
                                 std::string_view text);
TMapEditResult PasteIgnitionCells(TKelvaneState& state, TIgnitionMapTab tab, const TMapSelection& selection,
                                  std::string_view text);
TMapEditResult PasteIgnitionMap(TKelvaneState& state, TIgnitionMapTab tab, std::string_view text);
// Ctrl+C: nothing on the WOT tab.
std::optional<std::string> CopyIgnitionCells(const TIgnitionMapSet& ignition, TIgnitionMapTab tab,
                                             const TMapSelection& selection);
// "Copy Map": the whole map; the WOT curve as its one line.
std::string CopyIgnitionMap(const TIgnitionMapSet& ignition, TIgnitionMapTab tab);

}  // namespace kelvane
