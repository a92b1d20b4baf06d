#pragma once

#include <array>
#include <filesystem>
#include <functional>
#include <memory>
#include <string>
#include <string_view>
#include <vector>

#include "core/logdata/FilterSettings.h"
#include "core/maps/EngineSetup.h"
#include "core/maps/MapAxes.h"
#include "core/maps/MapGrid.h"
#include "core/shell/IniFile2.h"

namespace kelvane {

// Every settings file (main, project and session) has this name.
inline constexpr std::string_view SettingsFileName = "Kelvane.ini";
inline constexpr std::string_view TargetAfrMapFileName = "TargetAFRmap.txt";
inline constexpr std::string_view SettingsSection = "Settings";

// Selected limits of the plot ("Select:").
struct TPlotLimits {
    double MinRpm = 0;
    double MaxRpm = 6600;
    double MinMaf = 28;
    double MaxMaf = 387;

    bool operator==(const TPlotLimits&) const = default;
};

struct TKnockLimit {
    double MaxRetard = 0;
    int MaxCylinders = 0;

    bool operator==(const TKnockLimit&) const = default;
};

// Defaults of section "Filter" of the main file: unlike a project's defaults
// they leave the three limits off.
constexpr TFilterSettings FilterSectionDefaults() {
    TFilterSettings filters;
    filters.MaxAfr = 0;
    filters.MaxAfrEnabled = false;
    filters.MaxRpmSlope = 0;
    filters.MaxRpmSlopeEnabled = false;
    filters.MaxMafSlope = 0;
    filters.MaxMafSlopeEnabled = false;
    filters.InhibitBefore = 0;
    filters.InhibitAfter = 0;
    return filters;
}

constexpr int DefaultAdjustSmoothing = 2;
constexpr int MinPlotPointSize = 2;

// The settings the main window holds, with the values a first run gives.
struct TSettings {
    TEngineSetup EngineSetup;
    int ScaleMode = ScaleDefault;
    int PlotPointSize = 6;
    TPlotLimits PlotLimits;
    TFilterSettings ActiveFilters = FilterSectionDefaults();
    TFilterSettings StoredFilters = FilterSectionDefaults();
    int AfrSmoothing = DefaultAfrSmoothing;
    int AdjustSmoothing = DefaultAdjustSmoothing;
    std::array<TKnockLimit, 2> KnockLimits{{{3.0, 3}, {6.0, 6}}};
    bool CellCursor = true;
    std::filesystem::path ProjectFolder;
    std::string ProjectName;
    std::string SessionName;
    std::vector<std::filesystem::path> RecentFiles;  // newest first

    bool operator==(const TSettings&) const = default;
};

// The settings file of a project or session folder, opened on demand and
// kept until a different folder is asked for.
class TFolderSettingsFile {
  public:
    // Opens folder / "Kelvane.ini" (nothing for an empty folder), first
    // freeing a file kept for another folder. True when a file is open.
    bool Open(const std::filesystem::path& folder);
    void Free() { FFile.reset(); }
    TIniFile2* File() const { return FFile.get(); }

    // Single keys of section "Settings": with no file open a read gives the
    // default and a write does nothing (and reports false).
    std::string ReadString(std::string_view key, std::string_view defaultValue) const;
    bool WriteString(std::string_view key, std::string_view value);
    int ReadInteger(std::string_view key, int defaultValue) const;
    bool WriteInteger(std::string_view key, int value);
    bool ReadBool(std::string_view key, bool defaultValue) const;
    bool WriteBool(std::string_view key, bool value);

  private:
    std::unique_ptr<TIniFile2> FFile;
};

// The main settings file and the cached project and session files.
class TSettingsStore {
  public:
    explicit TSettingsStore(std::filesystem::path commonRoot, std::string_view programBaseName = "Kelvane");

    TIniFile2& Main() { return FMain; }
    const TIniFile2& Main() const { return FMain; }
    const std::filesystem::path& CommonRoot() const { return FCommonRoot; }

    bool OpenProjectSettings(const std::filesystem::path& folder) { return FProject.Open(folder); }
    bool OpenSessionSettings(const std::filesystem::path& folder) { return FSession.Open(folder); }
    TFolderSettingsFile& Project() { return FProject; }
    TFolderSettingsFile& Session() { return FSession; }

  private:
    std::filesystem::path FCommonRoot;
    TIniFile2 FMain;
    TFolderSettingsFile FProject;
    TFolderSettingsFile FSession;
};

// What the settings load and save need from other parts of the program.
struct TSettingsHooks {
    // Rebuild the map axes for the engine setup.
    std::function<void(const TEngineSetup&)> SetupAxes;
    // The target AFR map and its edited flag, kept with the fuel maps: the
    // caller points these at them (see TargetAfrMapHooks). Without them the
    // map is neither read nor written.
    TMapGrid* TargetAfrMap = nullptr;
    bool* TargetAfrEdited = nullptr;
    // Read / write a target AFR map file; false when it could not be done.
    std::function<bool(const std::filesystem::path&, TMapGrid&)> ReadTargetAfrMap;
    std::function<bool(const std::filesystem::path&, const TMapGrid&)> WriteTargetAfrMap;
};

// The target AFR map's file: in the project folder when one is set,
// otherwise in the common root.
std::filesystem::path TargetAfrMapPath(const TSettingsStore& store, const TSettings& settings);

// startupOnly: the start-up load from the main file. Otherwise the project
// load: each plot and filter key comes from the main file, then the project's
// own section in it, then the project file, each level defaulting to the one
// before.
void LoadSettings(TSettingsStore& store, TSettings& settings, bool startupOnly,
                  const TSettingsHooks& hooks = {});

// Writes the project file (when one is open, then frees it), the main file's
// plot and filter keys, and an edited target AFR map. Goes on past failures;
// returns true when everything was written.
bool SaveSettings(TSettingsStore& store, TSettings& settings, const TSettingsHooks& hooks = {});

}  // namespace kelvane
