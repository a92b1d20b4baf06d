#include "core/shell/SettingsWindows.h"

#include <array>

#include "core/adjust/FuelAdjustment.h"
#include "core/ground/IniKeys.h"

namespace kelvane {

namespace {

struct TWindowSection {
    std::string_view Section;
    std::optional<TWindowSize> TWindowSettings::*Size;
};

constexpr std::array<TWindowSection, 9> WindowSections{{
    {MainWindowSection, &TWindowSettings::MainWindow},
    {LogWindowSection, &TWindowSettings::LogWindow},
    {MapWindowSection, &TWindowSettings::MapWindow},
    {ColorWindowSection, &TWindowSettings::ColorWindow},
    {OptionsWindowSection, &TWindowSettings::OptionsWindow},
    {ProjectWindowSection, &TWindowSettings::ProjectWindow},
    {MapViewerWindowSection, &TWindowSettings::MapViewerWindow},
    {LHAdjustSection, &TWindowSettings::LHAdjustWindow},
    {EZKAdjustSection, &TWindowSettings::EZKAdjustWindow},
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
    readBool(StartupWindowKey, &TLayoutSettings::StartupWindow);
    readInteger(DataLogWidthKey, &TLayoutSettings::DataLogWidth);
    readBool(DataLogVisibleKey, &TLayoutSettings::DataLogVisible);
    readInteger(DataGraphHeightKey, &TLayoutSettings::DataGraphHeight);
    readBool(DataGraphVisibleKey, &TLayoutSettings::DataGraphVisible);
    layout.DefaultFolder = main.ReadString(SettingsSection, DefaultFolderKey, defaults.DefaultFolder);
    layout.MapFolder = main.ReadString(SettingsSection, MapFolderKey, defaults.MapFolder);
    layout.PlotImageFolder = main.ReadString(SettingsSection, PlotImageFolderKey, defaults.PlotImageFolder);
    layout.MapFile = main.ReadString(SettingsSection, MapFileKey, defaults.MapFile);
    readInteger(MapFilterKey, &TLayoutSettings::MapFilter);
    layout.UpdatesServer = main.ReadString(UpdatesSection, UpdatesServerKey, defaults.UpdatesServer);
    layout.UpdatesFolder = main.ReadString(UpdatesSection, UpdatesFolderKey, defaults.UpdatesFolder);
}

void ReadAfrScaleSettings(const TIniFile2& main, TPlotDisplay& display) {
    const TPlotDisplay defaults;
    display.ShowAfrScale = main.ReadBool(SettingsSection, AfrScaleVisibleKey, defaults.ShowAfrScale);
    display.AfrScaleX = main.ReadInteger(SettingsSection, AfrScaleXPositionKey, defaults.AfrScaleX);
    display.AfrScaleY = main.ReadInteger(SettingsSection, AfrScaleYPositionKey, defaults.AfrScaleY);
}

bool WriteAfrScaleSettings(TIniFile2& main, const TPlotDisplay& display) {
    bool ok = main.WriteBool(SettingsSection, AfrScaleVisibleKey, display.ShowAfrScale);
    ok &= main.WriteInteger(SettingsSection, AfrScaleXPositionKey, display.AfrScaleX);
    ok &= main.WriteInteger(SettingsSection, AfrScaleYPositionKey, display.AfrScaleY);
    return ok;
}

bool WriteLayoutSettings(TIniFile2& main, const TLayoutSettings& layout) {
    bool ok = main.WriteBool(SettingsSection, StartupWindowKey, layout.StartupWindow);
    ok &= main.WriteInteger(SettingsSection, DataLogWidthKey, layout.DataLogWidth);
    ok &= main.WriteBool(SettingsSection, DataLogVisibleKey, layout.DataLogVisible);
    ok &= main.WriteInteger(SettingsSection, DataGraphHeightKey, layout.DataGraphHeight);
    ok &= main.WriteBool(SettingsSection, DataGraphVisibleKey, layout.DataGraphVisible);
    ok &= main.WriteString(SettingsSection, DefaultFolderKey, layout.DefaultFolder);
    ok &= main.WriteString(SettingsSection, MapFolderKey, layout.MapFolder);
    ok &= main.WriteString(SettingsSection, PlotImageFolderKey, layout.PlotImageFolder);
    ok &= main.WriteString(SettingsSection, MapFileKey, layout.MapFile);
    ok &= main.WriteInteger(SettingsSection, MapFilterKey, layout.MapFilter);
    ok &= main.WriteString(UpdatesSection, UpdatesServerKey, layout.UpdatesServer);
    ok &= main.WriteString(UpdatesSection, UpdatesFolderKey, layout.UpdatesFolder);
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
    windows.LogWindowStayOnTop = main.ReadBool(LogWindowSection, StayOnTopKey, defaults.LogWindowStayOnTop);
    windows.MapWindowStayOnTop = main.ReadBool(MapWindowSection, StayOnTopKey, defaults.MapWindowStayOnTop);
    windows.ColorWindowRgbMode = main.ReadBool(ColorWindowSection, RgbModeKey, defaults.ColorWindowRgbMode);
    windows.OptionsSetDefaultFilters =
        main.ReadBool(OptionsWindowSection, SetDefaultFiltersKey, defaults.OptionsSetDefaultFilters);
    windows.OptionsActiveTabIndex = main.ReadInteger(OptionsWindowSection, ActiveTabIndexKey, 0);
    windows.MapViewerViewAngle =
        main.ReadString(MapViewerWindowSection, ViewAngleKey, defaults.MapViewerViewAngle);
    windows.MapViewerStayOnTop =
        main.ReadBool(MapViewerWindowSection, StayOnTopKey, defaults.MapViewerStayOnTop);
    windows.LHAdjustTargetAfr = main.ReadString(LHAdjustSection, TargetAfrKey, defaults.LHAdjustTargetAfr);
    windows.LHAdjustTargetMap = main.ReadBool(LHAdjustSection, TargetMapKey, defaults.LHAdjustTargetMap);
    windows.EZKAdjustMaxCyls =
        main.ReadString(EZKAdjustSection, MaxCylsKey, FormatNumber(firstKnockLimit.MaxCylinders, 0));
    windows.EZKAdjustMaxRetard =
        main.ReadString(EZKAdjustSection, MaxRetardKey, FormatNumber(firstKnockLimit.MaxRetard, 1));
}

bool WriteWindowSettings(TIniFile2& main, const TWindowSettings& windows) {
    bool ok = true;
    // A window never placed keeps no size, so it is centred next time too.
    for (const TWindowSection& window : WindowSections)
        if (const auto& size = windows.*window.Size) ok &= WriteWindowSize(main, window.Section, *size);
    ok &= main.WriteBool(LogWindowSection, StayOnTopKey, windows.LogWindowStayOnTop);
    ok &= main.WriteBool(MapWindowSection, StayOnTopKey, windows.MapWindowStayOnTop);
    ok &= main.WriteBool(ColorWindowSection, RgbModeKey, windows.ColorWindowRgbMode);
    ok &= main.WriteBool(OptionsWindowSection, SetDefaultFiltersKey, windows.OptionsSetDefaultFilters);
    ok &= main.WriteInteger(OptionsWindowSection, ActiveTabIndexKey, windows.OptionsActiveTabIndex);
    ok &= main.WriteBool(MapViewerWindowSection, StayOnTopKey, windows.MapViewerStayOnTop);
    ok &= main.WriteString(LHAdjustSection, TargetAfrKey, windows.LHAdjustTargetAfr);
    ok &= main.WriteBool(LHAdjustSection, TargetMapKey, windows.LHAdjustTargetMap);
    ok &= main.WriteString(EZKAdjustSection, MaxCylsKey, windows.EZKAdjustMaxCyls);
    ok &= main.WriteString(EZKAdjustSection, MaxRetardKey, windows.EZKAdjustMaxRetard);
    return ok;
}

bool WriteLogWindowSettings(TIniFile2& main, const TWindowSettings& windows) {
    bool ok = true;
    if (windows.LogWindow) ok &= WriteWindowSize(main, LogWindowSection, *windows.LogWindow);
    ok &= main.WriteBool(LogWindowSection, StayOnTopKey, windows.LogWindowStayOnTop);
    return ok;
}

bool WriteLHAdjustSettings(TIniFile2& main, const TWindowSettings& windows, double vertWidth,
                           double horizWidth) {
    bool ok = true;
    if (windows.LHAdjustWindow) ok &= WriteWindowSize(main, LHAdjustSection, *windows.LHAdjustWindow);
    ok &= main.WriteString(LHAdjustSection, TargetAfrKey, windows.LHAdjustTargetAfr);
    ok &= main.WriteBool(LHAdjustSection, TargetMapKey, windows.LHAdjustTargetMap);
    ok &= main.WriteString(LHAdjustSection, VerticalSmoothingKey, SmoothingWidthSettingText(vertWidth));
    ok &= main.WriteString(LHAdjustSection, HorizontalSmoothingKey, SmoothingWidthSettingText(horizWidth));
    return ok;
}

bool WriteEZKAdjustSettings(TIniFile2& main, const TWindowSettings& windows) {
    bool ok = true;
    if (windows.EZKAdjustWindow) ok &= WriteWindowSize(main, EZKAdjustSection, *windows.EZKAdjustWindow);
    ok &= main.WriteString(EZKAdjustSection, MaxCylsKey, windows.EZKAdjustMaxCyls);
    ok &= main.WriteString(EZKAdjustSection, MaxRetardKey, windows.EZKAdjustMaxRetard);
    return ok;
}

bool WriteOptionsWindowSettings(TIniFile2& main, const TWindowSettings& windows) {
    bool ok = true;
    if (windows.OptionsWindow) ok &= WriteWindowSize(main, OptionsWindowSection, *windows.OptionsWindow);
    ok &= main.WriteInteger(OptionsWindowSection, ActiveTabIndexKey, windows.OptionsActiveTabIndex);
    ok &= main.WriteBool(OptionsWindowSection, SetDefaultFiltersKey, windows.OptionsSetDefaultFilters);
    return ok;
}

bool WriteColorWindowSettings(TIniFile2& main, const TWindowSettings& windows) {
    bool ok = true;
    if (windows.ColorWindow) ok &= WriteWindowSize(main, ColorWindowSection, *windows.ColorWindow);
    ok &= main.WriteBool(ColorWindowSection, RgbModeKey, windows.ColorWindowRgbMode);
    return ok;
}

}  // namespace kelvane
