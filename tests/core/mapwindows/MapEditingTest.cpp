#include <gtest/gtest.h>

#include <algorithm>
#include <string>

#include "core/maps/MapFields.h"
#include "core/maps/MapText.h"
#include "core/mapwindows/MapEditing.h"

namespace kelvane {
namespace {

constexpr TMapSelection OneCell{3, 5, 3, 5};  // RPM index 2, load index 4

// A state with fuel and ignition references loaded, LH 2.3 unless told.
struct TEditFixture {
    TKelvaneState State;

    explicit TEditFixture(TLHVersion version = TLHVersion::LH23, TLHMapSource source = TLHMapSource::Text) {
        State.Setup().LHVersion = version;
        State.Fuel.Source = source;
        State.RecomputeAxes();
        State.Fuel.Reference.Fill(source == TLHMapSource::PrimaryLoad ? 20000 : -100);
        State.Fuel.ReferenceLoaded = true;
        State.Fuel.ResetAdjustments(State.Axes.FuelLimits);
        State.Ignition.Reference.Fill(20);
        State.Ignition.ReferenceLoaded = true;
        State.Ignition.ResetAdjustments();
    }
    TFuelMapSet& Fuel() { return State.Fuel; }
    TIgnitionMapSet& Ignition() { return State.Ignition; }
};

TEST(MapEditingTest, TypedNumbers) {
    EXPECT_EQ(TypedNumber("5", false), 5.0);
    EXPECT_EQ(TypedNumber(" -150 ", false), -150.0);
    EXPECT_EQ(TypedNumber("+25.0%", true), 25.0);
    EXPECT_EQ(TypedNumber("+25.0%", false), std::nullopt);
    EXPECT_EQ(TypedNumber("14,5", false), std::nullopt);
    EXPECT_EQ(TypedNumber("", false), std::nullopt);
    EXPECT_EQ(TypedNumber("-", false), std::nullopt);
    EXPECT_EQ(TypedNumber("1e3", false), std::nullopt);
}

TEST(MapEditingTest, StepKeysOnFuelTabs) {
    TEditFixture f;
    // W three times: +0.1 each, the updated map following.
    for (int i = 0; i < 3; ++i)
        EXPECT_EQ(StepFuelCells(f.State, TFuelMapTab::Adjustments, OneCell, FuelStepSize(TMapStep::PlusPlus))
                      .Changes,
                  TChangeSet(TChange::FuelMaps));
    EXPECT_DOUBLE_EQ(f.Fuel().Adjustments.At(2, 4), 1.3);
    EXPECT_EQ(f.Fuel().Updated.At(2, 4), 24);  // 412 * 1.3 = 535.6 -> 536 - 512
    EXPECT_EQ(f.Fuel().Adjustments.At(2, 5), 1.0);
    EXPECT_TRUE(f.Fuel().AdjustmentsEdited);

    // On the updated map's tab the step goes through the factor too.
    StepFuelCells(f.State, TFuelMapTab::Updated, OneCell, FuelStepSize(TMapStep::Minus));
    EXPECT_DOUBLE_EQ(f.Fuel().Adjustments.At(2, 4), 1.29);

    // Reference and remainder are not stepped.
    TEditFixture g;
    for (const TFuelMapTab tab : {TFuelMapTab::Reference, TFuelMapTab::Remainder}) {
        EXPECT_FALSE(StepFuelCells(g.State, tab, WholeMap, 0.1).Accepted);
        EXPECT_EQ(g.Fuel().Adjustments, FilledGrid(1.0));
        EXPECT_FALSE(g.Fuel().AdjustmentsEdited);
    }
}

TEST(MapEditingTest, TargetStepsStayWithin10To18) {
    const struct {
        double Start;
        TMapStep Step;
        double End;
    } cases[] = {
        {17.5, TMapStep::PlusPlus, 18}, {10.5, TMapStep::MinusMinus, 10}, {14.7, TMapStep::Plus, 14.8},
        {14.7, TMapStep::Minus, 14.6},  {18, TMapStep::Plus, 18},         {10, TMapStep::Minus, 10},
    };
    for (const auto& c : cases) {
        TEditFixture f;
        f.Fuel().TargetAfr.At(2, 4) = c.Start;
        const TMapEditResult result =
            StepFuelCells(f.State, TFuelMapTab::TargetAfr, OneCell, FuelStepSize(c.Step));
        EXPECT_EQ(result.Changes, TChangeSet(TChange::TargetAfr));
        EXPECT_NEAR(f.Fuel().TargetAfr.At(2, 4), c.End, 1e-9) << c.Start;
        EXPECT_TRUE(f.Fuel().TargetEdited);
        EXPECT_FALSE(f.Fuel().AdjustmentsEdited);
    }
}

TEST(MapEditingTest, TypedFuelValues) {
    // Percent on the adjustments, with the smallest factor 0.01.
    TEditFixture primary(TLHVersion::LH23, TLHMapSource::PrimaryLoad);
    ASSERT_TRUE(TypeFuelValue(primary.State, TFuelMapTab::Adjustments, OneCell, "5").Accepted);
    EXPECT_DOUBLE_EQ(primary.Fuel().Adjustments.At(2, 4), 1.05);
    EXPECT_EQ(primary.Fuel().Updated.At(2, 4), 21000);
    ASSERT_TRUE(TypeFuelValue(primary.State, TFuelMapTab::Adjustments, OneCell, "-150").Accepted);
    EXPECT_DOUBLE_EQ(primary.Fuel().Adjustments.At(2, 4), 0.01);
    EXPECT_EQ(primary.Fuel().Updated.At(2, 4), 200);
    // What F2 shows there commits unchanged.
    ASSERT_TRUE(TypeFuelValue(primary.State, TFuelMapTab::Adjustments, OneCell, "+25.0%").Accepted);
    EXPECT_DOUBLE_EQ(primary.Fuel().Adjustments.At(2, 4), 1.25);

    // Values beyond the limits are held at them; so is the target AFR.
    TEditFixture f;
    ASSERT_TRUE(TypeFuelValue(f.State, TFuelMapTab::Updated, WholeMap, "300").Accepted);
    EXPECT_EQ(f.Fuel().Updated, FilledGrid(127));
    EXPECT_DOUBLE_EQ(f.Fuel().Adjustments.At(0, 0), 639.0 / 412.0);
    ASSERT_TRUE(TypeFuelValue(f.State, TFuelMapTab::Reference, OneCell, "-900").Accepted);
    EXPECT_EQ(f.Fuel().Reference.At(2, 4), -127);
    EXPECT_TRUE(f.Fuel().AdjustmentsEdited);
    EXPECT_FALSE(f.Fuel().TargetEdited);

    const TMapEditResult target = TypeFuelValue(f.State, TFuelMapTab::TargetAfr, OneCell, "147");
    EXPECT_EQ(target.Changes, TChangeSet(TChange::TargetAfr));
    EXPECT_EQ(f.Fuel().TargetAfr.At(2, 4), 18);
    EXPECT_TRUE(f.Fuel().TargetEdited);
    TypeFuelValue(f.State, TFuelMapTab::TargetAfr, OneCell, "2");
    EXPECT_EQ(f.Fuel().TargetAfr.At(2, 4), 10);
}

TEST(MapEditingTest, TextThatIsNoNumberChangesNothing) {
    for (const char* text : {"14,5", "1,47", "abc", "", "--5"}) {
        TEditFixture f;
        const TFuelMapSet fuelBefore = f.Fuel();
        const TIgnitionMapSet ignitionBefore = f.Ignition();
        for (const TFuelMapTab tab : FuelMapTabs) {
            const TMapEditResult result = TypeFuelValue(f.State, tab, WholeMap, text);
            EXPECT_FALSE(result.Accepted) << text;
            EXPECT_TRUE(result.Changes.Empty());
        }
        for (const TIgnitionMapTab tab : IgnitionMapTabs)
            EXPECT_FALSE(TypeIgnitionValue(f.State, tab, WholeMap, text).Accepted) << text;
        EXPECT_EQ(f.Fuel().Updated, fuelBefore.Updated);
        EXPECT_EQ(f.Fuel().TargetAfr, fuelBefore.TargetAfr);
        EXPECT_EQ(f.Fuel().Reference, fuelBefore.Reference);
        EXPECT_FALSE(f.Fuel().AdjustmentsEdited);
        EXPECT_FALSE(f.Fuel().TargetEdited);
        EXPECT_EQ(f.Ignition().Updated, ignitionBefore.Updated);
        EXPECT_FALSE(f.Ignition().AdjustmentsEdited);
    }
    // The remainder is never typed into, even with a number.
    TEditFixture f;
    EXPECT_FALSE(TypeFuelValue(f.State, TFuelMapTab::Remainder, WholeMap, "5").Accepted);
}

TEST(MapEditingTest, IgnitionStepsInDegreesAndPercent) {
    const struct {
        TIgnitionMapTab Tab;
        TMapStep Step;
        bool Percent;
        double Updated;  // reference 20
    } cases[] = {
        {TIgnitionMapTab::Adjustments, TMapStep::PlusPlus, true, 21},
        {TIgnitionMapTab::Adjustments, TMapStep::PlusPlus, false, 23},
        {TIgnitionMapTab::Adjustments, TMapStep::Minus, true, 19.8},
        {TIgnitionMapTab::Adjustments, TMapStep::Minus, false, 19.6},
        {TIgnitionMapTab::Updated, TMapStep::MinusMinus, true, 19},
        {TIgnitionMapTab::Updated, TMapStep::Plus, false, 20.4},
    };
    for (const auto& c : cases) {
        TEditFixture f;
        const TMapEditResult result = StepIgnitionCells(f.State, c.Tab, OneCell, c.Step, c.Percent);
        EXPECT_EQ(result.Changes, TChangeSet(TChange::IgnitionMaps));
        EXPECT_NEAR(f.Ignition().Updated.At(2, 4), c.Updated, 1e-9);
        EXPECT_NEAR(f.Ignition().Adjustments.At(2, 4), c.Updated - 20, 1e-9);
        EXPECT_TRUE(f.Ignition().AdjustmentsEdited);
    }
    // Nothing on the reference or the WOT curve.
    for (const TIgnitionMapTab tab : {TIgnitionMapTab::Reference, TIgnitionMapTab::Wot}) {
        TEditFixture f;
        EXPECT_FALSE(StepIgnitionCells(f.State, tab, WholeMap, TMapStep::PlusPlus, false).Accepted);
        EXPECT_EQ(f.Ignition().Updated, FilledGrid(20));
        EXPECT_FALSE(f.Ignition().AdjustmentsEdited);
    }
    EXPECT_EQ(IgnitionStepHint(TMapStep::PlusPlus, false), "Increment selected cells by 3 deg");
    EXPECT_EQ(IgnitionStepHint(TMapStep::Minus, true), "Decrement selected cells by 1%");
}

// The updated tab has no 50 degree clamp, but the map must stay readable:
// within 0 .. 90, where the EZK map test takes it.
TEST(MapEditingTest, IgnitionUpdatedStepsPassFiftyButStayReadable) {
    TEditFixture f;
    f.Ignition().Reference.At(2, 4) = 48;
    f.Ignition().RecomputeUpdated();
    StepIgnitionCells(f.State, TIgnitionMapTab::Updated, OneCell, TMapStep::PlusPlus, false);
    EXPECT_EQ(f.Ignition().Updated.At(2, 4), 51);
    TEditFixture g;
    g.Ignition().Reference.At(2, 4) = 48;
    g.Ignition().RecomputeUpdated();
    StepIgnitionCells(g.State, TIgnitionMapTab::Adjustments, OneCell, TMapStep::PlusPlus, false);
    EXPECT_EQ(g.Ignition().Updated.At(2, 4), 50);

    for (int i = 0; i < 40; ++i) {
        StepIgnitionCells(f.State, TIgnitionMapTab::Updated, WholeMap, TMapStep::PlusPlus, false);
        StepIgnitionCells(g.State, TIgnitionMapTab::Updated, WholeMap, TMapStep::MinusMinus, false);
    }
    EXPECT_EQ(*std::max_element(f.Ignition().Updated.Values.begin(), f.Ignition().Updated.Values.end()), 90);
    EXPECT_EQ(*std::min_element(g.Ignition().Updated.Values.begin(), g.Ignition().Updated.Values.end()), 0);
    EXPECT_TRUE(IsEZKMapBlock(MapFileText(f.Ignition().Updated, 1)));
    EXPECT_TRUE(IsEZKMapBlock(MapFileText(g.Ignition().Updated, 1)));

    // Typed values are held there too.
    TypeIgnitionValue(g.State, TIgnitionMapTab::Updated, OneCell, "-5");
    EXPECT_EQ(g.Ignition().Updated.At(2, 4), 0);
    TypeIgnitionValue(g.State, TIgnitionMapTab::Reference, OneCell, "95");
    EXPECT_EQ(g.Ignition().Reference.At(2, 4), 90);
}

TEST(MapEditingTest, TypingAnUpdatedIgnitionCellSetsItsAdjustment) {
    TEditFixture f;
    ASSERT_TRUE(TypeIgnitionValue(f.State, TIgnitionMapTab::Updated, OneCell, "25").Accepted);
    EXPECT_EQ(f.Ignition().Updated.At(2, 4), 25);
    EXPECT_EQ(f.Ignition().Adjustments.At(2, 4), 5);
    EXPECT_TRUE(f.Ignition().AdjustmentsEdited);
}

// A Primary Load Map steps to values above 32728, and must read back once saved.
TEST(MapEditingTest, PrimaryLoadMapAbove32728StaysReadable) {
    TEditFixture f(TLHVersion::LH23, TLHMapSource::PrimaryLoad);
    TypeFuelValue(f.State, TFuelMapTab::Updated, WholeMap, "70000");
    EXPECT_EQ(f.Fuel().Updated, FilledGrid(65535));
    TMapGrid back;
    EXPECT_TRUE(ReadMapBlock(MapFileText(f.Fuel().Updated, 0), back));
    EXPECT_EQ(back, f.Fuel().Updated);
}

TEST(MapEditingTest, PastedCellsSetTheirFlags) {
    const struct {
        TFuelMapTab Tab;
        bool AdjustmentsEdited;
        bool TargetEdited;
        TChangeSet Changes;
    } cases[] = {
        {TFuelMapTab::Reference, true, false, TChange::FuelMaps},
        {TFuelMapTab::Adjustments, true, false, TChange::FuelMaps},
        {TFuelMapTab::Updated, true, false, TChange::FuelMaps},
        {TFuelMapTab::TargetAfr, false, true, TChange::TargetAfr},
    };
    for (const auto& c : cases) {
        TEditFixture f;
        const TMapEditResult result = PasteFuelCells(f.State, c.Tab, OneCell, "12\r\n");
        EXPECT_TRUE(result.Accepted);
        EXPECT_EQ(result.Changes, c.Changes);
        EXPECT_EQ(f.Fuel().AdjustmentsEdited, c.AdjustmentsEdited);
        EXPECT_EQ(f.Fuel().TargetEdited, c.TargetEdited);
    }
    TEditFixture f;
    PasteFuelCells(f.State, TFuelMapTab::Updated, OneCell, "12\r\n");
    EXPECT_EQ(f.Fuel().Updated.At(2, 4), 12);
    EXPECT_DOUBLE_EQ(f.Fuel().Adjustments.At(2, 4), 524.0 / 412.0);
    PasteFuelCells(f.State, TFuelMapTab::TargetAfr, OneCell, "25");
    EXPECT_EQ(f.Fuel().TargetAfr.At(2, 4), 18);

    for (const TIgnitionMapTab tab :
         {TIgnitionMapTab::Reference, TIgnitionMapTab::Adjustments, TIgnitionMapTab::Updated}) {
        TEditFixture g;
        EXPECT_TRUE(PasteIgnitionCells(g.State, tab, OneCell, "4.5").Accepted);
        EXPECT_TRUE(g.Ignition().AdjustmentsEdited);
    }
}

TEST(MapEditingTest, RefusedPastesSayWhyAndChangeNothing) {
    const std::string twoByTwo = "1\t2\r\n3\t4\r\n";
    TEditFixture f;
    const TFuelMapSet before = f.Fuel();
    for (const TFuelMapTab tab : {TFuelMapTab::Reference, TFuelMapTab::Updated, TFuelMapTab::TargetAfr})
        EXPECT_EQ(PasteFuelCells(f.State, tab, TMapSelection{1, 1, 3, 3}, twoByTwo).Message,
                  FuelPasteMismatchText);
    EXPECT_EQ(
        PasteIgnitionCells(f.State, TIgnitionMapTab::Reference, TMapSelection{1, 1, 3, 3}, twoByTwo).Message,
        IgnitionPasteMismatchText);
    EXPECT_TRUE(PasteIgnitionCells(f.State, TIgnitionMapTab::Updated, TMapSelection{1, 1, 3, 3}, twoByTwo)
                    .Message.empty());
    EXPECT_EQ(PasteFuelMap(f.State, TFuelMapTab::Updated, "").Message, NotAMapText);
    EXPECT_EQ(PasteIgnitionMap(f.State, TIgnitionMapTab::Adjustments, twoByTwo).Message, NotAMapText);
    EXPECT_EQ(f.Fuel().Updated, before.Updated);
    EXPECT_EQ(f.Fuel().TargetAfr, before.TargetAfr);
    EXPECT_FALSE(f.Fuel().AdjustmentsEdited);
    EXPECT_FALSE(f.Ignition().AdjustmentsEdited);
    // Nothing goes into the remainder or the WOT curve.
    EXPECT_FALSE(PasteFuelMap(f.State, TFuelMapTab::Remainder, "1").Accepted);
    EXPECT_FALSE(PasteIgnitionMap(f.State, TIgnitionMapTab::Wot, "1").Accepted);
}

TEST(MapEditingTest, PasteMapWithOneValueFillsTheMap) {
    TEditFixture f;
    ASSERT_TRUE(PasteFuelMap(f.State, TFuelMapTab::Updated, "7\r\n").Accepted);
    EXPECT_EQ(f.Fuel().Updated, FilledGrid(7));
    EXPECT_TRUE(f.Fuel().AdjustmentsEdited);
    ASSERT_TRUE(PasteFuelMap(f.State, TFuelMapTab::TargetAfr, "13.2").Accepted);
    EXPECT_EQ(f.Fuel().TargetAfr, FilledGrid(13.2));
    EXPECT_TRUE(f.Fuel().TargetEdited);
}

// A whole map pasted into the reference is a new reference from no file:
// the old file and bin source no longer describe it.
TEST(MapEditingTest, PasteMapIntoTheReferenceForgetsItsFileAndSource) {
    TEditFixture f(TLHVersion::LH23, TLHMapSource::PrimaryLoad);
    f.Fuel().ReferencePath = "/maps/stock.bin";
    f.Fuel().Adjustments.Fill(1.1);
    f.Fuel().AdjustmentsEdited = true;
    const TMapEditResult result = PasteFuelMap(f.State, TFuelMapTab::Reference, "-20\r\n");
    EXPECT_EQ(result.Changes, TChange::FuelMaps | TChange::Axes);
    EXPECT_EQ(f.Fuel().Source, TLHMapSource::Text);
    EXPECT_TRUE(f.Fuel().ReferencePath.empty());
    EXPECT_TRUE(f.Fuel().ReferenceLoaded);
    EXPECT_EQ(f.State.Axes.FuelLimits, (TFuelLimits{127, -127}));
    EXPECT_EQ(f.Fuel().Adjustments, FilledGrid(1.0));
    EXPECT_EQ(f.Fuel().Updated, FilledGrid(-20));
    EXPECT_FALSE(f.Fuel().AdjustmentsEdited);

    TEditFixture g;
    g.Ignition().ReferencePath = "/maps/ezk.bin";
    g.Ignition().Source = TEZKMapSource::Cat98;
    g.Ignition().Adjustments.Fill(-2);
    ASSERT_TRUE(PasteIgnitionMap(g.State, TIgnitionMapTab::Reference, "15.5").Accepted);
    EXPECT_EQ(g.Ignition().Source, TEZKMapSource::Text);
    EXPECT_TRUE(g.Ignition().ReferencePath.empty());
    EXPECT_EQ(g.Ignition().Updated, FilledGrid(15.5));
}

TEST(MapEditingTest, ResetTabs) {
    TEditFixture f;
    f.Fuel().TargetAfr.Fill(11);
    f.Fuel().Adjustments.Fill(1.1);
    f.Fuel().RecomputeUpdated(f.State.Axes.FuelLimits);
    EXPECT_EQ(ResetFuelTab(f.State, TFuelMapTab::TargetAfr).Changes, TChangeSet(TChange::TargetAfr));
    EXPECT_EQ(f.Fuel().TargetAfr, DefaultTargetAfrMap());
    EXPECT_TRUE(f.Fuel().TargetEdited);
    EXPECT_EQ(ResetFuelTab(f.State, TFuelMapTab::Adjustments).Changes, TChangeSet(TChange::FuelMaps));
    EXPECT_EQ(f.Fuel().Updated, f.Fuel().Reference);
    EXPECT_TRUE(f.Fuel().AdjustmentsEdited);
    EXPECT_FALSE(ResetFuelTab(f.State, TFuelMapTab::Reference).Accepted);
}

TEST(MapEditingTest, CopiesWithTheTabsDecimals) {
    TEditFixture f;
    f.Fuel().Adjustments.At(0, 0) = 1.05;
    EXPECT_EQ(CopyFuelCells(f.Fuel(), TFuelMapTab::Adjustments, {1, 1, 2, 1}), "1.050\t1.000\r\n");
    EXPECT_EQ(CopyFuelCells(f.Fuel(), TFuelMapTab::TargetAfr, {1, 1, 1, 1}), "14.7\r\n");
    const std::string whole = CopyFuelCells(f.Fuel(), TFuelMapTab::Reference, WholeMap);
    EXPECT_EQ(std::count(whole.begin(), whole.end(), '\n'), 16);
    EXPECT_EQ(std::count(whole.begin(), whole.end(), '\t'), 16 * 15);

    f.Ignition().WotCurve.At(3, 0) = 12.5;
    const std::string wot = CopyIgnitionMap(f.Ignition(), TIgnitionMapTab::Wot);
    EXPECT_EQ(std::count(wot.begin(), wot.end(), '\n'), 1);
    EXPECT_EQ(wot.substr(0, 20), "0.0\t0.0\t0.0\t12.5\t0.0");
    EXPECT_EQ(wot.substr(wot.size() - 2), "\r\n");
    EXPECT_EQ(CopyIgnitionCells(f.Ignition(), TIgnitionMapTab::Wot, WholeMap), std::nullopt);
    EXPECT_EQ(CopyIgnitionCells(f.Ignition(), TIgnitionMapTab::Reference, OneCell), "20.0\r\n");
}

}  // namespace
}  // namespace kelvane
