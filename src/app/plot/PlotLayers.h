#pragma once

#include <QFont>
#include <QImage>
#include <QPen>
#include <QPoint>
#include <QRect>
#include <QSize>
#include <QString>
#include <cstdint>
#include <string>
#include <vector>

#include "core/display/ColorTable.h"
#include "core/ground/WorkerPool.h"
#include "core/maps/MapAxes.h"
#include "core/plot/AxisLabels.h"
#include "core/plot/PlotDisplay.h"
#include "core/plot/PlotGeometry.h"
#include "core/plot/SampleMarks.h"

class QPainter;

namespace kelvane {

struct TKelvaneState;

// How the layers are drawn beyond what the state says (its ranges and
// display choices are drawn as they stand).
struct TPlotLayerOptions {
    // Device pixels to a pixel of the window: 2 on a high-density screen.
    qreal Scale = 1;
};

// The main image's seven layers, bottom to top, each ARGB32 premultiplied.
// Points, knock, selection and cursor cover the plot area (placed at its
// origin); grid and overlay cover the whole image; the AFR scale is a small
// box at AfrScaleOrigin (a null image when it is not shown). Positions and
// sizes are in window pixels; every image holds Scale device pixels to each
// of them (its device pixel ratio), so that text is sharp and lines are one
// device pixel wide on a high-density screen.
struct TPlotLayers {
    QImage Points;
    QImage Knock;
    QImage Overlay;
    QImage Selection;
    QImage Grid;
    QImage AfrScale;
    QImage Cursor;
    QPoint PlotOrigin{PlotMarginLeft, PlotMarginTop};
    QPoint AfrScaleOrigin;
    QSize ImageSize;
    qreal Scale = 1;

    // Per-pixel scratch of the points pass, kept between refreshes: the count
    // of the coloured samples with the sum of their plotted AFR (their mean is
    // Sum / Count), and the grey flag.
    struct TPixelMean {
        double Sum;
        std::uint32_t Count;
    };
    std::vector<TPixelMean> Means;
    std::vector<std::uint8_t> Grey;
    // Samples gathered by dot centre first, one grid per dot diameter (with a
    // margin for dots centred just outside the layer), so that every distinct
    // dot is spread over its pixels once however many samples share it.
    struct TDotCentres {
        int Diameter = 0;
        int Margin = 0;
        int Width = 0;
        int Height = 0;
        bool Used = false;  // by the refresh under way
        // One record per centre, so that gathering a sample costs one cache
        // miss. Every cell is zero again when a refresh ends: the spreading
        // clears the cells it reads, instead of the next refresh clearing
        // the whole grid.
        struct TCell {
            double Sum;
            std::uint32_t Count;
            std::uint32_t Grey;
        };
        std::vector<TCell> Cells;
    };
    std::vector<TDotCentres> Centres;
    // Every sample's dot as the parallel ranges of the points pass work it
    // out, one record per sample (the paint None: no dot), gathered into the
    // centre grids afterwards.
    struct TDotSample {
        double Value;  // plotted AFR
        TPixelPoint Centre;
        int Diameter;
        TDotPaint Paint;
    };
    std::vector<TDotSample> Dots;
    // Knock markers found while gathering the dots, stamped afterwards in log order.
    struct TKnockMark {
        TPixelPoint Centre;
        TKnockMarker Marker;
    };
    std::vector<TKnockMark> KnockMarks;
    // What each range of samples found besides its records, before the
    // ranges are joined: its knock markers and the diameters it uses, each in
    // the order met.
    struct TPartDots {
        std::vector<TKnockMark> KnockMarks;
        std::vector<int> Diameters;
    };
    std::vector<TPartDots> Parts;

    // What the grid and overlay layers show: every line and every placed
    // text. A refresh that would draw a layer exactly as it is keeps it, so
    // most refreshes draw no text at all.
    struct TPlacedLabel {
        int X, Y;
        std::string Text;
        bool Small = false;  // in the small font
        bool operator==(const TPlacedLabel&) const = default;
    };
    struct TTextLayerContent {
        QSize Size;
        QRect PlotRect;
        std::vector<int> Lines;
        std::vector<TPlacedLabel> Labels;
        TAxisTitles Titles;  // the grid layer's only
        bool operator==(const TTextLayerContent&) const = default;
    };
    TTextLayerContent GridContent;
    TTextLayerContent OverlayContent;
};

// A pen one device pixel wide whatever the device pixel ratio.
QPen Hairline(const QColor& colour);

// The font of labels and printed values.
QFont PlotFont();
// The font of printed values that do not fit their cell in PlotFont.
QFont SmallPlotFont();

// Each layer on its own, so that a window can redraw only what changed.
void DrawGridLayer(TPlotLayers& layers, const TPlotGeometry& geometry, const TAxisTitles& titles);
// Knock markers take display.KnockAlpha in the LH view, opaque in the EZK view.
// The samples are shared out among the pool's threads; the layers come out
// the same whatever their number.
void DrawPointsAndKnockLayers(TPlotLayers& layers, const TPlotGeometry& geometry, const TKelvaneState& state,
                              const TColorTable& colors, const TPlotDisplay& display,
                              TWorkerPool& pool = SharedWorkerPool());
// The points layer coloured again from the per-pixel means its last drawing
// kept, without gathering the samples: for a change of the colour scale
// alone. False when there is no such drawing to colour.
bool RecolourPointsLayer(TPlotLayers& layers, const TColorTable& colors);
void DrawOverlayLayer(TPlotLayers& layers, const TPlotGeometry& geometry, const TKelvaneState& state,
                      TMapOverlay overlay);
// Draws the box when display.ShowAfrScale is on, otherwise clears it.
void DrawAfrScaleLayer(TPlotLayers& layers, const TPlotGeometry& geometry, const TColorTable& colors,
                       const TPlotDisplay& display);
// Sizes the selection and cursor layers and clears them for their painters.
void ClearSelectionAndCursorLayers(TPlotLayers& layers, const TPlotGeometry& geometry);

// One knock marker drawn as a path centred on (x, y). The knock layer's
// markers cover the same pixels; a translucent one darkens each pixel once,
// also where its diagonals cross.
void DrawKnockMarkerPath(QPainter& painter, TKnockMarker marker, int pointSize, int x, int y, int alpha);

// The plot's geometry for an image of the given size, its left margin sized
// to the load labels in PlotFont.
TPlotGeometry LayerGeometry(const TKelvaneState& state, QSize size);

// All layers for an image of the given size; returns the geometry they used.
TPlotGeometry DrawPlotLayers(TPlotLayers& layers, const TKelvaneState& state, const TColorTable& colors,
                             QSize size, const TPlotLayerOptions& options);

// The layers blended over a white background; a window that paints the
// cursor layer itself leaves it out.
enum class TCursorLayer { Included, Left };
QImage ComposePlot(const TPlotLayers& layers, TCursorLayer cursor = TCursorLayer::Included);

// The plot with a strip at its top that carries the caption (the files shown).
QImage CaptionedPlotImage(const QImage& plot, const QString& caption);

// Every layer drawn and composed in one call.
QImage RenderPlot(const TKelvaneState& state, const TColorTable& colors, QSize size,
                  const TPlotLayerOptions& options);

}  // namespace kelvane
