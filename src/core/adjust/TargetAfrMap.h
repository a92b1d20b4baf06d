#pragma once

#include <filesystem>
#include <string_view>

#include "core/maps/MapGrid.h"
#include "core/maps/MapSets.h"
#include "core/maps/MapText.h"

namespace kelvane {

inline constexpr std::string_view TargetAfrMapFileName = "TargetAFRmap.txt";

// Target AFR map files hold LH map text with one decimal.
inline constexpr int TargetAfrDecimals = 1;

// Reads a target AFR map file into map; false (map unchanged) when the file
// cannot be read or holds fewer than 16 map lines.
bool ReadTargetAfrMapFile(const std::filesystem::path& path, TMapGrid& map);

// Writes the map (an existing file is replaced; one that already holds these
// bytes is left untouched); the result says whether and why not.
[[nodiscard]] TMapWriteResult WriteTargetAfrMapFile(const std::filesystem::path& path, const TMapGrid& map);

// Start-up: the map from "TargetAFRmap.txt" in the common data folder, or the
// default rows when that file is missing or short. The edited flag is cleared.
void LoadStartupTargetAfrMap(const std::filesystem::path& commonRoot, TFuelMapSet& fuel);

}  // namespace kelvane
