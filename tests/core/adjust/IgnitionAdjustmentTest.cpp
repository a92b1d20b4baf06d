#include <gtest/gtest.h>

#include <array>
#include <memory>
#include <string>
#include <vector>

#include "core/adjust/IgnitionAdjustment.h"

namespace kelvane {
namespace {

using TRetards = std::array<double, KnockCylinders>;
constexpr TRetards Quiet{0, 0, 0, 0, 0, 0, 0, 0};

// The S4 ignition axes with a flat reference of 20 degrees. Cell (7, 6) is
// 3000 rpm / 40 % load; the bound between rows 7 and 8 lies at 3100 rpm.
class IgnitionAdjustmentTest : public ::testing::Test {
  protected:
    std::unique_ptr<TKelvaneState> FState = std::make_unique<TKelvaneState>();
    TKelvaneState& State = *FState;
    TIgnitionMapSet& Ignition = State.Ignition;

    IgnitionAdjustmentTest() {
        Ignition.Reference = FilledGrid(20);
        Ignition.ReferenceLoaded = true;
        Ignition.RecomputeUpdated();
    }

    TLogDataEntry& Add(double rpm, double load, const TRetards& retards) {
        TLogDataEntry e;
        e.Rpm = rpm;
        e.Load = load;
        e.PlotMaf = 300;
        e.KnockCount = 0;
        e.KnockRetard = retards;
        State.Logs.Data.Entries.push_back(e);
        return State.Logs.Data.Entries.back();
    }

    // A knock event: a sample with the given retards after one with `before`.
    void Knock(double rpm, double load, const TRetards& retards, const TRetards& before = Quiet) {
        Add(rpm, load, before);
        Add(rpm, load, retards);
    }

    // The passes as the window runs them, with a bound in case they never end.
    static TIgnitionPass RunToEnd(TIgnitionAdjustment& adjustment) {
        TIgnitionPass pass;
        for (int n = 0; n < 1000 && adjustment.Running(); ++n) pass = adjustment.RunPass();
        EXPECT_TRUE(pass.Finished);
        return pass;
    }

