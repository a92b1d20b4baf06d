#include <gtest/gtest.h>

#include <string_view>
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
    TFuelMapSet fuel;
    fuel.ReferenceLoaded = true;
    TIgnitionMapSet ignition;
    ignition.ReferenceLoaded = true;
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

TEST(OverlayTextTest, MapsNeverLoadedPrintNothingAndSayWhy) {
    struct TCase {
        bool FuelLoaded, IgnitionLoaded;
        TMapOverlay Overlay;
        TPlotView View;
        bool Printed;
        const char* Status;
    };
    const std::vector<TCase> cases = {
        {false, true, TMapOverlay::Reference, TPlotView::LH, false, "LH reference map not loaded"},
        {false, true, TMapOverlay::Adjustments, TPlotView::LH, false, "LH reference map not loaded"},
        {false, true, TMapOverlay::Updated, TPlotView::LH, false, "LH reference map not loaded"},
        {true, false, TMapOverlay::Updated, TPlotView::LH, true, ""},
        {false, false, TMapOverlay::MeanAfr, TPlotView::LH, true, ""},
        {true, false, TMapOverlay::Reference, TPlotView::EZK, false, "EZK reference map not loaded"},
        {true, false, TMapOverlay::Adjustments, TPlotView::EZK, false, "EZK reference map not loaded"},
        {false, true, TMapOverlay::Updated, TPlotView::EZK, true, ""},
        {true, true, TMapOverlay::MeanAfr, TPlotView::EZK, false, "No mean AFR in the EZK view"},
        {false, false, TMapOverlay::None, TPlotView::LH, false, ""},
        {false, false, TMapOverlay::None, TPlotView::EZK, false, ""},
    };
    const TMapGrid meanAfrGrid{};
    for (const TCase& c : cases) {
        SCOPED_TRACE(::testing::Message()
                     << static_cast<int>(c.Overlay) << " view " << static_cast<int>(c.View) << " loaded "
                     << c.FuelLoaded << c.IgnitionLoaded);
        TFuelMapSet fuel;
        fuel.ReferenceLoaded = c.FuelLoaded;
        TIgnitionMapSet ignition;
        ignition.ReferenceLoaded = c.IgnitionLoaded;
        EXPECT_EQ(OverlayMapOf(fuel, ignition, meanAfrGrid, c.Overlay, c.View).Map != nullptr, c.Printed);
        EXPECT_EQ(OverlayStatusText(fuel, ignition, c.Overlay, c.View), c.Status);
    }
}

TEST(OverlayTextTest, TextsAreCentredOnTheCellsAndOnlyInsideThePlot) {
    const TMapAxes axes = DefaultAxes();
    TMapGrid meanAfrGrid;
    meanAfrGrid.Fill(MissingValue);
    meanAfrGrid.At(0, 3) = 14.7;
    meanAfrGrid.At(1, 3) = 12.25;
    meanAfrGrid.At(15, 3) = 13.0;  // RPM 6200: beyond the plot's right end
    const TPlotGeometry g = Geometry(axes, {0, 3000, 36, 516}, TPlotView::LH, false, 1200, 750);
    const auto texts =
        OverlayTexts({&meanAfrGrid, TOverlayFormat::OneDecimal}, g, {FixedWidth, 10}, {FixedWidth, 10});
    ASSERT_EQ(texts.size(), 2u);
    EXPECT_EQ(texts[0].Text, "14.7");
    EXPECT_EQ(texts[0].Left, g.CellLabelX(0) - 12);
    EXPECT_EQ(texts[0].Top, g.CellLabelY(3) - 5);
    EXPECT_EQ(texts[1].Left, g.CellLabelX(1) - 12);
}

// Text widths of a smaller fixed-pitch font, 4 pixels a character.
int SmallWidth(std::string_view text) {
    return 4 * static_cast<int>(text.size());
}

// The dense 1,400 .. 2,000 rpm columns: a value is printed in the normal
// font where it fits its cell, in the small one where only that fits, and
// not at all below that.
TEST(OverlayTextTest, ValuesThatDoNotFitTheirCellTakeTheSmallFontOrAreLeftOut) {
    const TMapAxes axes = DefaultAxes();
    const TMapGrid grid = FilledGrid(15.1);
    enum TShown { Normal, Small, None };
    struct TCase {
        int PlotWidth;
        TShown Shown;  // row 5, the 1,700 rpm cell of 200 rpm
    };
    const std::vector<TCase> cases = {
        {1200, Normal}, {1000, Normal}, {800, Small}, {600, Small}, {500, None}};
    for (const TCase& c : cases) {
        SCOPED_TRACE(c.PlotWidth);
        const TPlotGeometry g = Geometry(axes, {0, 6600, 28, 387}, TPlotView::LH, false, c.PlotWidth, 750);
        const auto texts =
            OverlayTexts({&grid, TOverlayFormat::OneDecimal}, g, {FixedWidth, 10}, {SmallWidth, 8});
        TShown shown = None;
        for (const TPlacedText& t : texts) {
            const int width = t.Small ? SmallWidth(t.Text) : FixedWidth(t.Text);
            const int height = t.Small ? 8 : 10;
            if (t.Left + width / 2 == g.CellLabelX(5) && t.Top + height / 2 == g.CellLabelY(5))
                shown = t.Small ? Small : Normal;
        }
        EXPECT_EQ(shown, c.Shown);
    }
}

// Whatever the size and format, no printed value (with its halo) reaches
// into another or out of the plot.
TEST(OverlayTextTest, PrintedValuesNeverOverlapOrLeaveThePlot) {
    const TMapAxes axes = DefaultAxes();
    const TMapGrid grid = FilledGrid(1.123);
    for (const bool gridFormat : {false, true})
        for (const TPlotView view : {TPlotView::LH, TPlotView::EZK})
            for (int width = 150; width <= 1500; width += 90)
                for (int height = 100; height <= 900; height += 160) {
                    SCOPED_TRACE(::testing::Message() << width << " x " << height << " grid " << gridFormat
                                                      << " view " << static_cast<int>(view));
                    const TPlotGeometry g =
                        Geometry(axes, {0, 6600, 28, 387}, view, gridFormat, width, height);
                    const auto texts =
                        OverlayTexts({&grid, TOverlayFormat::Percent}, g, {FixedWidth, 10}, {SmallWidth, 8});
                    struct TBox {
                        int Left, Top, Right, Bottom;
                    };
                    std::vector<TBox> boxes;
                    for (const TPlacedText& t : texts) {
                        const int w = t.Small ? SmallWidth(t.Text) : FixedWidth(t.Text);
                        const int h = t.Small ? 8 : 10;
                        boxes.push_back({t.Left - 1, t.Top - 1, t.Left + w + 1, t.Top + h + 1});
                    }
                    for (std::size_t i = 0; i < boxes.size(); ++i) {
                        const TBox& a = boxes[i];
                        EXPECT_GE(a.Left, g.PlotLeft());
                        EXPECT_LE(a.Right, g.PlotLeft() + g.PlotWidth());
                        EXPECT_GE(a.Top, g.PlotTop());
                        EXPECT_LE(a.Bottom, g.PlotTop() + g.PlotHeight());
                        for (std::size_t j = i + 1; j < boxes.size(); ++j) {
                            const TBox& b = boxes[j];
                            const bool overlap =
                                a.Left < b.Right && b.Left < a.Right && a.Top < b.Bottom && b.Top < a.Bottom;
                            EXPECT_FALSE(overlap) << i << " and " << j;
                        }
                    }
                }
}

}  // namespace
}  // namespace kelvane
