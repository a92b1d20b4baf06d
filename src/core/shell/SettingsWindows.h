#pragma once

#include <optional>
#include <string>

#include "core/ground/IniFile2.h"
#include "core/ground/IniKeys.h"
#include "core/ground/SettingsValues.h"
#include "core/plot/PlotDisplay.h"
#include "core/shell/Settings.h"

namespace kelvane {

// Main-file values that belong to windows and dialogs, with their defaults.
// The windows apply them; here they are only values.

struct TLayoutSettings {
    bool StartupWindow = true;
    int DataLogWidth = 300;
    bool DataLogVisible = false;
    int DataGraphHeight = 150;
    bool DataGraphVisible = false;
    std::string DefaultFolder;    // log file dialogs
    std::string MapFolder;        // map dialogs
    std::string PlotImageFolder;  // where the last plot image went; empty: the log folder
    std::string MapFile;
    int MapFilter = 1;
    std::string UpdatesServer = "updates.kelvane.app";
    std::string UpdatesFolder = "updates";

    bool operator==(const TLayoutSettings&) const = default;
};

// Tool window sections. No stored size: the window is centred.
struct TWindowSettings {
    std::optional<TWindowSize> MainWindow;
    std::optional<TWindowSize> LogWindow;
    bool LogWindowStayOnTop = true;
    std::optional<TWindowSize> MapWindow;  // shared by the fuel and ignition map windows
    bool MapWindowStayOnTop = true;
    std::optional<TWindowSize> ColorWindow;
    bool ColorWindowRgbMode = false;
    std::optional<TWindowSize> OptionsWindow;
    bool OptionsSetDefaultFilters = false;
    int OptionsActiveTabIndex = 0;
    std::optional<TWindowSize> ProjectWindow;
    std::optional<TWindowSize> MapViewerWindow;
    std::string MapViewerViewAngle = "20,30";
    bool MapViewerStayOnTop = false;
    std::optional<TWindowSize> LHAdjustWindow;
    std::string LHAdjustTargetAfr = "14.7";
    bool LHAdjustTargetMap = true;
    std::optional<TWindowSize> EZKAdjustWindow;
    // Default: the first knock limit, as 0- and 1-decimal numbers.
    std::string EZKAdjustMaxCyls;
    std::string EZKAdjustMaxRetard;

    bool operator==(const TWindowSettings&) const = default;
};

void ReadLayoutSettings(const TIniFile2& main, TLayoutSettings& layout);

// The AFR scale legend's keys, read into and written from the plot display
// that holds them for the run.
void ReadAfrScaleSettings(const TIniFile2& main, TPlotDisplay& display);
[[nodiscard]] bool WriteAfrScaleSettings(TIniFile2& main, const TPlotDisplay& display);
[[nodiscard]] bool WriteLayoutSettings(TIniFile2& main, const TLayoutSettings& layout);

void ReadWindowSettings(const TIniFile2& main, const TKnockLimit& firstKnockLimit, TWindowSettings& windows);
[[nodiscard]] bool WriteWindowSettings(TIniFile2& main, const TWindowSettings& windows);
// Section "Log Window" alone, written when the Data Log window closes.
[[nodiscard]] bool WriteLogWindowSettings(TIniFile2& main, const TWindowSettings& windows);
// Section "LH Adjust", written when the fuel adjustment window closes: its
// placement, its target, and the smoothing widths it was left with (which no
// opening reads back: the window always starts at 1.0).
[[nodiscard]] bool WriteLHAdjustSettings(TIniFile2& main, const TWindowSettings& windows, double vertWidth,
                                         double horizWidth);
// Section "EZK Adjust", written when the ignition adjustment window closes.
[[nodiscard]] bool WriteEZKAdjustSettings(TIniFile2& main, const TWindowSettings& windows);

// Sections "Options Window" and "Color Window" alone, written when those windows close.
[[nodiscard]] bool WriteOptionsWindowSettings(TIniFile2& main, const TWindowSettings& windows);
[[nodiscard]] bool WriteColorWindowSettings(TIniFile2& main, const TWindowSettings& windows);

// "Window Size" of a window's section; nothing when absent or not four integers.
std::optional<TWindowSize> ReadWindowSize(const TIniFile2& main, std::string_view section);
// The same key as it stands in the file, parsable or not.
std::string ReadWindowSizeText(const TIniFile2& main, std::string_view section);
[[nodiscard]] bool WriteWindowSize(TIniFile2& main, std::string_view section, const TWindowSize& size);

}  // namespace kelvane