    TIgnitionPass Adjust(const TIgnitionLimits& limits, const TCellRegion& region = WholeGrid) {
        TIgnitionAdjustment adjustment(State);
        EXPECT_TRUE(adjustment.Start(region, limits));
        return RunToEnd(adjustment);
    }
};

TEST(IgnitionLimitsTest, BoxTextsAreCheckedCylindersFirst) {
    struct TCase {
        const char* Cylinders;
        const char* Retard;
        TIgnitionLimitBox Refused;  // None: accepted
        int MaxCylinders;
        double MaxRetard;
    };
    const TIgnitionLimitBox C = TIgnitionLimitBox::MaxCylinders, R = TIgnitionLimitBox::MaxRetard,
                            Ok = TIgnitionLimitBox::None;
    const TCase cases[] = {
        {"3", "1", Ok, 3, 1.0},      {"0", "0", Ok, 0, 0.0}, {"8", "9.1", Ok, 8, 9.1},
        {" 2 ", " 1.5", Ok, 2, 1.5}, {"3", "9.2", R, 0, 0},  {"3", "9.11", R, 0, 0},
        {"3", "-0.1", R, 0, 0},      {"3", "1,5", R, 0, 0},  {"3", "", R, 0, 0},
        {"9", "1", C, 0, 0},         {"-1", "1", C, 0, 0},   {"3.0", "1", C, 0, 0},
        {"three", "1", C, 0, 0},     {"9", "9.2", C, 0, 0},
    };
    for (const TCase& c : cases) {
        SCOPED_TRACE(std::string(c.Cylinders) + " / " + c.Retard);
        const TIgnitionLimitsCheck check = CheckIgnitionLimits(c.Cylinders, c.Retard);
        EXPECT_EQ(check.Ok, c.Refused == Ok);
        EXPECT_EQ(check.Box, c.Refused);
        const char* message = c.Refused == C
                                  ? "Max number of cylinders must be numeric, and in the range of 0 to 8"
                              : c.Refused == R ? "Max Retard must be numeric, in the 0 to 9-deg range"
                                               : "";
        EXPECT_EQ(check.Message, message);
        if (c.Refused != Ok) continue;
        EXPECT_EQ(check.Limits.MaxCylinders, c.MaxCylinders);
        EXPECT_EQ(check.Limits.MaxRetard, c.MaxRetard);
    }
}

TEST_F(IgnitionAdjustmentTest, RetardBeyondTheLimitIsTakenOffInOnePass) {
    Knock(3000, 40, {3.5, 0, 0, 0, 0, 0, 0, 0});
    TIgnitionAdjustment adjustment(State);
    ASSERT_TRUE(adjustment.Start(WholeGrid, {3, 1.0}));
    EXPECT_EQ(adjustment.NextPassLine(), "Starting pass 1 ...");
    const TIgnitionPass first = adjustment.RunPass();
    EXPECT_EQ(first.Line, "Pass 1 completed (max=1/3.5)");
    EXPECT_FALSE(first.Finished);
    EXPECT_EQ(Ignition.Adjustments.At(7, 6), -2.5);
    EXPECT_EQ(Ignition.Updated.At(7, 6), 17.5);
    EXPECT_EQ(adjustment.NextPassLine(), "Starting pass 2 ...");
    const TIgnitionPass last = adjustment.RunPass();
    EXPECT_TRUE(last.Finished);
    EXPECT_EQ(last.FinalLine, "Finished, max= 1 cyls, 1.0 deg");
    EXPECT_TRUE(last.Unreached.empty());
    EXPECT_EQ(adjustment.StatusLines(),
              (std::vector<std::string>{"Make selections above, then click \"Adjust\"",
                                        "Pass 1 completed (max=1/3.5)", "Pass 2 completed (max=1/1.0)",
                                        "Finished, max= 1 cyls, 1.0 deg"}));
    // Only the knocking cell moved.
    TMapGrid expected{};
    expected.At(7, 6) = -2.5;
    EXPECT_EQ(Ignition.Adjustments, expected);
}

TEST_F(IgnitionAdjustmentTest, LimitsDecideWhichRuleActs) {
    struct TCase {
        const char* Name;
        TRetards Before, Retards;
        TIgnitionLimits Limits;
        bool IncludeAdjustments;
        double Expected;  // A of cell (7, 6) at the end
    };
    const TCase cases[] = {
        // Eight knocking cylinders never exceed a limit of 8: only retard counts.
        {"cylinder limit 8", Quiet, {0.5, 0.5, 0.5, 0.5, 0.5, 0.5, 0.5, 0.5}, {8, 1.0}, true, 0},
        {"cylinder limit 7", Quiet, {0.5, 0.5, 0.5, 0.5, 0.5, 0.5, 0.5, 0.5}, {7, 1.0}, true, -0.5},
        // A retard limit of 0: any knock lowers the cell.
        {"retard limit 0", Quiet, {0.5, 0, 0, 0, 0, 0, 0, 0}, {3, 0.0}, true, -0.5},
        // Four cylinders above a limit of 2: half a degree per pass until at
        // most two stay above 0.1 (0.5, 0.7, 0.9, 1.0 less 1.0).
        {"cylinders step down", Quiet, {0.5, 0.7, 0.9, 1.0, 0, 0, 0, 0}, {2, 9.0}, false, -1.0},
        // Cylinder 2 was at 3 degrees already; cylinder 1's growth to 0.3
        // makes the event. Without Include Adjustments the event stays while
        // the count includes A, so the cell goes down until cylinder 2 is
        // within 0.1 of none; with it, the event itself fades after one step.
        {"event ignores A when not included",
         {0, 3, 0, 0, 0, 0, 0, 0},
         {0.3, 3, 0, 0, 0, 0, 0, 0},
         {0, 9.0},
         false,
         -3.0},
        {"event takes A when included",
         {0, 3, 0, 0, 0, 0, 0, 0},
         {0.3, 3, 0, 0, 0, 0, 0, 0},
         {0, 9.0},
         true,
         -0.5},
    };
    for (const TCase& c : cases) {
        SCOPED_TRACE(c.Name);
        State.Logs.Data.Clear();
        Ignition.ResetAdjustments();
        State.Display.IncludeAdjustments = c.IncludeAdjustments;
        Knock(3000, 40, c.Retards, c.Before);
        Adjust(c.Limits);
        EXPECT_DOUBLE_EQ(Ignition.Adjustments.At(7, 6), c.Expected);
    }
}

TEST_F(IgnitionAdjustmentTest, KnockCounterWithoutRetardValuesNeverChangesACell) {
    const double M = MissingValue;
    Add(3000, 40, {M, M, M, M, M, M, M, M}).KnockCount = 6;
    Add(3000, 40, {M, M, M, M, M, M, M, M}).KnockCount = 7;
    const TIgnitionPass last = Adjust({0, 0.0});
    EXPECT_EQ(last.Pass, 1);
    EXPECT_EQ(last.FinalLine, "Finished, max= 0 cyls, 0.0 deg");
    EXPECT_EQ(Ignition.Adjustments, FilledGrid(0));
}

// A sample on the bound between two cells counts for both, each measuring it
// with its own adjustment: the cell beside one whose adjustment stays 0 is
// brought to the limit, not driven down to 0 degrees.
TEST_F(IgnitionAdjustmentTest, SampleOnABoundCountsForBothCellsWithEachCellsAdjustment) {
    Knock(3100, 40, {3, 0, 0, 0, 0, 0, 0, 0});
    Adjust({3, 1.0});
    EXPECT_EQ(Ignition.Adjustments.At(7, 6), -2);
    EXPECT_EQ(Ignition.Adjustments.At(8, 6), -2);

    // Only the upper cell in the region: the lower one keeps A = 0.
    Ignition.ResetAdjustments();
    const TIgnitionPass last = Adjust({3, 1.0}, {8, 8, 6, 6});
    EXPECT_EQ(Ignition.Adjustments.At(8, 6), -2);
    EXPECT_EQ(Ignition.Adjustments.At(7, 6), 0);
    EXPECT_EQ(last.Pass, 2);
    EXPECT_TRUE(last.Unreached.empty());

    // On a load bound (between 40 and 46.67) as well: four cells.
    Ignition.ResetAdjustments();
    State.Logs.Data.Clear();
    Knock(3100, (40 + 46.67) / 2, {3, 0, 0, 0, 0, 0, 0, 0});
    Adjust({3, 1.0});
    for (const TCell cell : {TCell{7, 6}, TCell{7, 7}, TCell{8, 6}, TCell{8, 7}})
        EXPECT_EQ(Ignition.Adjustments.At(cell.Row, cell.Column), -2) << cell.Row << "," << cell.Column;
}

// The updated map holds a cell at 0 degrees; when its knock is still beyond
// the limit there, the passes end once nothing moves any more, and the final
// line names the cell.
TEST_F(IgnitionAdjustmentTest, PinnedCellEndsTheLoopAndIsNamed) {
    Ignition.Reference.At(7, 6) = 1.0;
    Ignition.RecomputeUpdated();
    // Three cylinders at 5 degrees: the cell can only go 1 degree down.
    Knock(3000, 40, {5, 5, 5, 0, 0, 0, 0, 0});
    // Another cell needs three passes of half a degree and goes on meanwhile.
    Knock(4400, 60, {0.5, 0.7, 0.9, 1.0, 1.2, 1.4, 1.6, 0});
    const TIgnitionPass last = Adjust({2, 9.0});
    EXPECT_EQ(last.Pass, 4);
    EXPECT_EQ(Ignition.Adjustments.At(7, 6), -1.0);
    EXPECT_EQ(Ignition.Updated.At(7, 6), 0);
    EXPECT_EQ(Ignition.Adjustments.At(12, 9), -1.5);
    ASSERT_EQ(last.Unreached, (std::vector<TCell>{{7, 6}}));
    EXPECT_EQ(last.FinalLine,
              "Finished, max= 3 cyls, 4.0 deg; limits not reached in cells 3000/40 (rpm/load)");
}

TEST_F(IgnitionAdjustmentTest, RepeatedPressesStartFromZeroInTheRegionAndGiveTheSameMap) {
    Knock(3000, 40, {3.5, 0, 0, 0, 0, 0, 0, 0});
    Knock(4400, 60, {2.5, 1.5, 0.4, 0, 0, 0, 0, 0});
    Ignition.Adjustments.At(0, 0) = -1.5;  // outside the region below
    Ignition.Adjustments.At(7, 6) = -7;    // inside: starts again from 0
    Ignition.RecomputeUpdated();
    const TCellRegion region{5, 13, 4, 10};
    Adjust({1, 1.0}, region);
    const TMapGrid once = Ignition.Adjustments;
    Adjust({1, 1.0}, region);
    EXPECT_EQ(Ignition.Adjustments, once);
    EXPECT_EQ(Ignition.Adjustments.At(0, 0), -1.5);
    EXPECT_EQ(Ignition.Adjustments.At(7, 6), -2.5);
}

TEST_F(IgnitionAdjustmentTest, EditedFlagIsSetWhileAndAfterThePassesOnlyWhenTheMapsChanged) {
    Knock(3000, 40, {3.5, 0, 0, 0, 0, 0, 0, 0});
    TIgnitionAdjustment adjustment(State);
    ASSERT_TRUE(adjustment.Start(WholeGrid, {3, 1.0}));
    EXPECT_FALSE(Ignition.AdjustmentsEdited);
    const TIgnitionPass first = adjustment.RunPass();
    EXPECT_TRUE(first.AdjustmentsChanged);
    EXPECT_TRUE(first.Changes.Has(TChange::IgnitionMaps));
    EXPECT_TRUE(Ignition.AdjustmentsEdited);
    const TIgnitionPass last = adjustment.RunPass();
    ASSERT_TRUE(last.Finished);
    EXPECT_TRUE(Ignition.AdjustmentsEdited);
    EXPECT_FALSE(last.Changes.Has(TChange::IgnitionMaps));  // nothing new since the first pass

    // Saved; the same press again ends where it was: nothing new to save.
    Ignition.AdjustmentsEdited = false;
    ASSERT_TRUE(adjustment.Start(WholeGrid, {3, 1.0}));
    RunToEnd(adjustment);
    EXPECT_FALSE(Ignition.AdjustmentsEdited);

    const TAdjustResult reset = adjustment.Reset();
    EXPECT_EQ(Ignition.Adjustments, FilledGrid(0));
    EXPECT_FALSE(Ignition.AdjustmentsEdited);
    EXPECT_EQ(reset.Changes, TChangeSet(TChange::IgnitionMaps));
}

TEST_F(IgnitionAdjustmentTest, StopEndsAfterTheCurrentPassNamingTheCellsStillBeyond) {
    Knock(4400, 60, {0.5, 0.7, 0.9, 1.0, 1.2, 1.4, 1.6, 0});
    TIgnitionAdjustment adjustment(State);
    ASSERT_TRUE(adjustment.Start(WholeGrid, {2, 9.0}));
    adjustment.RunPass();
    const TIgnitionPass stopped = adjustment.Stop();
    EXPECT_TRUE(stopped.Finished);
    EXPECT_FALSE(adjustment.Running());
    EXPECT_EQ(stopped.FinalLine,
              "Finished, max= 7 cyls, 1.6 deg; limits not reached in cells 4400/60 (rpm/load)");
    EXPECT_EQ(Ignition.Adjustments.At(12, 9), -0.5);
    EXPECT_EQ(adjustment.RunPass().Pass, 0);  // nothing runs any more
    EXPECT_EQ(adjustment.StatusLines().back(), stopped.FinalLine);
}

TEST_F(IgnitionAdjustmentTest, NothingHappensWithoutLogData) {
    Ignition.Adjustments.At(3, 3) = -2;
    Ignition.RecomputeUpdated();
    TIgnitionAdjustment adjustment(State);
    EXPECT_FALSE(adjustment.Start(WholeGrid, {3, 1.0}));
    EXPECT_FALSE(adjustment.Running());
    EXPECT_EQ(Ignition.Adjustments.At(3, 3), -2);
    EXPECT_EQ(adjustment.StatusLines(),
              std::vector<std::string>{"Make selections above, then click \"Adjust\""});
}

TEST_F(IgnitionAdjustmentTest, ChangedSamplesStopThePasses) {
    Knock(3000, 40, {3.5, 0, 0, 0, 0, 0, 0, 0});
    TIgnitionAdjustment adjustment(State);
    ASSERT_TRUE(adjustment.Start(WholeGrid, {3, 1.0}));
    State.Logs.Data.Entries.pop_back();
    const TIgnitionPass pass = adjustment.RunPass();
    EXPECT_TRUE(pass.Finished);
    EXPECT_FALSE(adjustment.Running());
}

}  // namespace
}  // namespace kelvane
