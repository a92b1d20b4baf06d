#pragma once

#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

#include "core/adjust/FuelAdjustment.h"
#include "core/plot/CellBinning.h"
#include "core/plot/KnockEvaluation.h"
#include "core/plot/Selection.h"
#include "core/state/KelvaneState.h"
#include "core/state/StateChange.h"

namespace kelvane {

inline constexpr std::string_view IgnitionAdjustPromptText = FuelAdjustPromptText;
inline constexpr std::string_view MaxCylindersMessage =
    "Max number of cylinders must be numeric, and in the range of 0 to 8";
inline constexpr std::string_view MaxRetardMessage = "Max Retard must be numeric, in the 0 to 9-deg range";

// A cell is lowered while its largest knock retard exceeds MaxRetard degrees
// or more than MaxCylinders cylinders knock in it.
struct TIgnitionLimits {
    int MaxCylinders = 3;
    double MaxRetard = 1.0;
};

enum class TIgnitionLimitBox : std::uint8_t { None, MaxCylinders, MaxRetard };

// The two box texts read as limits. When refused, Message is the error box's
// text and Box the box that gets the focus.
struct TIgnitionLimitsCheck {
    bool Ok = false;
    TIgnitionLimits Limits;
    TIgnitionLimitBox Box = TIgnitionLimitBox::None;
    std::string_view Message;
};
// Cylinders: a whole number 0 .. 8. Retard: a number 0 .. 9.1 with "." for
// the decimal point.
TIgnitionLimitsCheck CheckIgnitionLimits(std::string_view maxCylindersText, std::string_view maxRetardText);

// What one pass measured and did.
struct TIgnitionPass {
    int Pass = 0;
    // The largest values measured in the pass, before its changes.
    int MaxCylinders = 0;
    double MaxRetard = 0;
    std::string Line;  // "Pass 1 completed (max=2/3.5)"
    // The passes have ended; FinalLine is the last status line.
    bool Finished = false;
    std::string FinalLine;
    // Cells still beyond the limits when the passes ended: held at 0 degrees,
    // or left when the passes were stopped.
    std::vector<TCell> Unreached;
    // What changed since the adjustment started or the last pass reported.
    // AdjustmentsChanged: A or U differs from before the start, in which case
    // the adjustments-edited flag has been set.
    TChangeSet Changes;
    bool AdjustmentsChanged = false;
};

// The ignition map adjustment of one opening of the window, working on the
// state's ignition map set in place. Start sets up an adjustment; each
// RunPass runs one pass, so the window can let events run and redraw between
// passes; the passes end by themselves when nothing more changes, or by
// Stop. The status box's lines are kept here as the window shows them.
//
// In a pass every region cell takes the worst knock event among the samples
// that lie in it (a sample on a bound shared by two cells lies in both), each
// sample measured with that cell's own adjustment.
//
// The samples must not change while the passes run (the window defers the
// commands that would change them); a pass that finds the sample count
// changed stops the adjustment. Include Adjustments is read at the start.
class TIgnitionAdjustment {
  public:
    explicit TIgnitionAdjustment(TKelvaneState& state);

    // Sets A to 0 in the region and recomputes U. False, with nothing changed
    // and no status line, when no log data is loaded.
    bool Start(const TCellRegion& region, const TIgnitionLimits& limits);
    bool Running() const { return FRunning; }
    // "Starting pass p ...", the line the next pass shows while it runs.
    std::string NextPassLine() const;
    // One pass; while the passes run the window calls it again.
    TIgnitionPass RunPass();
    // Ends the passes after the current one, with the final line.
    TIgnitionPass Stop();

    // "&Reset": every cell of A back to 0 (the whole map), the
    // adjustments-edited flag cleared, U recomputed.
    TAdjustResult Reset();

    // The status box: the prompt, then one line per pass and the final line.
    const std::vector<std::string>& StatusLines() const { return FStatusLines; }

  private:
    // A sample that may count as a knock event in one or more region cells.
    struct TCandidate {
        TKnockEventTest Event;
        std::uint32_t Index;
        std::uint8_t R0, R1, C0, C1;  // its cells, cut to the region
    };
    void FindCandidates();
    TIgnitionPass Finish(TIgnitionPass pass);
    void NoteChanges(TIgnitionPass& pass);

    TKelvaneState& FState;
    std::vector<std::string> FStatusLines;
    bool FRunning = false;
    TCellRegion FRegion;
    TIgnitionLimits FLimits;
    bool FIncludeAdjustments = true;
    int FPass = 0;
    std::size_t FSampleCount = 0;
    std::vector<TCandidate> FCandidates;
    // The maps before the adjustment started: the edited flag follows any difference.
    TMapGrid FAdjustmentsBefore{};
    TMapGrid FUpdatedBefore{};
    bool FEditedBefore = false;
    TChangeSet FPendingChanges;
    // What the last pass measured, for a final line after Stop.
    int FLastCylinders = 0;
    double FLastRetard = 0;
    std::vector<TCell> FLastBeyond;
};

}  // namespace kelvane
