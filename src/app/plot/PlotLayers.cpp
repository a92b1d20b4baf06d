#include "app/plot/PlotLayers.h"

#include <QFontMetrics>
#include <QPainter>
#include <QPainterPath>
#include <QPen>
#include <algorithm>
#include <array>
#include <cmath>
#include <cstring>
#include <limits>
#include <string_view>

#include "app/plot/SelectionLayers.h"
#include "core/plot/AfrScaleLegend.h"
#include "core/plot/AxisLabels.h"
#include "core/plot/CellTexts.h"
#include "core/plot/SampleBinner.h"
#include "core/state/KelvaneState.h"

namespace kelvane {

namespace {

constexpr QRgb GreyDot = 0xFFBFBFBFu;

QImage ClearImage(int width, int height) {
    QImage image(std::max(0, width), std::max(0, height), QImage::Format_ARGB32_Premultiplied);
    image.fill(Qt::transparent);
    return image;
}

// Device pixels for a length in window pixels.
int DevicePixels(int pixels, qreal scale) {
    return std::max(0, static_cast<int>(std::lround(pixels * scale)));
}

// A layer of the same size is cleared in place: fresh images of several
// megabytes each cost their page faults again on every refresh. A caller
// that writes every pixel itself skips the clearing.
enum class TImageReset { Clear, KeepPixels };

// Width and height are in window pixels; the image gets scale device pixels
// to each, and that ratio, so that a painter on it works in window pixels.
void ResetImage(QImage& image, int width, int height, qreal scale, TImageReset reset = TImageReset::Clear) {
    width = DevicePixels(width, scale);
    height = DevicePixels(height, scale);
    if (image.width() == width && image.height() == height &&
        image.format() == QImage::Format_ARGB32_Premultiplied && !image.isNull()) {
        // One plain pass: QImage::fill may hand a large image to worker
        // threads, and on a busy machine waiting for them cost more than the
        // fill itself.
        if (reset == TImageReset::Clear)
            std::memset(image.bits(), 0, static_cast<std::size_t>(image.sizeInBytes()));
    } else {
        image = ClearImage(width, height);
    }
    image.setDevicePixelRatio(scale);
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

// Knock markers are stamped straight into the layer: QPainter draws each
// marker shape once, opaque, and its pixels are kept as offsets; the blend
// of the marker colour over each possible layer alpha is taken from QPainter
// too. Ninety thousand path draws took longer than the rest of the refresh,
// and a translucent path of thin lines came out darker where they cross.
// A sample can be a knock event only when it is included and either some
// cylinder's retard grew since the previous sample or, without retard
// readings, the knock counter rose. Most samples fail this test; only the
// others get the full evaluation, which cost a third of the points pass.
inline bool MayBeKnockEvent(const TLogDataEntry& entry, const TLogDataEntry& prev) {
    if (!entry.Included) return false;
    if (entry.KnockRetard[0] == MissingValue) return prev.KnockCount < entry.KnockCount;
    bool grew = false;
    for (std::size_t k = 0; k < KnockCylinders; ++k) grew |= entry.KnockRetard[k] > prev.KnockRetard[k];
    return grew;
}

struct TKnockStamp {
    std::vector<QPoint> Offsets;
};

QPen KnockPen(TKnockMarker marker, int alpha) {
    return QPen(QColor(0, 0, 0, alpha), marker == TKnockMarker::Large ? 4 : 1, Qt::SolidLine, Qt::SquareCap);
}

}  // namespace

void DrawKnockMarkerPath(QPainter& painter, TKnockMarker marker, int pointSize, int x, int y, int alpha) {
    const int s = KnockMarkerReach(marker, pointSize);
    QPainterPath path;
    path.moveTo(x - s, y - s);
    path.lineTo(x + s, y + s);
    path.moveTo(x - s, y + s);
    path.lineTo(x + s, y - s);
    painter.setPen(KnockPen(marker, alpha));
    painter.drawPath(path);
}

namespace {

// The marker as it covers device pixels, scale of them to a window pixel.
TKnockStamp KnockStampOf(TKnockMarker marker, int pointSize, qreal scale) {
    const int reach = KnockMarkerReach(marker, pointSize);
    const int centre = reach + 4;  // room for the thick pen's square ends
    const int deviceCentre = DevicePixels(centre, scale);
    QImage image(2 * deviceCentre + 1, 2 * deviceCentre + 1, QImage::Format_ARGB32_Premultiplied);
    image.fill(Qt::transparent);
    {
        QPainter painter(&image);
        painter.scale(scale, scale);
        DrawKnockMarkerPath(painter, marker, pointSize, centre, centre, 255);
    }
    TKnockStamp stamp;
    for (int y = 0; y < image.height(); ++y) {
        const auto* line = reinterpret_cast<const QRgb*>(image.constScanLine(y));
        for (int x = 0; x < image.width(); ++x)
            if (qAlpha(line[x]) != 0) stamp.Offsets.emplace_back(x - deviceCentre, y - deviceCentre);
    }
    if (stamp.Offsets.empty()) stamp.Offsets.emplace_back(0, 0);  // never met: keeps the cache filled
    return stamp;
}

// The layer holds only black of some alpha, so a marker pixel's result
// depends on the alpha below it alone.
std::array<QRgb, 256> KnockBlendTable(int alpha) {
    QImage strip(256, 1, QImage::Format_ARGB32_Premultiplied);
    auto* line = reinterpret_cast<QRgb*>(strip.scanLine(0));
    for (int i = 0; i < 256; ++i) line[i] = qRgba(0, 0, 0, i);
    {
        QPainter painter(&strip);
        painter.setPen(KnockPen(TKnockMarker::Small, alpha));
        painter.drawLine(0, 0, 255, 0);
    }
    std::array<QRgb, 256> table{};
    const auto* blended = reinterpret_cast<const QRgb*>(strip.constScanLine(0));
    for (int i = 0; i < 256; ++i) table[static_cast<std::size_t>(i)] = blended[i];
    return table;
}

struct TLayerPixels {
    explicit TLayerPixels(QImage& image)
        : Bits(image.bits()), Stride(image.bytesPerLine()), Width(image.width()), Height(image.height()) {}
    uchar* Bits;
    qsizetype Stride;
    int Width, Height;
};

void StampKnockMarker(const TLayerPixels& layer, const TKnockStamp& stamp, int x, int y,
                      const std::array<QRgb, 256>& blend) {
    for (const QPoint& offset : stamp.Offsets) {
        const int px = x + offset.x(), py = y + offset.y();
        if (px < 0 || py < 0 || px >= layer.Width || py >= layer.Height) continue;
        QRgb& pixel = reinterpret_cast<QRgb*>(layer.Bits + py * layer.Stride)[px];
        pixel = blend[qAlpha(pixel)];
    }
}

}  // namespace

QPen Hairline(const QColor& colour) {
    QPen pen(colour, 1);
    pen.setCosmetic(true);
    return pen;
}

QFont PlotFont() {
    QFont font(QStringLiteral("Sans Serif"));
    font.setPixelSize(11);
    return font;
}

QFont SmallPlotFont() {
    QFont font = PlotFont();
    font.setPixelSize(9);
    return font;
}

namespace {

// True when the layer already holds exactly this content; otherwise the
// content is taken as the layer's and the layer sized and cleared for it.
bool KeepOrReset(QImage& image, TPlotLayers::TTextLayerContent& drawn, TPlotLayers::TTextLayerContent content,
                 qreal scale) {
    const bool same = content == drawn && image.deviceIndependentSize() == QSizeF(content.Size) &&
                      image.devicePixelRatio() == scale && !image.isNull() &&
                      image.format() == QImage::Format_ARGB32_Premultiplied;
    if (same) return true;
    ResetImage(image, content.Size.width(), content.Size.height(), scale);
    drawn = std::move(content);
    return false;
}

}  // namespace

void DrawGridLayer(TPlotLayers& layers, const TPlotGeometry& g, const TAxisTitles& titles) {
    const QFont font = PlotFont();
    const QFontMetrics metrics(font);
    const int left = g.PlotLeft(), top = g.PlotTop();
    const int right = left + g.PlotWidth(), bottom = top + g.PlotHeight();
    const int textHeight = metrics.height();
    const bool drawable = g.PlotWidth() > 0 && g.PlotHeight() > 0;

    // Lines and labels where they go: vertical lines, a -1, horizontal lines;
    // labels give the top left corner of their text's box.
    TPlotLayers::TTextLayerContent content;
    content.Size = QSize(std::max(0, g.ImageWidth()), std::max(0, g.ImageHeight()));
    content.PlotRect = QRect(left, top, g.PlotWidth(), g.PlotHeight());
    if (drawable) {
        const TGridLayout layout = GridLayout(g, WidthOf(metrics), textHeight);
        content.Lines = layout.VerticalLines;
        content.Lines.push_back(-1);
        content.Lines.insert(content.Lines.end(), layout.HorizontalLines.begin(),
                             layout.HorizontalLines.end());
        for (const TAxisLabel& label : layout.RpmLabels) {
            const int width = metrics.horizontalAdvance(Text(label.Text));
            content.Labels.push_back({label.Position - width / 2, top - 2 - textHeight, label.Text});
        }
        for (const TAxisLabel& label : layout.LoadLabels) {
            const int width = metrics.horizontalAdvance(Text(label.Text));
            content.Labels.push_back({left - 2 - width, label.Position - textHeight / 2, label.Text});
        }
        content.Titles = titles;
    }
    if (KeepOrReset(layers.Grid, layers.GridContent, std::move(content), layers.Scale) || !drawable) return;

    QPainter painter(&layers.Grid);
    painter.setFont(font);
    painter.setPen(Hairline(QColor(0, 0, 0, 0x30)));
    bool vertical = true;
    for (int at : layers.GridContent.Lines) {
        if (at == -1) {
            vertical = false;
        } else if (vertical) {
            painter.drawLine(at, top + 1, at, bottom - 1);
        } else {
            painter.drawLine(left + 1, at, right - 1, at);
        }
    }
    painter.setPen(Hairline(Qt::black));
    painter.drawRect(left, top, g.PlotWidth(), g.PlotHeight());
    for (const TPlotLayers::TPlacedLabel& label : layers.GridContent.Labels) {
        const QString text = Text(label.Text);
        painter.drawText(QRect(label.X, label.Y, metrics.horizontalAdvance(text), textHeight),
                         Qt::AlignCenter, text);
    }
    // The RPM title centred over the plot in the top row; the load title up
    // the left edge, centred on the plot's height.
    const QString rpmTitle = Text(layers.GridContent.Titles.Rpm);
    const int rpmWidth = metrics.horizontalAdvance(rpmTitle);
    painter.drawText(QRect(left + g.PlotWidth() / 2 - rpmWidth / 2, AxisTitleGap, rpmWidth, textHeight),
                     Qt::AlignCenter, rpmTitle);
    const QString loadTitle = Text(layers.GridContent.Titles.Load);
    const int loadWidth = metrics.horizontalAdvance(loadTitle);
    painter.save();
    painter.translate(AxisTitleGap, top + g.PlotHeight() / 2 + loadWidth / 2);
    painter.rotate(-90);
    painter.drawText(QRect(0, 0, loadWidth, textHeight), Qt::AlignCenter, loadTitle);
    painter.restore();
}

namespace {

using TDotCell = TPlotLayers::TDotCentres::TCell;

// The all-zero grid of dot centres for one diameter: the one the last
// refresh left for it when its size still fits, else an unused one sized
// and cleared, else a new one.
TPlotLayers::TDotCentres& CentresFor(TPlotLayers& layers, std::vector<TDisc>& discs, int diameter, int width,
                                     int height) {
    const int margin = DiscOf(discs, diameter, width).Reach;
    const int gridWidth = width + 2 * margin, gridHeight = height + 2 * margin;
    TPlotLayers::TDotCentres* grid = nullptr;
    for (TPlotLayers::TDotCentres& same : layers.Centres)
        if (same.Diameter == diameter) grid = &same;
    if (grid && grid->Width == gridWidth && grid->Height == gridHeight) {
        grid->Used = true;
        return *grid;  // already all zero
    }
    if (!grid)
        for (TPlotLayers::TDotCentres& unused : layers.Centres)
            if (!unused.Used) grid = &unused;
    if (!grid) grid = &layers.Centres.emplace_back();
    grid->Diameter = diameter;
    grid->Used = true;
    grid->Margin = margin;
    grid->Width = gridWidth;
    grid->Height = gridHeight;
    const std::size_t cells = static_cast<std::size_t>(grid->Width) * static_cast<std::size_t>(grid->Height);
    grid->Cells.assign(cells, TDotCell{0.0, 0, 0});
    return *grid;
}

// The additions to the centre grids wait a few samples in a queue while
// their cells are fetched: the cells lie all over a grid of many megabytes,
// and waiting for each in turn cost more than the rest of the pass. Each
// cell still receives its additions in log order.
class TCentreQueue {
  public:
    void Push(TDotCell* cell, const TDotCell& add) {
        TPending& slot = FQueue[FQueued % Length];
        if (FQueued >= Length) Apply(slot);
        slot = {cell, add};
        __builtin_prefetch(cell, 1);
        ++FQueued;
    }
    // Applies the additions still waiting.
    void Drain() {
        for (std::size_t i = FQueued > Length ? FQueued - Length : 0; i < FQueued; ++i)
            Apply(FQueue[i % Length]);
        FQueued = 0;
    }

