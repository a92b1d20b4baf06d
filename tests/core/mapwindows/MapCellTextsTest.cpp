#include <gtest/gtest.h>

#include "core/mapwindows/MapCellTexts.h"

namespace kelvane {
namespace {

TEST(MapCellTextsTest, AdjustmentPercentTexts) {
    const struct {
        double Factor;
        const char* Text;
    } cases[] = {
        {1.0, "0%"},      {1.25, "+25%"},   {0.95, "-5.0%"}, {1.05, "+5.0%"}, {1.0004, "0%"},
        {0.9996, "0%"},   {1.096, "+9.6%"}, {0.9, "-10%"},   {2.0, "+100%"},  {0.01, "-99%"},
        {1.0996, "+10%"}, {1.001, "+0.1%"}, {0.5, "-50%"},
    };
    for (const auto& c : cases) EXPECT_EQ(AdjustmentPercentText(c.Factor), c.Text) << c.Factor;
}

TEST(MapCellTextsTest, CellTextsByTab) {
    EXPECT_EQ(FuelCellText(TFuelMapTab::Reference, 126.6), "127");
    EXPECT_EQ(FuelCellText(TFuelMapTab::Updated, -0.4), "0");
    EXPECT_EQ(FuelCellText(TFuelMapTab::Updated, 65535), "65535");
    EXPECT_EQ(FuelCellText(TFuelMapTab::Adjustments, 1.25), "+25%");
    EXPECT_EQ(FuelCellText(TFuelMapTab::Remainder, 0.95), "-5.0%");
    EXPECT_EQ(FuelCellText(TFuelMapTab::TargetAfr, 14.7), "14.7");
    EXPECT_EQ(IgnitionCellText(12.25), "12.2");
    EXPECT_EQ(IgnitionCellText(-0.04), "0.0");
    EXPECT_EQ(AxisHeaderText(6.67), "7");

    // F2 starts from the value as shown, the factor as its percentage.
    EXPECT_EQ(FuelEditText(TFuelMapTab::Adjustments, 1.25), "+25.0%");
    EXPECT_EQ(FuelEditText(TFuelMapTab::Adjustments, 1.0), "0.0%");
    EXPECT_EQ(FuelEditText(TFuelMapTab::TargetAfr, 12.5), "12.5");
}

TEST(MapCellTextsTest, CopyDecimalsAndCaptions) {
    EXPECT_EQ(FuelCopyDecimals(TFuelMapTab::Reference), 0);
    EXPECT_EQ(FuelCopyDecimals(TFuelMapTab::Adjustments), 3);
    EXPECT_EQ(FuelCopyDecimals(TFuelMapTab::Updated), 0);
    EXPECT_EQ(FuelCopyDecimals(TFuelMapTab::Remainder), 3);
    EXPECT_EQ(FuelCopyDecimals(TFuelMapTab::TargetAfr), 1);
    EXPECT_EQ(FuelMapWindowCaption(TLHMapSource::Text), "LH Fuel Maps");
    EXPECT_EQ(FuelMapWindowCaption(TLHMapSource::Cat), "LH Cat Fuel Map");
    EXPECT_EQ(FuelMapWindowCaption(TLHMapSource::NoCat), "LH No-Cat Fuel Map");
    EXPECT_EQ(FuelMapWindowCaption(TLHMapSource::PrimaryLoad), "LH Primary Load Map");
}

class FuelCellBackgroundTest : public testing::Test {
  protected:
    TColorTable FWindowScale = MapWindowDefaultColorTable();
    TColorTable FAfrScale = BuiltInColorTable(DefaultColorTableNumber);
    TFuelCellColoring Coloring(bool showColor) const {
        return {showColor, &FWindowScale, &FAfrScale, TFuelLimits{127, -127}};
    }
};

TEST_F(FuelCellBackgroundTest, LimitsAreRedAndYellowWithoutShowColor) {
    for (const TFuelMapTab tab : {TFuelMapTab::Reference, TFuelMapTab::Updated}) {
        EXPECT_EQ(FuelCellBackground(tab, 127, Coloring(false)), LimitMaxColor);
        EXPECT_EQ(FuelCellBackground(tab, -127, Coloring(false)), LimitMinColor);
        EXPECT_EQ(FuelCellBackground(tab, 126, Coloring(false)), std::nullopt);
    }
    // The factors' tabs never colour, whatever their values.
    EXPECT_EQ(FuelCellBackground(TFuelMapTab::Adjustments, 127, Coloring(true)), std::nullopt);
    EXPECT_EQ(FuelCellBackground(TFuelMapTab::Remainder, -127, Coloring(false)), std::nullopt);
}

TEST_F(FuelCellBackgroundTest, ShowColorAndTargetUseTheirScalesOpaque) {
    EXPECT_EQ(FuelCellBackground(TFuelMapTab::Reference, 127, Coloring(true)), 0xFFFF0000u);
    EXPECT_EQ(FuelCellBackground(TFuelMapTab::Updated, -127, Coloring(true)), 0xFFFFFF00u);
    EXPECT_EQ(FuelCellBackground(TFuelMapTab::Updated, 0, Coloring(true)), 0xFFFF8000u);
    // The target map is coloured whether or not "Show Color" is ticked.
    EXPECT_EQ(FuelCellBackground(TFuelMapTab::TargetAfr, 14.7, Coloring(false)), 0xFF00FFA6u);
}

TEST(ShowColorScaleTest, PrimaryLoadMapStopsSpanTheUpdatedMap) {
    TFuelMapSet fuel;
    fuel.Updated.Fill(30000);
    fuel.Updated.At(3, 4) = 41000;
    fuel.Updated.At(5, 6) = 12000;
    EXPECT_EQ(ShowColorScale(fuel), MapWindowDefaultColorTable());
    fuel.Source = TLHMapSource::PrimaryLoad;
    const TColorTable scale = ShowColorScale(fuel);
    ASSERT_EQ(scale.size(), 2u);
    EXPECT_EQ(scale[0].Value, 12000);
    EXPECT_EQ(scale[1].Value, 41000);
    EXPECT_EQ(scale[0].Color, MapWindowDefaultColorTable()[0].Color);
    EXPECT_EQ(ShowColor2Scale().size(), 5u);
}

}  // namespace
}  // namespace kelvane
