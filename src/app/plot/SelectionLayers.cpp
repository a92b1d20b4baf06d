#include "app/plot/SelectionLayers.h"

#include <QPainter>
#include <QPolygonF>
#include <cmath>

#include "core/plot/KnockEvaluation.h"
#include "core/plot/SampleBinner.h"
#include "core/plot/SampleMarks.h"
#include "core/state/KelvaneState.h"

namespace kelvane {

namespace {

const QColor ExcludedGrey(128, 128, 128);

// Sized in device pixels, scale of them to a window pixel; painters on it
// work in window pixels.
void Reset(QImage& layer, const TPlotGeometry& g, qreal scale) {
    const QSize size(std::max(1, static_cast<int>(std::lround(g.PlotWidth() * scale))),
                     std::max(1, static_cast<int>(std::lround(g.PlotHeight() * scale))));
    if (layer.size() != size) layer = QImage(size, QImage::Format_ARGB32_Premultiplied);
    layer.setDevicePixelRatio(scale);
    layer.fill(Qt::transparent);
}

QRect CellRectOf(const TPlotGeometry& g, const TSelectionItem& item) {
    const TPixelRect r = g.CellRect(item.Row, item.Column);
    return QRect(QPoint(r.Left, r.Top), QPoint(r.Right, r.Bottom));
}

// The sample's dot grown by a pixel all round, as a 33-point polygon.
QPolygonF Circle(TPixelPoint centre, double radius) {
    QPolygonF polygon;
    for (int k = 0; k <= 32; ++k) {
        const double angle = 2 * M_PI * k / 32;
        polygon << QPointF(centre.X + radius * std::cos(angle), centre.Y + radius * std::sin(angle));
    }
    return polygon;
}

// Draws the highlighted dot of a sample; false when the sample shows no dot.
bool DrawSampleCircle(QPainter& painter, const TPlotGeometry& g, const TKelvaneState& state,
                      const TColorTable& colors, const TSampleBinner& binner, std::size_t index) {
    const TLogDataEntry& entry = state.Logs.Data[index];
    const double value = binner.PlottedAfr(entry);
    if (value == 0) return false;
    const int diameter = DotDiameter(entry, state.Settings.PlotPointSize);
    if (diameter < 1) return false;
    const bool grey = !entry.Included || value == MissingValue;
    const QColor fill = grey ? ExcludedGrey : QColor::fromRgba(ColorLookup(colors, 255, value));
    painter.setPen(Hairline(Qt::black));
    painter.setBrush(fill);
    painter.drawPolygon(Circle(g.SamplePixel(entry), diameter / 2.0 + 1));
    return true;
}

}  // namespace

void DrawSelectionLayer(TPlotLayers& layers, const TPlotGeometry& g, const TKelvaneState& state,
                        const TColorTable& colors) {
    Reset(layers.Selection, g, layers.Scale);
    const TSelection& selection = state.Selection;
    if (selection.Empty() || state.Logs.Data.Empty()) return;
    QPainter painter(&layers.Selection);
    painter.fillRect(layers.Selection.rect(), QColor(255, 255, 255, state.PlotDisplay.FogAlpha));
    if (selection.Kind == SelectionKindCell) {
        painter.setCompositionMode(QPainter::CompositionMode_Clear);
        for (const TSelectionItem& item : selection.Items)
            painter.fillRect(CellRectOf(g, item), Qt::transparent);
        return;
    }
    const TPlotContext context = state.PlotContext();
    const TSampleBinner binner(context);
    painter.setRenderHint(QPainter::Antialiasing);
    for (const TSelectionItem& item : selection.Items) {
        if (!ValidSampleIndex(state.Logs.Data, item.SampleIndex)) continue;
        const auto index = static_cast<std::size_t>(item.SampleIndex);
        if (!DrawSampleCircle(painter, g, state, colors, binner, index)) continue;
        if (!IsKnockEvent(state.Logs.Data, index, TKnockAdjustment::IfIncluded, binner)) continue;
        const TPixelPoint c = g.SamplePixel(state.Logs.Data[index]);
        painter.setPen(Hairline(Qt::black));
        painter.drawLine(c.X - 4, c.Y - 4, c.X + 4, c.Y + 4);
        painter.drawLine(c.X - 4, c.Y + 4, c.X + 4, c.Y - 4);
    }
}

void DrawCursorLayer(TPlotLayers& layers, const TPlotGeometry& g, const TKelvaneState& state,
                     const TColorTable& colors, const THover& hover) {
    Reset(layers.Cursor, g, layers.Scale);
    QPainter painter(&layers.Cursor);
    painter.setPen(Hairline(Qt::black));
    painter.setBrush(Qt::NoBrush);
    const TSelection& selection = state.Selection;
    if (selection.Kind == SelectionKindCell)
        for (const TSelectionItem& item : selection.Items)
            painter.drawRect(CellRectOf(g, item).adjusted(0, 0, -1, -1));
    if (!hover.InPlot) return;
    if (hover.CellMode) {
        if (selection.Empty())
            painter.drawRect(CellRectOf(g, TSelectionItem::Cell(hover.Cell.Row, hover.Cell.Column))
                                 .adjusted(0, 0, -1, -1));
        return;
    }
    if (!ValidSampleIndex(state.Logs.Data, hover.Sample)) return;
    const auto index = static_cast<std::size_t>(hover.Sample);
    const TPlotContext context = state.PlotContext();
    const TSampleBinner binner(context);
    painter.setRenderHint(QPainter::Antialiasing);
    if (!DrawSampleCircle(painter, g, state, colors, binner, index)) return;
    const TKnockMarker marker = SampleKnockMarker(state.Logs.Data, index, binner, state.Settings.KnockLimits);
    if (marker == TKnockMarker::None) return;
    const TPixelPoint c = g.SamplePixel(state.Logs.Data[index]);
    painter.setRenderHint(QPainter::Antialiasing, false);
    DrawKnockMarkerPath(painter, marker, state.Settings.PlotPointSize, c.X, c.Y, 255);
}

}  // namespace kelvane