  private:
    struct TPending {
        TDotCell* Cell;
        TDotCell Add;
    };
    static constexpr std::size_t Length = 16;
    static void Apply(const TPending& pending) {
        pending.Cell->Sum += pending.Add.Sum;
        pending.Cell->Count += pending.Add.Count;
        pending.Cell->Grey |= pending.Add.Grey;
    }

    std::array<TPending, Length> FQueue{};
    std::size_t FQueued = 0;
};

// Works out the dots of the samples [first, end): paint, diameter, centre and
// plotted AFR, the knock markers among them in log order, and the diameters
// in the order they first occur. The costly part of the points pass, done in
// parallel ranges; it writes nothing but its own records.
void PlaceDots(const TKelvaneState& state, const TPlotGeometry& g, bool knocksShown, qreal scale,
               std::size_t first, std::size_t end, TPlotLayers::TDotSample* out,
               TPlotLayers::TPartDots& part) {
    const TSampleBinner binner(state.PlotContext());
    const TSamplePixelMapper samplePixel(g);
    const int pointSize = state.Settings.PlotPointSize;
    const TLogData& data = state.Logs.Data;
    part.KnockMarks.clear();
    part.Diameters.clear();
    int lastDiameter = -1;
    for (std::size_t index = first; index < end; ++index) {
        const TLogDataEntry& e = data[index];
        if (knocksShown && (index == 0 || MayBeKnockEvent(e, data[index - 1]))) {
            const TKnockMarker marker = SampleKnockMarker(data, index, binner, state.Settings.KnockLimits);
            if (marker != TKnockMarker::None) part.KnockMarks.push_back({samplePixel(e), marker});
        }
        TPlotLayers::TDotSample& dot = out[index];
        dot.Value = binner.PlottedAfr(e);
        dot.Paint = SampleDotPaint(e, dot.Value, state.Display);
        if (dot.Paint == TDotPaint::None) continue;
        dot.Diameter = DevicePixels(DotDiameter(e, pointSize), scale);
        dot.Centre = samplePixel(e);
        if (dot.Diameter != lastDiameter) {
            lastDiameter = dot.Diameter;
            if (std::find(part.Diameters.begin(), part.Diameters.end(), lastDiameter) == part.Diameters.end())
                part.Diameters.push_back(lastDiameter);
        }
    }
}

// Pixel rows [First, End) of one band of the layer; the first band also
// takes the dots centred above the layer and the last those below it.
struct TBand {
    int First, End;
    int CentreFirst, CentreEnd;
};

TBand BandOf(int part, int parts, int height) {
    const auto h = static_cast<std::size_t>(height);
    TBand band{static_cast<int>(PartBegin(h, part, parts)), static_cast<int>(PartBegin(h, part + 1, parts)),
               0, 0};
    band.CentreFirst = part == 0 ? std::numeric_limits<int>::min() : band.First;
    band.CentreEnd = part == parts - 1 ? std::numeric_limits<int>::max() : band.End;
    return band;
}

// The centre grid of each diameter the dots use, with its disc.
struct TUsedGrid {
    int Diameter;
    TPlotLayers::TDotCentres* Grid;
    const TDisc* Disc;
};

// Gathers the placed dots centred in one band into the centre grids. Every
// band reads the records in log order, so each cell receives its sums in
// the same order however the rows are shared out.
void GatherDots(const std::vector<TPlotLayers::TDotSample>& dots, const std::vector<TUsedGrid>& grids,
                const TBand& band) {
    // Consecutive samples often share their dot: they are summed here and
    // added to the grid once.
    TCentreQueue queue;
    TDotCell* cell = nullptr;
    TDotCell run{0.0, 0, 0};
    bool cellInBand = false;
    auto flush = [&] {
        if (!cell) return;
        if (cellInBand) queue.Push(cell, run);
        run = {0.0, 0, 0};
        cell = nullptr;
    };
    int lastDiameter = -1;
    TPlotLayers::TDotCentres* grid = nullptr;
    for (const TPlotLayers::TDotSample& dot : dots) {
        if (dot.Paint == TDotPaint::None) continue;
        if (dot.Diameter != lastDiameter) {
            flush();
            for (const TUsedGrid& used : grids)
                if (used.Diameter == dot.Diameter) grid = used.Grid;
            lastDiameter = dot.Diameter;
        }
        const int gx = dot.Centre.X + grid->Margin, gy = dot.Centre.Y + grid->Margin;
        if (gx < 0 || gy < 0 || gx >= grid->Width || gy >= grid->Height) continue;
        TDotCell* here = grid->Cells.data() + static_cast<std::ptrdiff_t>(gy) * grid->Width + gx;
        if (here != cell) {
            flush();
            cell = here;
            cellInBand = dot.Centre.Y >= band.CentreFirst && dot.Centre.Y < band.CentreEnd;
        }
        if (!cellInBand) continue;
        if (dot.Paint == TDotPaint::Coloured) {
            run.Sum += dot.Value;
            ++run.Count;
        } else {
            run.Grey = 1;
        }
    }
    flush();
    queue.Drain();
}

// Spreads every distinct dot over the pixels it covers inside one band, into
// the per-pixel sums and grey flags (cleared here first). Each pixel gets its
// additions in the order of the grids, their rows and the disc.
void SpreadDots(TPlotLayers& layers, const std::vector<TUsedGrid>& grids, int width, const TBand& band) {
    TPlotLayers::TPixelMean* means = layers.Means.data();
    std::uint8_t* grey = layers.Grey.data();
    const std::size_t bandFirst = static_cast<std::size_t>(band.First) * static_cast<std::size_t>(width);
    const std::size_t bandPixels =
        static_cast<std::size_t>(band.End - band.First) * static_cast<std::size_t>(width);
    std::fill_n(means + bandFirst, bandPixels, TPlotLayers::TPixelMean{0.0, 0});
    std::fill_n(grey + bandFirst, bandPixels, std::uint8_t{0});
    for (const TUsedGrid& used : grids) {
        const TPlotLayers::TDotCentres& centres = *used.Grid;
        const TDisc& disc = *used.Disc;
        const int r = disc.Reach;
        const int firstRow = std::max(0, band.First - r + centres.Margin);
        const int endRow = std::min(centres.Height, band.End + r + centres.Margin);
        for (int gy = firstRow; gy < endRow; ++gy) {
            const std::size_t row = static_cast<std::size_t>(gy) * static_cast<std::size_t>(centres.Width);
            for (int gx = 0; gx < centres.Width; ++gx) {
                const TDotCell& cell = centres.Cells[row + static_cast<std::size_t>(gx)];
                const std::uint32_t n = cell.Count;
                const bool isGrey = cell.Grey != 0;
                if (n == 0 && !isGrey) continue;
                const double sum = cell.Sum;
                const int cx = gx - centres.Margin, cy = gy - centres.Margin;
                const bool inside =
                    cx - r >= 0 && cy - r >= band.First && cx + r < width && cy + r < band.End;
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
                    if (px < 0 || py < band.First || px >= width || py >= band.End) continue;
                    const std::ptrdiff_t p = static_cast<std::ptrdiff_t>(py) * width + px;
                    if (n) AddToMean(means[p], sum, n);
                    if (isGrey) grey[p] = 1;
                }
            }
        }
    }
}

// Leaves the centre grid rows of one band all zero again, for the next
// refresh: cheaper than clearing whole grids of many megabytes each time.
void ClearCentres(const std::vector<TUsedGrid>& grids, const TBand& band) {
    for (const TUsedGrid& used : grids) {
        TPlotLayers::TDotCentres& centres = *used.Grid;
        const int firstRow = band.CentreFirst == std::numeric_limits<int>::min()
                                 ? 0
                                 : std::clamp(band.CentreFirst + centres.Margin, 0, centres.Height);
        const int endRow = band.CentreEnd == std::numeric_limits<int>::max()
                               ? centres.Height
                               : std::clamp(band.CentreEnd + centres.Margin, 0, centres.Height);
        const std::size_t width = static_cast<std::size_t>(centres.Width);
        for (std::size_t i = static_cast<std::size_t>(firstRow) * width;
             i < static_cast<std::size_t>(endRow) * width; ++i) {
            TDotCell& cell = centres.Cells[i];
            if (cell.Count != 0 || cell.Grey != 0) cell = {0.0, 0, 0};
        }
    }
}

// Writes every pixel of the points layer's rows [first, end): the scale
// colour of its mean, the grey of excluded samples, or transparent.
// The image's pixels are fetched by the caller, on one thread: bits() may
// copy an image that is shared.
void ColourPoints(const TPlotLayers& layers, uchar* bits, qsizetype stride, const TColorTable& colors,
                  int width, int first, int end) {
    const TPlotLayers::TPixelMean* means = layers.Means.data();
    const std::uint8_t* grey = layers.Grey.data();
    // Neighbouring pixels of one dot share their mean; remember the last lookup.
    double lastMean = 0;
    QRgb lastColor = 0;
    bool haveLast = false;
    for (int y = first; y < end; ++y) {
        auto* line = reinterpret_cast<QRgb*>(bits + y * stride);
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
            } else {
                line[x] = grey[i] ? GreyDot : 0;
            }
        }
    }
}

