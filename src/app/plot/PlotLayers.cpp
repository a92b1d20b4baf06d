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
// -d/2 to -d/2 + d, keeping the pixels nearer than d/2 to the centre. Offsets
// are kept as steps through the row-major pixel arrays too, for dots that lie
// wholly inside the layer.
struct TDisc {
    int Diameter = -1;
    int Reach = 0;  // largest offset in any direction
    std::vector<QPoint> Offsets;
    std::vector<std::ptrdiff_t> Steps;
};

const TDisc& DiscOf(std::vector<TDisc>& cache, int diameter, int width) {
    for (const TDisc& disc : cache)
        if (disc.Diameter == diameter) return disc;
    TDisc disc;
    disc.Diameter = diameter;
    const int half = diameter / 2;
    disc.Reach = std::max(half, diameter - half);
    for (int dy = -half; dy <= diameter - half; ++dy)
        for (int dx = -half; dx <= diameter - half; ++dx)
            if (4 * (dx * dx + dy * dy) < diameter * diameter) {
                disc.Offsets.emplace_back(dx, dy);
                disc.Steps.push_back(static_cast<std::ptrdiff_t>(dy) * width + dx);
            }
    cache.push_back(std::move(disc));
    return cache.back();
}

// Coloured samples added to a pixel. The mean is taken once per pixel when
// the layer is coloured: a division per covered pixel and sample would chain
// through memory wherever dots pile up, and dominated the whole refresh.
inline void AddToMean(TPlotLayers::TPixelMean& pixel, double sum, std::uint32_t count) {
    pixel.Sum += sum;
    pixel.Count += count;
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
    layers.Means.assign(pixels, TPlotLayers::TPixelMean{0.0, 0});
    layers.Grey.assign(pixels, 0);
    TPlotLayers::TPixelMean* means = layers.Means.data();
    std::uint8_t* grey = layers.Grey.data();

    const TPlotContext context = state.PlotContext();
    const TSampleBinner binner(context);
    const int pointSize = state.Settings.PlotPointSize;
    std::vector<TDisc> discs;

    // Gather the samples by dot centre and diameter.
    for (TPlotLayers::TDotCentres& grid : layers.Centres) grid.Diameter = 0;
    auto centresOf = [&](int diameter) -> TPlotLayers::TDotCentres& {
        for (TPlotLayers::TDotCentres& grid : layers.Centres)
            if (grid.Diameter == diameter) return grid;
        TPlotLayers::TDotCentres* grid = nullptr;
        for (TPlotLayers::TDotCentres& unused : layers.Centres)
            if (unused.Diameter == 0) grid = &unused;
        if (!grid) grid = &layers.Centres.emplace_back();
        grid->Diameter = diameter;
        grid->Margin = DiscOf(discs, diameter, width).Reach;
        grid->Width = width + 2 * grid->Margin;
        grid->Height = height + 2 * grid->Margin;
        const std::size_t cells =
            static_cast<std::size_t>(grid->Width) * static_cast<std::size_t>(grid->Height);
        grid->Sum.assign(cells, 0.0);
        grid->Count.assign(cells, 0);
        grid->Grey.assign(cells, 0);
        return *grid;
    };
    int lastDiameter = -1;
    TPlotLayers::TDotCentres* grid = nullptr;
    for (const TLogDataEntry& e : state.Logs.Data.Entries) {
        const double v = binner.PlottedAfr(e);
        const TDotPaint paint = SampleDotPaint(e, v, state.Display);
        if (paint == TDotPaint::None) continue;
        const int diameter = DotDiameter(e, pointSize);
        if (diameter != lastDiameter) {
            grid = &centresOf(diameter);
            lastDiameter = diameter;
        }
        const TPixelPoint c = g.SamplePixel(e);
        const int gx = c.X + grid->Margin, gy = c.Y + grid->Margin;
        if (gx < 0 || gy < 0 || gx >= grid->Width || gy >= grid->Height) continue;
        const std::size_t i = static_cast<std::size_t>(gy) * static_cast<std::size_t>(grid->Width) +
                              static_cast<std::size_t>(gx);
        if (paint == TDotPaint::Coloured) {
            grid->Sum[i] += v;
            ++grid->Count[i];
        } else {
            grid->Grey[i] = 1;
        }
    }

    // Spread every distinct dot over the pixels it covers.
    for (const TPlotLayers::TDotCentres& centres : layers.Centres) {
        if (centres.Diameter == 0) continue;
        const TDisc& disc = DiscOf(discs, centres.Diameter, width);
        const int r = disc.Reach;
        for (int gy = 0; gy < centres.Height; ++gy) {
            const std::size_t row = static_cast<std::size_t>(gy) * static_cast<std::size_t>(centres.Width);
            for (int gx = 0; gx < centres.Width; ++gx) {
                const std::size_t i = row + static_cast<std::size_t>(gx);
                const std::uint32_t n = centres.Count[i];
                const bool isGrey = centres.Grey[i] != 0;
                if (n == 0 && !isGrey) continue;
                const double sum = centres.Sum[i];
                const int cx = gx - centres.Margin, cy = gy - centres.Margin;
                const bool inside = cx - r >= 0 && cy - r >= 0 && cx + r < width && cy + r < height;
                if (inside) {
                    const std::ptrdiff_t centre = static_cast<std::ptrdiff_t>(cy) * width + cx;
                    for (const std::ptrdiff_t step : disc.Steps) {
                        if (n) AddToMean(means[centre + step], sum, n);
                        if (isGrey) grey[centre + step] = 1;
                    }
                    continue;
                }
                for (const QPoint& offset : disc.Offsets) {
                    const int px = cx + offset.x(), py = cy + offset.y();
                    if (px < 0 || py < 0 || px >= width || py >= height) continue;
                    const std::ptrdiff_t p = static_cast<std::ptrdiff_t>(py) * width + px;
                    if (n) AddToMean(means[p], sum, n);
                    if (isGrey) grey[p] = 1;
                }
            }
        }
    }

    // Neighbouring pixels of one dot share their mean; remember the last lookup.
    double lastMean = 0;
    QRgb lastColor = 0;
    bool haveLast = false;
    for (int y = 0; y < height; ++y) {
        auto* line = reinterpret_cast<QRgb*>(layers.Points.scanLine(y));
        const std::size_t row = static_cast<std::size_t>(y) * static_cast<std::size_t>(width);
        for (int x = 0; x < width; ++x) {
            const std::size_t i = row + static_cast<std::size_t>(x);
            if (means[i].Count > 0) {
                const double mean = means[i].Sum / means[i].Count;
                if (!haveLast || mean != lastMean) {
                    lastMean = mean;
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
