#pragma once

#include "core/shell/Settings.h"
#include "core/state/KelvaneState.h"

namespace kelvane {

// Settings hooks that read and write the state's target AFR map (and clear or
// keep its edited flag) when the settings are loaded and saved. The state
// must outlive the hooks; other hooks are left empty.
TSettingsHooks TargetAfrMapHooks(TKelvaneState& state);

}  // namespace kelvane