// The points layer from the samples: the dots are placed in parallel ranges
// of the list, then gathered, spread and coloured in parallel bands of rows.
void DrawPoints(TPlotLayers& layers, const TPlotGeometry& g, const TKelvaneState& state,
                const TColorTable& colors, bool knocksShown, TWorkerPool& pool) {
    const int width = layers.Points.width(), height = layers.Points.height();
    const std::size_t n = state.Logs.Data.Count();
    const int parts = pool.Threads();
    layers.Dots.resize(n);
    layers.Parts.resize(static_cast<std::size_t>(parts));
    pool.Run([&](int part) {
        PlaceDots(state, g, knocksShown, layers.Scale, PartBegin(n, part, parts),
                  PartBegin(n, part + 1, parts), layers.Dots.data(),
                  layers.Parts[static_cast<std::size_t>(part)]);
    });

    // The knock markers in log order; the grids in the order their diameters
    // first occur, as one pass over the list would take them.
    layers.KnockMarks.clear();
    std::vector<int> diameters;
    for (const TPlotLayers::TPartDots& part : layers.Parts) {
        layers.KnockMarks.insert(layers.KnockMarks.end(), part.KnockMarks.begin(), part.KnockMarks.end());
        for (const int diameter : part.Diameters)
            if (std::find(diameters.begin(), diameters.end(), diameter) == diameters.end())
                diameters.push_back(diameter);
    }
    std::vector<TDisc> discs;
    for (TPlotLayers::TDotCentres& grid : layers.Centres) grid.Used = false;
    for (const int diameter : diameters) CentresFor(layers, discs, diameter, width, height);
    std::vector<TUsedGrid> grids;
    for (TPlotLayers::TDotCentres& grid : layers.Centres)
        if (grid.Used) grids.push_back({grid.Diameter, &grid, &DiscOf(discs, grid.Diameter, width)});

    const std::size_t pixels = static_cast<std::size_t>(width) * static_cast<std::size_t>(height);
    layers.Means.resize(pixels);
    layers.Grey.resize(pixels);
    pool.Run([&](int part) {
        const TBand band = BandOf(part, parts, height);
        GatherDots(layers.Dots, grids, band);
    });
    uchar* bits = layers.Points.bits();
    const qsizetype stride = layers.Points.bytesPerLine();
    pool.Run([&](int part) {
        const TBand band = BandOf(part, parts, height);
        SpreadDots(layers, grids, width, band);
        ColourPoints(layers, bits, stride, colors, width, band.First, band.End);
    });
    pool.Run([&](int part) { ClearCentres(grids, BandOf(part, parts, height)); });
}

