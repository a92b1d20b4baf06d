#include "core/shell/MapClipboard.h"

#include "core/shell/MapKinds.h"

namespace kelvane {

namespace {

template <class TKind>
TChangeSet PasteReference(TKelvaneState& state, std::string_view clipboardText) {
    auto& set = TKind::Set(state);
    set.ReferenceLoaded = TKind::ReadBlock(clipboardText, set.Reference);
    set.Source = TKind::TextSource;
    set.ReferencePath.clear();
    TKind::ResetAdjustments(state);
    return TKind::Change | TChange::Axes;
}

}  // namespace

TMenuItemState CopyMapItem(const TKelvaneState& state) {
    if (state.Display.View == TPlotView::EZK)
        return {"Copy Updated EZK &Map", state.Ignition.ReferenceLoaded};
    return {"Copy Updated LH &Map", state.Fuel.ReferenceLoaded};
}

TMenuItemState PasteMapItem(std::string_view clipboardText) {
    if (IsEZKMapBlock(clipboardText)) return {"Paste EZK Map", true};
    if (IsLHMapBlock(clipboardText)) return {"Paste LH Map", true};
    return {"Paste Map", false};
}

std::optional<std::string> CopyUpdatedMap(const TKelvaneState& state) {
    return state.Display.View == TPlotView::EZK ? CopyUpdatedIgnitionMap(state) : CopyUpdatedFuelMap(state);
}

std::optional<std::string> CopyUpdatedFuelMap(const TKelvaneState& state) {
    if (!state.Fuel.ReferenceLoaded) return std::nullopt;
    return CopyBlock(state.Fuel.Updated, WholeMap, 0);
}

std::optional<std::string> CopyUpdatedIgnitionMap(const TKelvaneState& state) {
    if (!state.Ignition.ReferenceLoaded) return std::nullopt;
    return CopyBlock(state.Ignition.Updated, WholeMap, 1);
}

TChangeSet PasteMap(TKelvaneState& state, std::string_view clipboardText) {
    if (TFuelMapKind::IsMapBlock(clipboardText)) return PasteReference<TFuelMapKind>(state, clipboardText);
    if (TIgnitionMapKind::IsMapBlock(clipboardText))
        return PasteReference<TIgnitionMapKind>(state, clipboardText);
    return {};
}

}  // namespace kelvane
