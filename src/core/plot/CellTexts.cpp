#include "core/plot/CellTexts.h"

namespace kelvane {

std::string OverlayValueText(double value, TOverlayFormat format) {
    if (value == MissingValue) return {};
    switch (format) {
        case TOverlayFormat::WholeNumber:
            return FixedText(value, 0);
        case TOverlayFormat::OneDecimal:
            return FixedText(value, 1);
        case TOverlayFormat::Percent: {
            std::string text = FixedText((value - 1) * 100, 1);
            if (text.empty()) return text;
            if (text.front() != '-' && text.find_first_not_of("0.") != std::string::npos) text.insert(0, "+");
            return text + "%";
        }
    }
    return {};
}

TOverlayMap OverlayMapOf(const TFuelMapSet& fuel, const TIgnitionMapSet& ignition,
                         const TMapGrid& meanAfrGrid, TMapOverlay overlay, TPlotView view) {
    if (!OverlayStatusText(fuel, ignition, overlay, view).empty()) return {};
    if (view == TPlotView::EZK) {
        switch (overlay) {
            case TMapOverlay::Reference:
                return {&ignition.Reference, TOverlayFormat::OneDecimal};
            case TMapOverlay::Adjustments:
                return {&ignition.Adjustments, TOverlayFormat::OneDecimal};
            case TMapOverlay::Updated:
                return {&ignition.Updated, TOverlayFormat::OneDecimal};
            default:
                return {};
        }
    }
    switch (overlay) {
        case TMapOverlay::Reference:
            return {&fuel.Reference, TOverlayFormat::WholeNumber};
        case TMapOverlay::Adjustments:
            return {&fuel.Adjustments, TOverlayFormat::Percent};
        case TMapOverlay::Updated:
            return {&fuel.Updated, TOverlayFormat::WholeNumber};
        case TMapOverlay::MeanAfr:
            return {&meanAfrGrid, TOverlayFormat::OneDecimal};
        default:
            return {};
    }
}

std::string OverlayStatusText(const TFuelMapSet& fuel, const TIgnitionMapSet& ignition, TMapOverlay overlay,
                              TPlotView view) {
    const bool ezk = view == TPlotView::EZK;
    switch (overlay) {
        case TMapOverlay::None:
            return {};
        case TMapOverlay::MeanAfr:
            return ezk ? "No mean AFR in the EZK view" : "";
        case TMapOverlay::Reference:
        case TMapOverlay::Adjustments:
        case TMapOverlay::Updated:
            if (ezk) return ignition.ReferenceLoaded ? "" : "EZK reference map not loaded";
            return fuel.ReferenceLoaded ? "" : "LH reference map not loaded";
    }
    return {};
}

std::vector<TPlacedText> OverlayTexts(const TOverlayMap& map, const TPlotGeometry& g,
                                      const TTextWidth& textWidth, int textHeight) {
    std::vector<TPlacedText> texts;
    if (!map.Map) return texts;
    const int plotRight = g.PlotLeft() + g.PlotWidth();
    const int plotBottom = g.PlotTop() + g.PlotHeight();
    for (int r = 0; r < MapSize; ++r) {
        const int x = g.CellLabelX(r);
        for (int c = 0; c < MapSize; ++c) {
            std::string text = OverlayValueText(map.Map->At(r, c), map.Format);
            if (text.empty()) continue;
            const int left = x - textWidth(text) / 2;
            const int top = g.CellLabelY(c) - textHeight / 2;
            if (left < g.PlotLeft() - 5 || left > plotRight || top < g.PlotTop() || top > plotBottom)
                continue;
            texts.push_back({left, top, std::move(text)});
        }
    }
    return texts;
}

}  // namespace kelvane
