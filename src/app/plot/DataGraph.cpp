#include "app/plot/DataGraph.h"

#include <QMouseEvent>
#include <QPainter>
#include <QPalette>
#include <algorithm>
#include <limits>

#include "app/plot/PlotLayers.h"
#include "core/state/DerivedData.h"
#include "core/state/KelvaneState.h"

namespace kelvane {

namespace {

// The layer at the size (in widget pixels) with ratio device pixels for
// each, cleared; its memory is kept when the size stays.
void Clear(QImage& image, QSize size, qreal ratio, QRgb fill = 0) {
    const QSize device = (QSizeF(size) * ratio).toSize();
    if (image.size() != device || image.format() != QImage::Format_ARGB32_Premultiplied)
        image = QImage(device, QImage::Format_ARGB32_Premultiplied);
    image.setDevicePixelRatio(ratio);
    image.fill(fill);
}

QSize AreaSize(const TGraphArea& area) {
    return area.Usable() ? QSize(area.Width + 1, area.Height + 1) : QSize();
}

// The last column and row of a layer in device pixels: the traces and bands
// are laid out over those, one device pixel to a column.
int DeviceRight(const QImage& layer) {
    return layer.width() - 1;
}
int DeviceBottom(const QImage& layer) {
    return layer.height() - 1;
}

QRgb TraceRgb(TTraceColour colour) {
    switch (colour) {
        case TTraceColour::Rpm:
            return qRgb(0, 0, 0);
        case TTraceColour::Load:
            return qRgb(0, 0, 255);
        case TTraceColour::Afr:
            return qRgb(255, 0, 0);
        case TTraceColour::Excluded:
            break;
    }
    return GraphExcludedGrey;
}

// Fills the columns of a layer over its full height.
void FillColumns(QImage& layer, int first, int last, QRgb colour) {
    first = std::max(first, 0);
    last = std::min(last, layer.width() - 1);
    if (first > last) return;
    for (int y = 0; y < layer.height(); ++y) {
        auto* line = reinterpret_cast<QRgb*>(layer.scanLine(y));
        std::fill(line + first, line + last + 1, colour);
    }
}

}  // namespace

void DrawDataGraphGrid(TDataGraphLayers& layers, const TKelvaneState& state, QSize size, qreal ratio) {
    const TLogData& data = state.Logs.Data;
    layers.Ratio = ratio;
    layers.Area = TGraphArea::ForImage(size.width(), size.height());
    layers.Range = ShownGraphRange(state.Graph, data.Count());
    Clear(layers.Grid, size, ratio, qRgb(255, 255, 255));
    if (!layers.Area.Usable()) return;
    const TGraphArea& area = layers.Area;

    QPainter painter(&layers.Grid);
    painter.setPen(Hairline(Qt::black));
    painter.drawRect(area.Left, area.Top, area.Width, area.Height);
    painter.setFont(PlotFont());
    const QFontMetrics metrics(painter.font());
    // Marks come about every 30 pixels; long times would run into each
    // other, so a label that would touch the one before is left out.
    int labelsEnd = std::numeric_limits<int>::min() / 2;
    for (const TTimeMark& mark : layers.Marks.Marks(data, layers.Range, area)) {
        if (mark.Line) {
            painter.setPen(Hairline(mark.FileStart ? QColor(Qt::black) : QColor(GraphExcludedGrey)));
            painter.drawLine(mark.X, area.Top, mark.X, area.Bottom());
        }
        const QString label = QString::fromStdString(mark.Label);
        const int labelWidth = metrics.horizontalAdvance(label);
        const int labelLeft = mark.X - labelWidth / 2;
        if (labelLeft < labelsEnd + metrics.averageCharWidth()) continue;
        painter.setPen(Qt::black);
        painter.drawText(labelLeft, area.Bottom() + 2 + metrics.ascent(), label);
        labelsEnd = labelLeft + labelWidth;
    }
    painter.setPen(Hairline(GraphExcludedGrey));
    for (const int y : QuarterLines(area)) painter.drawLine(area.Left + 1, y, area.Right() - 1, y);
}

void DrawDataGraphTraces(TDataGraphLayers& layers, const TKelvaneState& state) {
    const TGraphArea& area = layers.Area;
    Clear(layers.Traces, AreaSize(area), layers.Ratio);
    if (layers.Traces.isNull()) return;
    TraceSpans(state.Logs.Data, layers.Range, DeviceRight(layers.Traces), DeviceBottom(layers.Traces),
               state.PlotRanges, layers.Spans);
    const qsizetype stride = layers.Traces.bytesPerLine() / static_cast<qsizetype>(sizeof(QRgb));
    auto* pixels = reinterpret_cast<QRgb*>(layers.Traces.bits());
    for (const TTraceSpan& span : layers.Spans) {
        const QRgb colour = TraceRgb(span.Colour);
        QRgb* pixel = pixels + span.Top * stride + span.X;
        for (int y = span.Top; y <= span.Bottom; ++y, pixel += stride) *pixel = colour;
    }
}

void DrawDataGraphSelection(TDataGraphLayers& layers, const TKelvaneState& state) {
    const TGraphArea& area = layers.Area;
    Clear(layers.Selection, AreaSize(area), layers.Ratio);
    const TSelection& selection = state.Selection;
    const TLogData& data = state.Logs.Data;
    if (layers.Selection.isNull() || selection.Empty() || data.Empty()) return;
    layers.Selection.fill(qPremultiply(qRgba(143, 143, 143, 0x80)));

    // Every selected sample of the range clears its band: the point items,
    // or for cells the samples inside them.
    const int right = DeviceRight(layers.Selection);
    std::vector<std::uint8_t>& cleared = layers.Cleared;
    cleared.assign(static_cast<std::size_t>(right + 1), 0);
    const TGraphRange range = layers.Range;
    const auto clearBand = [&](int index) {
        if (index < range.First || index > range.Last) return;
        const TColumnSpan band = SelectionBand(range, right, index);
        const int first = std::max(band.First, 0);
        const int last = std::min(band.Last, right);
        for (int x = first; x <= last; ++x) cleared[static_cast<std::size_t>(x)] = 1;
    };
    if (selection.IsPoints()) {
        for (const TSelectionItem& item : selection.Items)
            if (ValidSampleIndex(data, item.SampleIndex)) clearBand(item.SampleIndex);
    } else {
        for (int i = range.First; i <= range.Last; ++i)
            if (data[static_cast<std::size_t>(i)].Selected) clearBand(i);
    }
    for (int x = 0; x <= right;) {
        if (!cleared[static_cast<std::size_t>(x)]) {
            ++x;
            continue;
        }
        int last = x;
        while (last + 1 <= right && cleared[static_cast<std::size_t>(last + 1)]) ++last;
        FillColumns(layers.Selection, x, last, 0);
        x = last + 1;
    }
}

void DrawDataGraphHover(TDataGraphLayers& layers, const TKelvaneState& state, int index) {
    Clear(layers.Hover, AreaSize(layers.Area), layers.Ratio);
    if (layers.Hover.isNull() || !ValidSampleIndex(state.Logs.Data, index)) return;
    const TColumnSpan bar = HoverBar(layers.Range, DeviceRight(layers.Hover), index);
    FillColumns(layers.Hover, bar.First, bar.Last, GraphHoverYellow);
}

void DrawDataGraphLayers(TDataGraphLayers& layers, const TKelvaneState& state, QSize size, qreal ratio) {
    DrawDataGraphGrid(layers, state, size, ratio);
    DrawDataGraphTraces(layers, state);
    DrawDataGraphSelection(layers, state);
    DrawDataGraphHover(layers, state, -1);
}

QImage ComposeDataGraph(const TDataGraphLayers& layers) {
    QImage image = layers.Grid.copy();
    if (image.isNull()) return image;
    QPainter painter(&image);
    for (const QImage* layer : {&layers.Traces, &layers.Selection, &layers.Hover})
        if (!layer->isNull()) painter.drawImage(layers.AreaOrigin(), *layer);
    return image;
}

// ---- The panel ---------------------------------------------------------

TDataGraph::TDataGraph(const TKelvaneState& state, TRangeSetter setRange, QWidget* parent)
    : QWidget(parent), FState(state), FSetRange(std::move(setRange)) {
    setObjectName(QStringLiteral("DataGraph"));
    setMouseTracking(true);
    // Takes the focus when clicked, so that the arrow keys the main window
    // handles can tell; the keys themselves go on to the main window.
    setFocusPolicy(Qt::ClickFocus);
    setAttribute(Qt::WA_OpaquePaintEvent);
    setMinimumHeight(GraphMarginTop + GraphMarginBottom + SliderStripHeight + 20);
}

std::size_t TDataGraph::SampleCount() const {
    return FState.Logs.Data.Count();
}

TGraphRange TDataGraph::Range() const {
    return ShownGraphRange(FState.Graph, SampleCount());
}

QRect TDataGraph::GraphRect() const {
    return QRect(0, 0, width(), std::max(0, height() - SliderStripHeight));
}

QRect TDataGraph::SliderStrip() const {
    const QRect graph = GraphRect();
    return QRect(GraphMarginLeft, graph.bottom() + 1,
                 std::max(0, width() - GraphMarginLeft - GraphMarginRight), height() - graph.height());
}

TSliderPlace TDataGraph::Slider() const {
    TSliderPlace place = SliderPlace(Range(), SampleCount(), SliderStrip().width());
    if (FDraggedSliderLeft) place.Left = *FDraggedSliderLeft;
    return place;
}

void TDataGraph::StateChanged(TChangeSet changes) {
    // The range is part of the display; the traces follow the samples, their
    // included flags, the plot's maxima and the smoothing of the AFR.
    if (changes.HasAny(FilterInputs | TChange::PlotRanges | TChange::Display | TChange::Settings))
        FAllDirty = true;
    if (changes.HasAny(SelectionInputs | TChange::Selection)) FSelectionDirty = true;
    if (changes.Has(TChange::Samples)) {
        FHoverSample = -1;
        FLayers.Marks.Forget();
    }
    if (FAllDirty || FSelectionDirty) update();
}

void TDataGraph::SetHoverSample(int index) {
    if (index == FHoverSample) return;
    FHoverSample = index;
    if (!FAllDirty) DrawDataGraphHover(FLayers, FState, FHoverSample);
    update(GraphRect());
}

void TDataGraph::CentreOn(int index) {
    ChangeRange(CentredGraphRange(Range(), index, SampleCount()));
}

void TDataGraph::ChangeRange(TGraphRange range) {
    if (range == Range()) return;
    if (FSetRange) FSetRange(range);
    FAllDirty = true;
    update();
    emit RangeChanged();
}

void TDataGraph::BringLayersUpToDate() {
    const QSize size = GraphRect().size();
    const qreal ratio = devicePixelRatioF();
    if (FAllDirty || FLayers.Grid.deviceIndependentSize() != QSizeF(size) || FLayers.Ratio != ratio) {
        DrawDataGraphGrid(FLayers, FState, size, ratio);
        DrawDataGraphTraces(FLayers, FState);
        DrawDataGraphSelection(FLayers, FState);
        DrawDataGraphHover(FLayers, FState, FHoverSample);
    } else if (FSelectionDirty) {
        DrawDataGraphSelection(FLayers, FState);
    }
    FAllDirty = false;
    FSelectionDirty = false;
}

const TDataGraphLayers& TDataGraph::CurrentLayers() {
    BringLayersUpToDate();
    return FLayers;
}

void TDataGraph::paintEvent(QPaintEvent*) {
    BringLayersUpToDate();
    QPainter painter(this);
    painter.drawImage(0, 0, FLayers.Grid);
    for (const QImage* layer : {&FLayers.Traces, &FLayers.Selection, &FLayers.Hover})
        if (!layer->isNull()) painter.drawImage(FLayers.AreaOrigin(), *layer);

    // The strip under the graph, with the slider showing the range.
    const QRect below(0, GraphRect().bottom() + 1, width(), height() - GraphRect().height());
    painter.fillRect(below, Qt::white);
    const QRect strip = SliderStrip();
    if (strip.width() <= 0 || strip.height() <= 2) return;
    const QRect groove = strip.adjusted(0, 1, -1, -2);
    painter.fillRect(groove, palette().color(QPalette::Mid));
    const TSliderPlace slider = Slider();
    const QRect knob(strip.left() + slider.Left, groove.top(), slider.Width, groove.height() + 1);
    painter.fillRect(knob, palette().color(QPalette::Button));
    painter.setPen(palette().color(QPalette::Dark));
    painter.drawRect(knob.adjusted(0, 0, -1, -1));
}

void TDataGraph::resizeEvent(QResizeEvent* event) {
    FAllDirty = true;
    QWidget::resizeEvent(event);
}

void TDataGraph::mousePressEvent(QMouseEvent* event) {
    if (event->button() != Qt::LeftButton) return;
    const QPoint position = event->position().toPoint();
    const QRect strip = SliderStrip();
    if (position.y() >= strip.top()) {
        const TSliderPlace slider = Slider();
        const int x = position.x() - strip.left();
        if (SampleCount() > 1 && x >= slider.Left && x < slider.Left + slider.Width)
            FSliderDrag = std::make_pair(position.x(), slider);
        return;
    }
    const TGraphArea area = TGraphArea::ForImage(width(), GraphRect().height());
    if (area.InLabelArea(position.y())) {
        FLabelDrag = std::make_pair(position.x(), Range());
        return;
    }
    if (SampleCount() == 0 || !area.Usable()) return;
    emit SampleClicked(GraphIndexAt(area, Range(), position.x()), event->modifiers());
}

void TDataGraph::mouseMoveEvent(QMouseEvent* event) {
    const QPoint position = event->position().toPoint();
    const TGraphArea area = TGraphArea::ForImage(width(), GraphRect().height());
    const bool held = event->buttons() & Qt::LeftButton;
    if (held && FLabelDrag) {
        const std::optional<TGraphRange> range =
            LabelDragRange(area, FLabelDrag->second, FLabelDrag->first, position.x(), SampleCount());
        if (range) ChangeRange(*range);
        return;
    }
    if (held && FSliderDrag) {
        const int stripWidth = SliderStrip().width();
        const TSliderPlace pressed = FSliderDrag->second;
        FDraggedSliderLeft = SliderDragLeft(pressed, position.x() - FSliderDrag->first, stripWidth);
        ChangeRange(SliderRange(*FDraggedSliderLeft, pressed.Width, SampleCount(), stripWidth));
        update(SliderStrip());
        return;
    }
    if (position.y() >= SliderStrip().top())
        setCursor(Qt::ArrowCursor);
    else
        setCursor(area.InLabelArea(position.y()) ? Qt::SizeHorCursor : Qt::CrossCursor);
}

void TDataGraph::mouseReleaseEvent(QMouseEvent* event) {
    if (event->button() != Qt::LeftButton) return;
    FLabelDrag.reset();
    FSliderDrag.reset();
    if (FDraggedSliderLeft) {
        FDraggedSliderLeft.reset();
        update(SliderStrip());
    }
}

}  // namespace kelvane
