#pragma once

#include <array>
#include <filesystem>
#include <functional>
#include <memory>
#include <string>
#include <string_view>
#include <vector>

#include "core/ground/IniFile2.h"
#include "core/ground/IniKeys.h"
#include "core/ground/WriteFailures.h"
#include "core/maps/EngineSetup.h"
#include "core/maps/MapGrid.h"
#include "core/maps/MapText.h"
#include "core/state/SettingsRecord.h"

namespace kelvane {

// Every settings file (main, project and session) has this name.
inline constexpr std::string_view SettingsFileName = "Kelvane.ini";

// The settings file of a project or session folder, opened on demand and
// kept until a different folder is asked for.
class TFolderSettingsFile {
  public:
    // Opens folder / "Kelvane.ini" (nothing for an empty folder), first
    // freeing a file kept for another folder. True when a file is open.
    bool Open(const std::filesystem::path& folder);
    void Free() { FFile.reset(); }
    TIniFile2* File() const { return FFile.get(); }
    // How the files opened from now on are written (see TIniFile2::SetFileWriter).
    void SetFileWriter(TIniFile2::TFileWriter writer);

    // Single keys of section "Settings": with no file open a read gives the
    // default and a write does nothing (and reports false).
    std::string ReadString(std::string_view key, std::string_view defaultValue) const;
    [[nodiscard]] bool WriteString(std::string_view key, std::string_view value);
    int ReadInteger(std::string_view key, int defaultValue) const;
    [[nodiscard]] bool WriteInteger(std::string_view key, int value);
    bool ReadBool(std::string_view key, bool defaultValue) const;
    [[nodiscard]] bool WriteBool(std::string_view key, bool value);

  private:
    std::unique_ptr<TIniFile2> FFile;
    TIniFile2::TFileWriter FWriter;
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
    // How all three files are written (tests count the writes).
    void SetFileWriter(const TIniFile2::TFileWriter& writer);

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
    // Read / write a target AFR map file; false (or a result that is not Ok)
    // when it could not be done.
    std::function<bool(const std::filesystem::path&, TMapGrid&)> ReadTargetAfrMap;
    std::function<TMapWriteResult(const std::filesystem::path&, const TMapGrid&)> WriteTargetAfrMap;
};

// The target AFR map's file: in the project folder when one is set,
// otherwise in the common root.
std::filesystem::path TargetAfrMapPath(const TSettingsStore& store, const TSettings& settings);

// Startup: the start-up load from the main file (also when logs are opened).
// Project: each plot and filter key comes from the main file, then the
// project's own section in it, then the project file, each level defaulting
// to the one before.
enum class TSettingsLoad { Startup, Project };

void LoadSettings(TSettingsStore& store, TSettings& settings, TSettingsLoad load,
                  const TSettingsHooks& hooks = {});

// Writes the project file (when one is open, then frees it), the main file's
// plot and filter keys, and an edited target AFR map, each settings file in
// one write. Goes on past failures and returns the files it could not write.
[[nodiscard]] TWriteFailures SaveSettings(TSettingsStore& store, TSettings& settings,
                                          const TSettingsHooks& hooks = {});

}  // namespace kelvane
