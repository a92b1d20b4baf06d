#pragma once

#include "core/display/ColorTable.h"
#include "core/ground/IniFile2.h"

namespace kelvane {

// The active colour scale from the settings file at start-up. On the first run
// ("Use Color Table" absent or not a number) the two built-in tables are
// written there and table 2 is chosen. A table whose section is missing or
// holds no keys gives built-in table 2.
TColorScale LoadColorTable(TIniFile2& ini);

// Writes the scale back at exit: its number under "Use Color Table" and its
// entries, in order, as the only keys of its own section (a user-edited table
// is table 0). False when the file could not be written.
[[nodiscard]] bool SaveColorTable(TIniFile2& ini, const TColorScale& scale);

}  // namespace kelvane
