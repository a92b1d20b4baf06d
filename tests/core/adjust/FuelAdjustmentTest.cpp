#include <gtest/gtest.h>

#include <cmath>
#include <memory>
#include <vector>

#include "core/adjust/FuelAdjustment.h"
#include "core/logdata/AfrSmoothing.h"
#include "core/plot/CellStatistics.h"
#include "core/plot/PlottedAfr.h"
#include "core/plot/SampleBinner.h"

namespace kelvane {
namespace {

bool AllFinite(const TMapGrid& grid) {
    for (const double v : grid.Values)
        if (!std::isfinite(v)) return false;
    return true;
}

// A state on the LH 2.3 MAF axes with a flat reference of 20, no
// adjustments, and samples added by the tests.
class FuelAdjustmentTest : public ::testing::Test {
  protected:
    std::unique_ptr<TKelvaneState> FState = std::make_unique<TKelvaneState>();
    TKelvaneState& State = *FState;
    TFuelMapSet& Fuel = State.Fuel;

    FuelAdjustmentTest() {
        Fuel.Reference = FilledGrid(20);
        Fuel.ReferenceLoaded = true;
        Fuel.RecomputeUpdated(State.Axes.FuelLimits);
    }

    double Rpm(int i) const { return State.Axes.LHRpm[static_cast<std::size_t>(i)]; }
    double Load(int j) const { return State.Axes.LHLoad[static_cast<std::size_t>(j)]; }

    TLogDataEntry& Add(double rpm, double plotMaf, double afr, double o2 = MissingValue) {
        TLogDataEntry e;
        e.Rpm = rpm;
        e.PlotMaf = plotMaf;
        e.SmoothedAfr = afr;
        e.Afr = afr;
        e.AfrPresent = 1;
        e.O2Adjust = o2;
        e.Included = 1;
        State.Logs.Data.Entries.push_back(e);
        return State.Logs.Data.Entries.back();
    }

