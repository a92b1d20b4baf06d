#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "core/plot/AxisLabels.h"
#include "support/PlotGeometryFixture.h"

namespace kelvane {
namespace {

TEST(GridLayoutTest, GridFormatLinesAndLabelsAtTheBreakpoints) {
    const TMapAxes axes = DefaultAxes();
    const TPlotGeometry g = Geometry(axes, {0, 6600, 36, 516}, TPlotView::LH, true, 1320, 750);
    const TGridLayout layout = GridLayout(g, FixedWidth, 10);
    ASSERT_EQ(layout.VerticalLines.size(), 16u);
    EXPECT_EQ(layout.VerticalLines.front(), 28 + 100);
    EXPECT_EQ(layout.VerticalLines.back(), 28 + 1240);
    // The first and last load breakpoints are the plot's edges: no line there, but a label.
    ASSERT_EQ(layout.HorizontalLines.size(), 14u);
    EXPECT_EQ(layout.HorizontalLines.front(), 25 + 50);
    ASSERT_EQ(layout.LoadLabels.size(), 16u);
    EXPECT_EQ(layout.LoadLabels.front(), (TAxisLabel{25, "36"}));
    EXPECT_EQ(layout.LoadLabels[7], (TAxisLabel{25 + 350, "165"}));  // 164 on a step of 5
    EXPECT_EQ(layout.LoadLabels.back(), (TAxisLabel{25 + 750, "520"}));

    std::vector<std::string> rpm;
    for (const TAxisLabel& label : layout.RpmLabels) rpm.push_back(label.Text);
    // 990 is shown as 1000; 1800 starts within 3 pixels of 1700's end and is skipped.
    const std::vector<std::string> expected = {"500",  "700",  "1000", "1200", "1400", "1700", "2000", "2400",
                                               "2800", "3300", "3700", "4000", "4800", "5600", "6200"};
    EXPECT_EQ(rpm, expected);
}

TEST(GridLayoutTest, CellFormatLinesAtTheMidpointsAndLabelsBelowTheMaxima) {
    const TMapAxes axes = DefaultAxes();
    const TPlotGeometry g = Geometry(axes, {0, 3000, 28, 200}, TPlotView::LH, false, 1200, 750);
    const TGridLayout layout = GridLayout(g, FixedWidth, 10);
    // RPM midpoints 600 ... 2600 inside 0 .. 3000 (x = rpm * 0.4).
    ASSERT_EQ(layout.VerticalLines.size(), 9u);
    EXPECT_EQ(layout.VerticalLines.front(), 28 + 240);
    // Labels only for breakpoints below the maxima: RPM up to 2800, load up to 196.
    ASSERT_FALSE(layout.RpmLabels.empty());
    EXPECT_EQ(layout.RpmLabels.back().Text, "2800");
    ASSERT_FALSE(layout.LoadLabels.empty());
    EXPECT_EQ(layout.LoadLabels.back().Text, "195");  // 196 on a step of 5
    for (const TAxisLabel& label : layout.LoadLabels) {
        EXPECT_GE(label.Position, g.PlotTop());
        EXPECT_LE(label.Position, g.PlotTop() + g.PlotHeight());
    }
}

TEST(GridLayoutTest, EzkLabelsAreTheBreakpointsRounded) {
    const TMapAxes axes = DefaultAxes();
    const TPlotGeometry g = Geometry(axes, {0, 6600, 28, 387}, TPlotView::EZK, true, 1320, 800);
    const TGridLayout layout = GridLayout(g, FixedWidth, 10);
    EXPECT_EQ(layout.VerticalLines.size(), 15u);
    EXPECT_EQ(layout.HorizontalLines.size(), 15u);
    std::vector<std::string> load;
    for (const TAxisLabel& label : layout.LoadLabels) load.push_back(label.Text);
    const std::vector<std::string> expected = {"0",  "7",  "13", "20", "27", "33", "40", "47",
                                               "53", "60", "67", "73", "80", "87", "93", "100"};
    EXPECT_EQ(load, expected);
    EXPECT_EQ(layout.RpmLabels.front().Text, "560");
}

TEST(GridLayoutTest, LabelRounding) {
    struct TCase {
        double Value;
        int Rpm, Load;
    };
    for (const TCase& c : std::vector<TCase>{{36, 40, 36},
                                             {68, 70, 68},
                                             {164, 160, 165},
                                             {990, 1000, 1000},
                                             {1575, 1600, 1600},
                                             {1525, 1500, 1500}}) {
        SCOPED_TRACE(c.Value);
        EXPECT_EQ(RoundedRpmLabel(c.Value), c.Rpm);
        EXPECT_EQ(RoundedLoadLabel(c.Value), c.Load);
    }
}

}  // namespace
}  // namespace kelvane

