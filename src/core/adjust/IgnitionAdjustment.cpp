#include "core/adjust/IgnitionAdjustment.h"

#include <algorithm>
#include <array>
#include <charconv>
#include <limits>

#include "core/ground/SettingsValues.h"
#include "core/plot/KnockEvaluation.h"
#include "core/plot/SampleBinner.h"

namespace kelvane {

namespace {

constexpr int MaxCylinderLimit = 8;
constexpr double MaxRetardLimit = 9.1;
constexpr double CylinderStep = 0.5;  // degrees taken off a cell with too many knocking cylinders
constexpr int CellTotal = MapSize * MapSize;

// Retard with one decimal in a field of three characters.
std::string RetardText(double retard) {
    std::string text = FormatNumber(retard, 1);
    if (text.size() < 3) text.insert(0, 3 - text.size(), ' ');
    return text;
}

std::string ShortestText(double value) {
    char buffer[32];
    const auto result = std::to_chars(buffer, buffer + sizeof buffer, value);
    return std::string(buffer, result.ptr);
}

}  // namespace

TIgnitionLimitsCheck CheckIgnitionLimits(std::string_view maxCylindersText, std::string_view maxRetardText) {
    TIgnitionLimitsCheck check;
    const int cylinders = ParseInteger(maxCylindersText, -1);
    if (cylinders < 0 || cylinders > MaxCylinderLimit) {
        check.Box = TIgnitionLimitBox::MaxCylinders;
        check.Message = MaxCylindersMessage;
        return check;
    }
    const double retard = ParseNumber(maxRetardText, TDecimalComma::Refused, -1.0);
    if (!(retard >= 0 && retard <= MaxRetardLimit)) {
        check.Box = TIgnitionLimitBox::MaxRetard;
        check.Message = MaxRetardMessage;
        return check;
    }
    check.Ok = true;
    check.Limits = {cylinders, retard};
    return check;
}

TIgnitionAdjustment::TIgnitionAdjustment(TKelvaneState& state) : FState(state) {
    FStatusLines.emplace_back(IgnitionAdjustPromptText);
}

bool TIgnitionAdjustment::Start(const TCellRegion& region, const TIgnitionLimits& limits) {
    if (FState.Logs.Data.Empty()) return false;
    TIgnitionMapSet& ignition = FState.Ignition;
    FRegion = region;
    FLimits = limits;
    FIncludeAdjustments = FState.Display.IncludeAdjustments;
    FPass = 0;
    FLastCylinders = 0;
    FLastRetard = 0;
    FLastBeyond.clear();
    FAdjustmentsBefore = ignition.Adjustments;
    FUpdatedBefore = ignition.Updated;
    FEditedBefore = ignition.AdjustmentsEdited;
    FPendingChanges = {};

    for (int i = region.R0; i <= region.R1; ++i)
        for (int j = region.C0; j <= region.C1; ++j) ignition.Adjustments.At(i, j) = 0;
    ignition.RecomputeUpdated();
    if (ignition.Adjustments != FAdjustmentsBefore || ignition.Updated != FUpdatedBefore) {
        ignition.AdjustmentsEdited = true;
        FPendingChanges |= TChange::IgnitionMaps;
    }
    FindCandidates();
    FSampleCount = FState.Logs.Data.Count();
    FRunning = true;
    return true;
}

void TIgnitionAdjustment::FindCandidates() {
    // Knock is placed on the ignition map's grid whatever the plot shows.
    TDisplayOptions options = FState.Display;
    options.View = TPlotView::EZK;
    const TKelvaneState& s = FState;
    const TPlotContext context{options,
                               s.Axes.LHRpm,
                               s.Axes.LHLoad,
                               s.Axes.LHRpmBounds,
                               s.Axes.LHLoadBounds,
                               s.Axes.EZKRpmBounds,
                               s.Axes.EZKLoadBounds,
                               s.Fuel.Adjustments,
                               s.Ignition.Adjustments};
    const TSampleBinner binner(context);
    const TLogData& data = FState.Logs.Data;
    FCandidates.clear();
    for (std::size_t i = 1; i < data.Count(); ++i) {
        const TKnockEventTest test = KnockEventTest(data, i);
        // A knock counter without retard values gives 0 cylinders and 0
        // degrees: it can never lower a cell.
        if (test.Kind != TKnockEventTest::Retard) continue;
        // Without Include Adjustments the event test adds nothing.
        if (!FIncludeAdjustments && !test.With(0)) continue;
        TCellSpan rows, columns;
        if (!binner.CellsHolding(data[i], rows, columns)) continue;
        const int r0 = std::max(rows.First, FRegion.R0), r1 = std::min(rows.Last, FRegion.R1);
        const int c0 = std::max(columns.First, FRegion.C0), c1 = std::min(columns.Last, FRegion.C1);
        if (r0 > r1 || c0 > c1) continue;
        FCandidates.push_back({test, static_cast<std::uint32_t>(i), static_cast<std::uint8_t>(r0),
                               static_cast<std::uint8_t>(r1), static_cast<std::uint8_t>(c0),
                               static_cast<std::uint8_t>(c1)});
    }
}

std::string TIgnitionAdjustment::NextPassLine() const {
    return "Starting pass " + std::to_string(FPass + 1) + " ...";
}

TIgnitionPass TIgnitionAdjustment::RunPass() {
    if (!FRunning) return {};
    const TLogData& data = FState.Logs.Data;
    if (data.Count() != FSampleCount) return Stop();
    TIgnitionMapSet& ignition = FState.Ignition;
    TIgnitionPass pass;
    FStatusLines.push_back(NextPassLine());
    pass.Pass = ++FPass;

    // The worst knock event of every cell, each sample measured with the
    // adjustment of the cell it is counted for.
    std::array<int, CellTotal> cellCylinders{};
    std::array<double, CellTotal> cellRetard{};
    const TMapGrid& adjustments = ignition.Adjustments;
    for (const TCandidate& c : FCandidates) {
        const TLogDataEntry& entry = data[c.Index];
        for (int r = c.R0; r <= c.R1; ++r)
            for (int col = c.C0; col <= c.C1; ++col) {
                const double a = adjustments.At(r, col);
                if (FIncludeAdjustments && !c.Event.With(a)) continue;
                const std::size_t cell = static_cast<std::size_t>(r * MapSize + col);
                cellCylinders[cell] = std::max(cellCylinders[cell], KnockCylinderCountWith(entry, a));
                cellRetard[cell] = std::max(cellRetard[cell], MaxKnockRetardWith(entry, a));
            }
    }

    const TMapGrid adjustmentsBefore = ignition.Adjustments;
    std::vector<TCell> beyond;
    for (int i = FRegion.R0; i <= FRegion.R1; ++i)
        for (int j = FRegion.C0; j <= FRegion.C1; ++j) {
            const std::size_t cell = static_cast<std::size_t>(i * MapSize + j);
            const double retard = cellRetard[cell];
            const int cylinders = cellCylinders[cell];
            if (retard > FLimits.MaxRetard) {
                ignition.Adjustments.At(i, j) += FLimits.MaxRetard - retard;
                beyond.push_back({i, j});
            } else if (cylinders > FLimits.MaxCylinders) {
                ignition.Adjustments.At(i, j) -= CylinderStep;
                beyond.push_back({i, j});
            }
            pass.MaxRetard = std::max(pass.MaxRetard, retard);
            pass.MaxCylinders = std::max(pass.MaxCylinders, cylinders);
        }
    ignition.RecomputeUpdated();
    const bool changed = ignition.Adjustments != adjustmentsBefore;
    if (changed) FPendingChanges |= TChange::IgnitionMaps;

    FStatusLines.back() = "Pass " + std::to_string(pass.Pass) +
                          " completed (max=" + std::to_string(pass.MaxCylinders) + "/" +
                          RetardText(pass.MaxRetard) + ")";
    pass.Line = FStatusLines.back();
    FLastCylinders = pass.MaxCylinders;
    FLastRetard = pass.MaxRetard;
    FLastBeyond = beyond;
    // Done when no cell is beyond the limits, and also when the cells that
    // are cannot go lower: the updated map holds them at 0 degrees, so a
    // pass that changed nothing would repeat for ever.
    if (beyond.empty() || !changed) {
        pass.Unreached = std::move(beyond);
        return Finish(std::move(pass));
    }
    NoteChanges(pass);
    return pass;
}

TIgnitionPass TIgnitionAdjustment::Stop() {
    if (!FRunning) return {};
    TIgnitionPass pass;
    pass.Pass = FPass;
    pass.MaxCylinders = FLastCylinders;
    pass.MaxRetard = FLastRetard;
    pass.Unreached = FLastBeyond;
    return Finish(std::move(pass));
}

TIgnitionPass TIgnitionAdjustment::Finish(TIgnitionPass pass) {
    FRunning = false;
    pass.Finished = true;
    std::string line = "Finished, max= " + std::to_string(pass.MaxCylinders) + " cyls, " +
                       RetardText(pass.MaxRetard) + " deg";
    if (!pass.Unreached.empty()) {
        line += "; limits not reached in cells ";
        for (std::size_t k = 0; k < pass.Unreached.size(); ++k) {
            const TCell cell = pass.Unreached[k];
            if (k > 0) line += ", ";
            line += ShortestText(FState.Axes.EZKRpm[static_cast<std::size_t>(cell.Row)]) + "/" +
                    ShortestText(FState.Axes.EZKLoad[static_cast<std::size_t>(cell.Column)]);
        }
        line += " (rpm/load)";
    }
    FStatusLines.push_back(line);
    pass.FinalLine = std::move(line);
    NoteChanges(pass);
    // Ending where it started is no edit: the flag goes back to what it was.
    if (!pass.AdjustmentsChanged) FState.Ignition.AdjustmentsEdited = FEditedBefore;
    FCandidates.clear();
    FCandidates.shrink_to_fit();
    return pass;
}

void TIgnitionAdjustment::NoteChanges(TIgnitionPass& pass) {
    const TIgnitionMapSet& ignition = FState.Ignition;
    pass.AdjustmentsChanged =
        ignition.Adjustments != FAdjustmentsBefore || ignition.Updated != FUpdatedBefore;
    // Set as soon as A differs, and kept set while the passes run.
    if (pass.AdjustmentsChanged) FState.Ignition.AdjustmentsEdited = true;
    pass.Changes = FPendingChanges;
    FPendingChanges = {};
}

TAdjustResult TIgnitionAdjustment::Reset() {
    TIgnitionMapSet& ignition = FState.Ignition;
    const TMapGrid adjustmentsBefore = ignition.Adjustments;
    const TMapGrid updatedBefore = ignition.Updated;
    ignition.ResetAdjustments();
    TAdjustResult result;
    result.AdjustmentsChanged =
        ignition.Adjustments != adjustmentsBefore || ignition.Updated != updatedBefore;
    if (result.AdjustmentsChanged) result.Changes = TChange::IgnitionMaps;
    return result;
}

}  // namespace kelvane
