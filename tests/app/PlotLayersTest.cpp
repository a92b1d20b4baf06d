#include <gtest/gtest.h>

#include <QFontMetrics>
#include <QImage>
#include <QPainter>
#include <functional>
#include <set>

#include "app/plot/PlotLayers.h"
#include "app/shell/Windows1252.h"
#include "core/plot/AfrScaleLegend.h"
#include "core/plot/AxisLabels.h"
#include "core/state/KelvaneState.h"

namespace kelvane {
namespace {

// A plot of 1200 x 800 pixels over RPM 0 .. 6600 and load 28 .. 387.
constexpr QSize ImageSize(1200 + 38, 800 + 30);

struct TPlotLayersTest : ::testing::Test {
    TKelvaneState State;
    TColorTable Colors = BuiltInColorTable(2);
    TPlotLayerOptions Options;

    TPlotLayersTest() {
        State.Setup().LHVersion = TLHVersion::LH23;
        State.Setup().LHConfig = TLHConfig::Maf;
        State.RecomputeAxes();
        State.Display.ShowKnocks = false;
        State.PlotRanges = {0, 6600, 28, 387};
        State.PlotDisplay.ShowAfrScale = false;
    }

    static TLogDataEntry Sample(double rpm, double plotMaf, double afr, bool included = true) {
        TLogDataEntry e;
        e.Rpm = rpm;
        e.PlotMaf = plotMaf;
        e.Load = 50;
        e.SmoothedAfr = afr;
        e.Afr = afr;
        e.AfrPresent = 1;
        e.Included = included;
        return e;
    }

    TPlotGeometry Geometry() const { return LayerGeometry(State, ImageSize); }

    // Image position of a sample's dot centre.
    QPoint Centre(const TLogDataEntry& e) const {
        const TPlotGeometry g = Geometry();
        const TPixelPoint p = g.SamplePixel(e);
        return {g.PlotLeft() + p.X, g.PlotTop() + p.Y};
    }

