#pragma once

#include <filesystem>

#include "core/maps/MapGrid.h"
#include "core/maps/MapSets.h"
#include "core/shell/KelvaneState.h"
#include "core/shell/Settings.h"

namespace kelvane {

// Target AFR map files hold LH map text with one decimal.
inline constexpr int TargetAfrDecimals = 1;

// Reads a target AFR map file into map; false (map unchanged) when the file
// cannot be read or holds fewer than 16 map lines.
bool ReadTargetAfrMapFile(const std::filesystem::path& path, TMapGrid& map);

// Writes the map (an existing file is replaced); false when it could not be written.
bool WriteTargetAfrMapFile(const std::filesystem::path& path, const TMapGrid& map);

// Start-up: the map from "TargetAFRmap.txt" in the common data folder, or the
// default rows when that file is missing or short. The edited flag is cleared.
void LoadStartupTargetAfrMap(const std::filesystem::path& commonRoot, TFuelMapSet& fuel);

// Settings hooks that read and write the state's target AFR map (and clear or
// keep its edited flag) when the settings are loaded and saved. The state
// must outlive the hooks; other hooks are left empty.
TSettingsHooks TargetAfrMapHooks(TKelvaneState& state);

}  // namespace kelvane
