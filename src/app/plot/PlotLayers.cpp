#include "app/plot/PlotLayers.h"

#include <QFontMetrics>
#include <QPainter>
#include <QPainterPath>
#include <QPen>
#include <algorithm>
#include <cmath>
#include <string_view>

#include "core/plot/SampleBinner.h"
#include "core/shell/KelvaneState.h"

namespace kelvane {

namespace {

constexpr QRgb GreyDot = 0xFFBFBFBFu;

QImage ClearImage(int width, int height) {
    QImage image(std::max(0, width), std::max(0, height), QImage::Format_ARGB32_Premultiplied);
    image.fill(Qt::transparent);
    return image;
}

QString Text(const std::string& text) {
    return QString::fromLatin1(text.data(), static_cast<qsizetype>(text.size()));
}

TTextWidth WidthOf(const QFontMetrics& metrics) {
    return [&metrics](std::string_view text) {
        return metrics.horizontalAdvance(
            QString::fromLatin1(text.data(), static_cast<qsizetype>(text.size())));
    };
}

// Pixel offsets of a dot of diameter d around its centre: the square from
// -d/2 to -d/2 + d, keeping the pixels nearer than d/2 to the centre.
struct TDisc {
    int Diameter = -1;
    std::vector<QPoint> Offsets;
};

const TDisc& DiscOf(std::vector<TDisc>& cache, int diameter) {
    for (const TDisc& disc : cache)
        if (disc.Diameter == diameter) return disc;
    TDisc disc;
    disc.Diameter = diameter;
    const int half = diameter / 2;
    for (int dy = -half; dy <= diameter - half; ++dy)
        for (int dx = -half; dx <= diameter - half; ++dx)
            if (4 * (dx * dx + dy * dy) < diameter * diameter) disc.Offsets.emplace_back(dx, dy);
    cache.push_back(std::move(disc));
    return cache.back();
}

}  // namespace

QFont PlotFont() {
    QFont font(QStringLiteral("Sans Serif"));
    font.setPixelSize(11);
    return font;
}

void DrawGridLayer(TPlotLayers& layers, const TPlotGeometry& g) {
    layers.Grid = ClearImage(g.ImageWidth(), g.ImageHeight());
    if (g.PlotWidth() <= 0 || g.PlotHeight() <= 0) return;
    QPainter painter(&layers.Grid);
    const QFont font = PlotFont();
    painter.setFont(font);
    const QFontMetrics metrics(font);
    const TGridLayout layout = GridLayout(g, WidthOf(metrics), metrics.height());

    const int left = g.PlotLeft(), top = g.PlotTop();
    const int right = left + g.PlotWidth(), bottom = top + g.PlotHeight();
    painter.setPen(QPen(QColor(0, 0, 0, 0x30), 1));
    for (int x : layout.VerticalLines) painter.drawLine(x, top + 1, x, bottom - 1);
    for (int y : layout.HorizontalLines) painter.drawLine(left + 1, y, right - 1, y);

    painter.setPen(QPen(Qt::black, 1));
    painter.drawRect(left, top, g.PlotWidth(), g.PlotHeight());
    const int textHeight = metrics.height();
    for (const TAxisLabel& label : layout.RpmLabels) {
        const QString text = Text(label.Text);
        const int width = metrics.horizontalAdvance(text);
        painter.drawText(QRect(label.Position - width / 2, top - 2 - textHeight, width, textHeight),
                         Qt::AlignCenter, text);
    }
    for (const TAxisLabel& label : layout.LoadLabels) {
        const QString text = Text(label.Text);
        const int width = metrics.horizontalAdvance(text);
        painter.drawText(QRect(left - 2 - width, label.Position - textHeight / 2, width, textHeight),
                         Qt::AlignCenter, text);
    }
}

void DrawPointsAndKnockLayers(TPlotLayers& layers, const TPlotGeometry& g, const TKelvaneState& state,
                              const TColorTable& colors, const TPlotDisplay& display) {
    const int width = g.PlotWidth(), height = g.PlotHeight();
    layers.Points = ClearImage(width, height);
    layers.Knock = ClearImage(width, height);
    if (width <= 0 || height <= 0) return;

    const std::size_t pixels = static_cast<std::size_t>(width) * static_cast<std::size_t>(height);
    layers.Count.assign(pixels, 0);
    layers.Mean.assign(pixels, 0.0f);
    layers.Grey.assign(pixels, 0);
    std::uint32_t* count = layers.Count.data();
    float* mean = layers.Mean.data();
    std::uint8_t* grey = layers.Grey.data();

    const TPlotContext context = state.PlotContext();
    const TSampleBinner binner(context);
    const int pointSize = state.Settings.PlotPointSize;
    std::vector<TDisc> discs;

    for (const TLogDataEntry& e : state.Logs.Data.Entries) {
        const double v = binner.PlottedAfr(e);
        const TDotPaint paint = SampleDotPaint(e, v, state.Display);
        if (paint == TDotPaint::None) continue;
        const TPixelPoint centre = g.SamplePixel(e);
        const int d = DotDiameter(e, pointSize);
        if (centre.X + d < 0 || centre.Y + d < 0 || centre.X - d >= width || centre.Y - d >= height) continue;
        const TDisc& disc = DiscOf(discs, d);
        const bool inside =
            centre.X - d >= 0 && centre.Y - d >= 0 && centre.X + d < width && centre.Y + d < height;
        const float value = static_cast<float>(v);
        for (const QPoint& offset : disc.Offsets) {
            const int px = centre.X + offset.x(), py = centre.Y + offset.y();
            if (!inside && (px < 0 || py < 0 || px >= width || py >= height)) continue;
            const std::size_t i =
                static_cast<std::size_t>(py) * static_cast<std::size_t>(width) + static_cast<std::size_t>(px);
            if (paint == TDotPaint::Coloured) {
                const std::uint32_t n = ++count[i];
                const float fn = static_cast<float>(n);
                mean[i] = value / fn + static_cast<float>(n - 1) * mean[i] / fn;
            } else {
                grey[i] = 1;
            }
        }
    }

    // Neighbouring pixels of one dot share their mean; remember the last lookup.
    float lastMean = 0;
    QRgb lastColor = 0;
    bool haveLast = false;
    for (int y = 0; y < height; ++y) {
        auto* line = reinterpret_cast<QRgb*>(layers.Points.scanLine(y));
        const std::size_t row = static_cast<std::size_t>(y) * static_cast<std::size_t>(width);
        for (int x = 0; x < width; ++x) {
            const std::size_t i = row + static_cast<std::size_t>(x);
            if (count[i] > 0) {
                if (!haveLast || mean[i] != lastMean) {
                    lastMean = mean[i];
                    lastColor = ColorLookup(colors, 255, lastMean);
                    haveLast = true;
                }
                line[x] = lastColor;
            } else if (grey[i]) {
                line[x] = GreyDot;
            }
        }
    }

    if (!KnockMarkersShown(state.Display)) return;
    QPainter painter(&layers.Knock);
    const int alpha = g.View() == TPlotView::EZK ? 255 : std::clamp(display.KnockAlpha, 0, 255);
    const QColor black(0, 0, 0, alpha);
    const QPen thin(black, 1, Qt::SolidLine, Qt::SquareCap);
    const QPen thick(black, 4, Qt::SolidLine, Qt::SquareCap);
    const TLogData& data = state.Logs.Data;
    for (std::size_t index = 0; index < data.Count(); ++index) {
        const TKnockMarker marker = SampleKnockMarker(data, index, binner);
        if (marker == TKnockMarker::None) continue;
        const TPixelPoint c = g.SamplePixel(data[index]);
        const int s = KnockMarkerReach(marker, pointSize);
        // Both diagonals in one path, so a translucent marker is not darker where they cross.
        QPainterPath path;
        path.moveTo(c.X - s, c.Y - s);
        path.lineTo(c.X + s, c.Y + s);
        path.moveTo(c.X - s, c.Y + s);
        path.lineTo(c.X + s, c.Y - s);
        painter.setPen(marker == TKnockMarker::Large ? thick : thin);
        painter.drawPath(path);
    }
}

void DrawOverlayLayer(TPlotLayers& layers, const TPlotGeometry& g, const TKelvaneState& state,
                      TMapOverlay overlay) {
    layers.Overlay = ClearImage(g.ImageWidth(), g.ImageHeight());
    if (g.PlotWidth() <= 0 || g.PlotHeight() <= 0) return;
    const QFont font = PlotFont();
    const QFontMetrics metrics(font);
    const std::vector<TPlacedText> texts =
        OverlayTexts(state, g, overlay, WidthOf(metrics), metrics.height());
    if (texts.empty()) return;
    QPainter painter(&layers.Overlay);
    painter.setFont(font);
    const int ascent = metrics.ascent();
    // A white halo first, so the numbers stay readable over the dots.
    painter.setPen(QColor(255, 255, 255, 0xC0));
    for (const TPlacedText& t : texts) {
        const QString text = Text(t.Text);
        for (const QPoint offset : {QPoint(-1, -1), QPoint(1, -1), QPoint(-1, 1), QPoint(1, 1)})
            painter.drawText(t.Left + offset.x(), t.Top + ascent + offset.y(), text);
    }
    painter.setPen(Qt::black);
    for (const TPlacedText& t : texts) painter.drawText(t.Left, t.Top + ascent, Text(t.Text));
}

void DrawAfrScaleLayer(TPlotLayers& layers, const TPlotGeometry& g, const TColorTable& colors,
                       const TPlotDisplay& display) {
    const TPixelPoint origin =
        AfrScaleBoxOrigin(display.AfrScaleX, display.AfrScaleY, g.ImageWidth(), g.ImageHeight());
    layers.AfrScaleOrigin = QPoint(origin.X, origin.Y);
    if (!display.ShowAfrScale) {
        layers.AfrScale = QImage();
        return;
    }
    layers.AfrScale = ClearImage(AfrScaleWidth, AfrScaleHeight);
    QImage& box = layers.AfrScale;
    for (int i = 0; i <= AfrScaleBarSteps; ++i) {
        const QRgb color = ColorLookup(colors, 255, AfrScaleBarValue(colors, i));
        for (int y = AfrScaleBarTop; y <= AfrScaleBarBottom; ++y)
            reinterpret_cast<QRgb*>(box.scanLine(y))[AfrScaleBarLeft + i] = color;
    }
    QPainter painter(&box);
    painter.setPen(QPen(Qt::black, 1));
    painter.drawRect(AfrScaleBarLeft, 0, AfrScaleBarRight - AfrScaleBarLeft, AfrScaleBarBottom);
    const QFont font = PlotFont();
    painter.setFont(font);
    const QFontMetrics metrics(font);
    const int textHeight = metrics.height();
    for (const TAfrScaleTick& tick : AfrScaleTicks(colors)) {
        painter.setPen(QPen(Qt::black, 1));
        painter.drawLine(tick.X, AfrScaleBarTop, tick.X, AfrScaleBarBottom);
        const QString text = Text(tick.Text);
        const int width = metrics.horizontalAdvance(text);
        const QRect patch(tick.X - width / 2, AfrScaleHeight - textHeight, width, textHeight);
        painter.fillRect(patch, Qt::white);
        painter.drawText(patch, Qt::AlignCenter, text);
    }
}

void ClearSelectionAndCursorLayers(TPlotLayers& layers, const TPlotGeometry& g) {
    layers.Selection = ClearImage(g.PlotWidth(), g.PlotHeight());
    layers.Cursor = ClearImage(g.PlotWidth(), g.PlotHeight());
}

TPlotGeometry DrawPlotLayers(TPlotLayers& layers, const TKelvaneState& state, const TColorTable& colors,
                             QSize size, const TPlotLayerOptions& options) {
    const TPlotGeometry g =
        MakePlotGeometry(state, options.Ranges, options.Display, size.width(), size.height());
    layers.ImageSize = size;
    layers.PlotOrigin = QPoint(g.PlotLeft(), g.PlotTop());
    DrawGridLayer(layers, g);
    DrawPointsAndKnockLayers(layers, g, state, colors, options.Display);
    DrawOverlayLayer(layers, g, state, options.Display.Overlay);
    DrawAfrScaleLayer(layers, g, colors, options.Display);
    ClearSelectionAndCursorLayers(layers, g);
    return g;
}

QImage ComposePlot(const TPlotLayers& layers) {
    QImage image(layers.ImageSize, QImage::Format_ARGB32_Premultiplied);
    image.fill(Qt::white);
    QPainter painter(&image);
    auto draw = [&painter](const QPoint& at, const QImage& layer) {
        if (!layer.isNull()) painter.drawImage(at, layer);
    };
    draw(layers.PlotOrigin, layers.Points);
    draw(layers.PlotOrigin, layers.Knock);
    draw(QPoint(0, 0), layers.Overlay);
    draw(layers.PlotOrigin, layers.Selection);
    draw(QPoint(0, 0), layers.Grid);
    draw(layers.AfrScaleOrigin, layers.AfrScale);
    draw(layers.PlotOrigin, layers.Cursor);
    return image;
}

QImage RenderPlot(const TKelvaneState& state, const TColorTable& colors, QSize size,
                  const TPlotLayerOptions& options) {
    TPlotLayers layers;
    DrawPlotLayers(layers, state, colors, size, options);
    return ComposePlot(layers);
}

}  // namespace kelvane
