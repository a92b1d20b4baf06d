#pragma once

#include <QImage>
#include <QPoint>
#include <QWidget>
#include <cstdint>
#include <functional>
#include <optional>
#include <utility>
#include <vector>

#include "core/plot/DataGraph.h"
#include "core/state/StateChange.h"

namespace kelvane {

struct TKelvaneState;

// The data graph's four layers, bottom to top, ARGB32 premultiplied. The
// grid covers the whole image; traces, selection fog and hover bar cover the
// graph area (Area.Width + 1 by Area.Height + 1, placed at its top left).
// Sizes and the area are in the widget's pixels; the images hold Ratio device
// pixels for each, so that the traces and lines stay one device pixel wide on
// a high-density screen.
struct TDataGraphLayers {
    QImage Grid;
    QImage Traces;
    QImage Selection;
    QImage Hover;
    TGraphArea Area;
    TGraphRange Range;                  // as last drawn
    std::vector<TTraceSpan> Spans;      // kept between drawings
    std::vector<std::uint8_t> Cleared;  // the selection's columns, kept between drawings
    TTimeMarkCache Marks;               // forget when the list changes
    qreal Ratio = 1;                    // device pixels per widget pixel

    QPoint AreaOrigin() const { return {Area.Left, Area.Top}; }
};

inline const QRgb GraphExcludedGrey = qRgb(191, 191, 191);
inline const QRgb GraphHoverYellow = qRgb(255, 255, 0);

// Each layer on its own, so that a change redraws only what it touches. The
// grid layer sets the size, area and range the others use.
void DrawDataGraphGrid(TDataGraphLayers& layers, const TKelvaneState& state, QSize size, qreal ratio = 1);
void DrawDataGraphTraces(TDataGraphLayers& layers, const TKelvaneState& state);
void DrawDataGraphSelection(TDataGraphLayers& layers, const TKelvaneState& state);
// The bar of the sample; -1 (or a sample not in the list) leaves the layer clear.
void DrawDataGraphHover(TDataGraphLayers& layers, const TKelvaneState& state, int index);
// Every layer, the hover bar cleared.
void DrawDataGraphLayers(TDataGraphLayers& layers, const TKelvaneState& state, QSize size, qreal ratio = 1);
QImage ComposeDataGraph(const TDataGraphLayers& layers);

// The data graph panel: the graph over a strip with the slider that shows
// and moves the range. The range is the state's; the graph changes it only
// through the setter its owner gives, and says so with RangeChanged.
class TDataGraph : public QWidget {
    Q_OBJECT

  public:
    using TRangeSetter = std::function<void(TGraphRange)>;
    static constexpr int SliderStripHeight = 12;

    TDataGraph(const TKelvaneState& state, TRangeSetter setRange, QWidget* parent = nullptr);

    // Repaints what a change of the state touches.
    void StateChanged(TChangeSet changes);
    // The yellow bar on a sample; -1 erases it.
    void SetHoverSample(int index);
    int HoverSample() const { return FHoverSample; }
    // Moves the range, keeping its length, so that a sample outside it comes to its middle.
    void CentreOn(int index);

    // The layers as the graph shows them now.
    const TDataGraphLayers& CurrentLayers();
    // Where the graph image and the slider strip lie in the widget.
    QRect GraphRect() const;
    QRect SliderStrip() const;
    TSliderPlace Slider() const;

  signals:
    void SampleClicked(int index, Qt::KeyboardModifiers modifiers);
    void RangeChanged();

  protected:
    void paintEvent(QPaintEvent* event) override;
    void resizeEvent(QResizeEvent* event) override;
    void mousePressEvent(QMouseEvent* event) override;
    void mouseMoveEvent(QMouseEvent* event) override;
    void mouseReleaseEvent(QMouseEvent* event) override;

  private:
    TGraphRange Range() const;
    std::size_t SampleCount() const;
    void ChangeRange(TGraphRange range);
    void BringLayersUpToDate();

    const TKelvaneState& FState;
    TRangeSetter FSetRange;
    TDataGraphLayers FLayers;
    bool FAllDirty = true;
    bool FSelectionDirty = true;
    int FHoverSample = -1;

    // A drag in the time-label area: where it began and the range then.
    std::optional<std::pair<int, TGraphRange>> FLabelDrag;
    // A drag of the slider: where it began and the slider then; its place while dragged.
    std::optional<std::pair<int, TSliderPlace>> FSliderDrag;
    std::optional<int> FDraggedSliderLeft;
};

}  // namespace kelvane
