#pragma once

#include <string_view>

namespace kelvane {

// Every section and key name of the settings files (main, project and
// session "Kelvane.ini"), in one place. Stored files carry these texts, so
// they never change. Each name is its text in PascalCase followed by Section
// or Key; names that are built from a number have a Prefix or Suffix.

// [Settings]: main file, and the single section of project and session files.
inline constexpr std::string_view SettingsSection = "Settings";
inline constexpr std::string_view LHVersionKey = "LH Version";
inline constexpr std::string_view LHConfigKey = "LH Config";
inline constexpr std::string_view EZKConfigKey = "EZK Config";
inline constexpr std::string_view PlotPointSizeKey = "Plot Point Size";
inline constexpr std::string_view AutoScaleKey = "AutoScale";
inline constexpr std::string_view ManualScaleKey = "Manual Scale";
inline constexpr std::string_view MinPlotRpmKey = "Min Plot RPM";
inline constexpr std::string_view MaxPlotRpmKey = "Max Plot RPM";
inline constexpr std::string_view MinPlotMafKey = "Min Plot MAF";
inline constexpr std::string_view MaxPlotMafKey = "Max Plot MAF";
inline constexpr std::string_view CellCursorKey = "Cell Cursor";
inline constexpr std::string_view LastProgramVersionKey = "Last Program Version";
inline constexpr std::string_view LastStartedKey = "Last Started";
inline constexpr std::string_view StartupWindowKey = "Startup Window";
inline constexpr std::string_view DataLogWidthKey = "Data Log Width";
inline constexpr std::string_view DataLogVisibleKey = "Data Log Visible";
inline constexpr std::string_view DataGraphHeightKey = "Data Graph Height";
inline constexpr std::string_view DataGraphVisibleKey = "Data Graph Visible";
inline constexpr std::string_view AfrScaleVisibleKey = "AFR Scale Visible";
inline constexpr std::string_view AfrScaleXPositionKey = "AFR Scale X-Position";
inline constexpr std::string_view AfrScaleYPositionKey = "AFR Scale Y-Position";
inline constexpr std::string_view DefaultFolderKey = "Default Folder";
inline constexpr std::string_view MapFolderKey = "Map Folder";
inline constexpr std::string_view PlotImageFolderKey = "Plot Image Folder";
inline constexpr std::string_view MapFileKey = "Map File";
inline constexpr std::string_view MapFilterKey = "Map Filter";

// [Settings] of a project file: the project window's choices.
inline constexpr std::string_view LHVer22Key = "LH ver 2.2";
inline constexpr std::string_view LHConfigurationKey = "LH Configuration";
inline constexpr std::string_view GtRpmGridKey = "GT RPM-grid";
inline constexpr std::string_view LHMapInUseKey = "LH Map in use";
inline constexpr std::string_view EZKMapInUseKey = "EZK Map in use";
// [Settings] of project files (defaults offered in every session) and of
// session files (the map boxes' texts).
inline constexpr std::string_view LHStartingMapFileKey = "LH Starting Map File";
inline constexpr std::string_view EZKStartingMapFileKey = "EZK Starting Map File";
inline constexpr std::string_view LHUpdatedMapFileKey = "LH Updated Map File";
inline constexpr std::string_view EZKUpdatedMapFileKey = "EZK Updated Map File";
// [Settings] of a session file: the ticked logs.
inline constexpr std::string_view OpenFilesKey = "Open files";

// A project's own section in the main file, from an older layout: the
// project name followed by this text, spelt as the files that carry it.
inline constexpr std::string_view LegacyProjectSectionSuffix = " settngs";

// The filter settings: a long key in [Settings] (main and project files) and
// a short key in [Filter] of the main file. "Filters Enabled" is the same in
// both.
inline constexpr std::string_view FiltersEnabledKey = "Filters Enabled";
inline constexpr std::string_view FilterMaxAfrKey = "Filter Max AFR";
inline constexpr std::string_view FilterMaxAfrEnabledKey = "Filter Max AFR enabled";
inline constexpr std::string_view FilterMaxRpmSlopeKey = "Filter Max RPM Slope";
inline constexpr std::string_view FilterMaxRpmSlopeEnabledKey = "Filter Max RPM Slope Enabled";
inline constexpr std::string_view FilterMaxMafSlopeKey = "Filter Max MAF Slope";
inline constexpr std::string_view FilterMaxMafSlopeEnabledKey = "Filter Max MAF Slope Enabled";
inline constexpr std::string_view FilterIncludeIdleKey = "Filter Include Idle";
inline constexpr std::string_view FilterIncludeCruiseKey = "Filter Include Cruise";
inline constexpr std::string_view FilterIncludeWotKey = "Filter Include WOT";
inline constexpr std::string_view FilterInhibitBeforeKey = "Filter Inhibit Before";
inline constexpr std::string_view FilterInhibitAfterKey = "Filter Inhibit After";

// [Filter]: main file.
inline constexpr std::string_view FilterSection = "Filter";
inline constexpr std::string_view MaxAfrKey = "Max AFR";
inline constexpr std::string_view MaxAfrEnabledKey = "Max AFR Enabled";
inline constexpr std::string_view MaxRpmSlopeKey = "Max RPM Slope";
inline constexpr std::string_view MaxRpmSlopeEnabledKey = "Max RPM Slope Enabled";
inline constexpr std::string_view MaxMafSlopeKey = "Max MAF Slope";
inline constexpr std::string_view MaxMafSlopeEnabledKey = "Max MAF Slope Enabled";
inline constexpr std::string_view IncludeIdleKey = "Include Idle";
inline constexpr std::string_view IncludeCruiseKey = "Include Cruise";
inline constexpr std::string_view IncludeWotKey = "Include WOT";
inline constexpr std::string_view InhibitBeforeKey = "Inhibit Before";
inline constexpr std::string_view InhibitAfterKey = "Inhibit After";
inline constexpr std::string_view AfrSmoothingKey = "AFR Smoothing";
// Followed by the knock limit's number, from 1.
inline constexpr std::string_view MaxKnockRetardKeyPrefix = "Max Knock Retard ";
inline constexpr std::string_view MaxKnockCylindersKeyPrefix = "Max Knock Cylinders ";

// [Adjust]: main file.
inline constexpr std::string_view AdjustSection = "Adjust";
inline constexpr std::string_view SmoothingKey = "Smoothing";

// [Folders]: main file.
inline constexpr std::string_view FoldersSection = "Folders";
inline constexpr std::string_view ProjectFolderKey = "Project Folder";
inline constexpr std::string_view VortrixLogsKey = "Vortrix Logs";
inline constexpr std::string_view ProjectNameKey = "Project Name";
inline constexpr std::string_view SessionNameKey = "Session Name";
inline constexpr std::string_view SessionFolderKey = "Session Folder";
inline constexpr std::string_view CommonRootKey = "Common Root";
inline constexpr std::string_view ProgramRootKey = "Program Root";
inline constexpr std::string_view WindowsProgramFilesFolderKey = "Windows Program-files folder";
inline constexpr std::string_view WindowsAppDataFolderKey = "Windows App-data folder";
inline constexpr std::string_view WindowsUserDataFolderKey = "Windows User-data folder";

// [Colors] and one [Color Table n] per stored table: main file.
inline constexpr std::string_view ColorsSection = "Colors";
inline constexpr std::string_view UseColorTableKey = "Use Color Table";
// Followed by the table's number.
inline constexpr std::string_view ColorTableSectionPrefix = "Color Table ";

// [Recent Files]: main file; the keys are the numbers "1", "2", ...
inline constexpr std::string_view RecentFilesSection = "Recent Files";

// [Updates]: main file.
inline constexpr std::string_view UpdatesSection = "Updates";
inline constexpr std::string_view UpdatesServerKey = "Updates Server";
inline constexpr std::string_view UpdatesFolderKey = "Updates Folder";

// One section per window in the main file.
inline constexpr std::string_view MainWindowSection = "Main Window";
inline constexpr std::string_view LogWindowSection = "Log Window";
inline constexpr std::string_view MapWindowSection = "Map Window";
inline constexpr std::string_view ColorWindowSection = "Color Window";
inline constexpr std::string_view OptionsWindowSection = "Options Window";
inline constexpr std::string_view ProjectWindowSection = "Project Window";
inline constexpr std::string_view MapViewerWindowSection = "MapViewer Window";
inline constexpr std::string_view LHAdjustSection = "LH Adjust";
inline constexpr std::string_view EZKAdjustSection = "EZK Adjust";
// Keys of several window sections.
inline constexpr std::string_view WindowSizeKey = "Window Size";
inline constexpr std::string_view StayOnTopKey = "Stay on top";
// Keys of a single window section.
inline constexpr std::string_view RgbModeKey = "RGB mode";                       // Color Window
inline constexpr std::string_view SetDefaultFiltersKey = "Set Default Filters";  // Options Window
inline constexpr std::string_view ActiveTabIndexKey = "Active Tab Index";        // Options Window
inline constexpr std::string_view ViewAngleKey = "View Angle";                   // MapViewer Window
inline constexpr std::string_view TargetAfrKey = "TargetAFR";                    // LH Adjust
inline constexpr std::string_view TargetMapKey = "Target Map";                   // LH Adjust
inline constexpr std::string_view MaxCylsKey = "Max Cyls";                       // EZK Adjust
inline constexpr std::string_view MaxRetardKey = "Max Retard";                   // EZK Adjust
// LH Adjust: the widths the window was left with (never read back).
inline constexpr std::string_view VerticalSmoothingKey = "Vertical Smoothing";
inline constexpr std::string_view HorizontalSmoothingKey = "Horizontal Smoothing";

}  // namespace kelvane
