#include "core/shell/SettingsWindows.h"

#include <array>

namespace kelvane {

namespace {

constexpr std::string_view WindowSizeKey = "Window Size";
constexpr std::string_view StayOnTopKey = "Stay on top";

struct TWindowSection {
    std::string_view Section;
    std::optional<TWindowSize> TWindowSettings::*Size;
};

constexpr std::array<TWindowSection, 9> WindowSections{{
    {MainWindowSection, &TWindowSettings::MainWindow},
    {"Log Window", &TWindowSettings::LogWindow},
    {"Map Window", &TWindowSettings::MapWindow},
    {"Color Window", &TWindowSettings::ColorWindow},
    {"Options Window", &TWindowSettings::OptionsWindow},
    {"Project Window", &TWindowSettings::ProjectWindow},
    {"MapViewer Window", &TWindowSettings::MapViewerWindow},
    {"LH Adjust", &TWindowSettings::LHAdjustWindow},
    {"EZK Adjust", &TWindowSettings::EZKAdjustWindow},
}};

}  // namespace

void ReadLayoutSettings(const TIniFile2& main, TLayoutSettings& layout) {
    const TLayoutSettings defaults;
    const auto readBool = [&](std::string_view key, bool TLayoutSettings::*field) {
        layout.*field = main.ReadBool(SettingsSection, key, defaults.*field);
    };
    const auto readInteger = [&](std::string_view key, int TLayoutSettings::*field) {
        layout.*field = main.ReadInteger(SettingsSection, key, defaults.*field);
    };
    readBool("Startup Window", &TLayoutSettings::StartupWindow);
    readInteger("Data Log Width", &TLayoutSettings::DataLogWidth);
    readBool("Data Log Visible", &TLayoutSettings::DataLogVisible);
    readInteger("Data Graph Height", &TLayoutSettings::DataGraphHeight);
    readBool("Data Graph Visible", &TLayoutSettings::DataGraphVisible);
    layout.DefaultFolder = main.ReadString(SettingsSection, "Default Folder", defaults.DefaultFolder);
    layout.MapFolder = main.ReadString(SettingsSection, "Map Folder", defaults.MapFolder);
    layout.MapFile = main.ReadString(SettingsSection, "Map File", defaults.MapFile);
    readInteger("Map Filter", &TLayoutSettings::MapFilter);
    layout.UpdatesServer = main.ReadString("Updates", "Updates Server", defaults.UpdatesServer);
    layout.UpdatesFolder = main.ReadString("Updates", "Updates Folder", defaults.UpdatesFolder);
}

void ReadAfrScaleSettings(const TIniFile2& main, TPlotDisplay& display) {
    const TPlotDisplay defaults;
    display.ShowAfrScale = main.ReadBool(SettingsSection, "AFR Scale Visible", defaults.ShowAfrScale);
    display.AfrScaleX = main.ReadInteger(SettingsSection, "AFR Scale X-Position", defaults.AfrScaleX);
    display.AfrScaleY = main.ReadInteger(SettingsSection, "AFR Scale Y-Position", defaults.AfrScaleY);
}

bool WriteAfrScaleSettings(TIniFile2& main, const TPlotDisplay& display) {
    bool ok = main.WriteBool(SettingsSection, "AFR Scale Visible", display.ShowAfrScale);
    ok &= main.WriteInteger(SettingsSection, "AFR Scale X-Position", display.AfrScaleX);
    ok &= main.WriteInteger(SettingsSection, "AFR Scale Y-Position", display.AfrScaleY);
    return ok;
}

bool WriteLayoutSettings(TIniFile2& main, const TLayoutSettings& layout) {
    bool ok = main.WriteBool(SettingsSection, "Startup Window", layout.StartupWindow);
    ok &= main.WriteInteger(SettingsSection, "Data Log Width", layout.DataLogWidth);
    ok &= main.WriteBool(SettingsSection, "Data Log Visible", layout.DataLogVisible);
    ok &= main.WriteInteger(SettingsSection, "Data Graph Height", layout.DataGraphHeight);
    ok &= main.WriteBool(SettingsSection, "Data Graph Visible", layout.DataGraphVisible);
    ok &= main.WriteString(SettingsSection, "Default Folder", layout.DefaultFolder);
    ok &= main.WriteString(SettingsSection, "Map Folder", layout.MapFolder);
    ok &= main.WriteString(SettingsSection, "Map File", layout.MapFile);
    ok &= main.WriteInteger(SettingsSection, "Map Filter", layout.MapFilter);
    ok &= main.WriteString("Updates", "Updates Server", layout.UpdatesServer);
    ok &= main.WriteString("Updates", "Updates Folder", layout.UpdatesFolder);
    return ok;
}

std::string ReadWindowSizeText(const TIniFile2& main, std::string_view section) {
    return main.ReadString(section, WindowSizeKey, "");
}

std::optional<TWindowSize> ReadWindowSize(const TIniFile2& main, std::string_view section) {
    return ParseWindowSize(ReadWindowSizeText(main, section));
}

bool WriteWindowSize(TIniFile2& main, std::string_view section, const TWindowSize& size) {
    return main.WriteString(section, WindowSizeKey, FormatWindowSize(size));
}

void ReadWindowSettings(const TIniFile2& main, const TKnockLimit& firstKnockLimit, TWindowSettings& windows) {
    for (const TWindowSection& window : WindowSections)
        windows.*window.Size = ReadWindowSize(main, window.Section);
    const TWindowSettings defaults;
    windows.LogWindowStayOnTop = main.ReadBool("Log Window", StayOnTopKey, defaults.LogWindowStayOnTop);
    windows.MapWindowStayOnTop = main.ReadBool("Map Window", StayOnTopKey, defaults.MapWindowStayOnTop);
    windows.ColorWindowRgbMode = main.ReadBool("Color Window", "RGB mode", defaults.ColorWindowRgbMode);
    windows.OptionsSetDefaultFilters =
        main.ReadBool("Options Window", "Set Default Filters", defaults.OptionsSetDefaultFilters);
    windows.OptionsActiveTabIndex = main.ReadInteger("Options Window", "Active Tab Index", 0);
    windows.MapViewerViewAngle =
        main.ReadString("MapViewer Window", "View Angle", defaults.MapViewerViewAngle);
    windows.MapViewerStayOnTop = main.ReadBool("MapViewer Window", StayOnTopKey, defaults.MapViewerStayOnTop);
    windows.LHAdjustTargetAfr = main.ReadString("LH Adjust", "TargetAFR", defaults.LHAdjustTargetAfr);
    windows.LHAdjustTargetMap = main.ReadBool("LH Adjust", "Target Map", defaults.LHAdjustTargetMap);
    windows.EZKAdjustMaxCyls =
        main.ReadString("EZK Adjust", "Max Cyls", FormatNumber(firstKnockLimit.MaxCylinders, 0));
    windows.EZKAdjustMaxRetard =
        main.ReadString("EZK Adjust", "Max Retard", FormatNumber(firstKnockLimit.MaxRetard, 1));
}

bool WriteWindowSettings(TIniFile2& main, const TWindowSettings& windows) {
    bool ok = true;
    // A window never placed keeps no size, so it is centred next time too.
    for (const TWindowSection& window : WindowSections)
        if (const auto& size = windows.*window.Size) ok &= WriteWindowSize(main, window.Section, *size);
    ok &= main.WriteBool("Log Window", StayOnTopKey, windows.LogWindowStayOnTop);
    ok &= main.WriteBool("Map Window", StayOnTopKey, windows.MapWindowStayOnTop);
    ok &= main.WriteBool("Color Window", "RGB mode", windows.ColorWindowRgbMode);
    ok &= main.WriteBool("Options Window", "Set Default Filters", windows.OptionsSetDefaultFilters);
    ok &= main.WriteInteger("Options Window", "Active Tab Index", windows.OptionsActiveTabIndex);
    ok &= main.WriteBool("MapViewer Window", StayOnTopKey, windows.MapViewerStayOnTop);
    ok &= main.WriteString("LH Adjust", "TargetAFR", windows.LHAdjustTargetAfr);
    ok &= main.WriteBool("LH Adjust", "Target Map", windows.LHAdjustTargetMap);
    ok &= main.WriteString("EZK Adjust", "Max Cyls", windows.EZKAdjustMaxCyls);
    ok &= main.WriteString("EZK Adjust", "Max Retard", windows.EZKAdjustMaxRetard);
    return ok;
}

}  // namespace kelvane
