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
                                      const TOverlayFont& normal, const TOverlayFont& small) {
    std::vector<TPlacedText> texts;
    if (!map.Map) return texts;
    for (int r = 0; r < MapSize; ++r) {
        const int x = g.CellLabelX(r);
        for (int c = 0; c < MapSize; ++c) {
            std::string text = OverlayValueText(map.Map->At(r, c), map.Format);
            if (text.empty()) continue;
            const TPixelRect cell = g.CellRect(r, c);
            const int y = g.CellLabelY(c);
            // The halo reaches one pixel beyond the text on every side.
            auto fits = [&](int left, int top, int width, int height) {
                return left - 1 >= g.PlotLeft() + cell.Left &&
                       left + width + 1 <= g.PlotLeft() + cell.Right && top - 1 >= g.PlotTop() + cell.Top &&
                       top + height + 1 <= g.PlotTop() + cell.Bottom;
            };
            bool isSmall = false;
            for (const TOverlayFont* font : {&normal, &small}) {
                const int width = font->Width(text);
                const int left = x - width / 2;
                const int top = y - font->Height / 2;
                if (fits(left, top, width, font->Height)) {
                    texts.push_back({left, top, std::move(text), isSmall});
                    break;
                }
                isSmall = true;
            }
        }
    }
    return texts;
}

}  // namespace kelvane
