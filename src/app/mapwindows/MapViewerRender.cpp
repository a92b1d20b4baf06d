#include "app/mapwindows/MapViewerRender.h"

#include <QPainter>
#include <QPolygonF>

namespace kelvane {

namespace {

QPolygonF PolygonOf(const std::vector<TScreenPoint>& points) {
    QPolygonF polygon;
    polygon.reserve(static_cast<qsizetype>(points.size()));
    for (const TScreenPoint& point : points) polygon << QPointF(point.X, point.Y);
    return polygon;
}

// Drawn in device pixels: the ratio is set on the layer once it is drawn.
void PrepareLayer(QImage& layer, QSize size) {
    if (layer.size() != size) layer = QImage(size, QImage::Format_ARGB32_Premultiplied);
    layer.setDevicePixelRatio(1);
    layer.fill(Qt::transparent);
}

}  // namespace

void TMapViewerRender::Rebuild(const TMapGrid& map, TPlotView view, const TFuelLimits& limits,
                               TSurfaceStyle style) {
    BuildSurface(FScene, map, style);
    FScene.Z = SurfaceZRange(FScene, view, limits);
    if (style.Gradient && !style.Color) {
        FTexture = BuildTexture(map, MapViewerColorTable());
        ++FTextureBuilds;
    }
}

void TMapViewerRender::RotateAndRender(QSize widgetSize, double hDegrees, double vDegrees,
                                       const TAfterPrimitive& afterPrimitive, qreal ratio) {
    const QSize size = (QSizeF(widgetSize) * ratio).toSize();
    PrepareLayer(FBackLayer, size);
    PrepareLayer(FFrontLayer, size);
    const auto markRatio = [&] {
        FBackLayer.setDevicePixelRatio(ratio);
        FFrontLayer.setDevicePixelRatio(ratio);
    };
    if (size.isEmpty()) return markRatio();
    BuildCage(FScene, hDegrees, vDegrees);
    RotateScene(FScene, hDegrees);
    SortFacesBackToFront(FScene.Faces);
    const TProjection projection(size.width(), size.height(), vDegrees, FScene.Z);
    const TRotation rotation(hDegrees);

    QPainter painter;
    // Slow refresh shows each primitive as it lands: the layer is let go meanwhile.
    const auto after = [&](QImage& layer) {
        if (!afterPrimitive) return;
        painter.end();
        markRatio();
        afterPrimitive();
        FBackLayer.setDevicePixelRatio(1);
        FFrontLayer.setDevicePixelRatio(1);
        painter.begin(&layer);
    };
    const auto drawLines = [&](const std::vector<TShape>& lines, QImage& layer) {
        for (const TShape& line : lines) {
            painter.setPen(QColor::fromRgba(line.Outline));
            painter.drawPolyline(PolygonOf(ProjectShape(line, projection)));
            after(layer);
        }
    };

    painter.begin(&FBackLayer);
    drawLines(FScene.BackLines, FBackLayer);
    painter.end();

    // The texture is written straight into the layer's pixels, between the painter's outlines.
    const TPixelTarget target{reinterpret_cast<std::uint32_t*>(FFrontLayer.bits()), size.width(),
                              size.height(), static_cast<int>(FFrontLayer.bytesPerLine() / 4)};
    painter.begin(&FFrontLayer);
    for (const TShape& face : FScene.Faces) {
        const std::vector<TScreenPoint> points = ProjectShape(face, projection);
        const QPolygonF polygon = PolygonOf(points);
        const TColor32 fill = DrawnFill(face, SignedArea(points));
        painter.setPen(QColor::fromRgba(face.Outline));
        if (fill == NoFill || fill == TextureFill) {
            if (fill == TextureFill && face.Vertices.size() == 4 && !FTexture.empty())
                PaintFaceTexture(face, rotation, projection, FTexture, target);
            painter.setBrush(Qt::NoBrush);
        } else {
            painter.setBrush(QColor::fromRgba(fill));
        }
        painter.drawPolygon(polygon);
        after(FFrontLayer);
    }
    painter.setBrush(Qt::NoBrush);
    drawLines(FScene.FrontLines, FFrontLayer);
    painter.end();
    markRatio();
}

QImage TMapViewerRender::Composed() const {
    QImage image(FBackLayer.size(), QImage::Format_RGB32);
    image.setDevicePixelRatio(FBackLayer.devicePixelRatio());
    image.fill(Qt::white);
    QPainter painter(&image);
    painter.drawImage(0, 0, FBackLayer);
    painter.drawImage(0, 0, FFrontLayer);
    return image;
}

}  // namespace kelvane
