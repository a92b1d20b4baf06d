#include <gtest/gtest.h>

#include <cmath>

#include "core/maps/BinMapChooser.h"
#include "core/maps/EngineSetup.h"
#include "core/maps/MapSets.h"

namespace kelvane {
namespace {

bool AllFinite(const TMapGrid& grid) {
    for (const double v : grid.Values)
        if (!std::isfinite(v)) return false;
    return true;
}

TEST(FuelMapSetTest, NewSetHoldsNeutralFactorsAndTheDefaultTargetMap) {
    const TFuelMapSet set;
    EXPECT_EQ(set.Adjustments, FilledGrid(1.0));
    EXPECT_EQ(set.Remainder, FilledGrid(1.0));
    const double expected[MapSize] = {14.7, 14.7, 14.7, 14.7, 14.7, 14.5, 14.4, 14.3,
                                      14.1, 13.8, 13.5, 13.1, 12.8, 12.6, 12.5, 12.5};
    for (int r = 0; r < MapSize; ++r)
        for (int l = 0; l < MapSize; ++l) EXPECT_EQ(set.TargetAfr.At(r, l), expected[l]) << r << "," << l;
}

TEST(FuelMapSetTest, LimitsFollowPrimaryLoadMapFirstThenLHVersion) {
    EXPECT_EQ(FuelLimitsFor(TLHVersion::Unset, TLHMapSource::Text), (TFuelLimits{127, -127}));
    EXPECT_EQ(FuelLimitsFor(TLHVersion::LH23, TLHMapSource::NoCat), (TFuelLimits{127, -127}));
    EXPECT_EQ(FuelLimitsFor(TLHVersion::LH22, TLHMapSource::Cat), (TFuelLimits{511, -511}));
    EXPECT_EQ(FuelLimitsFor(TLHVersion::LH22, TLHMapSource::PrimaryLoad), (TFuelLimits{65535, 0}));
    EXPECT_EQ(FuelLimitsFor(TLHVersion::LH23, TLHMapSource::PrimaryLoad), (TFuelLimits{65535, 0}));
}

struct TFuelCase {
    TLHMapSource Source;
    TLHVersion LHVersion;
    double Reference;
    double Adjustment;
    double ExpectedUpdated;
    double ExpectedAdjustment;
};

TEST(FuelMapSetTest, UpdatedMapIsRoundedAndClampedWithTheFactorFollowing) {
    const TFuelCase cases[] = {
        // 612 * 1.1 = 673.2 -> 161, above 127.
        {TLHMapSource::Cat, TLHVersion::LH23, 100, 1.1, 127, 639.0 / 612.0},
        // 412 * 0.5 = 206 -> -306, below -127.
        {TLHMapSource::Text, TLHVersion::LH23, -100, 0.5, -127, 385.0 / 412.0},
        // Inside the LH 2.2 range the same value is kept.
        {TLHMapSource::Cat, TLHVersion::LH22, 100, 1.1, 161, 1.1},
        {TLHMapSource::PrimaryLoad, TLHVersion::LH23, 60000, 1.2, 65535, 65535.0 / 60000.0},
        {TLHMapSource::PrimaryLoad, TLHVersion::LH23, 1000, 1.05, 1050, 1.05},
        // Exact halves go to the even integer: 512.5 -> 512, 513.5 -> 514.
        {TLHMapSource::Text, TLHVersion::LH23, 0, 1.0009765625, 0, 1.0009765625},
        {TLHMapSource::Text, TLHVersion::LH23, 0, 1.0029296875, 2, 1.0029296875},
        // A value equal to a limit stays, and so does its factor.
        {TLHMapSource::Text, TLHVersion::LH23, 127, 1.0, 127, 1.0},
        {TLHMapSource::Text, TLHVersion::LH23, -127, 1.0, -127, 1.0},
    };
    for (const TFuelCase& c : cases) {
        TFuelMapSet set;
        set.Source = c.Source;
        set.Reference.At(4, 7) = c.Reference;
        set.Adjustments.At(4, 7) = c.Adjustment;
        set.RecomputeUpdated(FuelLimitsFor(c.LHVersion, c.Source));
        EXPECT_EQ(set.Updated.At(4, 7), c.ExpectedUpdated) << c.Reference << " * " << c.Adjustment;
        EXPECT_DOUBLE_EQ(set.Adjustments.At(4, 7), c.ExpectedAdjustment)
            << c.Reference << " * " << c.Adjustment;
    }
}

TEST(FuelMapSetTest, ClampedFactorReproducesTheClampedValue) {
    TFuelMapSet set;
    set.Source = TLHMapSource::Cat;
    set.Reference.At(0, 0) = 100;
    set.Adjustments.At(0, 0) = 1.1;
    const TFuelLimits limits = FuelLimitsFor(TLHVersion::LH23, TLHMapSource::Cat);
    set.RecomputeUpdated(limits);
    const TFuelMapSet once = set;
    set.RecomputeUpdated(limits);
    EXPECT_EQ(set.Updated, once.Updated);
    EXPECT_EQ(set.Adjustments, once.Adjustments);
}

TEST(FuelMapSetTest, AdjustmentsFromUpdatedMapAreNotClamped) {
    TFuelMapSet set;
    set.Source = TLHMapSource::Text;
    set.Reference.At(2, 3) = 100;
    set.Updated = set.Reference;
    set.Updated.At(2, 3) = 400;  // beyond the LH 2.3 limit, kept as typed
    set.RecomputeAdjustments();
    EXPECT_DOUBLE_EQ(set.Adjustments.At(2, 3), 912.0 / 612.0);
    EXPECT_DOUBLE_EQ(set.Adjustments.At(0, 0), 1.0);

    set.Source = TLHMapSource::PrimaryLoad;
    set.Reference.At(2, 3) = 2000;
    set.Updated.At(2, 3) = 2500;
    set.RecomputeAdjustments();
    EXPECT_DOUBLE_EQ(set.Adjustments.At(2, 3), 1.25);
}

// A reference whose scaled base is zero cannot be scaled: its factor stays
// as it was (1.0 when it never changed) and no grid ever holds inf or NaN.
TEST(FuelMapSetTest, ZeroBaseReferenceKeepsItsFactor) {
    TFuelMapSet set;
    set.Source = TLHMapSource::Cat;
    set.Reference.Fill(-512);
    set.Updated.Fill(-300);
    set.RecomputeAdjustments();
    EXPECT_EQ(set.Adjustments, FilledGrid(1.0));
    EXPECT_EQ(set.Updated, FilledGrid(-300));

    set.Adjustments.Fill(1.3);
    set.RecomputeUpdated(FuelLimitsFor(TLHVersion::LH22, TLHMapSource::Cat));
    EXPECT_EQ(set.Updated.At(5, 5), -511);
    EXPECT_EQ(set.Adjustments, FilledGrid(1.3));
    set.RecomputeAdjustments();
    EXPECT_EQ(set.Adjustments, FilledGrid(1.3));

    TFuelMapSet primary;
    primary.Source = TLHMapSource::PrimaryLoad;
    primary.Updated.Fill(25);
    primary.RecomputeAdjustments();
    EXPECT_EQ(primary.Adjustments, FilledGrid(1.0));
    primary.Adjustments.Fill(2.0);
    primary.RecomputeUpdated(FuelLimitsFor(TLHVersion::LH23, TLHMapSource::PrimaryLoad));
    EXPECT_TRUE(AllFinite(primary.Adjustments));
    EXPECT_EQ(primary.Updated, FilledGrid(0.0));
}

TEST(FuelMapSetTest, ResetClearsFactorsAndFlagAndClampsReference) {
    TFuelMapSet set;
    set.Source = TLHMapSource::Text;
    set.Reference.Fill(20);
    set.Reference.At(15, 15) = 200;  // out of the LH 2.3 range
    set.Adjustments.Fill(1.2);
    set.AdjustmentsEdited = true;
    set.ResetAdjustments(FuelLimitsFor(TLHVersion::LH23, TLHMapSource::Text));
    EXPECT_FALSE(set.AdjustmentsEdited);
    EXPECT_EQ(set.Updated.At(0, 0), 20);
    EXPECT_EQ(set.Updated.At(15, 15), 127);
    EXPECT_DOUBLE_EQ(set.Adjustments.At(15, 15), 639.0 / 712.0);
    EXPECT_EQ(set.Adjustments.At(0, 0), 1.0);
}

TEST(IgnitionMapSetTest, UpdatedMapIsClampedToZeroToFiftyDegrees) {
    struct TCase {
        double Reference, Adjustment, Updated, NewAdjustment;
    };
    const TCase cases[] = {
        {45, 8, 50, 5}, {2, -3, 0, -2}, {45, 5, 50, 5}, {10, -10, 0, -10}, {20.5, 1.5, 22, 1.5},
    };
    for (const TCase& c : cases) {
        TIgnitionMapSet set;
        set.Reference.At(9, 1) = c.Reference;
        set.Adjustments.At(9, 1) = c.Adjustment;
        set.RecomputeUpdated();
        EXPECT_EQ(set.Updated.At(9, 1), c.Updated) << c.Reference << " + " << c.Adjustment;
        EXPECT_EQ(set.Adjustments.At(9, 1), c.NewAdjustment) << c.Reference << " + " << c.Adjustment;
    }
}

TEST(IgnitionMapSetTest, AdjustmentsAndResetFollowTheirRules) {
    TIgnitionMapSet set;
    set.Reference.Fill(30);
    set.Reference.At(1, 1) = 55;  // reference beyond 50
    set.Updated.Fill(32.5);
    set.Updated.At(3, 3) = 60;
    set.RecomputeAdjustments();
    EXPECT_DOUBLE_EQ(set.Adjustments.At(0, 0), 2.5);
    EXPECT_DOUBLE_EQ(set.Adjustments.At(3, 3), 30);  // no clamping here

    set.AdjustmentsEdited = true;
    set.ResetAdjustments();
    EXPECT_FALSE(set.AdjustmentsEdited);
    EXPECT_EQ(set.Updated.At(0, 0), 30);
    EXPECT_EQ(set.Updated.At(1, 1), 50);
    EXPECT_EQ(set.Adjustments.At(1, 1), -5);
    EXPECT_EQ(set.Adjustments.At(0, 0), 0);
}

// The numbers are those the project files hold ("LH Map in use", "EZK Map in use").
TEST(MapSourceCodeTest, StoredNumbersReadAsTheirSourcesAndBack) {
    EXPECT_EQ(LHMapSourceFromCode(0), TLHMapSource::Text);
    EXPECT_EQ(LHMapSourceFromCode(1), TLHMapSource::Cat);
    EXPECT_EQ(LHMapSourceFromCode(2), TLHMapSource::NoCat);
    EXPECT_EQ(LHMapSourceFromCode(3), TLHMapSource::PrimaryLoad);
    EXPECT_EQ(EZKMapSourceFromCode(0), TEZKMapSource::Text);
    EXPECT_EQ(EZKMapSourceFromCode(1), TEZKMapSource::Cat98);
    EXPECT_EQ(EZKMapSourceFromCode(2), TEZKMapSource::NoCat98);
    EXPECT_EQ(EZKMapSourceFromCode(4), TEZKMapSource::Octane91);
    for (int code : {0, 1, 2, 3}) EXPECT_EQ(CodeOf(LHMapSourceFromCode(code)), code);
    for (int code : {0, 1, 2, 4}) EXPECT_EQ(CodeOf(EZKMapSourceFromCode(code)), code);
}

TEST(MapSourceCodeTest, NumbersNamingNoSourceReadAsTheCatMap) {
    for (int code : {-1, 4, 255}) EXPECT_EQ(LHMapSourceFromCode(code), TLHMapSource::Cat) << code;
    for (int code : {-1, 3, 5, 255}) EXPECT_EQ(EZKMapSourceFromCode(code), TEZKMapSource::Cat98) << code;
}

// A choice only the other dialog offers leads to no map of this kind.
TEST(MapSourceCodeTest, DialogChoicesLeadToTheirSources) {
    struct TCase {
        TBinMapChoice Choice;
        TLHMapSource LH;
        TEZKMapSource EZK;
    };
    const TCase cases[] = {
        {TBinMapChoice::Cancel, TLHMapSource::Text, TEZKMapSource::Text},
        {TBinMapChoice::NoChoice, TLHMapSource::Text, TEZKMapSource::Text},
        {TBinMapChoice::Cat, TLHMapSource::Cat, TEZKMapSource::Cat98},
        {TBinMapChoice::NoCat, TLHMapSource::NoCat, TEZKMapSource::NoCat98},
        {TBinMapChoice::PrimaryLoad, TLHMapSource::PrimaryLoad, TEZKMapSource::Text},
        {TBinMapChoice::Octane91, TLHMapSource::Text, TEZKMapSource::Octane91},
    };
    for (const TCase& c : cases) {
        EXPECT_EQ(LHMapSourceOf(c.Choice), c.LH) << static_cast<int>(c.Choice);
        EXPECT_EQ(EZKMapSourceOf(c.Choice), c.EZK) << static_cast<int>(c.Choice);
    }
}

}  // namespace
}  // namespace kelvane
