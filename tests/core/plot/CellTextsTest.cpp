#include <gtest/gtest.h>

#include <vector>

#include "core/plot/CellTexts.h"
#include "support/PlotGeometryFixture.h"

namespace kelvane {
namespace {

TEST(OverlayTextTest, ValueFormats) {
    struct TCase {
        double Value;
        TOverlayFormat Format;
        const char* Text;
    };
    const std::vector<TCase> cases = {
        {1.05, TOverlayFormat::Percent, "+5.0%"},    {0.97, TOverlayFormat::Percent, "-3.0%"},
        {1.0004, TOverlayFormat::Percent, "0.0%"},   {0.9996, TOverlayFormat::Percent, "0.0%"},
        {1.0, TOverlayFormat::Percent, "0.0%"},      {-3.4, TOverlayFormat::WholeNumber, "-3"},
        {127.0, TOverlayFormat::WholeNumber, "127"}, {13.46, TOverlayFormat::OneDecimal, "13.5"},
        {-0.04, TOverlayFormat::OneDecimal, "0.0"},  {MissingValue, TOverlayFormat::OneDecimal, ""},
        {MissingValue, TOverlayFormat::Percent, ""},
    };
    for (const TCase& c : cases) {
        SCOPED_TRACE(c.Value);
        EXPECT_EQ(OverlayValueText(c.Value, c.Format), c.Text);
    }
}

TEST(OverlayTextTest, MapChoiceByViewAndOverlay) {
    const TFuelMapSet fuel;
    const TIgnitionMapSet ignition;
    const TMapGrid meanAfrGrid{};
    EXPECT_EQ(OverlayMapOf(fuel, ignition, meanAfrGrid, TMapOverlay::Adjustments, TPlotView::LH).Map,
              &fuel.Adjustments);
    EXPECT_EQ(OverlayMapOf(fuel, ignition, meanAfrGrid, TMapOverlay::Adjustments, TPlotView::LH).Format,
              TOverlayFormat::Percent);
    EXPECT_EQ(OverlayMapOf(fuel, ignition, meanAfrGrid, TMapOverlay::Updated, TPlotView::LH).Format,
              TOverlayFormat::WholeNumber);
    EXPECT_EQ(OverlayMapOf(fuel, ignition, meanAfrGrid, TMapOverlay::MeanAfr, TPlotView::LH).Map,
              &meanAfrGrid);
    EXPECT_EQ(OverlayMapOf(fuel, ignition, meanAfrGrid, TMapOverlay::Adjustments, TPlotView::EZK).Map,
              &ignition.Adjustments);
    EXPECT_EQ(OverlayMapOf(fuel, ignition, meanAfrGrid, TMapOverlay::Adjustments, TPlotView::EZK).Format,
              TOverlayFormat::OneDecimal);
    EXPECT_EQ(OverlayMapOf(fuel, ignition, meanAfrGrid, TMapOverlay::MeanAfr, TPlotView::EZK).Map, nullptr);
    EXPECT_EQ(OverlayMapOf(fuel, ignition, meanAfrGrid, TMapOverlay::None, TPlotView::LH).Map, nullptr);
}

TEST(OverlayTextTest, TextsAreCentredOnTheCellsAndOnlyInsideThePlot) {
    const TMapAxes axes = DefaultAxes();
    TMapGrid meanAfrGrid;
    meanAfrGrid.Fill(MissingValue);
    meanAfrGrid.At(0, 3) = 14.7;
    meanAfrGrid.At(1, 3) = 12.25;
    meanAfrGrid.At(15, 3) = 13.0;  // RPM 6200: beyond the plot's right end
    const TPlotGeometry g = Geometry(axes, {0, 3000, 36, 516}, TPlotView::LH, false, 1200, 750);
    const auto texts = OverlayTexts({&meanAfrGrid, TOverlayFormat::OneDecimal}, g, FixedWidth, 10);
    ASSERT_EQ(texts.size(), 2u);
    EXPECT_EQ(texts[0].Text, "14.7");
    EXPECT_EQ(texts[0].Left, g.CellLabelX(0) - 12);
    EXPECT_EQ(texts[0].Top, g.CellLabelY(3) - 5);
    EXPECT_EQ(texts[1].Left, g.CellLabelX(1) - 12);
}

}  // namespace
}  // namespace kelvane
