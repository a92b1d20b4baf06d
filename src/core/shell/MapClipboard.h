#pragma once

#include <optional>
#include <string>
#include <string_view>

#include "core/state/KelvaneState.h"
#include "core/state/StateChange.h"

namespace kelvane {

// Edit menu items, set when the menu opens.
struct TMenuItemState {
    std::string Caption;
    bool Enabled = false;
};
TMenuItemState CopyMapItem(const TKelvaneState& state);
TMenuItemState PasteMapItem(std::string_view clipboardText);

// The current view's updated map as a clipboard block; empty when that view's
// reference is not loaded.
std::optional<std::string> CopyUpdatedMap(const TKelvaneState& state);
// The updated fuel map (whole numbers) or ignition map (one decimal) as a
// clipboard block; empty when its reference is not loaded.
std::optional<std::string> CopyUpdatedFuelMap(const TKelvaneState& state);
std::optional<std::string> CopyUpdatedIgnitionMap(const TKelvaneState& state);

// Whole-map paste into the LH reference (tried first) or the EZK reference.
// The pasted map has no file and no bin source. The changes made; empty, with
// nothing changed, when the text holds no map block.
TChangeSet PasteMap(TKelvaneState& state, std::string_view clipboardText);

}  // namespace kelvane