// Stamps the knock markers found while gathering, in log order.
void StampKnockMarks(TPlotLayers& layers, const TPlotGeometry& g, const TPlotDisplay& display,
                     int pointSize) {
    const int alpha = g.View() == TPlotView::EZK ? 255 : std::clamp(display.KnockAlpha, 0, 255);
    const std::array<QRgb, 256> blend = KnockBlendTable(alpha);
    std::array<TKnockStamp, 4> stamps;
    const TLayerPixels knockPixels(layers.Knock);
    for (const TPlotLayers::TKnockMark& mark : layers.KnockMarks) {
        TKnockStamp& stamp = stamps[static_cast<std::size_t>(mark.Marker)];
        if (stamp.Offsets.empty()) stamp = KnockStampOf(mark.Marker, pointSize, layers.Scale);
        StampKnockMarker(knockPixels, stamp, mark.Centre.X, mark.Centre.Y, blend);
    }
}

}  // namespace

void DrawPointsAndKnockLayers(TPlotLayers& layers, const TPlotGeometry& windowGeometry,
                              const TKelvaneState& state, const TColorTable& colors,
                              const TPlotDisplay& display, TWorkerPool& pool) {
    // The points pass works in device pixels: the same plot, scaled.
    const TPlotGeometry g =
        layers.Scale == 1 ? windowGeometry : ScaledPlotGeometry(windowGeometry, layers.Scale);
    ResetImage(layers.Points, windowGeometry.PlotWidth(), windowGeometry.PlotHeight(), layers.Scale,
               TImageReset::KeepPixels);  // ColourPoints writes every pixel
    ResetImage(layers.Knock, windowGeometry.PlotWidth(), windowGeometry.PlotHeight(), layers.Scale);
    const int width = layers.Points.width(), height = layers.Points.height();
    if (width <= 0 || height <= 0) return;

    const bool knocksShown = KnockMarkersShown(state.Display);
    DrawPoints(layers, g, state, colors, knocksShown, pool);
    if (knocksShown) StampKnockMarks(layers, g, display, state.Settings.PlotPointSize);
}

