#include <gtest/gtest.h>

#include "core/maps/MapAxes.h"

namespace kelvane {
namespace {

using namespace AxisTables;

TMapAxis Ramp(double start, double step) {
    TMapAxis axis{};
    for (int i = 0; i < MapSize; ++i) axis[static_cast<std::size_t>(i)] = start + i * step;
    return axis;
}

struct TAxesCase {
    TEngineSetup Setup;
    TMapAxis LHRpm;
    TMapAxis LHLoad;
    TMapAxis EZKRpm;
};

TEST(MapAxesTest, TablesFollowTheEngineSetup) {
    const TAxesCase cases[] = {
        {{TLHVersion::Unset, TLHConfig::Unset, TEZKVersion::Unset}, LH23Rpm, LH23LoadMaf, EZKRpmS4},
        {{TLHVersion::LH23, TLHConfig::Maf, TEZKVersion::S4}, LH23Rpm, LH23LoadMaf, EZKRpmS4},
        {{TLHVersion::LH23, TLHConfig::HexaMaf, TEZKVersion::GT}, LH23Rpm, LH23LoadHexaMaf, EZKRpmGT},
        {{TLHVersion::LH23, TLHConfig::Alpha, TEZKVersion::S4}, LH23Rpm, LH23LoadAlpha, EZKRpmS4},
        {{TLHVersion::Unset, TLHConfig::Map, TEZKVersion::GT}, LH23Rpm, LH23LoadMap, EZKRpmGT},
        {{TLHVersion::LH22, TLHConfig::Maf, TEZKVersion::S4}, LH22Rpm, LH22LoadMaf, EZKRpmS4},
        {{TLHVersion::LH22, TLHConfig::HexaMaf, TEZKVersion::S4}, LH22Rpm, LH22LoadHexaMaf, EZKRpmS4},
        {{TLHVersion::LH22, TLHConfig::Alpha, TEZKVersion::S4}, LH22Rpm, LH22LoadMaf, EZKRpmS4},
        {{TLHVersion::LH22, TLHConfig::Map, TEZKVersion::GT}, LH22Rpm, LH22LoadMaf, EZKRpmGT},
    };
    for (const TAxesCase& c : cases) {
        const TMapAxes axes = RecomputeAxes(c.Setup, TLHMapSource::Text);
        SCOPED_TRACE(testing::Message() << CodeOf(c.Setup.LHVersion) << "/" << CodeOf(c.Setup.LHConfig) << "/"
                                        << CodeOf(c.Setup.EZKVersion));
        EXPECT_EQ(axes.LHRpm, c.LHRpm);
        EXPECT_EQ(axes.LHLoad, c.LHLoad);
        EXPECT_EQ(axes.EZKRpm, c.EZKRpm);
        EXPECT_EQ(axes.EZKLoad, EZKLoad);
    }
}

TEST(MapAxesTest, LHBinAxesDecideLH23OnlyAndEZKBinAxisAlways) {
    TBinAxes bin;
    bin.LHRpm = Ramp(400, 400);
    bin.LHLoad = Ramp(10, 20);
    bin.EZKRpm = Ramp(500, 350);

    const TMapAxes lh23 =
        RecomputeAxes({TLHVersion::LH23, TLHConfig::HexaMaf, TEZKVersion::GT}, TLHMapSource::Cat, bin);
    EXPECT_EQ(lh23.LHRpm, *bin.LHRpm);
    EXPECT_EQ(lh23.LHLoad, *bin.LHLoad);
    EXPECT_EQ(lh23.EZKRpm, *bin.EZKRpm);
    EXPECT_EQ(lh23.LHLoadBounds[1], 20);

    const TMapAxes lh22 =
        RecomputeAxes({TLHVersion::LH22, TLHConfig::HexaMaf, TEZKVersion::GT}, TLHMapSource::Cat, bin);
    EXPECT_EQ(lh22.LHRpm, LH22Rpm);
    EXPECT_EQ(lh22.LHLoad, LH22LoadHexaMaf);
    EXPECT_EQ(lh22.EZKRpm, *bin.EZKRpm);

    // Back to LH 2.3 with the same image: its axes return.
    EXPECT_EQ(
        RecomputeAxes({TLHVersion::LH23, TLHConfig::Maf, TEZKVersion::S4}, TLHMapSource::Cat, bin).LHLoad,
        *bin.LHLoad);

    // Half a pair is no LH image.
    TBinAxes rpmOnly;
    rpmOnly.LHRpm = Ramp(400, 400);
    const TMapAxes tables =
        RecomputeAxes({TLHVersion::LH23, TLHConfig::Maf, TEZKVersion::S4}, TLHMapSource::Cat, rpmOnly);
    EXPECT_EQ(tables.LHRpm, LH23Rpm);
    EXPECT_EQ(tables.LHLoad, LH23LoadMaf);
}

TEST(MapAxesTest, CellBoundsAreMidpointsWithFixedEnds) {
    const TMapAxes axes =
        RecomputeAxes({TLHVersion::LH23, TLHConfig::Maf, TEZKVersion::S4}, TLHMapSource::Text);
    EXPECT_EQ(axes.LHRpmBounds[0], 0);
    EXPECT_EQ(axes.LHRpmBounds[1], 600);
    EXPECT_EQ(axes.LHRpmBounds[15], 5900);
    EXPECT_EQ(axes.LHRpmBounds[16], 100000);
    EXPECT_EQ(axes.LHLoadBounds[0], 0);
    EXPECT_EQ(axes.LHLoadBounds[8], 172);
    EXPECT_EQ(axes.LHLoadBounds[16], 10000);
    EXPECT_EQ(axes.EZKRpmBounds[0], 0);
    EXPECT_EQ(axes.EZKRpmBounds[15], 5650);
    EXPECT_EQ(axes.EZKRpmBounds[16], 6800);
    EXPECT_EQ(axes.EZKLoadBounds[0], -3.33);
    EXPECT_DOUBLE_EQ(axes.EZKLoadBounds[1], 3.335);
    EXPECT_EQ(axes.EZKLoadBounds[16], 103.33);
}

TEST(MapAxesTest, FuelLimitsAndAutomaticRanges) {
    const TMapAxes gtPrimary =
        RecomputeAxes({TLHVersion::LH22, TLHConfig::Maf, TEZKVersion::GT}, TLHMapSource::PrimaryLoad);
    EXPECT_EQ(gtPrimary.FuelLimits, (TFuelLimits{65535, 0}));
    EXPECT_EQ(AutoPlotRanges({TLHVersion::LH22, TLHConfig::Maf, TEZKVersion::GT}, gtPrimary.LHLoad),
              (TPlotRanges{0, 6900, 72 - 16, 1032 + 64}));

    const TMapAxes s4 =
        RecomputeAxes({TLHVersion::LH23, TLHConfig::Maf, TEZKVersion::Unset}, TLHMapSource::Text);
    EXPECT_EQ(s4.FuelLimits, (TFuelLimits{127, -127}));
    EXPECT_EQ(AutoPlotRanges({TLHVersion::LH23, TLHConfig::Maf, TEZKVersion::Unset}, s4.LHLoad),
              (TPlotRanges{0, 6600, 28, 516 + 33}));
}

TEST(MapAxesTest, AutomaticRangesReplacePlotRangesOnlyForDefaultOrEmptyAutomatic) {
    struct TCase {
        TScaleMode Choice;
        bool Loaded;
        bool Apply;
    };
    const TCase cases[] = {{TScaleMode::Automatic, false, true}, {TScaleMode::Automatic, true, false},
                           {TScaleMode::Default, false, true},   {TScaleMode::Default, true, true},
                           {TScaleMode::Manual, false, false},   {TScaleMode::Manual, true, false}};
    for (const TCase& c : cases) {
        EXPECT_EQ(AutoRangesReplacePlotRanges(c.Choice, c.Loaded), c.Apply)
            << static_cast<int>(c.Choice) << " " << c.Loaded;
        EXPECT_EQ(RecomputeAxes({}, TLHMapSource::Text, {}, {c.Choice, c.Loaded}).AutoRangesApply, c.Apply);
    }
}

}  // namespace
}  // namespace kelvane