namespace kelvane {
namespace {

// Four- and five-digit load labels widen the left margin so that each stays
// clear of the image's edge; short ones keep the least margin.
TEST(GridLayoutTest, LeftMarginFitsTheWidestLoadLabel) {
    struct TCase {
        const char* Name;
        TLHVersion Version;
        double LastLoad;  // replaces the last LH load breakpoint when not 0
        TPlotView View;
        int Margin;  // 6 pixels a character, 3 to the edge, 2 to the frame
    };
    const std::vector<TCase> cases = {
        {"three digits", TLHVersion::LH23, 0, TPlotView::LH, PlotMarginLeft},
        {"EZK percent", TLHVersion::LH23, 0, TPlotView::EZK, PlotMarginLeft},
        {"four digits (1032 shown as 1040)", TLHVersion::LH22, 0, TPlotView::LH, 3 + 24 + 2},
        {"five digits", TLHVersion::LH23, 12000, TPlotView::LH, 3 + 30 + 2},
    };
    for (const TCase& c : cases) {
        SCOPED_TRACE(c.Name);
        TMapAxes axes =
            RecomputeAxes(TEngineSetup{c.Version, TLHConfig::Maf, TEZKVersion::GT}, TLHMapSource::Text);
        if (c.LastLoad != 0) axes.LHLoad[15] = c.LastLoad;
        const int margin = LoadLabelMargin(axes, c.View, FixedWidth);
        EXPECT_EQ(margin, c.Margin);

        const double maxLoad = axes.LHLoad[15] + 1;
        const TPlotGeometry g(axes, {0, 6600, axes.LHLoad[0], maxLoad}, c.View, true, 800, 600,
                              {margin, PlotMarginTop});
        EXPECT_EQ(g.PlotLeft(), margin);
        EXPECT_EQ(g.PlotWidth(), 800 - margin - PlotMarginRight);
        const TGridLayout layout = GridLayout(g, FixedWidth, 10);
        ASSERT_FALSE(layout.LoadLabels.empty());
        for (const TAxisLabel& label : layout.LoadLabels)
            EXPECT_GE(g.PlotLeft() - 2 - FixedWidth(label.Text), 3) << label.Text;
    }
}

TEST(GridLayoutTest, AxisTitlesNameTheUnitsOfTheViewAndConfiguration) {
    struct TCase {
        TLHConfig Config;
        TPlotView View;
        const char* Load;
    };
    const std::vector<TCase> cases = {
        {TLHConfig::Maf, TPlotView::LH, "MAF signal"},     {TLHConfig::Unset, TPlotView::LH, "MAF signal"},
        {TLHConfig::HexaMaf, TPlotView::LH, "MAF signal"}, {TLHConfig::Alpha, TPlotView::LH, "MAF signal"},
        {TLHConfig::Map, TPlotView::LH, "MAP [kPa]"},      {TLHConfig::Map, TPlotView::EZK, "Load [%]"},
        {TLHConfig::Maf, TPlotView::EZK, "Load [%]"},
    };
    for (const TCase& c : cases) {
        SCOPED_TRACE(c.Load);
        EXPECT_EQ(AxisTitles(c.Config, c.View), (TAxisTitles{"Engine speed [rpm]", c.Load}));
    }
}

// The title row and column stay clear of every label.
TEST(GridLayoutTest, TitlesKeepClearOfTheLabels) {
    const int textHeight = 10;
    for (const TPlotView view : {TPlotView::LH, TPlotView::EZK}) {
        const TMapAxes axes = DefaultAxes();
        const TPlotMargins margins = TitledMargins(axes, view, FixedWidth, textHeight);
        const TPlotGeometry g(axes, {0, 6600, 28, 517}, view, false, 900, 600, margins);
        const TGridLayout layout = GridLayout(g, FixedWidth, textHeight);
        ASSERT_FALSE(layout.RpmLabels.empty());
        ASSERT_FALSE(layout.LoadLabels.empty());
        const int titleRowBottom = AxisTitleGap + textHeight;
        EXPECT_GT(g.PlotTop() - 2 - textHeight, titleRowBottom);
        const int titleColumnRight = AxisTitleGap + textHeight;
        for (const TAxisLabel& label : layout.LoadLabels)
            EXPECT_GT(g.PlotLeft() - 2 - FixedWidth(label.Text), titleColumnRight) << label.Text;
    }
}

}  // namespace
}  // namespace kelvane