    // 10 % lean against the one-number target 14.7.
    static constexpr double Lean10 = 14.7 * 1.1;
    static constexpr TFuelTarget Target147{false, 14.7};
};

TEST_F(FuelAdjustmentTest, CorrectionIsTheWeightedErrorScaledDownBelowAWeightOfOne) {
    struct TPoint {
        double Rpm, Load;
    };
    struct TCase {
        const char* Name;
        std::vector<TPoint> Points;
        int Row, Column;
        double Expected;
    };
    const double midLoad67 = (132.0 + 164.0) / 2;
    const TCase cases[] = {
        // One sample halfway between two load breakpoints: weight 0.5 in each,
        // divided by 1, not by 0.5.
        {"half weight", {{1700, midLoad67}}, 5, 6, 1.05},
        {"half weight, other side", {{1700, midLoad67}}, 5, 7, 1.05},
        {"four full weights", {{1700, 132}, {1700, 132}, {1700, 132}, {1700, 132}}, 5, 6, 1.10},
        // On a breakpoint: all the weight there, none to the neighbour.
        {"on a breakpoint", {{1700, 132}}, 5, 6, 1.10},
        {"not to the neighbour", {{1700, 132}}, 6, 6, 1.0},
        {"not to the lower neighbour", {{1700, 132}}, 4, 6, 1.0},
        // 0.005 of a sample is no evidence: the cell is reset.
        {"weight 0.005", {{1700, 132 + 0.995 * 32}}, 5, 6, 1.0},
        {"weight 0.995", {{1700, 132 + 0.995 * 32}}, 5, 7, 1 + 0.995 * 0.1},
        // On or below the first breakpoint, above the last: no weight at all.
        {"on the first rpm breakpoint", {{500, 132}}, 0, 6, 1.0},
        {"below the first load breakpoint", {{1700, 30}}, 5, 0, 1.0},
        {"above the last rpm breakpoint", {{6300, 132}}, 15, 6, 1.0},
        {"on the last rpm breakpoint", {{6200, 132}}, 15, 6, 1.10},
    };
    for (const TCase& c : cases) {
        SCOPED_TRACE(c.Name);
        State.Logs.Data.Clear();
        Fuel.Adjustments.Fill(1.0);
        for (const TPoint& p : c.Points) Add(p.Rpm, p.Load, Lean10);
        TFuelAdjustment adjustment(State);
        adjustment.Adjust(WholeGrid, Target147);
        EXPECT_NEAR(Fuel.Adjustments.At(c.Row, c.Column), c.Expected, 1e-12);
    }
}

TEST_F(FuelAdjustmentTest, O2AdjustmentOfTwentyTwoPercentOrMoreIsIgnored) {
    struct TCase {
        double O2;
        double Expected;
    };
    const TCase cases[] = {{22.0, 1.0}, {-22.0, 1.0}, {21.9, 1.219}, {-21.9, 0.781},
                           {25.0, 1.0}, {-10.0, 0.9}, {0.0, 1.0},    {MissingValue, 1.0}};
    // Room up to the limit for a factor of 1.219: 512 * 1.219 - 512 = 112.
    Fuel.Reference = FilledGrid(0);
    for (const TCase& c : cases) {
        SCOPED_TRACE(c.O2);
        State.Logs.Data.Clear();
        Add(1700, 132, 14.7, c.O2);
        TFuelAdjustment adjustment(State);
        adjustment.Adjust(WholeGrid, Target147);
        EXPECT_NEAR(Fuel.Adjustments.At(5, 6), c.Expected, 1e-12);
    }
}

// Samples that say nothing about the mixture leave every region cell at no
// change and the edited flag as it was.
TEST_F(FuelAdjustmentTest, SamplesWithoutAUsableAfrOrTargetAreSkipped) {
    struct TCase {
        const char* Name;
        double Afr;
        bool Included;
        TFuelTarget Target;
        double TargetMapCell;  // at the sample's grid point, when the map is used
    };
    const TCase cases[] = {
        {"AFR missing", MissingValue, true, Target147, 14.7},
        {"AFR read as 0", 0.0, true, Target147, 14.7},
        {"AFR negative", -3.0, true, Target147, 14.7},
        {"not included", Lean10, false, Target147, 14.7},
        {"one-number target 0", Lean10, true, {false, 0.0}, 14.7},
        {"one-number target below 0", Lean10, true, {false, -14.7}, 14.7},
        {"target map 0 there", Lean10, true, {true, 14.7}, 0.0},
    };
    for (const TCase& c : cases) {
        SCOPED_TRACE(c.Name);
        State.Logs.Data.Clear();
        Fuel.AdjustmentsEdited = false;
        Fuel.TargetAfr = FilledGrid(14.7);
        Fuel.TargetAfr.At(5, 6) = c.TargetMapCell;
        Add(1700, 132, c.Afr).Included = c.Included;
        TFuelAdjustment adjustment(State);
        const TAdjustResult result = adjustment.Adjust(WholeGrid, c.Target);
        EXPECT_EQ(Fuel.Adjustments, FilledGrid(1.0));
        EXPECT_TRUE(AllFinite(Fuel.Updated));
        EXPECT_FALSE(result.AdjustmentsChanged);
        EXPECT_FALSE(Fuel.AdjustmentsEdited);
    }
}

// A wideband warming up writes empty (0) AFR fields: after smoothing they neither
// pull the lean neighbours' factor down nor show on the plot or in the statistics.
TEST_F(FuelAdjustmentTest, EmptyAfrFieldsNextToLeanSamplesGiveTheLeanFactor) {
    for (const double afr : {0.0, 0.0, 0.0, Lean10, Lean10}) Add(1700, 132, afr).SmoothedAfr = MissingValue;
    SmoothAfr(State.Logs.Data, 3);
    TFuelAdjustment adjustment(State);
    adjustment.Adjust(WholeGrid, Target147);
    EXPECT_NEAR(Fuel.Adjustments.At(5, 6), 1.10, 1e-12);

    const TPlotContext context = State.PlotContext();
    const TLogData& data = State.Logs.Data;
    EXPECT_EQ(PlottedAfr(data[0], context), MissingValue);
    for (std::size_t i = 1; i < data.Entries.size(); ++i) {
        SCOPED_TRACE(i);
        EXPECT_NEAR(PlottedAfr(data[i], context), Lean10 / Fuel.Adjustments.At(5, 6), 1e-9);
    }
    const TSampleBinner binner(context);
    const TCellStatistics cell =
        CellStatistics(data, binner.LhRpmCell(1700), binner.LhLoadCell(132), context);
    EXPECT_EQ(cell.Count, 4);
    EXPECT_NEAR(cell.Mean, Lean10 / Fuel.Adjustments.At(5, 6), 1e-9);
}

TEST_F(FuelAdjustmentTest, TargetMapIsInterpolatedAtTheSample) {
    Fuel.TargetAfr = FilledGrid(14.0);
    Fuel.TargetAfr.At(5, 7) = 12.0;
    // Halfway between load breakpoints 6 and 7: a target of 13.0.
    Add(1700, 148, 14.3);
    TFuelAdjustment adjustment(State);
    adjustment.Adjust(WholeGrid, {true, 99});
    EXPECT_NEAR(Fuel.Adjustments.At(5, 6), 1.05, 1e-12);
    EXPECT_NEAR(Fuel.Adjustments.At(5, 7), 1.05, 1e-12);
}

TEST(FuelTargetTextTest, CommaIsADecimalPointAndOtherTextGivesTheDefault) {
    EXPECT_EQ(TargetAfrFromText("14.7"), 14.7);
    EXPECT_EQ(TargetAfrFromText("13,5"), 13.5);
    EXPECT_EQ(TargetAfrFromText(" 12.5 "), 12.5);
    EXPECT_EQ(TargetAfrFromText("lean"), 14.7);
    EXPECT_EQ(TargetAfrFromText(""), 14.7);
    EXPECT_EQ(TargetAfrFromText("0"), 0.0);  // kept: the adjustment skips every sample then
}

TEST_F(FuelAdjustmentTest, UpdatedMapFollowsTheSourceAndTheLimits) {
    struct TCase {
        const char* Name;
        TLHMapSource Source;
        double Reference;
        double Updated;
        double Adjustment;
    };
    const TCase cases[] = {
        // 562 * 1.1 = 618.2 -> 618, less the offset: 106, not 55.
        {"source 0", TLHMapSource::Text, 50, 106, 1.1},
        {"primary load map", TLHMapSource::PrimaryLoad, 1000, 1100, 1.1},
        // 632 * 1.1 = 695.2 -> 183, beyond 127: cut back to the limit exactly.
        {"cut back to the limit", TLHMapSource::Cat, 120, 127, 639.0 / 632.0},
    };
    for (const TCase& c : cases) {
        SCOPED_TRACE(c.Name);
        State.Logs.Data.Clear();
        Fuel.Source = c.Source;
        State.RecomputeAxes();
        Fuel.Reference = FilledGrid(c.Reference);
        Fuel.Adjustments.Fill(1.0);
        Fuel.RecomputeUpdated(State.Axes.FuelLimits);
        for (int n = 0; n < 3; ++n) Add(1700, 132, Lean10);
        TFuelAdjustment adjustment(State);
        adjustment.Adjust(WholeGrid, Target147);
        EXPECT_EQ(Fuel.Updated.At(5, 6), c.Updated);
        EXPECT_NEAR(Fuel.Adjustments.At(5, 6), c.Adjustment, 1e-12);
        EXPECT_EQ(Fuel.Updated.At(0, 0), c.Reference);
    }
}

TEST_F(FuelAdjustmentTest, OnlyRegionCellsChangeAndOnlySamplesInsideCount) {
    Fuel.Adjustments.Fill(1.2);
    Fuel.RecomputeUpdated(State.Axes.FuelLimits);
    Add(1700, 132, Lean10);      // cell (5, 6): inside
    Add(2000, 132, 14.7 * 0.8);  // cell (7, 6): outside
    Add(1700, 148, 14.7 * 0.9);  // cell (5, 6) too, reaching into column 7
    const TCellRegion region{4, 6, 5, 6};
    TFuelAdjustment adjustment(State);
    adjustment.Adjust(region, Target147);
    // 1 * 0.1 + 0.5 * -0.1 over a weight of 1.5.
    EXPECT_NEAR(Fuel.Adjustments.At(5, 6), 1 + 0.05 / 1.5, 1e-12);
    EXPECT_EQ(Fuel.Adjustments.At(4, 5), 1.0);  // in the region, no samples
    EXPECT_EQ(Fuel.Adjustments.At(5, 7), 1.2);  // outside, though a sample reached it
    EXPECT_EQ(Fuel.Adjustments.At(7, 6), 1.2);
}

TEST_F(FuelAdjustmentTest, RepeatedPressesGiveTheSameMapAndReportNoNewEdit) {
    Add(1700, 148, Lean10);
    Add(2400, 300, 14.7 * 0.95, 4);
    TFuelAdjustment adjustment(State);
    const TAdjustResult first = adjustment.Adjust(WholeGrid, Target147);
    const TFuelMapSet once = Fuel;
    const TAdjustResult second = adjustment.Adjust(WholeGrid, Target147);
    EXPECT_EQ(Fuel.Adjustments, once.Adjustments);
    EXPECT_EQ(Fuel.Updated, once.Updated);
    EXPECT_TRUE(first.AdjustmentsChanged);
    EXPECT_TRUE(first.Changes.Has(TChange::FuelMaps));
    EXPECT_FALSE(second.AdjustmentsChanged);
    EXPECT_FALSE(second.Changes.Has(TChange::FuelMaps));
}

TEST_F(FuelAdjustmentTest, AdjustingMarksTheWorkAndShowsTheAdjustedMap) {
    State.Display.IncludeAdjustments = false;
    State.PlotDisplay.Overlay = TMapOverlay::Reference;
    Add(1700, 132, Lean10);
    TFuelAdjustment adjustment(State);
    const TAdjustResult result = adjustment.Adjust(WholeGrid, Target147);
    EXPECT_TRUE(Fuel.AdjustmentsEdited);
    EXPECT_TRUE(State.Display.IncludeAdjustments);
    EXPECT_EQ(State.PlotDisplay.Overlay, TMapOverlay::Updated);
    EXPECT_EQ(result.Changes, (TChangeSet{TChange::FuelMaps, TChange::PlottedValues, TChange::Overlay}));
    // Other printed values stay as chosen.
    State.PlotDisplay.Overlay = TMapOverlay::MeanAfr;
    adjustment.Smooth(WholeGrid, 2, 2);
    EXPECT_EQ(State.PlotDisplay.Overlay, TMapOverlay::MeanAfr);
}

// A flat-zero map with one spike of 100 at (8, 8), smoothed.
class FuelSmoothingTest : public FuelAdjustmentTest {
  protected:
    FuelSmoothingTest() {
        Fuel.Reference = FilledGrid(0);
        Fuel.Reference.At(8, 8) = 100;
        Fuel.RecomputeUpdated(State.Axes.FuelLimits);
    }
};

TEST_F(FuelSmoothingTest, RaisedCosineAveragesTheSource) {
    TFuelAdjustment adjustment(State);
    adjustment.Smooth(WholeGrid, 2, 2);
    // Weights 0.5, 1, 0.5 along each axis: 4 in all, the spike weighs 1 at
    // its own cell and 0.5 next to it, 0.25 diagonally.
    EXPECT_DOUBLE_EQ(Fuel.Updated.At(8, 8), 25);
    EXPECT_DOUBLE_EQ(Fuel.Updated.At(8, 9), 12.5);
    EXPECT_DOUBLE_EQ(Fuel.Updated.At(7, 9), 6.25);
    EXPECT_EQ(Fuel.Updated.At(8, 10), 0);
    // The factors follow the smoothed values by the reverse rule.
    EXPECT_DOUBLE_EQ(Fuel.Adjustments.At(8, 8), (25.0 + 512) / 612);
    EXPECT_DOUBLE_EQ(Fuel.Adjustments.At(8, 9), 524.5 / 512);
    // Not the Primary Load Map: no remainder.
    EXPECT_EQ(Fuel.Remainder, FilledGrid(1.0));
}

TEST_F(FuelSmoothingTest, NeighboursOutsideTheRegionTakePartButKeepTheirValues) {
    TFuelAdjustment adjustment(State);
    adjustment.Smooth({8, 8, 9, 9}, 2, 2);
    EXPECT_DOUBLE_EQ(Fuel.Updated.At(8, 9), 12.5);
    EXPECT_EQ(Fuel.Updated.At(8, 8), 100);
    EXPECT_EQ(Fuel.Updated.At(7, 9), 0);
}

TEST_F(FuelSmoothingTest, WidthsOfOneRestoreTheSourceAndPassesNeverPileUp) {
    TFuelAdjustment adjustment(State);
    const TMapGrid source = adjustment.SmoothSource();
    adjustment.Smooth(WholeGrid, 3, 5);
    const TMapGrid once = Fuel.Updated;
    adjustment.Smooth(WholeGrid, 3, 5);
    EXPECT_EQ(Fuel.Updated, once);
    adjustment.Smooth(WholeGrid, 1, 1);
    EXPECT_EQ(Fuel.Updated, source);
    // A cell edited in a map window goes back to the source too.
    Fuel.Updated.At(3, 3) = 40;
    adjustment.Smooth(WholeGrid, 1, 1);
    EXPECT_EQ(Fuel.Updated, source);
}

TEST_F(FuelSmoothingTest, PrimaryLoadMapKeepsWhatSmoothingTookAway) {
    Fuel.Source = TLHMapSource::PrimaryLoad;
    State.RecomputeAxes();
    Fuel.Reference = FilledGrid(1000);
    Fuel.Reference.At(8, 8) = 2000;
    Fuel.RecomputeUpdated(State.Axes.FuelLimits);
    TFuelAdjustment adjustment(State);
    const TAdjustResult result = adjustment.Smooth(WholeGrid, 2, 2);
    // Spike cell: (2000 + 3 * 1000) / 4 = 1250 -> M = 2000 / 1250.
    EXPECT_DOUBLE_EQ(Fuel.Updated.At(8, 8), 1250);
    EXPECT_DOUBLE_EQ(Fuel.Remainder.At(8, 8), (2000.0 - 1250) / 1250 + 1);
    EXPECT_DOUBLE_EQ(Fuel.Adjustments.At(8, 8), 1250.0 / 2000);
    EXPECT_EQ(Fuel.Remainder.At(0, 0), 1.0);
    EXPECT_TRUE(result.Changes.Has(TChange::FuelMaps));

    adjustment.UndoSmoothing();
    EXPECT_EQ(Fuel.Remainder, FilledGrid(1.0));
    EXPECT_EQ(Fuel.Updated.At(8, 8), 2000);
}

// Smoothing changes the map like any adjustment: the work must be saved or asked about.
TEST_F(FuelSmoothingTest, SmoothingMarksTheAdjustmentsEdited) {
    TFuelAdjustment adjustment(State);
    const TAdjustResult result = adjustment.Smooth(WholeGrid, 2, 2);
    EXPECT_TRUE(result.AdjustmentsChanged);
    EXPECT_TRUE(Fuel.AdjustmentsEdited);
    Fuel.AdjustmentsEdited = false;
    // The same pass again changes nothing.
    EXPECT_FALSE(adjustment.Smooth(WholeGrid, 2, 2).AdjustmentsChanged);
    EXPECT_FALSE(Fuel.AdjustmentsEdited);
}

// A reference of -512 cannot be scaled: the smoothed value stays in U, the
// cell keeps its factor, and nothing turns infinite.
TEST_F(FuelSmoothingTest, UnscalableReferenceKeepsItsFactor) {
    State.Axes.FuelLimits = FuelLimitsFor(TLHVersion::LH22, TLHMapSource::Text);
    Fuel.Reference.At(8, 9) = -512;
    Fuel.Adjustments.At(8, 9) = 1.0;
    Fuel.RecomputeUpdated(State.Axes.FuelLimits);  // -511 there
    TFuelAdjustment adjustment(State);
    adjustment.Smooth(WholeGrid, 2, 2);
    EXPECT_TRUE(AllFinite(Fuel.Adjustments));
    EXPECT_EQ(Fuel.Adjustments.At(8, 9), 1.0);
    EXPECT_DOUBLE_EQ(Fuel.Updated.At(8, 9), (100 * 0.5 + -511 * 1.0 + 0) / 4);

    Fuel.Source = TLHMapSource::PrimaryLoad;
    Fuel.Reference = FilledGrid(0);
    Fuel.Adjustments.Fill(1.3);
    Fuel.Updated = FilledGrid(0);
    Fuel.Updated.At(4, 4) = 80;
    adjustment.TakeSmoothSource();
    adjustment.Smooth(WholeGrid, 2, 2);
    EXPECT_EQ(Fuel.Adjustments, FilledGrid(1.3));
    EXPECT_DOUBLE_EQ(Fuel.Updated.At(4, 4), 20);
    EXPECT_TRUE(AllFinite(Fuel.Remainder));
}

TEST_F(FuelAdjustmentTest, UndoAdjustmentIsNotBroughtBackBySmoothing) {
    Add(1700, 132, Lean10);
    TFuelAdjustment adjustment(State);
    adjustment.Adjust(WholeGrid, Target147);
    ASSERT_NE(Fuel.Adjustments, FilledGrid(1.0));
    Fuel.AdjustmentsEdited = false;  // saved meanwhile
    const TAdjustResult undo = adjustment.UndoAdjustment();
    EXPECT_EQ(Fuel.Adjustments, FilledGrid(1.0));
    EXPECT_FALSE(adjustment.AdjustUndoValid());
    EXPECT_TRUE(undo.AdjustmentsChanged);
    EXPECT_TRUE(Fuel.AdjustmentsEdited);
    // A slider move afterwards smooths the map as it now is.
    adjustment.Smooth(WholeGrid, 1, 1);
    EXPECT_EQ(Fuel.Updated, FilledGrid(20));
    // A second undo has nothing to restore.
    adjustment.UndoAdjustment();
    EXPECT_EQ(Fuel.Updated, FilledGrid(20));
}

TEST_F(FuelAdjustmentTest, SmoothSourceCanBeTakenAgainAfterAnEditFromOutside) {
    TFuelAdjustment adjustment(State);
    Fuel.Updated.At(2, 2) = 30;  // typed into the map window
    Fuel.RecomputeAdjustments();
    adjustment.TakeSmoothSource();
    adjustment.Smooth(WholeGrid, 1, 1);
    EXPECT_EQ(Fuel.Updated.At(2, 2), 30);
}

TEST_F(FuelAdjustmentTest, UndoSmoothingGoesBackToBeforeTheFirstSmoothing) {
    Add(1700, 132, Lean10);
    TFuelAdjustment adjustment(State);
    adjustment.Adjust(WholeGrid, Target147);
    const TMapGrid adjusted = Fuel.Adjustments;
    adjustment.Smooth(WholeGrid, 2, 3);
    adjustment.Smooth(WholeGrid, 4, 4);
    EXPECT_TRUE(adjustment.SmoothUndoValid());
    adjustment.UndoSmoothing();
    EXPECT_EQ(Fuel.Adjustments, adjusted);
    EXPECT_FALSE(adjustment.SmoothUndoValid());
    EXPECT_EQ(adjustment.SmoothSource(), Fuel.Updated);
}

TEST_F(FuelAdjustmentTest, ResetAllKeepsTheSnapshotsAndTheSmoothSource) {
    Add(1700, 132, Lean10);
    TFuelAdjustment adjustment(State);
    adjustment.Adjust(WholeGrid, Target147);
    const TMapGrid adjusted = Fuel.Updated;
    adjustment.ResetAll();
    EXPECT_EQ(Fuel.Adjustments, FilledGrid(1.0));
    EXPECT_EQ(Fuel.Remainder, FilledGrid(1.0));
    EXPECT_EQ(Fuel.Updated, FilledGrid(20));
    // A slider moved after the reset smooths from the source, not the reset map.
    adjustment.Smooth(WholeGrid, 1, 1);
    EXPECT_EQ(Fuel.Updated, adjusted);
    // Undo of the adjustment still has its snapshot.
    adjustment.ResetAll();
    EXPECT_TRUE(adjustment.AdjustUndoValid());
    adjustment.UndoAdjustment();
    EXPECT_EQ(Fuel.Adjustments, FilledGrid(1.0));
}

TEST_F(FuelAdjustmentTest, CancelGoesBackToTheMapsAtOpening) {
    Fuel.Adjustments.Fill(1.05);
    Fuel.RecomputeUpdated(State.Axes.FuelLimits);
    const TFuelMapSet atOpening = Fuel;
    Add(1700, 132, Lean10);
    TFuelAdjustment adjustment(State);
    adjustment.Adjust(WholeGrid, Target147);
    adjustment.Smooth(WholeGrid, 3, 3);
    adjustment.Cancel();
    EXPECT_EQ(Fuel.Adjustments, atOpening.Adjustments);
    EXPECT_EQ(Fuel.Updated, atOpening.Updated);
}

TEST(SmoothingSliderTest, PositionsWidthsAndTexts) {
    struct TCase {
        int Position;
        double Vert, Horiz;
        const char* VertLabel;
        const char* HorizLabel;
    };
    const TCase cases[] = {
        {0, 10.0, 1.0, "Vert = 10.0", "Horiz = 1.00"},
        {10, std::sqrt(10.0), std::sqrt(10.0), "Vert = 3.16", "Horiz = 3.16"},
        {19, std::pow(10, 0.05), std::pow(10, 0.95), "Vert = 1.12", "Horiz = 8.91"},
        {20, 1.0, 10.0, "Vert = 1.00", "Horiz = 10.0"},
    };
    for (const TCase& c : cases) {
        SCOPED_TRACE(c.Position);
        EXPECT_DOUBLE_EQ(VertWidthOfPosition(c.Position), c.Vert);
        EXPECT_DOUBLE_EQ(HorizWidthOfPosition(c.Position), c.Horiz);
        EXPECT_EQ(VertPositionOfWidth(c.Vert), c.Position);
        EXPECT_EQ(HorizPositionOfWidth(c.Horiz), c.Position);
        EXPECT_EQ(VertLabelText(c.Vert), c.VertLabel);
        EXPECT_EQ(HorizLabelText(c.Horiz), c.HorizLabel);
    }
    EXPECT_EQ(SmoothingWidthSettingText(1.0), " 1.00");
    EXPECT_EQ(SmoothingWidthSettingText(10.0), "10.00");
}

TEST(AdjustmentRegionTest, SelectedCellsOfTheMapsOwnGridOnly) {
    TSelection selection;
    selection.View = TPlotView::LH;
    selection.Items = {TSelectionItem::Cell(3, 7), TSelectionItem::Cell(5, 2)};
    EXPECT_EQ(AdjustmentRegion(selection, TPlotView::LH, true), (TCellRegion{3, 5, 2, 7}));
    EXPECT_EQ(AdjustmentRegion(selection, TPlotView::LH, false), WholeGrid);
    EXPECT_EQ(AdjustmentRegion(selection, TPlotView::EZK, true), WholeGrid);
    selection.Items = {TSelectionItem::Point(4)};
    selection.Kind = SelectionKindPoint;
    EXPECT_EQ(AdjustmentRegion(selection, TPlotView::LH, true), WholeGrid);
}

}  // namespace
}  // namespace kelvane