bool RecolourPointsLayer(TPlotLayers& layers, const TColorTable& colors) {
    const int width = layers.Points.width(), height = layers.Points.height();
    if (width <= 0 || height <= 0) return false;
    const std::size_t pixels = static_cast<std::size_t>(width) * static_cast<std::size_t>(height);
    if (layers.Means.size() != pixels || layers.Grey.size() != pixels) return false;
    ColourPoints(layers, layers.Points.bits(), layers.Points.bytesPerLine(), colors, width, 0, height);
    return true;
}

void DrawOverlayLayer(TPlotLayers& layers, const TPlotGeometry& g, const TKelvaneState& state,
                      TMapOverlay overlay) {
    const QFont font = PlotFont();
    const QFontMetrics metrics(font);
    const QFont smallFont = SmallPlotFont();
    const QFontMetrics smallMetrics(smallFont);
    TPlotLayers::TTextLayerContent content;
    content.Size = QSize(std::max(0, g.ImageWidth()), std::max(0, g.ImageHeight()));
    content.PlotRect = QRect(g.PlotLeft(), g.PlotTop(), g.PlotWidth(), g.PlotHeight());
    if (g.PlotWidth() > 0 && g.PlotHeight() > 0) {
        const TOverlayMap map =
            OverlayMapOf(state.Fuel, state.Ignition, state.MeanAfrGrid, overlay, g.View());
        const TOverlayFont normal{WidthOf(metrics), metrics.height()};
        const TOverlayFont small{WidthOf(smallMetrics), smallMetrics.height()};
        for (TPlacedText& t : OverlayTexts(map, g, normal, small))
            content.Labels.push_back({t.Left, t.Top, std::move(t.Text), t.Small});
    }
    if (KeepOrReset(layers.Overlay, layers.OverlayContent, std::move(content), layers.Scale)) return;
    const std::vector<TPlotLayers::TPlacedLabel>& texts = layers.OverlayContent.Labels;
    if (texts.empty()) return;
    QPainter painter(&layers.Overlay);
    // A white halo first, so the numbers stay readable over the dots.
    for (const bool halo : {true, false}) {
        painter.setPen(halo ? QColor(255, 255, 255, 0xC0) : QColor(Qt::black));
        for (const bool isSmall : {false, true}) {
            painter.setFont(isSmall ? smallFont : font);
            const int ascent = isSmall ? smallMetrics.ascent() : metrics.ascent();
            for (const TPlotLayers::TPlacedLabel& t : texts) {
                if (t.Small != isSmall) continue;
                const QString text = Text(t.Text);
                if (!halo) {
                    painter.drawText(t.X, t.Y + ascent, text);
                    continue;
                }
                for (const QPoint offset : {QPoint(-1, -1), QPoint(1, -1), QPoint(-1, 1), QPoint(1, 1)})
                    painter.drawText(t.X + offset.x(), t.Y + ascent + offset.y(), text);
            }
        }
    }
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
    ResetImage(layers.AfrScale, AfrScaleWidth, AfrScaleHeight, layers.Scale);
    QPainter painter(&layers.AfrScale);
    for (int i = 0; i <= AfrScaleBarSteps; ++i) {
        const QColor color = QColor::fromRgba(ColorLookup(colors, 255, AfrScaleBarValue(colors, i)));
        painter.fillRect(
            QRect(AfrScaleBarLeft + i, AfrScaleBarTop, 1, AfrScaleBarBottom - AfrScaleBarTop + 1), color);
    }
    painter.setPen(Hairline(Qt::black));
    painter.drawRect(AfrScaleBarLeft, 0, AfrScaleBarRight - AfrScaleBarLeft, AfrScaleBarBottom);
    const QFont font = PlotFont();
    painter.setFont(font);
    const QFontMetrics metrics(font);
    const int textHeight = metrics.height();
    for (const TAfrScaleTick& tick : AfrScaleTicks(colors)) {
        painter.setPen(Hairline(Qt::black));
        painter.drawLine(tick.X, AfrScaleBarTop, tick.X, AfrScaleBarBottom);
        const QString text = Text(tick.Text);
        const int width = metrics.horizontalAdvance(text);
        const QRect patch(tick.X - width / 2, AfrScaleHeight - textHeight, width, textHeight);
        painter.fillRect(patch, Qt::white);
        painter.drawText(patch, Qt::AlignCenter, text);
    }
}

