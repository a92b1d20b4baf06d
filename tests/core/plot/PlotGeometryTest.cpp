#include <gtest/gtest.h>

#include <cmath>
#include <string>
#include <vector>

#include "core/plot/PlotGeometry.h"
#include "core/state/KelvaneState.h"

namespace kelvane {
namespace {

// Default LH 2.3 MAF axes: RPM 500 .. 6200, load 36 .. 516.
TKelvaneState DefaultState() {
    TKelvaneState state;
    state.Setup().LHVersion = TLHVersion::LH23;
    state.Setup().LHConfig = TLHConfig::Maf;
    state.RecomputeAxes();
    return state;
}

TLogDataEntry Sample(double rpm, double plotMaf, bool included = true) {
    TLogDataEntry e;
    e.Rpm = rpm;
    e.PlotMaf = plotMaf;
    e.Included = included;
    return e;
}

// Image sizes chosen so that the plot area is exactly the given size.
TPlotGeometry Geometry(const TKelvaneState& state, TPlotRanges ranges, TPlotView view, bool grid,
                       int plotWidth, int plotHeight) {
    return TPlotGeometry(state.Axes, ranges, view, grid, plotWidth + PlotMarginLeft + PlotMarginRight,
                         plotHeight + PlotMarginTop + PlotMarginBottom);
}

int FixedWidth(std::string_view text) {
    return 6 * static_cast<int>(text.size());
}

TEST(PlotGeometryTest, PlotAreaIsTheImageLessTheMargins) {
    const TKelvaneState state = DefaultState();
    const TPlotGeometry g(state.Axes, {0, 6600, 28, 387}, TPlotView::LH, false, 1200, 800);
    EXPECT_EQ(g.PlotLeft(), 28);
    EXPECT_EQ(g.PlotTop(), 25);
    EXPECT_EQ(g.PlotWidth(), 1200 - 38);
    EXPECT_EQ(g.PlotHeight(), 800 - 30);
    const TPlotGeometry tiny(state.Axes, {0, 6600, 28, 387}, TPlotView::LH, false, 20, 10);
    EXPECT_EQ(tiny.PlotWidth(), 0);
    EXPECT_EQ(tiny.PlotHeight(), 0);
}

TEST(PlotGeometryTest, ValueToPixelTable) {
    const TKelvaneState state = DefaultState();
    // RPM 0 .. 1024 over 1024 pixels and load 36 .. 516 (the first and last
    // LH breakpoints) over 750 pixels: every breakpoint interval is 50 pixels.
    const TPlotGeometry lh = Geometry(state, {0, 1024, 36, 516}, TPlotView::LH, false, 1024, 750);
    const TPlotGeometry ezk = Geometry(state, {0, 1024, 36, 516}, TPlotView::EZK, false, 1024, 800);
    struct TCase {
        const TPlotGeometry& G;
        bool Rpm;
        double Value;
        int Pixel;
    };
    const std::vector<TCase> cases = {
        {lh, true, 0, 0},      {lh, true, 1024, 1024}, {lh, true, 512, 512},      {lh, true, 2.5, 2},
        {lh, true, 3.5, 4},    {lh, true, -10, -10},   {lh, false, 36, 0},        {lh, false, 52, 50},
        {lh, false, 92, 175},  {lh, false, 516, 750},  {lh, false, 450, 700},     {lh, false, 28, -25},
        {lh, false, 582, 800}, {ezk, false, -3.33, 0}, {ezk, false, 103.33, 800}, {ezk, false, 50, 400},
        {ezk, true, 256, 256},
    };
    for (const TCase& c : cases) {
        SCOPED_TRACE(c.Value);
        EXPECT_EQ(c.Rpm ? c.G.RpmToX(c.Value) : c.G.LoadToY(c.Value), c.Pixel);
    }
    // Larger load lies lower on the screen, higher RPM further right.
    EXPECT_LT(lh.LoadToY(100), lh.LoadToY(200));
    EXPECT_LT(ezk.LoadToY(20), ezk.LoadToY(80));
}

TEST(PlotGeometryTest, LoadFromPositionInvertsLoadPosition) {
    const TKelvaneState state = DefaultState();
    const TPlotGeometry g = Geometry(state, {0, 6600, 28, 387}, TPlotView::LH, false, 1000, 700);
    for (double load : {30.0, 36.0, 60.0, 92.0, 200.0, 386.0, 450.0}) {
        SCOPED_TRACE(load);
        EXPECT_NEAR(g.LoadFromPosition(g.LoadPosition(load)), load, 1e-9);
    }
    EXPECT_DOUBLE_EQ(g.LoadPosition(28), 0.0);
    EXPECT_DOUBLE_EQ(g.LoadPosition(387), 1.0);
}

TEST(PlotGeometryTest, WildValuesDoNotOverflowThePixelConversion) {
    EXPECT_EQ(PixelOf(1e300), 1000000);
    EXPECT_EQ(PixelOf(-1e300), -1000000);
    EXPECT_EQ(PixelOf(std::nan("")), -1000000);
    EXPECT_EQ(PixelOf(-2.5), -2);
}

// The mapper must give SamplePixel's pixel for every sample: at rounding
// ties, on breakpoints, for wild values and for damaged axes too.
TEST(PlotGeometryTest, SamplePixelMapperGivesSamplePixelsPixels) {
    TKelvaneState state = DefaultState();
    TKelvaneState flat = DefaultState();
    flat.Axes.LHLoad[5] = flat.Axes.LHLoad[4];  // two equal breakpoints
    struct TCase {
        const TKelvaneState* State;
        TPlotRanges Ranges;
        TPlotView View;
        int Width, Height;
    };
    const std::vector<TCase> cases = {
        {&state, {0, 6600, 28, 387}, TPlotView::LH, 1200, 800},
        {&state, {0, 6600, 28, 387}, TPlotView::EZK, 1200, 800},
        {&state, {800, 5200, 50, 250}, TPlotView::LH, 731, 419},
        {&flat, {0, 6600, 28, 387}, TPlotView::LH, 1200, 800},
        {&state, {0, 1e9, 28, 29}, TPlotView::LH, 1200, 800},
        {&state, {0, 6600, 28, 387}, TPlotView::LH, 0, 0},
    };
    std::vector<double> rpms = {0, 2.75, 5.5, 8.25, -2.75, 6600, 1e300, -1e300, NAN, MissingValue};
    std::vector<double> loads = {NAN, 1e300, -1e300, MissingValue, -3.33, 103.33, 0.5};
    for (double a : state.Axes.LHLoad) loads.push_back(a);
    for (double b : state.Axes.LHLoadBounds) loads.push_back(b);
    std::uint64_t seed = 12345;
    auto next = [&seed](double lo, double hi) {
        seed = seed * 6364136223846793005u + 1442695040888963407u;
        return lo + (hi - lo) * static_cast<double>(seed >> 11) / 9007199254740992.0;
    };
    for (int i = 0; i < 20000; ++i) {
        rpms.push_back(next(-500, 8000));
        loads.push_back(next(-10, 600));
    }
    for (const TCase& c : cases) {
        const TPlotGeometry g(c.State->Axes, c.Ranges, c.View, false,
                              c.Width + PlotMarginLeft + PlotMarginRight,
                              c.Height + PlotMarginTop + PlotMarginBottom);
        const TSamplePixelMapper mapper(g);
        // Values that land exactly on half pixels, found from the geometry itself.
        std::vector<double> ties = loads;
        for (int y = 0; y < c.Height; y += 7) {
            const double half = y + 0.5;
            ties.push_back(c.View == TPlotView::EZK ? EzkMinLoad + half / c.Height * (EzkMaxLoad - EzkMinLoad)
                                                    : g.LoadFromPosition(half / c.Height));
        }
        int mismatches = 0;
        for (std::size_t i = 0; i < std::max(rpms.size(), ties.size()); ++i) {
            TLogDataEntry e;
            e.Rpm = rpms[i % rpms.size()];
            e.PlotMaf = e.Load = ties[i % ties.size()];
            if (!(mapper(e) == g.SamplePixel(e)) && mismatches++ < 5)
                ADD_FAILURE() << "rpm " << e.Rpm << " load " << e.PlotMaf << " view "
                              << static_cast<int>(c.View);
        }
        EXPECT_EQ(mismatches, 0);
    }
}

TEST(PlotGeometryTest, EqualRangeEndsAreWidenedToOneUnit) {
    const TKelvaneState state = DefaultState();
    const TPlotGeometry g = Geometry(state, {3000, 3000, 100, 100}, TPlotView::LH, false, 1000, 700);
    EXPECT_EQ(g.Ranges().MaxRpm, 3001);
    EXPECT_EQ(g.Ranges().MaxLoad, 101);
    EXPECT_EQ(g.RpmToX(3001), 1000);
    EXPECT_EQ(g.LoadToY(101), 700);
}

TEST(PlotGeometryTest, FlatLoadAxisGivesNoNotANumber) {
    TKelvaneState state = DefaultState();
    state.Axes.LHLoad.fill(100);  // a damaged bin image's axis
    const TPlotGeometry g = Geometry(state, {0, 6600, 28, 387}, TPlotView::LH, false, 1000, 700);
    for (double load : {20.0, 100.0, 300.0}) {
        EXPECT_GE(g.LoadToY(load), 0);
        EXPECT_LE(g.LoadToY(load), 700);
    }
    EXPECT_TRUE(std::isfinite(g.LoadFromPosition(0.5)));
}

TEST(PlotRangesTest, SettingsRangesFollowTheScaleMode) {
    TKelvaneState state = DefaultState();
    state.Settings.PlotLimits = {3000, 2000, 50, 40};
    state.Settings.ScaleMode = TScaleMode::Manual;
    EXPECT_EQ(SettingsPlotRanges(state), (TPlotRanges{3000, 3001, 50, 51}));

    state.Settings.ScaleMode = TScaleMode::Default;
    EXPECT_EQ(SettingsPlotRanges(state), (TPlotRanges{0, 6600, 28, 549}));
    state.Setup().EZKVersion = TEZKVersion::GT;
    state.RecomputeAxes();
    EXPECT_EQ(SettingsPlotRanges(state).MaxRpm, 6900);

    state.Settings.ScaleMode = TScaleMode::Automatic;  // no samples: the axes' extent
    EXPECT_EQ(SettingsPlotRanges(state).MaxLoad, 549);
    state.Logs.Data.Entries.push_back(Sample(1000, 100));
    EXPECT_EQ(SettingsPlotRanges(state), (TPlotRanges{3000, 3001, 50, 51}));
}

TEST(PlotRangesTest, AutoScalePlotFitsTheIncludedSamples) {
    // LH load bounds ... 292, 387, 483; LH RPM bounds ... 4400, 5200, 5900.
    struct TCase {
        TLHConfig Config;
        double MaxRpm, MaxLoad;
        TPlotRanges Expected;
    };
    const std::vector<TCase> cases = {
        {TLHConfig::Maf, 4000, 300, {0, 4399, 28, 386}},
        {TLHConfig::Maf, 4400, 387, {0, 5199, 28, 482}},  // a value on a bound takes the next cell
        {TLHConfig::Maf, 6250, 600, {0, 6600, 28, 606}},  // 2 x 5900 - 5200; 1.01 x 600
        {TLHConfig::Maf, 7100, 490, {0, 7500, 28, 549}},  // 500 x 15; 483 + 66
        {TLHConfig::Unset, 500, 40, {0, 599, 28, 43}},
    };
    for (const TCase& c : cases) {
        SCOPED_TRACE(c.MaxRpm);
        TKelvaneState state = DefaultState();
        state.Settings.ScaleMode = TScaleMode::Automatic;
        state.Setup().LHConfig = c.Config;
        state.Logs.Data.Entries = {Sample(c.MaxRpm / 2, c.MaxLoad), Sample(c.MaxRpm, c.MaxLoad / 3),
                                   Sample(20000, 5000, false)};
        TPlotRanges ranges{1, 2, 3, 4};
        ASSERT_TRUE(AutoScalePlot(state, ranges));
        EXPECT_EQ(ranges.MinRpm, c.Expected.MinRpm);
        EXPECT_NEAR(ranges.MaxRpm, c.Expected.MaxRpm, 1e-9);
        EXPECT_EQ(ranges.MinLoad, c.Expected.MinLoad);
        EXPECT_NEAR(ranges.MaxLoad, c.Expected.MaxLoad, 1e-9);
    }
}

TEST(PlotRangesTest, AutoScaleMinimumLoadByConfiguration) {
    for (auto [config, minLoad] : std::vector<std::pair<TLHConfig, double>>{
             {TLHConfig::HexaMaf, 25}, {TLHConfig::Alpha, 88}, {TLHConfig::Map, 21}, {TLHConfig::Maf, 28}}) {
        TKelvaneState state = DefaultState();
        state.Settings.ScaleMode = TScaleMode::Automatic;
        state.Setup().LHConfig = config;
        state.RecomputeAxes();
        state.Logs.Data.Entries = {Sample(2000, 100)};
        TPlotRanges ranges;
        ASSERT_TRUE(AutoScalePlot(state, ranges));
        EXPECT_EQ(ranges.MinLoad, minLoad);
    }
}

TEST(PlotRangesTest, AutoScaleDoesNothingOutsideTheAutomaticModeOrWithoutSamples) {
    TKelvaneState state = DefaultState();
    state.Settings.ScaleMode = TScaleMode::Automatic;
    TPlotRanges ranges{1, 2, 3, 4};
    EXPECT_FALSE(AutoScalePlot(state, ranges));
    state.Logs.Data.Entries = {Sample(2000, 100)};
    state.Settings.ScaleMode = TScaleMode::Manual;
    EXPECT_FALSE(AutoScalePlot(state, ranges));
    EXPECT_EQ(ranges, (TPlotRanges{1, 2, 3, 4}));
}

TEST(CellGeometryTest, CellRectsInBothViews) {
    const TKelvaneState state = DefaultState();
    // x = rpm / 5; load breakpoints 50 pixels apart.
    const TPlotGeometry lh = Geometry(state, {0, 6600, 36, 516}, TPlotView::LH, false, 1320, 750);
    EXPECT_EQ(lh.CellRect(1, 3), (TPixelRect{120, 125, 169, 175}));  // RPM 600 .. 845, load 76 .. 92
    EXPECT_EQ(lh.CellRect(0, 0), (TPixelRect{0, 0, 120, 25}));       // clipped at the plot's edges
    EXPECT_EQ(lh.CellRect(15, 15), (TPixelRect{1180, 725, 1320, 750}));

    // S4 ignition RPM 560, 680 ... 6000; EZK load 0, 6.67 ... 100 over -3.33 .. 103.33.
    const TPlotGeometry ezk = Geometry(state, {0, 6600, 36, 516}, TPlotView::EZK, false, 1320, 800);
    const TPixelRect first = ezk.CellRect(0, 0);
    EXPECT_EQ(first, (TPixelRect{0, 0, 124, 50}));
    const TPixelRect last = ezk.CellRect(15, 15);
    EXPECT_EQ(last.Left, 1130);  // (5300 + 6000) / 2 / 5
    EXPECT_EQ(last.Right, 1320);
    EXPECT_EQ(last.Bottom, 800);
    // Neighbouring cells share their edge.
    EXPECT_EQ(ezk.CellRect(4, 7).Right, ezk.CellRect(5, 7).Left);
    EXPECT_EQ(ezk.CellRect(4, 7).Bottom, ezk.CellRect(4, 8).Top);
}

TEST(CellGeometryTest, CellLabelsSitInTheCellCentresOrOnTheBreakpoints) {
    const TKelvaneState state = DefaultState();
    const TPlotGeometry cell = Geometry(state, {0, 6600, 36, 516}, TPlotView::LH, false, 1320, 750);
    // The first and last cells: midway between the plot's edge and the first (last) midpoint.
    EXPECT_EQ(cell.CellLabelX(0), 28 + 60);
    EXPECT_EQ(cell.CellLabelX(15), 28 + 1250);
    EXPECT_EQ(cell.CellLabelX(1), 28 + 144);  // (120 + 169) / 2 = 144.5, half to even
    EXPECT_EQ(cell.CellLabelY(0), 25 + 12);   // 12.5, half to even
    EXPECT_EQ(cell.CellLabelY(3), 25 + 150);
    EXPECT_EQ(cell.CellLabelY(15), 25 + 738);

    const TPlotGeometry grid = Geometry(state, {0, 6600, 36, 516}, TPlotView::LH, true, 1320, 750);
    EXPECT_EQ(grid.CellLabelX(0), 28 + 100);
    EXPECT_EQ(grid.CellLabelY(3), 25 + 150);

    // The EZK view always uses the cell format.
    const TPlotGeometry ezk = Geometry(state, {0, 6600, 36, 516}, TPlotView::EZK, true, 1320, 800);
    EXPECT_FALSE(ezk.GridFormat());
    EXPECT_EQ(ezk.CellLabelX(0), 28 + 62);
}

TEST(GridLayoutTest, GridFormatLinesAndLabelsAtTheBreakpoints) {
    const TKelvaneState state = DefaultState();
    const TPlotGeometry g = Geometry(state, {0, 6600, 36, 516}, TPlotView::LH, true, 1320, 750);
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
    const TKelvaneState state = DefaultState();
    const TPlotGeometry g = Geometry(state, {0, 3000, 28, 200}, TPlotView::LH, false, 1200, 750);
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
    const TKelvaneState state = DefaultState();
    const TPlotGeometry g = Geometry(state, {0, 6600, 28, 387}, TPlotView::EZK, true, 1320, 800);
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
    const TKelvaneState state = DefaultState();
    EXPECT_EQ(OverlayMapOf(state, TMapOverlay::Adjustments, TPlotView::LH).Map, &state.Fuel.Adjustments);
    EXPECT_EQ(OverlayMapOf(state, TMapOverlay::Adjustments, TPlotView::LH).Format, TOverlayFormat::Percent);
    EXPECT_EQ(OverlayMapOf(state, TMapOverlay::Updated, TPlotView::LH).Format, TOverlayFormat::WholeNumber);
    EXPECT_EQ(OverlayMapOf(state, TMapOverlay::MeanAfr, TPlotView::LH).Map, &state.MeanAfrGrid);
    EXPECT_EQ(OverlayMapOf(state, TMapOverlay::Adjustments, TPlotView::EZK).Map, &state.Ignition.Adjustments);
    EXPECT_EQ(OverlayMapOf(state, TMapOverlay::Adjustments, TPlotView::EZK).Format,
              TOverlayFormat::OneDecimal);
    EXPECT_EQ(OverlayMapOf(state, TMapOverlay::MeanAfr, TPlotView::EZK).Map, nullptr);
    EXPECT_EQ(OverlayMapOf(state, TMapOverlay::None, TPlotView::LH).Map, nullptr);
}

TEST(OverlayTextTest, TextsAreCentredOnTheCellsAndOnlyInsideThePlot) {
    TKelvaneState state = DefaultState();
    state.MeanAfrGrid.Fill(MissingValue);
    state.MeanAfrGrid.At(0, 3) = 14.7;
    state.MeanAfrGrid.At(1, 3) = 12.25;
    state.MeanAfrGrid.At(15, 3) = 13.0;  // RPM 6200: beyond the plot's right end
    const TPlotGeometry g = Geometry(state, {0, 3000, 36, 516}, TPlotView::LH, false, 1200, 750);
    const auto texts = OverlayTexts(state, g, TMapOverlay::MeanAfr, FixedWidth, 10);
    ASSERT_EQ(texts.size(), 2u);
    EXPECT_EQ(texts[0].Text, "14.7");
    EXPECT_EQ(texts[0].Left, g.CellLabelX(0) - 12);
    EXPECT_EQ(texts[0].Top, g.CellLabelY(3) - 5);
    EXPECT_EQ(texts[1].Left, g.CellLabelX(1) - 12);
}

TEST(AfrScaleTest, BarValuesAndTicks) {
    const TColorTable table = BuiltInColorTable(2);  // 12 .. 17
    EXPECT_DOUBLE_EQ(AfrScaleBarValue(table, 0), 12.0);
    EXPECT_DOUBLE_EQ(AfrScaleBarValue(table, 100), 14.5);
    EXPECT_DOUBLE_EQ(AfrScaleBarValue(table, 200), 17.0);
    const std::vector<TAfrScaleTick> expected = {{15, "12.0"},  {55, "13.0"},  {95, "14.0"},
                                                 {135, "15.0"}, {175, "16.0"}, {215, "17.0"}};
    EXPECT_EQ(AfrScaleTicks(table), expected);

    const TColorTable wide = {{10, 0}, {20.005, 0}};  // a range above 6 ticks every 2 units
    const auto ticks = AfrScaleTicks(wide);
    ASSERT_EQ(ticks.size(), 6u);
    EXPECT_EQ(ticks[1].Text, "12.0");
    EXPECT_EQ(ticks.back().Text, "20.0");
    EXPECT_EQ(ticks.back().X, 215);

    const TColorTable huge = {{0, 0}, {1e12, 0}};  // never millions of ticks
    EXPECT_LE(AfrScaleTicks(huge).size(), 201u);
    EXPECT_EQ(AfrScaleTicks({{5, 0}, {5, 0}}).size(), 1u);
    EXPECT_TRUE(AfrScaleTicks({}).empty());
}

TEST(AfrScaleTest, BoxPositionDragAndStore) {
    EXPECT_EQ(AfrScaleBoxOrigin(10, -45, 1238, 830), (TPixelPoint{10, 785}));
    EXPECT_EQ(AfrScaleBoxOrigin(-240, 1000, 1238, 830), (TPixelPoint{998, 795}));  // kept inside
    EXPECT_EQ(ClampAfrScaleBox(-5, 900, 1238, 830), (TPixelPoint{0, 795}));
    EXPECT_EQ(ClampAfrScaleBox(50, 50, 100, 20), (TPixelPoint{0, 0}));  // image smaller than the box

    EXPECT_EQ(StoredAfrScalePosition(1000, 100, 1238, 830), (TPixelPoint{-238, 100}));
    EXPECT_EQ(StoredAfrScalePosition(100, 700, 1238, 830), (TPixelPoint{100, -130}));
    // Stored from the nearer edge, the box keeps its distance to it after a resize.
    const TPixelPoint stored = StoredAfrScalePosition(1000, 700, 1238, 830);
    EXPECT_EQ(AfrScaleBoxOrigin(stored.X, stored.Y, 1238, 830), (TPixelPoint{1000, 700}));
    EXPECT_EQ(AfrScaleBoxOrigin(stored.X, stored.Y, 1438, 930), (TPixelPoint{1200, 800}));
}

TEST(SampleDotTest, PaintAndDiameter) {
    TDisplayOptions options;
    TLogDataEntry e;
    e.O2Adjust = 0;
    EXPECT_EQ(SampleDotPaint(e, 14.0, options), TDotPaint::Coloured);
    EXPECT_EQ(SampleDotPaint(e, 0, options), TDotPaint::None);
    EXPECT_EQ(SampleDotPaint(e, MissingValue, options), TDotPaint::Grey);
    e.Included = 0;
    EXPECT_EQ(SampleDotPaint(e, 14.0, options), TDotPaint::Grey);
    e.Included = 1;
    options.PlotAfr = false;  // then only samples with an O2 adjustment are coloured
    EXPECT_EQ(SampleDotPaint(e, 14.7, options), TDotPaint::Grey);
    e.O2Adjust = 3;
    EXPECT_EQ(SampleDotPaint(e, 15.1, options), TDotPaint::Coloured);

    TLogDataEntry wot;
    wot.ThrottleSwitch = 3;
    EXPECT_EQ(DotDiameter(wot, 6), 12);
    wot.ThrottleSwitch = 2;
    EXPECT_EQ(DotDiameter(wot, 6), 6);
    EXPECT_EQ(DotDiameter(wot, 0), 2);
    TLogDataEntry closedLoop;
    closedLoop.O2Active = 1;
    closedLoop.O2Adjust = 4;
    closedLoop.ThrottleSwitch = 3;
    EXPECT_EQ(DotDiameter(closedLoop, 6), 6);
    closedLoop.O2Adjust = 0.005;  // open loop in a file with O2 adjustment
    EXPECT_EQ(DotDiameter(closedLoop, 6), 12);
}

TEST(KnockMarkerTest, ClassesAndReach) {
    const TDisplayOptions options;  // thresholds 3.0 / 3 and 6.0 / 6
    struct TCase {
        double Retard;
        int Cylinders;
        TKnockMarker Marker;
    };
    for (const TCase& c : std::vector<TCase>{{3.0, 3, TKnockMarker::Small},
                                             {3.01, 1, TKnockMarker::Medium},
                                             {0.5, 4, TKnockMarker::Medium},
                                             {6.0, 6, TKnockMarker::Medium},
                                             {6.01, 1, TKnockMarker::Large},
                                             {1.0, 7, TKnockMarker::Large}}) {
        SCOPED_TRACE(c.Retard);
        EXPECT_EQ(KnockMarkerOf(c.Retard, c.Cylinders, options), c.Marker);
    }
    EXPECT_EQ(KnockMarkerReach(TKnockMarker::Small, 6), 2);
    EXPECT_EQ(KnockMarkerReach(TKnockMarker::Medium, 6), 5);
    EXPECT_EQ(KnockMarkerReach(TKnockMarker::Large, 6), 8);
    EXPECT_EQ(KnockMarkerReach(TKnockMarker::Small, 100), 33);
    EXPECT_EQ(KnockMarkerReach(TKnockMarker::None, 6), 0);
}

TEST(KnockMarkerTest, SampleMarkersFollowTheKnockEvents) {
    TKelvaneState state = DefaultState();
    state.Display.IncludeAdjustments = false;
    TLogDataEntry quiet = Sample(3000, 200);
    quiet.KnockRetard.fill(0);
    TLogDataEntry knock = quiet;
    knock.KnockRetard[0] = 4;  // one cylinder, more than 3 degrees
    state.Logs.Data.Entries = {quiet, knock, knock};
    const TSampleBinner binner(state.PlotContext());
    EXPECT_EQ(SampleKnockMarker(state.Logs.Data, 0, binner), TKnockMarker::None);
    EXPECT_EQ(SampleKnockMarker(state.Logs.Data, 1, binner), TKnockMarker::Medium);
    EXPECT_EQ(SampleKnockMarker(state.Logs.Data, 2, binner), TKnockMarker::None);  // no growth
}

}  // namespace
}  // namespace kelvane
