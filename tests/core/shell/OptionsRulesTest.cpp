#include <gtest/gtest.h>

#include <string>

#include "core/shell/OptionsRules.h"
#include "core/state/KelvaneState.h"

namespace kelvane {
namespace {

TEST(OptionsRulesTest, UpDownStepsWithinTheLimits) {
    struct TCase {
        const char* Text;
        TUpDownLimits Limits;
        int Direction;
        const char* Expected;
    };
    const TCase cases[] = {
        {"14.3", IdleAfrUpDown, +1, "14.8"},  // not snapped to the step grid
        {"19.8", IdleAfrUpDown, +1, "20.0"},  // 20.3 is more than 0.1 above
        {"19.6", IdleAfrUpDown, +1, "20.1"},  // within 0.1 of the limit: kept as it is
        {"10.2", IdleAfrUpDown, -1, "10.0"},
        {"14,3", IdleAfrUpDown, -1, "13.8"},  // a comma for the point
        {"abc", IdleAfrUpDown, +1, "10.0"},   // no number counts as 0, then the lower limit
        {"5950", RpmChangeUpDown, +1, "6000"},
        {"50", RpmChangeUpDown, -1, "0"},
        {"995", MafChangeUpDown, +1, "1000"},
        {"9.95", IgnoreTimeUpDown, +1, "10.0"},  // 10.05 lies within 0.1 of the limit
        {"0.0", IgnoreTimeUpDown, -1, "-0.1"},   // exactly 0.1 below: kept (reading the box holds it to 0)
        {"-0.1", IgnoreTimeUpDown, -1, "0.0"},
        {"0.05", IgnoreTimeUpDown, -1, "-0.1"},
        {"8", KnockCylindersUpDown, +1, "8"},
        {"9.5", KnockRetardUpDown, +1, "10.0"},
        {"10", SmoothingUpDown, +1, "10"},
    };
    for (const TCase& c : cases)
        EXPECT_EQ(StepBoxText(c.Text, c.Limits, c.Direction), c.Expected) << c.Text << " " << c.Direction;
}

TEST(OptionsRulesTest, TypedValuesAreHeldToTheUpDownLimits) {
    EXPECT_EQ(PointSizeFromBox("40"), 25);
    EXPECT_EQ(PointSizeFromBox("7"), 7);
    EXPECT_EQ(PointSizeFromBox("x"), 2);
    EXPECT_EQ(PointSizeFromBox("0"), 1);
    EXPECT_EQ(PointSizeFromBox("-4"), 1);
    EXPECT_EQ(StepPointSize(1, -1), 1);
    EXPECT_EQ(StepPointSize(25, +1), 26);

    EXPECT_EQ(SmoothingFromBox("0"), 1);
    EXPECT_EQ(SmoothingFromBox("7"), 6);
    EXPECT_EQ(SmoothingFromBox("x"), 1);
    EXPECT_EQ(SmoothingFromBox("4"), 4);

    EXPECT_EQ(KnockLimitFromBoxes("12", "99"), (TKnockLimit{10.0, 8}));
    EXPECT_EQ(KnockLimitFromBoxes("x", "2,5"), (TKnockLimit{2.5, 1}));
    EXPECT_EQ(KnockLimitFromBoxes("-1", "-3"), (TKnockLimit{0.0, 0}));
}

TEST(OptionsRulesTest, FilterPageHoldsChangedValuesToTheirLimits) {
    TFilterSettings current;  // a project's defaults: RPM change 10000, above the up-down's limit
    TFilterPage page = FilterPageOf(current);
    EXPECT_EQ(page.MaxRpmSlope, "10000");
    EXPECT_EQ(page.InhibitBefore, "0.1");

    // Untouched values stay as they are, even beyond the up-down's limits.
    EXPECT_EQ(FiltersFromPage(page, current), current);

    page.InhibitBefore = "1e9";  // would make the filter pass quadratic
    page.InhibitAfter = "-5";
    page.MaxAfr = "25";
    page.MaxMafSlope = "abc";
    page.IncludeIdle = true;
    const TFilterSettings read = FiltersFromPage(page, current);
    EXPECT_EQ(read.InhibitBefore, 10);
    EXPECT_EQ(read.InhibitAfter, 0);
    EXPECT_EQ(read.MaxAfr, 20);
    EXPECT_EQ(read.MaxMafSlope, 0);
    EXPECT_EQ(read.MaxRpmSlope, 10000);
    EXPECT_TRUE(read.IncludeIdle);
    EXPECT_EQ(FiltersFromPage(FilterPageOf(read), read), read);
}

TEST(OptionsRulesTest, MafScaleDefaultsFollowTheConfiguration) {
    struct TCase {
        TLHVersion Version;
        TLHConfig Config;
        TMafScaleRange Range;
    };
    const TCase cases[] = {
        {TLHVersion::LH22, TLHConfig::HexaMaf, {56, 560}}, {TLHVersion::LH22, TLHConfig::Maf, {56, 1096}},
        {TLHVersion::LH22, TLHConfig::Alpha, {56, 1096}},  {TLHVersion::LH23, TLHConfig::Maf, {26, 550}},
        {TLHVersion::LH23, TLHConfig::HexaMaf, {23, 250}}, {TLHVersion::LH23, TLHConfig::Alpha, {88, 2200}},
        {TLHVersion::LH23, TLHConfig::Map, {20, 253}},     {TLHVersion::Unset, TLHConfig::Unset, {26, 550}},
    };
    for (const TCase& c : cases)
        EXPECT_EQ(DefaultMafScale(c.Version, c.Config), c.Range)
            << CodeOf(c.Version) << " " << CodeOf(c.Config);
}

TEST(OptionsRulesTest, EngineSetupFromTheButtons) {
    // LH 2.2: only HexaMAF counts, the EZK version stays.
    EXPECT_EQ(OptionsEngineSetup(true, TLHConfig::Alpha, true, TEZKVersion::S4),
              (TEngineSetup{TLHVersion::LH22, TLHConfig::Maf, TEZKVersion::S4}));
    EXPECT_EQ(OptionsEngineSetup(true, TLHConfig::HexaMaf, false, TEZKVersion::GT),
              (TEngineSetup{TLHVersion::LH22, TLHConfig::HexaMaf, TEZKVersion::GT}));
    // LH 2.3: the chosen button, MAF when none; GT or S4.
    EXPECT_EQ(OptionsEngineSetup(false, TLHConfig::Unset, false, TEZKVersion::Unset),
              (TEngineSetup{TLHVersion::LH23, TLHConfig::Maf, TEZKVersion::S4}));
    EXPECT_EQ(OptionsEngineSetup(false, TLHConfig::Map, true, TEZKVersion::S4),
              (TEngineSetup{TLHVersion::LH23, TLHConfig::Map, TEZKVersion::GT}));
    EXPECT_EQ(ScaleBoxValue("abc", MaxRpmScaleFallback), 6500);
    EXPECT_EQ(ScaleBoxValue(" 700 ", MaxMafScaleFallback), 700);
}

TEST(OptionsRulesTest, CancelGivesBackTheCopyButNotTheFilterSwitch) {
    TKelvaneState state;
    state.Settings.PlotLimits = {500, 6000, 30, 400};
    state.Settings.PlotPointSize = 6;
    state.Settings.ActiveFilters.MaxAfr = 16;
    const TOptionsCancelCopy copy = TakeOptionsCancelCopy(state);

    state.Settings.PlotLimits = {0, 3000, 88, 2200};
    state.Settings.PlotPointSize = 25;
    state.Settings.ActiveFilters.MaxAfr = 12;
    state.Settings.ActiveFilters.FiltersEnabled = false;
    const TChangeSet changes = RestoreOptionsCancelCopy(state, copy);

    EXPECT_TRUE(changes.Has(TChange::Filters));
    EXPECT_TRUE(changes.Has(TChange::PlotRanges));
    EXPECT_EQ(state.Settings.PlotLimits, (TPlotRanges{500, 6000, 30, 400}));
    EXPECT_EQ(state.PlotRanges.MinRpm, 500);
    EXPECT_EQ(state.PlotRanges.MaxLoad, 400);
    EXPECT_EQ(state.Settings.PlotPointSize, 6);
    EXPECT_EQ(state.Settings.ActiveFilters.MaxAfr, 16);
    EXPECT_FALSE(state.Settings.ActiveFilters.FiltersEnabled);
}

}  // namespace
}  // namespace kelvane