    QRgb ScaleColor(double afr) const { return ColorLookup(Colors, 255, afr); }
};

TEST_F(TPlotLayersTest, DotsTakeTheColourOfTheirPlottedAfrAndExcludedSamplesAreGrey) {
    const TLogDataEntry rich = Sample(3000, 200, 12.0);
    const TLogDataEntry lean = Sample(1500, 120, 17.0);
    const TLogDataEntry excluded = Sample(4500, 300, 13.0, false);
    State.Logs.Data.Entries = {rich, lean, excluded};
    const QImage image = RenderPlot(State, Colors, ImageSize, Options);
    ASSERT_EQ(image.size(), ImageSize);

    EXPECT_EQ(image.pixel(Centre(rich)), qRgb(255, 255, 0));
    EXPECT_EQ(image.pixel(Centre(lean)), qRgb(255, 0, 0));
    EXPECT_EQ(image.pixel(Centre(excluded)), qRgb(191, 191, 191));
    // A dot of point size 6 reaches two pixels from its centre, not four.
    EXPECT_EQ(image.pixel(Centre(rich) + QPoint(2, 0)), qRgb(255, 255, 0));
    EXPECT_EQ(image.pixel(Centre(rich) + QPoint(4, 0)), qRgb(255, 255, 255));
}

TEST_F(TPlotLayersTest, OverlappingDotsMixTheirAfrAndColouredBeatsGrey) {
    const TLogDataEntry a = Sample(3000, 200, 12.0);
    const TLogDataEntry b = Sample(3000, 200, 14.0);
    TLogDataEntry grey = Sample(3000, 200, 16.0, false);
    State.Logs.Data.Entries = {grey, a, b};
    TPlotLayers layers;
    const TPlotGeometry g = DrawPlotLayers(layers, State, Colors, ImageSize, Options);
    const TPixelPoint p = g.SamplePixel(a);
    EXPECT_EQ(layers.Points.pixel(p.X, p.Y), ScaleColor(13.0));
    EXPECT_EQ(ScaleColor(13.0), qRgb(162, 255, 0));
}

TEST_F(TPlotLayersTest, WotSamplesOfFilesWithoutO2AdjustmentAreTwiceAsLarge) {
    TLogDataEntry wot = Sample(3000, 200, 12.0);
    wot.ThrottleSwitch = 3;
    State.Logs.Data.Entries = {wot};
    const QImage image = RenderPlot(State, Colors, ImageSize, Options);
    EXPECT_EQ(image.pixel(Centre(wot) + QPoint(5, 0)), qRgb(255, 255, 0));
    EXPECT_EQ(image.pixel(Centre(wot) + QPoint(7, 0)), qRgb(255, 255, 255));
}

TEST_F(TPlotLayersTest, LoadGrowsDownwardAndRpmToTheRight) {
    const TLogDataEntry low = Sample(1000, 60, 12.0);
    const TLogDataEntry high = Sample(5000, 350, 12.0);
    EXPECT_LT(Centre(low).x(), Centre(high).x());
    EXPECT_LT(Centre(low).y(), Centre(high).y());
    State.Display.View = TPlotView::EZK;
    TLogDataEntry ezk = Sample(5000, 350, 17.0);
    ezk.Load = 95;
    State.Logs.Data.Entries = {ezk};
    const QImage image = RenderPlot(State, Colors, ImageSize, Options);
    const QPoint centre = Centre(ezk);
    EXPECT_GT(centre.y(), 25 + 800 * 85 / 100);
    EXPECT_EQ(image.pixel(centre), qRgb(255, 0, 0));
}

TEST_F(TPlotLayersTest, GridLinesAndFrameWhereTheLayoutPutsThem) {
    for (bool gridFormat : {false, true}) {
        SCOPED_TRACE(gridFormat);
        State.PlotDisplay.GridFormat = gridFormat;
        TPlotLayers layers;
        const TPlotGeometry g = DrawPlotLayers(layers, State, Colors, ImageSize, Options);
        const TGridLayout layout = GridLayout(
            g, [](std::string_view) { return 0; }, 0);
        ASSERT_FALSE(layout.VerticalLines.empty());
        const int midY = g.PlotTop() + g.PlotHeight() / 2 + 3;
        for (int x : layout.VerticalLines) {
            EXPECT_EQ(qAlpha(layers.Grid.pixel(x, midY)), 0x30) << x;
            EXPECT_EQ(qAlpha(layers.Grid.pixel(x + 1, midY)) == 0x30,
                      std::count(layout.VerticalLines.begin(), layout.VerticalLines.end(), x + 1) > 0);
        }
        const int midX = layout.VerticalLines.front() + 3;
        for (int y : layout.HorizontalLines) EXPECT_EQ(qAlpha(layers.Grid.pixel(midX, y)), 0x30) << y;
        // The frame is opaque black; over a white background a line is light grey.
        EXPECT_EQ(layers.Grid.pixel(g.PlotLeft(), midY), qRgb(0, 0, 0));
        EXPECT_EQ(layers.Grid.pixel(g.PlotLeft() + g.PlotWidth(), midY), qRgb(0, 0, 0));
        const QImage image = ComposePlot(layers);
        EXPECT_EQ(image.pixel(layout.VerticalLines.front(), midY), qRgb(207, 207, 207));
    }
}

TEST_F(TPlotLayersTest, AfrScaleShowsTheTableFromEndToEnd) {
    State.PlotDisplay.ShowAfrScale = true;
    State.PlotDisplay.AfrScaleX = -300;
    State.PlotDisplay.AfrScaleY = 10;
    TPlotLayers layers;
    DrawPlotLayers(layers, State, Colors, ImageSize, Options);
    ASSERT_EQ(layers.AfrScale.size(), QSize(230, 35));
    EXPECT_EQ(layers.AfrScaleOrigin, QPoint(ImageSize.width() - 300, 10));
    // Lines 1 and 199: the frame covers lines 0 and 200.
    EXPECT_EQ(layers.AfrScale.pixel(16, 10), ScaleColor(AfrScaleBarValue(Colors, 1)));
    EXPECT_EQ(layers.AfrScale.pixel(214, 10), ScaleColor(AfrScaleBarValue(Colors, 199)));
    EXPECT_GE(qRed(layers.AfrScale.pixel(16, 10)), 250);  // yellow end ...
    EXPECT_EQ(qGreen(layers.AfrScale.pixel(16, 10)), 255);
    EXPECT_GE(qRed(layers.AfrScale.pixel(214, 10)), 250);  // ... to red
    EXPECT_LE(qGreen(layers.AfrScale.pixel(214, 10)), 10);
    EXPECT_EQ(layers.AfrScale.pixel(95, 10), qRgb(0, 0, 0));  // the tick at 14.0
    EXPECT_EQ(qAlpha(layers.AfrScale.pixel(5, 10)), 0);       // transparent beside the bar

    const QImage image = ComposePlot(layers);
    EXPECT_EQ(image.pixel(layers.AfrScaleOrigin + QPoint(16, 10)), layers.AfrScale.pixel(16, 10));

    State.PlotDisplay.ShowAfrScale = false;
    DrawPlotLayers(layers, State, Colors, ImageSize, Options);
    EXPECT_TRUE(layers.AfrScale.isNull());
}

TEST_F(TPlotLayersTest, KnockMarkersAreBlackCrossesOpaqueInTheEzkView) {
    State.Display.View = TPlotView::EZK;
    State.Display.IncludeAdjustments = false;
    TLogDataEntry quiet = Sample(3000, 200, 14.0);
    quiet.Load = 50;
    quiet.KnockRetard.fill(0);
    TLogDataEntry knock = quiet;
    knock.KnockRetard[0] = 7;  // large marker: reach ceil(1.25 x 6) = 8
    State.Logs.Data.Entries = {quiet, knock};
    TPlotLayers layers;
    const TPlotGeometry g = DrawPlotLayers(layers, State, Colors, ImageSize, Options);
    const TPixelPoint c = g.SamplePixel(knock);
    EXPECT_EQ(layers.Knock.pixel(c.X + 6, c.Y + 6), qRgb(0, 0, 0));
    EXPECT_EQ(layers.Knock.pixel(c.X - 6, c.Y + 6), qRgb(0, 0, 0));
    EXPECT_EQ(qAlpha(layers.Knock.pixel(c.X + 6, c.Y)), 0);

    State.Display.View = TPlotView::LH;  // translucent there, and only on request
    State.Display.ShowKnocks = true;
    State.PlotDisplay.KnockAlpha = 128;
    const TPlotGeometry lh = DrawPlotLayers(layers, State, Colors, ImageSize, Options);
    const TPixelPoint d = lh.SamplePixel(knock);
    EXPECT_EQ(qAlpha(layers.Knock.pixel(d.X + 6, d.Y + 6)), 128);
    State.Display.ShowKnocks = false;
    DrawPlotLayers(layers, State, Colors, ImageSize, Options);
    EXPECT_EQ(qAlpha(layers.Knock.pixel(d.X + 6, d.Y + 6)), 0);
}

// The points pass gathers samples by dot centre, merges runs and defers its
// additions; per pixel it must still count and sum what drawing every dot on
// its own gives, and set the same grey flags.
TEST_F(TPlotLayersTest, GatheredDotsMatchDotsDrawnOneByOne) {
    const QSize small(60 + 38, 40 + 30);
    std::uint64_t seed = 99;
    auto next = [&seed](double lo, double hi) {
        seed = seed * 6364136223846793005u + 1442695040888963407u;
        return lo + (hi - lo) * static_cast<double>(seed >> 11) / 9007199254740992.0;
    };
    for (int i = 0; i < 400; ++i) {
        TLogDataEntry e = Sample(next(-200, 6800), next(20, 400), next(-1, 20), next(0, 1) > 0.2);
        if (next(0, 1) > 0.7) e.ThrottleSwitch = 3;
        State.Logs.Data.Entries.push_back(e);
        if (next(0, 1) > 0.6) {  // the same dot again, with another AFR
            e.SmoothedAfr = e.Afr = next(10, 18);
            State.Logs.Data.Entries.push_back(e);
        }
    }
    // One set of layers for every drawing: nothing may stay behind in its scratch.
    TPlotLayers layers;
    for (int pointSize : {2, 5, 2}) {
        SCOPED_TRACE(pointSize);
        State.Settings.PlotPointSize = pointSize;
        DrawPlotLayers(layers, State, Colors, small, Options);
        const TPlotGeometry g = DrawPlotLayers(layers, State, Colors, small, Options);
        const int width = g.PlotWidth(), height = g.PlotHeight();
        std::vector<double> sum(static_cast<std::size_t>(width * height), 0.0);
        std::vector<std::uint32_t> count(sum.size(), 0);
        std::vector<std::uint8_t> grey(sum.size(), 0);
        const TSampleBinner binner(State.PlotContext());
        for (const TLogDataEntry& e : State.Logs.Data.Entries) {
            const double v = binner.PlottedAfr(e);
            const TDotPaint paint = SampleDotPaint(e, v, State.Display);
            if (paint == TDotPaint::None) continue;
            const int d = DotDiameter(e, pointSize);
            const TPixelPoint c = g.SamplePixel(e);
            for (int py = c.Y - d / 2; py <= c.Y - d / 2 + d; ++py)
                for (int px = c.X - d / 2; px <= c.X - d / 2 + d; ++px) {
                    const int dx = px - c.X, dy = py - c.Y;
                    if (px < 0 || py < 0 || px >= width || py >= height || 4 * (dx * dx + dy * dy) >= d * d)
                        continue;
                    const std::size_t i = static_cast<std::size_t>(py * width + px);
                    if (paint == TDotPaint::Coloured) {
                        sum[i] += v;
                        ++count[i];
                    } else {
                        grey[i] = 1;
                    }
                }
        }
        ASSERT_EQ(layers.Means.size(), sum.size());
        int differing = 0, coloured = 0, greyOnly = 0;
        for (std::size_t i = 0; i < sum.size(); ++i) {
            const TPlotLayers::TPixelMean& m = layers.Means[i];
            if (m.Count != count[i] || (grey[i] != 0) != (layers.Grey[i] != 0) ||
                std::fabs(m.Sum - sum[i]) > 1e-9 * (1 + std::fabs(sum[i])))
                ++differing;
            const QRgb pixel = layers.Points.pixel(static_cast<int>(i) % width, static_cast<int>(i) / width);
            if (qAlpha(pixel) != (count[i] > 0 || grey[i] ? 255 : 0)) ++differing;
            coloured += count[i] > 0;
            greyOnly += count[i] == 0 && grey[i];
        }
        EXPECT_EQ(differing, 0);
        EXPECT_GT(coloured, 100);
        EXPECT_GT(greyOnly, 10);
    }
}

// The knock layer stamps its markers by hand. Opaque markers must match
// drawing every marker as a path; a translucent marker darkens each of the
// path's pixels once, also where its diagonals cross (QPainter's thin lines
// would blend the crossing twice). Overlapping markers and markers cut by
// the edges included.
TEST_F(TPlotLayersTest, StampedKnockMarkersMatchMarkersDrawnAsPaths) {
    State.Display.IncludeAdjustments = false;
    State.Display.ShowKnocks = true;
    const std::vector<std::pair<double, double>> places = {{3000, 200}, {3000, 200}, {3020, 202}, {0, 28},
                                                           {6600, 387}, {6590, 30},  {5, 380}};
    for (const auto& [rpm, maf] : places)
        for (double retard : {1.0, 4.0, 9.0, 20.0}) {
            TLogDataEntry quiet = Sample(rpm, maf, 14.0);
            quiet.KnockRetard.fill(0);
            TLogDataEntry knock = quiet;
            knock.KnockRetard[0] = retard;
            State.Logs.Data.Entries.push_back(quiet);
            State.Logs.Data.Entries.push_back(knock);
        }
    struct TCase {
        TPlotView View;
        int Alpha;
        int PointSize;
    };
    for (const TCase& c : {TCase{TPlotView::LH, 128, 6}, TCase{TPlotView::LH, 77, 3},
                           TCase{TPlotView::LH, 255, 10}, TCase{TPlotView::EZK, 128, 6}}) {
        SCOPED_TRACE(c.Alpha + 1000 * c.PointSize);
        State.Display.View = c.View;
        State.Settings.PlotPointSize = c.PointSize;
        State.PlotDisplay.KnockAlpha = c.Alpha;
        const int alpha = c.View == TPlotView::EZK ? 255 : c.Alpha;
        TPlotLayers layers;
        const TPlotGeometry g = DrawPlotLayers(layers, State, Colors, ImageSize, Options);

        QImage expected(layers.Knock.size(), QImage::Format_ARGB32_Premultiplied);
        expected.fill(Qt::transparent);
        QImage shape = expected;
        QPainter painter(&expected);
        painter.setPen(QColor(0, 0, 0, alpha));
        const TSampleBinner binner(State.PlotContext());
        std::set<TKnockMarker> kinds;
        const TLogData& data = State.Logs.Data;
        for (std::size_t i = 0; i < data.Count(); ++i) {
            const TKnockMarker marker = SampleKnockMarker(data, i, binner, State.Settings.KnockLimits);
            if (marker == TKnockMarker::None) continue;
            kinds.insert(marker);
            const TPixelPoint p = g.SamplePixel(data[i]);
            if (alpha == 255) {
                DrawKnockMarkerPath(painter, marker, c.PointSize, p.X, p.Y, alpha);
                continue;
            }
            shape.fill(Qt::transparent);
            QPainter shapePainter(&shape);
            DrawKnockMarkerPath(shapePainter, marker, c.PointSize, p.X, p.Y, 255);
            shapePainter.end();
            for (int y = std::max(0, p.Y - 12); y <= std::min(shape.height() - 1, p.Y + 12); ++y)
                for (int x = std::max(0, p.X - 12); x <= std::min(shape.width() - 1, p.X + 12); ++x)
                    if (qAlpha(shape.pixel(x, y)) != 0) painter.drawPoint(x, y);
        }
        painter.end();
        EXPECT_EQ(kinds.size(), 3u);
        ASSERT_EQ(layers.Knock.size(), expected.size());
        int differing = 0;
        QString first;
        for (int y = 0; y < expected.height(); ++y)
            for (int x = 0; x < expected.width(); ++x)
                if (layers.Knock.pixel(x, y) != expected.pixel(x, y) && differing++ == 0)
                    first = QStringLiteral("%1,%2: %3 instead of %4")
                                .arg(x)
                                .arg(y)
                                .arg(layers.Knock.pixel(x, y), 0, 16)
                                .arg(expected.pixel(x, y), 0, 16);
        EXPECT_EQ(differing, 0) << first.toStdString();
    }
}

// The titles: a row above the RPM labels, a column left of the load labels,
// and their text follows the view and configuration.
TEST_F(TPlotLayersTest, AxisTitlesAreDrawnClearOfTheLabels) {
    auto darkIn = [](const QImage& image, const QRect& area) {
        int dark = 0;
        for (int y = area.top(); y <= area.bottom(); ++y)
            for (int x = area.left(); x <= area.right(); ++x)
                dark += qAlpha(image.pixel(x, y)) >= 128 && qRed(image.pixel(x, y)) < 64;
        return dark;
    };
    TPlotLayers layers;
    const TPlotGeometry g = DrawPlotLayers(layers, State, Colors, ImageSize, Options);
    const int textHeight = QFontMetrics(PlotFont()).height();
    const QRect titleRow(g.PlotLeft(), 0, g.PlotWidth(), AxisTitleGap + textHeight);
    const QRect titleColumn(0, g.PlotTop(), AxisTitleGap + textHeight, g.PlotHeight());
    EXPECT_GT(darkIn(layers.Grid, titleRow), 30);
    EXPECT_GT(darkIn(layers.Grid, titleColumn), 30);
    EXPECT_EQ(layers.GridContent.Titles, (TAxisTitles{"Engine speed [rpm]", "MAF signal"}));
    // No label reaches into the title row or column.
    for (const TPlotLayers::TPlacedLabel& label : layers.GridContent.Labels) {
        EXPECT_GE(label.Y, titleRow.bottom()) << label.Text;
        EXPECT_GT(label.X, titleColumn.right()) << label.Text;
    }

    State.Setup().LHConfig = TLHConfig::Map;
    State.RecomputeAxes();
    DrawPlotLayers(layers, State, Colors, ImageSize, Options);
    EXPECT_EQ(layers.GridContent.Titles.Load, "MAP [kPa]");
    State.Display.View = TPlotView::EZK;
    DrawPlotLayers(layers, State, Colors, ImageSize, Options);
    EXPECT_EQ(layers.GridContent.Titles.Load, "Load [%]");
}

TEST_F(TPlotLayersTest, OverlayPrintsBlackValuesOnlyWhenChosen) {
    State.Fuel.ReferenceLoaded = true;
    State.Fuel.Adjustments.At(5, 6) = 1.05;
    State.PlotDisplay.Overlay = TMapOverlay::Adjustments;
    TPlotLayers layers;
    const TPlotGeometry g = DrawPlotLayers(layers, State, Colors, ImageSize, Options);
    auto darkPixels = [&](int row, int column) {
        int dark = 0;
        for (int y = g.CellLabelY(column) - 6; y <= g.CellLabelY(column) + 6; ++y)
            for (int x = g.CellLabelX(row) - 20; x <= g.CellLabelX(row) + 20; ++x)
                if (qAlpha(layers.Overlay.pixel(x, y)) >= 128 && qRed(layers.Overlay.pixel(x, y)) < 64)
                    ++dark;
        return dark;
    };
    EXPECT_GT(darkPixels(5, 6), 10);
    State.PlotDisplay.Overlay = TMapOverlay::None;
    DrawPlotLayers(layers, State, Colors, ImageSize, Options);
    EXPECT_EQ(darkPixels(5, 6), 0);
}

// Kept layers skip the knock evaluation for samples whose retard did not grow;
// events by counter alone and by any cylinder must still get their marker.
TEST_F(TPlotLayersTest, KnockEventsByCounterOrAnyCylinderAreMarkedWithKeptLayers) {
    State.Display.View = TPlotView::EZK;
    State.Display.IncludeAdjustments = false;
    struct TCase {
        const char* Name;
        double PrevRetard;  // every cylinder; MissingValue: no retard readings
        double Retard;      // of the cylinder below
        int Cylinder;
        int PrevCount, Count;
        bool Marked;
    };
    const TCase cases[] = {
        {"counter rises", MissingValue, MissingValue, 0, 6, 7, true},
        {"counter stays", MissingValue, MissingValue, 0, 6, 6, false},
        {"counter missing before", MissingValue, MissingValue, 0, -1, 7, false},
        {"last cylinder grows", 0, 2, 7, 0, 0, true},
        {"retard falls", 3, 2, 4, 0, 0, false},
        {"retard steady", 2, 2, 4, 0, 0, false},
    };
    TPlotLayers layers;
    for (const TCase& c : cases) {
        SCOPED_TRACE(c.Name);
        TLogDataEntry prev = Sample(3000, 200, 14.0);
        prev.Load = 50;
        prev.KnockRetard.fill(c.PrevRetard);
        prev.KnockCount = c.PrevCount;
        TLogDataEntry cur = prev;
        cur.KnockCount = c.Count;
        if (c.Retard != MissingValue) cur.KnockRetard[static_cast<std::size_t>(c.Cylinder)] = c.Retard;
        State.Logs.Data.Entries = {prev, cur};
        const TPlotGeometry g = DrawPlotLayers(layers, State, Colors, ImageSize, Options);
        const TPixelPoint p = g.SamplePixel(cur);
        const int reach = KnockMarkerReach(TKnockMarker::Small, State.Settings.PlotPointSize);
        EXPECT_EQ(qAlpha(layers.Knock.pixel(p.X + reach, p.Y + reach)), c.Marked ? 255 : 0);
    }
}

// Grid and overlay are kept when they would be drawn the same; whatever
// changes, a kept set of layers must look exactly like a fresh one, also when
// only the overlay is redrawn.
TEST_F(TPlotLayersTest, KeptLayersLookLikeFreshOnesAfterEveryChange) {
    State.Logs.Data.Entries = {Sample(3000, 200, 12.0), Sample(4500, 120, 15.0)};
    State.Fuel.Reference = FilledGrid(250);
    State.Fuel.ReferenceLoaded = true;
    State.MeanAfrGrid = FilledGrid(13.5);
    State.PlotDisplay.Overlay = TMapOverlay::Reference;
    State.PlotDisplay.ShowAfrScale = true;
    QSize size = ImageSize;
    struct TStep {
        const char* Name;
        std::function<void()> Change;
    };
    const std::vector<TStep> steps = {
        {"nothing", [] {}},
        {"a map value", [&] { State.Fuel.Reference.At(3, 4) += 7; }},
        {"the overlay", [&] { State.PlotDisplay.Overlay = TMapOverlay::Adjustments; }},
        {"no overlay", [&] { State.PlotDisplay.Overlay = TMapOverlay::None; }},
        {"the ranges",
         [&] {
             State.PlotRanges = {500, 5000, 40, 300};
         }},
        {"grid format", [&] { State.PlotDisplay.GridFormat = true; }},
        {"the view", [&] { State.Display.View = TPlotView::EZK; }},
        {"the size", [&] { size = QSize(700, 500); }},
        {"a tiny size", [&] { size = QSize(20, 10); }},
        {"back to full size", [&] { size = ImageSize; }},
    };
    TPlotLayers kept;
    for (const TStep& step : steps) {
        SCOPED_TRACE(step.Name);
        step.Change();
        const TPlotGeometry g = DrawPlotLayers(kept, State, Colors, size, Options);
        TPlotLayers fresh;
        DrawPlotLayers(fresh, State, Colors, size, Options);
        EXPECT_TRUE(kept.Grid == fresh.Grid);
        EXPECT_TRUE(kept.Overlay == fresh.Overlay);
        EXPECT_TRUE(ComposePlot(kept) == ComposePlot(fresh));

        // The overlay buttons redraw the overlay alone.
        for (TMapOverlay overlay : {TMapOverlay::Updated, TMapOverlay::MeanAfr, State.PlotDisplay.Overlay}) {
            DrawOverlayLayer(kept, g, State, overlay);
            TKelvaneState other = State;
            other.PlotDisplay.Overlay = overlay;
            EXPECT_TRUE(ComposePlot(kept) == RenderPlot(other, Colors, size, Options));
        }
    }
}

// The points pass places the samples in parallel ranges and gathers, spreads
// and colours in parallel bands of rows: the layers and every per-pixel sum
// must come out as with one thread, whatever the number, also for dots that
// straddle the bands, lie on cell bounds or half outside the plot.
TEST_F(TPlotLayersTest, PointsAndKnockLayersDoNotDependOnTheThreadCount) {
    const QSize small(60 + 38, 40 + 30);
    State.Display.ShowKnocks = true;
    State.Settings.PlotPointSize = 4;
    std::uint64_t seed = 7;
    auto next = [&seed](double lo, double hi) {
        seed = seed * 6364136223846793005u + 1442695040888963407u;
        return lo + (hi - lo) * static_cast<double>(seed >> 11) / 9007199254740992.0;
    };
    const TMapAxes& axes = State.Axes;
    for (int i = 0; i < 600; ++i) {
        const double rpm = next(0, 1) < 0.3 ? axes.LHRpmBounds[1 + i % 15] : next(-300, 6900);
        const double maf = next(0, 1) < 0.3 ? axes.LHLoadBounds[1 + i % 15] : next(10, 420);
        TLogDataEntry e = Sample(rpm, maf, 10 + next(0, 1) * 9.77, next(0, 1) > 0.15);
        e.KnockRetard.fill(0);
        if (next(0, 1) < 0.08) e.KnockRetard[i % KnockCylinders] = next(1, 9);
        if (next(0, 1) < 0.3) e.ThrottleSwitch = 3;
        if (next(0, 1) < 0.1) e.Selected = 1;
        const double missing = next(0, 1);
        if (missing < 0.04)
            e.Rpm = MissingValue;
        else if (missing < 0.08)
            e.PlotMaf = MissingValue;
        else if (missing < 0.12)
            e.SmoothedAfr = e.Afr = MissingValue;
        State.Logs.Data.Entries.push_back(e);
        if (next(0, 1) < 0.4) State.Logs.Data.Entries.push_back(e);  // a run on one dot
    }
    const TPlotGeometry g = LayerGeometry(State, small);
    auto draw = [&](TPlotLayers& layers, int threads) {
        TWorkerPool pool(threads);
        DrawPointsAndKnockLayers(layers, g, State, Colors, State.PlotDisplay, pool);
    };
    TPlotLayers serial;
    draw(serial, 1);
    ASSERT_FALSE(serial.KnockMarks.empty());
    int painted = 0;
    for (const TPlotLayers::TPixelMean& m : serial.Means) painted += m.Count > 0;
    ASSERT_GT(painted, 300);
    TPlotLayers kept;  // one set of layers for every count: its scratch must come back clean
    for (int threads : {2, 3, 5, 1, 4}) {
        SCOPED_TRACE(threads);
        draw(kept, threads);
        EXPECT_EQ(kept.Points, serial.Points);
        EXPECT_EQ(kept.Knock, serial.Knock);
        ASSERT_EQ(kept.Means.size(), serial.Means.size());
        for (std::size_t i = 0; i < serial.Means.size(); ++i) {
            ASSERT_EQ(kept.Means[i].Count, serial.Means[i].Count) << i;
            ASSERT_EQ(kept.Means[i].Sum, serial.Means[i].Sum) << i;
        }
        EXPECT_EQ(kept.Grey, serial.Grey);
    }
}

TEST_F(TPlotLayersTest, TinyImagesDrawNothingAndDoNotFail) {
    State.Logs.Data.Entries = {Sample(3000, 200, 12.0)};
    State.PlotDisplay.ShowAfrScale = true;
    const QImage image = RenderPlot(State, Colors, QSize(20, 10), Options);
    EXPECT_EQ(image.size(), QSize(20, 10));
}

TEST(Windows1252Test, DecodesTheHighBytesAndEncodesBack) {
    const std::string bytes =
        "Coolant temp [\xB0"
        "C] \x80 \x96 \x81";
    const QString text = FromWindows1252(bytes);
    EXPECT_EQ(text, QString::fromUtf8("Coolant temp [\u00B0C] \u20AC \u2013 \u0081"));
    EXPECT_EQ(ToWindows1252(text), bytes);
    EXPECT_EQ(ToWindows1252(QString::fromUtf8("\u4E2D")), "?");
}

}  // namespace
}  // namespace kelvane
