#include <gtest/gtest.h>

#include <array>

#include "core/plot/KnockEvaluation.h"
#include "support/PlotFixture.h"

namespace kelvane {
namespace {

TLogDataEntry WithRetard(std::array<double, KnockCylinders> retard) {
    TLogDataEntry e = TPlotFixture::Sample(3000, 500, 60, 12.5);
    for (int k = 0; k < KnockCylinders; ++k) e.KnockRetard[k] = retard[k];
    return e;
}

struct TKnockCase {
    const char* Name;
    std::array<double, KnockCylinders> Retard;
    double IgnitionAdjustment;  // in every cell
    bool IncludeAdjustments;
    bool AlwaysAdjusted;
    int Count;
    const char* List;
    double Max;
};

TEST(KnockEvaluationTest, CylindersKnockAboveATenthBelowTwentyWithTheAdjustmentWhenAsked) {
    const double M = MissingValue;
    const TKnockCase cases[] = {
        {"no retard values", {M, 2, 3, 4, 0, 0, 0, 0}, 0, true, true, 0, "", 0},
        {"quiet engine", {0, 0, 0, 0, 0, 0, 0, 0}, 0, true, false, 0, "", 0},
        {"0.1 is not knock, 0.11 is", {0.1, 0.11, 0, 0, 0, 0, 0, 0}, 0, true, false, 1, "2", 0.11},
        {"20 and more is no reading", {20, 19.9, 25, 0, 0, 0, 0, 0}, 0, true, false, 1, "2", 19.9},
        {"list ascending", {0, 1.5, 0, 0, 3, 0, 0, 0.5}, 0, true, false, 3, "2,5,8", 3},
        {"adjustment lifts quiet cylinders",
         {0, 0, 0, 0, 0, 0, 0, 0},
         0.5,
         true,
         false,
         8,
         "1,2,3,4,5,6,7,8",
         0.5},
        {"adjustment ignored when not included", {0, 1, 0, 0, 0, 0, 0, 0}, 0.5, false, false, 1, "2", 1},
        {"always adding the adjustment overrides the option",
         {0, 1, 0, 0, 0, 0, 0, 0},
         0.5,
         false,
         true,
         8,
         "1,2,3,4,5,6,7,8",
         1.5},
        {"negative adjustment silences", {0.5, 2, 0, 0, 0, 0, 0, 0}, -1, true, false, 1, "2", 1},
        {"largest retard never below zero", {0, 0, 0, 0, 0, 0, 0, 0}, -2, true, false, 0, "", 0},
        // A four-cylinder log leaves KR5..KR8 missing: those cylinders are absent,
        // not quiet cylinders the adjustment could make knock.
        {"unreported cylinders never knock", {0, 0, 0, 1, M, M, M, M}, 0.5, true, false, 4, "1,2,3,4", 1.5},
    };
    for (const TKnockCase& c : cases) {
        SCOPED_TRACE(c.Name);
        TPlotFixture f;
        f.IgnitionAdjustment.Fill(c.IgnitionAdjustment);
        f.Options.IncludeAdjustments = c.IncludeAdjustments;
        const TLogDataEntry e = WithRetard(c.Retard);
        const TKnockAdjustment mode =
            c.AlwaysAdjusted ? TKnockAdjustment::Always : TKnockAdjustment::IfIncluded;
        EXPECT_EQ(KnockCylinderCount(e, mode, f.Context()), c.Count);
        EXPECT_EQ(KnockCylinderList(e, mode, f.Context()), c.List);
        EXPECT_NEAR(MaxKnockRetard(e, mode, f.Context()), c.Max, 1e-12);
    }
}

TEST(KnockEvaluationTest, AdjustmentComesFromTheSamplesIgnitionCellWhateverTheView) {
    TPlotFixture f;
    f.Options.View = TPlotView::LH;
    // Rpm 3000 and Load 60 lie in EZK cell (6, 9).
    f.IgnitionAdjustment.At(6, 9) = 2.0;
    const TLogDataEntry e = WithRetard({0, 0, 0, 0, 0, 0, 0, 0});
    EXPECT_EQ(KnockAdjustmentAt(e, TKnockAdjustment::IfIncluded, f.Context()), 2.0);
    EXPECT_EQ(KnockCylinderCount(e, TKnockAdjustment::IfIncluded, f.Context()), 8);
    f.IgnitionAdjustment.At(6, 9) = 0;
    EXPECT_EQ(KnockCylinderCount(e, TKnockAdjustment::IfIncluded, f.Context()), 0);
}

TEST(KnockEvaluationTest, KnockEventsNeedAnIncludedSampleThatKnocksMoreThanTheOneBefore) {
    const double M = MissingValue;
    struct TEventCase {
        const char* Name;
        std::array<double, KnockCylinders> Before, After;
        int CountBefore, CountAfter;
        bool AfterIncluded;
        bool Event;
    };
    const TEventCase cases[] = {
        {"counter 6 -> 7", {M}, {M}, 6, 7, true, true},
        {"counter 6 -> 6", {M}, {M}, 6, 6, true, false},
        {"counter went back", {M}, {M}, 7, 6, true, false},
        {"counter missing before", {M}, {M}, MissingInteger, 0, true, false},
        {"counter missing now", {M}, {M}, 3, MissingInteger, true, false},
        {"excluded sample", {M}, {M}, 6, 7, false, false},
        {"retard grows", {0, 1, 0, 0, 0, 0, 0, 0}, {0, 2, 0, 0, 0, 0, 0, 0}, 0, 0, true, true},
        {"retard holds", {0, 2, 0, 0, 0, 0, 0, 0}, {0, 2, 0, 0, 0, 0, 0, 0}, 0, 9, true, false},
        {"retard falls", {0, 3, 0, 0, 0, 0, 0, 0}, {0, 2, 0, 0, 0, 0, 0, 0}, 0, 0, true, false},
        {"growth below a tenth", {0.02, 0, 0, 0, 0, 0, 0, 0}, {0.08, 0, 0, 0, 0, 0, 0, 0}, 0, 0, true, false},
        {"growth to no reading", {0, 1, 0, 0, 0, 0, 0, 0}, {0, 21, 0, 0, 0, 0, 0, 0}, 0, 0, true, false},
        {"first reading after a file without retard",
         {M, M, M, M, M, M, M, M},
         {1, 0, 0, 0, 0, 0, 0, 0},
         0,
         0,
         true,
         true},
    };
    for (const TEventCase& c : cases) {
        SCOPED_TRACE(c.Name);
        TPlotFixture f;
        TLogData data;
        data.Entries = {WithRetard(c.Before), WithRetard(c.After)};
        data[0].KnockCount = c.CountBefore;
        data[1].KnockCount = c.CountAfter;
        data[1].Included = c.AfterIncluded;
        EXPECT_EQ(IsKnockEvent(data, 1, TKnockAdjustment::IfIncluded, f.Context()), c.Event);
        // The first sample has no predecessor.
        EXPECT_FALSE(IsKnockEvent(data, 0, TKnockAdjustment::IfIncluded, f.Context()));
        EXPECT_FALSE(IsKnockEvent(data, 2, TKnockAdjustment::IfIncluded, f.Context()));
    }
}

TEST(KnockEvaluationTest, KnockEventTakesTheAdjustmentOnlyWhenAsked) {
    TPlotFixture f;
    f.IgnitionAdjustment.Fill(0.5);
    TLogData data;
    data.Entries = {WithRetard({0, 0, 0, 0, 0, 0, 0, 0}), WithRetard({0.05, 0, 0, 0, 0, 0, 0, 0})};
    f.Options.IncludeAdjustments = false;
    EXPECT_FALSE(IsKnockEvent(data, 1, TKnockAdjustment::IfIncluded, f.Context()));
    EXPECT_TRUE(IsKnockEvent(data, 1, TKnockAdjustment::Always, f.Context()));
    f.Options.IncludeAdjustments = true;
    EXPECT_TRUE(IsKnockEvent(data, 1, TKnockAdjustment::IfIncluded, f.Context()));
}

// A pass that tries one adjustment per cell splits the event test into what
// the sample says once and a comparison per adjustment; the two must agree
// with the whole test for any adjustment.
TEST(KnockEvaluationTest, SplitEventTestAgreesWithTheWholeTestForAnyAdjustment) {
    const double M = MissingValue;
    const std::array<double, KnockCylinders> retards[] = {
        {0, 0, 0, 0, 0, 0, 0, 0},     {0.05, 0, 0, 0, 0, 0, 0, 0}, {0, 1, 0, 0, 2.5, 0, 0, 0},
        {0, 0.1, 0, 0, 0, 0, 0, 0.2}, {M, M, M, M, M, M, M, M},    {19.9, 25, 0, 0, 0, 0, 0, 0},
        {0, 0, 0, 1, M, M, M, M},
    };
    for (const auto& before : retards)
        for (const auto& after : retards)
            for (const double adjustment : {-3.0, -0.9, -0.05, 0.0, 0.04, 0.5, 2.0}) {
                TPlotFixture f;
                f.IgnitionAdjustment.Fill(adjustment);
                TLogData data;
                data.Entries = {WithRetard(before), WithRetard(after)};
                data[0].KnockCount = 4;
                data[1].KnockCount = 5;
                const TLogDataEntry& e = data[1];
                const bool whole = IsKnockEvent(data, 1, TKnockAdjustment::Always, f.Context());
                ASSERT_EQ(KnockEventTest(data, 1).With(adjustment), whole) << adjustment;
                ASSERT_EQ(KnockCylinderCountWith(e, adjustment),
                          KnockCylinderCount(e, TKnockAdjustment::Always, f.Context()));
                ASSERT_EQ(MaxKnockRetardWith(e, adjustment),
                          MaxKnockRetard(e, TKnockAdjustment::Always, f.Context()));
            }
}

}  // namespace
}  // namespace kelvane
