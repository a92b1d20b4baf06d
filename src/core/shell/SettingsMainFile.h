#pragma once

#include <filesystem>
#include <string_view>
#include <vector>

#include "core/ground/IniFile2.h"
#include "core/shell/Settings.h"

namespace kelvane {

// Values of the main file that only the start-up reads and the exit writes,
// besides the plot and filter keys of LoadSettings / SaveSettings.

// The stored filter defaults from section "Filter", "AFR Smoothing", the
// knock limits, adjustment "Smoothing", the project folder (also from the
// older "Vortrix Logs" + "Project Name" layout) and "Cell Cursor".
void LoadStartupValues(const TIniFile2& main, TSettings& settings);

// Section "Filter" from the stored defaults with smoothing and knock limits,
// section "Adjust", and section "Folders" (project folder; the session keys
// written empty). Goes on past failures; true when everything was written.
[[nodiscard]] bool SaveExitValues(TIniFile2& main, const TSettings& settings);

// Section "Recent Files": the stored paths in order, keeping only files that
// still exist.
std::vector<std::filesystem::path> LoadRecentFiles(const TIniFile2& main);
// Replaces section "Recent Files" with keys "1", "2", ... in list order.
[[nodiscard]] bool SaveRecentFiles(TIniFile2& main, const std::vector<std::filesystem::path>& files);

// "Last Program Version" and "Last Started" of section "Settings".
[[nodiscard]] bool WriteStartStamp(TIniFile2& main, std::string_view versionText,
                                   std::string_view dateTimeText);

}  // namespace kelvane