void ClearSelectionAndCursorLayers(TPlotLayers& layers, const TPlotGeometry& g) {
    ResetImage(layers.Selection, g.PlotWidth(), g.PlotHeight(), layers.Scale);
    ResetImage(layers.Cursor, g.PlotWidth(), g.PlotHeight(), layers.Scale);
}

TPlotGeometry LayerGeometry(const TKelvaneState& state, QSize size) {
    const QFontMetrics metrics(PlotFont());
    const TPlotMargins margins =
        TitledMargins(state.Axes, state.Display.View, WidthOf(metrics), metrics.height());
    return MakePlotGeometry(state.Axes, state.Display, state.PlotRanges, state.PlotDisplay, size.width(),
                            size.height(), margins);
}

TPlotGeometry DrawPlotLayers(TPlotLayers& layers, const TKelvaneState& state, const TColorTable& colors,
                             QSize size, const TPlotLayerOptions& options) {
    const TPlotGeometry g = LayerGeometry(state, size);
    layers.ImageSize = size;
    layers.Scale = options.Scale;
    layers.PlotOrigin = QPoint(g.PlotLeft(), g.PlotTop());
    DrawGridLayer(layers, g, AxisTitles(state.Setup().LHConfig, g.View()));
    DrawPointsAndKnockLayers(layers, g, state, colors, state.PlotDisplay);
    DrawOverlayLayer(layers, g, state, state.PlotDisplay.Overlay);
    DrawAfrScaleLayer(layers, g, colors, state.PlotDisplay);
    DrawSelectionLayer(layers, g, state, colors);
    DrawCursorLayer(layers, g, state, colors, THover{});
    return g;
}

