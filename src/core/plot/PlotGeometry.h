#pragma once

#include <array>
#include <cmath>
#include <cstddef>

#include "core/logdata/KelvaneDefs.h"
#include "core/maps/MapAxes.h"
#include "core/plot/DisplayOptions.h"
#include "core/plot/PlotDisplay.h"

namespace kelvane {

// Margins between the image's edges and the plot area. The left and top
// ones are the least the labels get; wider labels and the axis titles widen
// them (TitledMargins).
constexpr int PlotMarginLeft = 28;
constexpr int PlotMarginTop = 25;
constexpr int PlotMarginRight = 10;
constexpr int PlotMarginBottom = 5;

struct TPlotMargins {
    int Left = PlotMarginLeft;
    int Top = PlotMarginTop;
    bool operator==(const TPlotMargins&) const = default;
};

struct TPixelPoint {
    int X = 0;
    int Y = 0;
    bool operator==(const TPixelPoint&) const = default;
};

// Edges in pixels; Right and Bottom are the far edges' positions.
struct TPixelRect {
    int Left = 0;
    int Top = 0;
    int Right = 0;
    int Bottom = 0;
    bool operator==(const TPixelRect&) const = default;
};

// A pixel position rounded half to even, kept within a range any image can
// use, so that wild log values never overflow the conversion.
int PixelOf(double position);

// The ranges with each maximum at least one unit above its minimum.
TPlotRanges WidenedPlotRanges(TPlotRanges ranges);

// The plot's coordinate system for one image size: value <-> pixel in both
// views, cell rectangles and label positions. Plot-area coordinates run from
// 0 to PlotWidth / PlotHeight; engine speed grows to the right, load downward.
class TPlotGeometry {
  public:
    TPlotGeometry(const TMapAxes& axes, const TPlotRanges& ranges, TPlotView view, bool gridFormat,
                  int imageWidth, int imageHeight, TPlotMargins margins = {});

    int ImageWidth() const { return FImageWidth; }
    int ImageHeight() const { return FImageHeight; }
    int PlotLeft() const { return FMargins.Left; }
    int PlotTop() const { return FMargins.Top; }
    int PlotWidth() const { return FPlotWidth; }
    int PlotHeight() const { return FPlotHeight; }
    TPlotView View() const { return FView; }
    // The EZK view always uses the cell format.
    bool GridFormat() const { return FGridFormat; }
    const TPlotRanges& Ranges() const { return FRanges; }
    const TMapAxes& Axes() const { return FAxes; }

    // Plot-area positions, unrounded and rounded.
    double RpmPosition(double rpm) const;
    int RpmToX(double rpm) const { return PixelOf(RpmPosition(rpm)); }
    double LoadPixel(double load) const;  // by view: LoadPosition (LH) or the linear EZK scale
    int LoadToY(double load) const { return PixelOf(LoadPixel(load)); }

    // Values at plot-area positions: engine speed across, the EZK view's
    // load percent down (linear).
    double RpmAt(double x) const;
    double EzkLoadAt(double y) const;

    // LH vertical mapping: 0 at PlotMinLoad, 1 at PlotMaxLoad, every interval
    // between neighbouring load breakpoints the same height.
    double LoadPosition(double plotMaf) const;
    double LoadFromPosition(double position) const;

    // Where a sample's dot is centred: Rpm against PlotMaf (LH) or Load (EZK).
    TPixelPoint SamplePixel(const TLogDataEntry& entry) const;

    // Cell of the grid on view in plot-area coordinates, clipped to the plot.
    TPixelRect CellRect(int row, int column) const;

    // Image coordinates of a cell's label or printed value.
    int CellLabelX(int rpmIndex) const;
    int CellLabelY(int loadIndex) const;

    const TMapAxis& RpmAxis() const { return FView == TPlotView::EZK ? FAxes.EZKRpm : FAxes.LHRpm; }
    const TMapAxis& LoadAxis() const { return FView == TPlotView::EZK ? FAxes.EZKLoad : FAxes.LHLoad; }
    const TCellBounds& RpmBounds() const {
        return FView == TPlotView::EZK ? FAxes.EZKRpmBounds : FAxes.LHRpmBounds;
    }
    const TCellBounds& LoadBounds() const {
        return FView == TPlotView::EZK ? FAxes.EZKLoadBounds : FAxes.LHLoadBounds;
    }

  private:
    friend class TSamplePixelMapper;
    double RawLoad(double v) const;

    TMapAxes FAxes;
    TPlotRanges FRanges;
    TPlotView FView;
    bool FGridFormat;
    int FImageWidth, FImageHeight;
    TPlotMargins FMargins;
    int FPlotWidth, FPlotHeight;
    double FRawMin = 0, FRawMax = 1;
};

// SamplePixel for passes over many samples: a multiply-add per axis (one
// per load interval in the LH view) instead of chained divisions. Where the
// short form lands near a rounding tie, or the plot's scales are too extreme
// to bound its error, SamplePixel's own arithmetic decides, so both always
// give the same pixel.
class TSamplePixelMapper {
  public:
    explicit TSamplePixelMapper(const TPlotGeometry& geometry);

    TPixelPoint operator()(const TLogDataEntry& entry) const {
        const double load = FEzk ? entry.Load : entry.PlotMaf;
        int k = 0;
        if (!FEzk) {
            // The load interval as RawLoad finds it: the first breakpoint above.
            int below = 1;
            k = 1;
            for (int j = 1; j < 15; ++j) {
                below &= static_cast<int>(load >= FBreakpoints[static_cast<std::size_t>(j)]);
                k += below;
            }
        }
        int x = 0, y = 0;
        const bool fast =
            FFast && Rounded(entry.Rpm * FXScale + FXOffset, x) &&
            Rounded(load * FYScale[static_cast<std::size_t>(k)] + FYOffset[static_cast<std::size_t>(k)], y);
        if (!fast) return FGeometry.SamplePixel(entry);
        return {x, y};
    }

  private:
    // Rounds a position unless it lies near a tie or far off the image. Away
    // from ties the nearest pixel is the floor of position + 0.5, taken by
    // truncating a shifted positive value instead of a library call.
    static bool Rounded(double position, int& pixel) {
        if (!(position > -1e5 && position < 1e5)) return false;
        const double shifted = position + 100000.5;
        const int floor = static_cast<int>(shifted);
        const double fraction = shifted - floor;
        if (fraction < 1e-6 || fraction > 1 - 1e-6) return false;
        pixel = floor - 100000;
        return true;
    }

    const TPlotGeometry& FGeometry;
    bool FEzk = false;
    bool FFast = false;
    double FXScale = 0, FXOffset = 0;
    std::array<double, 16> FBreakpoints{};
    std::array<double, 16> FYScale{}, FYOffset{};  // by interval k (LH), or [0] (EZK)
};

// The same plot in a finer grid of pixels, factor of them to each of the
// geometry's own (a high-density screen's device pixels): the margins and the
// plot area scaled and rounded, the values over the same ranges.
TPlotGeometry ScaledPlotGeometry(const TPlotGeometry& geometry, double factor);

TPlotGeometry MakePlotGeometry(const TMapAxes& axes, const TDisplayOptions& options,
                               const TPlotRanges& ranges, const TPlotDisplay& display, int imageWidth,
                               int imageHeight, TPlotMargins margins = {});

}  // namespace kelvane
