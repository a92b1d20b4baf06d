#include <gtest/gtest.h>

#include <cmath>
#include <cstdint>
#include <vector>

#include "core/plot/PlotGeometry.h"
#include "support/PlotGeometryFixture.h"

namespace kelvane {
namespace {

TEST(PlotGeometryTest, PlotAreaIsTheImageLessTheMargins) {
    const TMapAxes axes = DefaultAxes();
    const TPlotGeometry g(axes, {0, 6600, 28, 387}, TPlotView::LH, false, 1200, 800);
    EXPECT_EQ(g.PlotLeft(), 28);
    EXPECT_EQ(g.PlotTop(), 25);
    EXPECT_EQ(g.PlotWidth(), 1200 - 38);
    EXPECT_EQ(g.PlotHeight(), 800 - 30);
    const TPlotGeometry tiny(axes, {0, 6600, 28, 387}, TPlotView::LH, false, 20, 10);
    EXPECT_EQ(tiny.PlotWidth(), 0);
    EXPECT_EQ(tiny.PlotHeight(), 0);
}

TEST(PlotGeometryTest, ScaledGeometryIsTheSamePlotInFinerPixels) {
    const TMapAxes axes = DefaultAxes();
    for (const TPlotView view : {TPlotView::LH, TPlotView::EZK}) {
        const TPlotGeometry g(axes, {0, 6600, 28, 387}, view, true, 1200, 800, {41, 30});
        for (const double factor : {1.0, 1.5, 2.0}) {
            const TPlotGeometry d = ScaledPlotGeometry(g, factor);
            EXPECT_EQ(d.PlotLeft(), std::lround(41 * factor));
            EXPECT_EQ(d.PlotTop(), std::lround(30 * factor));
            EXPECT_EQ(d.PlotWidth(), std::lround(g.PlotWidth() * factor));
            EXPECT_EQ(d.PlotHeight(), std::lround(g.PlotHeight() * factor));
            EXPECT_EQ(d.View(), g.View());
            EXPECT_EQ(d.GridFormat(), g.GridFormat());
            // A value lands within a device pixel of its scaled place.
            EXPECT_NEAR(d.RpmPosition(3300), g.RpmPosition(3300) * factor, 1.0);
            EXPECT_NEAR(d.LoadPixel(150), g.LoadPixel(150) * factor, 1.0);
        }
        EXPECT_EQ(ScaledPlotGeometry(g, 1.0).ImageWidth(), g.ImageWidth());
    }
}

TEST(PlotGeometryTest, ValueToPixelTable) {
    const TMapAxes axes = DefaultAxes();
    // RPM 0 .. 1024 over 1024 pixels and load 36 .. 516 (the first and last
    // LH breakpoints) over 750 pixels: every breakpoint interval is 50 pixels.
    const TPlotGeometry lh = Geometry(axes, {0, 1024, 36, 516}, TPlotView::LH, false, 1024, 750);
    const TPlotGeometry ezk = Geometry(axes, {0, 1024, 36, 516}, TPlotView::EZK, false, 1024, 800);
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
    const TMapAxes axes = DefaultAxes();
    const TPlotGeometry g = Geometry(axes, {0, 6600, 28, 387}, TPlotView::LH, false, 1000, 700);
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
    const TMapAxes axes = DefaultAxes();
    TMapAxes flat = DefaultAxes();
    flat.LHLoad[5] = flat.LHLoad[4];  // two equal breakpoints
    struct TCase {
        const TMapAxes* Axes;
        TPlotRanges Ranges;
        TPlotView View;
        int Width, Height;
    };
    const std::vector<TCase> cases = {
        {&axes, {0, 6600, 28, 387}, TPlotView::LH, 1200, 800},
        {&axes, {0, 6600, 28, 387}, TPlotView::EZK, 1200, 800},
        {&axes, {800, 5200, 50, 250}, TPlotView::LH, 731, 419},
        {&flat, {0, 6600, 28, 387}, TPlotView::LH, 1200, 800},
        {&axes, {0, 1e9, 28, 29}, TPlotView::LH, 1200, 800},
        {&axes, {0, 6600, 28, 387}, TPlotView::LH, 0, 0},
    };
    std::vector<double> rpms = {0, 2.75, 5.5, 8.25, -2.75, 6600, 1e300, -1e300, NAN, MissingValue};
    std::vector<double> loads = {NAN, 1e300, -1e300, MissingValue, -3.33, 103.33, 0.5};
    for (double a : axes.LHLoad) loads.push_back(a);
    for (double b : axes.LHLoadBounds) loads.push_back(b);
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
        const TPlotGeometry g(*c.Axes, c.Ranges, c.View, false, c.Width + PlotMarginLeft + PlotMarginRight,
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
    const TMapAxes axes = DefaultAxes();
    const TPlotGeometry g = Geometry(axes, {3000, 3000, 100, 100}, TPlotView::LH, false, 1000, 700);
    EXPECT_EQ(g.Ranges().MaxRpm, 3001);
    EXPECT_EQ(g.Ranges().MaxLoad, 101);
    EXPECT_EQ(g.RpmToX(3001), 1000);
    EXPECT_EQ(g.LoadToY(101), 700);
}

TEST(PlotGeometryTest, FlatLoadAxisGivesNoNotANumber) {
    TMapAxes axes = DefaultAxes();
    axes.LHLoad.fill(100);  // a damaged bin image's axis
    const TPlotGeometry g = Geometry(axes, {0, 6600, 28, 387}, TPlotView::LH, false, 1000, 700);
    for (double load : {20.0, 100.0, 300.0}) {
        EXPECT_GE(g.LoadToY(load), 0);
        EXPECT_LE(g.LoadToY(load), 700);
    }
    EXPECT_TRUE(std::isfinite(g.LoadFromPosition(0.5)));
}

TEST(CellGeometryTest, CellRectsInBothViews) {
    const TMapAxes axes = DefaultAxes();
    // x = rpm / 5; load breakpoints 50 pixels apart.
    const TPlotGeometry lh = Geometry(axes, {0, 6600, 36, 516}, TPlotView::LH, false, 1320, 750);
    EXPECT_EQ(lh.CellRect(1, 3), (TPixelRect{120, 125, 169, 175}));  // RPM 600 .. 845, load 76 .. 92
    EXPECT_EQ(lh.CellRect(0, 0), (TPixelRect{0, 0, 120, 25}));       // clipped at the plot's edges
    EXPECT_EQ(lh.CellRect(15, 15), (TPixelRect{1180, 725, 1320, 750}));

    // S4 ignition RPM 560, 680 ... 6000; EZK load 0, 6.67 ... 100 over -3.33 .. 103.33.
    const TPlotGeometry ezk = Geometry(axes, {0, 6600, 36, 516}, TPlotView::EZK, false, 1320, 800);
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
    const TMapAxes axes = DefaultAxes();
    const TPlotGeometry cell = Geometry(axes, {0, 6600, 36, 516}, TPlotView::LH, false, 1320, 750);
    // The first and last cells: midway between the plot's edge and the first (last) midpoint.
    EXPECT_EQ(cell.CellLabelX(0), 28 + 60);
    EXPECT_EQ(cell.CellLabelX(15), 28 + 1250);
    EXPECT_EQ(cell.CellLabelX(1), 28 + 144);  // (120 + 169) / 2 = 144.5, half to even
    EXPECT_EQ(cell.CellLabelY(0), 25 + 12);   // 12.5, half to even
    EXPECT_EQ(cell.CellLabelY(3), 25 + 150);
    EXPECT_EQ(cell.CellLabelY(15), 25 + 738);

    const TPlotGeometry grid = Geometry(axes, {0, 6600, 36, 516}, TPlotView::LH, true, 1320, 750);
    EXPECT_EQ(grid.CellLabelX(0), 28 + 100);
    EXPECT_EQ(grid.CellLabelY(3), 25 + 150);

    // The EZK view always uses the cell format.
    const TPlotGeometry ezk = Geometry(axes, {0, 6600, 36, 516}, TPlotView::EZK, true, 1320, 800);
    EXPECT_FALSE(ezk.GridFormat());
    EXPECT_EQ(ezk.CellLabelX(0), 28 + 62);
}

}  // namespace
}  // namespace kelvane
