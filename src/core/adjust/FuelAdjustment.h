#pragma once

#include <string>
#include <string_view>

#include "core/maps/MapGrid.h"
#include "core/plot/Selection.h"
#include "core/state/KelvaneState.h"
#include "core/state/StateChange.h"

namespace kelvane {

// Texts of the fuel adjustment window's status line.
inline constexpr std::string_view FuelAdjustPromptText = "Make selections above, then click \"Adjust\"";
inline constexpr std::string_view AdjustmentCompleteText = "Adjustment Complete";
inline constexpr std::string_view SmoothingCompleteText = "Smoothing Complete";

inline constexpr double DefaultTargetAfr = 14.7;

// What the samples are aimed at: one AFR for all, or the target AFR map
// interpolated at each sample.
struct TFuelTarget {
    bool UseTargetMap = true;
    double Afr = DefaultTargetAfr;
};

// The target box's text as a number ("," taken as the decimal point); 14.7
// for text that is not a number.
double TargetAfrFromText(std::string_view text);

// What an operation of the adjustment windows did. Changes goes to the main
// window; AdjustmentsChanged tells that A or U differs from before, in which
// case the map set's adjustments-edited flag has been set.
struct TAdjustResult {
    TChangeSet Changes;
    bool AdjustmentsChanged = false;
};

// The smoothing widths, in cells, and the sliders that set them: the
// vertical slider (load axis) gives 1.0 at its bottom end, position 20, and
// 10.0 at its top; the horizontal one (RPM axis) 1.0 at position 0.
inline constexpr int SmoothingSliderMax = 20;
double VertWidthOfPosition(int position);
double HorizWidthOfPosition(int position);
int VertPositionOfWidth(double width);
int HorizPositionOfWidth(double width);
// "Vert = 1.00", "Horiz = 10.0": two decimals, fewer when four characters
// do not hold them.
std::string VertLabelText(double width);
std::string HorizLabelText(double width);
// The width as stored on close: two decimals right-aligned in five
// characters (" 1.00").
std::string SmoothingWidthSettingText(double width);

// The fuel map adjustment of one opening of the window: it works on the
// state's fuel map set in place and keeps the snapshots that undo, reset and
// cancel need. Create it when the window is shown.
//
// Adjust fills the adjustment factors of a region from the included samples
// and a target AFR; Smooth replaces the updated map of a region by a
// raised-cosine average of SmoothSource, the updated map as it was after the
// last adjustment (or at opening), so passes with other widths never pile up.
class TFuelAdjustment {
  public:
    // Takes CancelSnapshot and AdjustUndoSnapshot from A and SmoothSource from U.
    explicit TFuelAdjustment(TKelvaneState& state);

    // Every press starts from empty sums, so two presses give the same map.
    TAdjustResult Adjust(const TCellRegion& region, const TFuelTarget& target);
    // One smoothing pass over the region with widths in cells along the load
    // axis (vertical) and the RPM axis (horizontal), each 1.0 to 10.0.
    TAdjustResult Smooth(const TCellRegion& region, double vertWidth, double horizWidth);

    // Back to A before the last adjustment / the first smoothing since
    // opening or the last smoothing undo (the remainder map then back to
    // 1.0); nothing but the recomputation when no snapshot is valid. Either
    // takes SmoothSource again from U.
    TAdjustResult UndoAdjustment();
    TAdjustResult UndoSmoothing();
    // Every factor and every remainder 1.0; the snapshots and SmoothSource stay.
    TAdjustResult ResetAll();
    // A as it was at opening.
    TAdjustResult Cancel();

    // U changed from outside (a map window edit, a loaded map): smoothing
    // works from the new U from now on.
    void TakeSmoothSource();

    bool AdjustUndoValid() const { return FAdjustUndoValid; }
    bool SmoothUndoValid() const { return FSmoothUndoValid; }
    const TMapGrid& SmoothSource() const { return FSmoothSource; }

  private:
    // Recomputes U, and notes the change against the maps before the operation.
    TAdjustResult Finish(const TMapGrid& adjustmentsBefore, const TMapGrid& updatedBefore,
                         TChangeSet changes);
    // Include Adjustments on, and the plot's printed reference values turned
    // to updated ones, as after every adjustment and smoothing.
    TChangeSet ShowAdjustedMap();

    TKelvaneState& FState;
    TMapGrid FCancelSnapshot;
    TMapGrid FAdjustUndoSnapshot;
    bool FAdjustUndoValid = true;
    TMapGrid FSmoothUndoSnapshot{};
    bool FSmoothUndoValid = false;
    TMapGrid FSmoothSource;
};

// The region of an adjustment: the bounding box of the selected cells when
// "Selected Area" is chosen and the selection holds cells of that map's
// grid, otherwise the entire map.
TCellRegion AdjustmentRegion(const TSelection& selection, TPlotView gridView, bool selectedArea);

}  // namespace kelvane