QImage ComposePlot(const TPlotLayers& layers, TCursorLayer cursor) {
    QImage image(DevicePixels(layers.ImageSize.width(), layers.Scale),
                 DevicePixels(layers.ImageSize.height(), layers.Scale), QImage::Format_ARGB32_Premultiplied);
    image.setDevicePixelRatio(layers.Scale);
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
    if (cursor == TCursorLayer::Included) draw(layers.PlotOrigin, layers.Cursor);
    return image;
}

QImage CaptionedPlotImage(const QImage& plot, const QString& caption) {
    const QFont font = PlotFont();
    const QFontMetrics metrics(font);
    const int strip = metrics.height() + 2 * AxisTitleGap;
    const qreal scale = plot.devicePixelRatio();
    const int width = static_cast<int>(std::lround(plot.deviceIndependentSize().width()));
    QImage image(plot.width(), plot.height() + DevicePixels(strip, scale),
                 QImage::Format_ARGB32_Premultiplied);
    image.setDevicePixelRatio(scale);
    image.fill(Qt::white);
    QPainter painter(&image);
    painter.drawImage(0, strip, plot);
    painter.setFont(font);
    painter.setPen(Qt::black);
    painter.drawText(QRect(4, AxisTitleGap, std::max(0, width - 8), metrics.height()),
                     Qt::AlignLeft | Qt::AlignVCenter,
                     metrics.elidedText(caption, Qt::ElideRight, width - 8));
    return image;
}

QImage RenderPlot(const TKelvaneState& state, const TColorTable& colors, QSize size,
                  const TPlotLayerOptions& options) {
    TPlotLayers layers;
    DrawPlotLayers(layers, state, colors, size, options);
    return ComposePlot(layers);
}

}  // namespace kelvane
