#include "core/plot/AxisLabels.h"

#include <algorithm>
#include <charconv>
#include <cmath>

namespace kelvane {

namespace {

std::string IntegerText(long long value) {
    char buffer[24];
    const auto result = std::to_chars(buffer, buffer + sizeof buffer, value);
    return std::string(buffer, result.ptr);
}

int RoundedToStep(double value, double step) {
    return PixelOf(std::nearbyint(value / step) * step);
}

}  // namespace

int RoundedRpmLabel(double rpm) {
    const double step = rpm / 30 > 50 ? 50 : (rpm / 30 > 20 ? 20 : 10);
    return RoundedToStep(rpm, step);
}

int RoundedLoadLabel(double load) {
    const double r = load / 30;
    const double step = r > 50 ? 50 : r > 20 ? 20 : r > 10 ? 10 : r > 5 ? 5 : r > 2 ? 2 : 1;
    return RoundedToStep(load, step);
}

namespace {

std::string LoadLabelText(double value, TPlotView view) {
    return IntegerText(view == TPlotView::EZK ? PixelOf(value) : RoundedLoadLabel(value));
}

// Room between a load label and the image's left edge.
constexpr int LoadLabelEdgeGap = 3;

}  // namespace

int LoadLabelMargin(const TMapAxes& axes, TPlotView view, const TTextWidth& textWidth) {
    const TMapAxis& loadAxis = view == TPlotView::EZK ? axes.EZKLoad : axes.LHLoad;
    int widest = 0;
    for (int j = 0; j < MapSize; ++j) widest = std::max(widest, textWidth(LoadLabelText(loadAxis[j], view)));
    return std::max(PlotMarginLeft, LoadLabelEdgeGap + widest + 2);
}

TAxisTitles AxisTitles(TLHConfig config, TPlotView view) {
    TAxisTitles titles{"Engine speed [rpm]", "MAF signal"};
    // The Alpha system's load axis is the device's MAF-signal scale too.
    if (view == TPlotView::EZK)
        titles.Load = "Load [%]";
    else if (config == TLHConfig::Map)
        titles.Load = "MAP [kPa]";
    return titles;
}

TPlotMargins TitledMargins(const TMapAxes& axes, TPlotView view, const TTextWidth& textWidth,
                           int textHeight) {
    // The RPM labels end 2 pixels above the frame; the title row sits above them.
    const int labelsAndTitle = AxisTitleGap + textHeight + 1 + textHeight + 2;
    return {LoadLabelMargin(axes, view, textWidth) + AxisTitleGap + textHeight,
            std::max(PlotMarginTop, labelsAndTitle)};
}

TGridLayout GridLayout(const TPlotGeometry& g, const TTextWidth& textWidth, int textHeight) {
    TGridLayout layout;
    const bool ezk = g.View() == TPlotView::EZK;
    const int w = g.PlotWidth(), h = g.PlotHeight();

    // Line positions in plot-area coordinates; only those strictly inside are drawn.
    auto addLine = [](std::vector<int>& lines, int position, int extent, int origin) {
        if (position > 0 && position < extent) lines.push_back(origin + position);
    };
    auto rpmText = [&](double v) { return IntegerText(ezk ? PixelOf(v) : RoundedRpmLabel(v)); };
    auto loadText = [&](double v) { return LoadLabelText(v, g.View()); };

    // RPM labels left to right: skip one that would start within 3 pixels of
    // the previous one's end.
    int previousEnd = -1000000;
    auto addRpmLabel = [&](int x, const std::string& text, bool cellFormat) {
        const int width = textWidth(text);
        const int start = x - width / 2;
        if (cellFormat && start < g.PlotLeft() - 5) return;
        if (start < previousEnd + 3) return;
        layout.RpmLabels.push_back({x, text});
        previousEnd = start + width;
    };
    // Load labels top to bottom; one that would overlap the previous one, or
    // sit above the plot, is skipped.
    int previousBottom = -1000000;
    auto addLoadLabel = [&](int y, const std::string& text) {
        const int top = y - textHeight / 2;
        if (y < g.PlotTop() || top < previousBottom) return;
        layout.LoadLabels.push_back({y, text});
        previousBottom = top + textHeight;
    };

    const TMapAxis& rpmAxis = g.RpmAxis();
    const TMapAxis& loadAxis = g.LoadAxis();
    if (g.GridFormat()) {
        for (int i = 0; i < MapSize; ++i) {
            const int x = g.RpmToX(rpmAxis[i]);
            addLine(layout.VerticalLines, x, w, g.PlotLeft());
            if (x >= 0 && x <= w) addRpmLabel(g.PlotLeft() + x, rpmText(rpmAxis[i]), false);
        }
        for (int j = 0; j < MapSize; ++j) {
            const int y = g.LoadToY(loadAxis[j]);
            addLine(layout.HorizontalLines, y, h, g.PlotTop());
            if (y >= 0 && y <= h) addLoadLabel(g.PlotTop() + y, loadText(loadAxis[j]));
        }
        return layout;
    }

    for (int k = 1; k < MapSize; ++k) {
        addLine(layout.VerticalLines, g.RpmToX(g.RpmBounds()[k]), w, g.PlotLeft());
        addLine(layout.HorizontalLines, g.LoadToY(g.LoadBounds()[k]), h, g.PlotTop());
    }
    for (int i = 0; i < MapSize; ++i)
        if (ezk || rpmAxis[i] < g.Ranges().MaxRpm) addRpmLabel(g.CellLabelX(i), rpmText(rpmAxis[i]), true);
    for (int j = 0; j < MapSize; ++j)
        if (ezk || loadAxis[j] < g.Ranges().MaxLoad) addLoadLabel(g.CellLabelY(j), loadText(loadAxis[j]));
    return layout;
}

}  // namespace kelvane
