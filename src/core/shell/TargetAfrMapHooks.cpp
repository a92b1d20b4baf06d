#include "core/shell/TargetAfrMapHooks.h"

#include "core/adjust/TargetAfrMap.h"

namespace kelvane {

TSettingsHooks TargetAfrMapHooks(TKelvaneState& state) {
    TSettingsHooks hooks;
    hooks.TargetAfrMap = &state.Fuel.TargetAfr;
    hooks.TargetAfrEdited = &state.Fuel.TargetEdited;
    hooks.ReadTargetAfrMap = ReadTargetAfrMapFile;
    hooks.WriteTargetAfrMap = WriteTargetAfrMapFile;
    return hooks;
}

}  // namespace kelvane
