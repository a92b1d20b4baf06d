#include "core/shell/Settings.h"

#include <algorithm>
#include <cmath>

#include "core/adjust/TargetAfrMap.h"
#include "core/ground/AtomicFile.h"
#include "core/ground/IniKeys.h"
#include "core/ground/PathText.h"
#include "core/maps/EngineSetupText.h"
#include "core/shell/SettingsFilterKeys.h"

namespace kelvane {

namespace {

// A project's own section in the main file, from an older layout.
std::string LegacyProjectSection(const std::string& projectName) {
    return projectName + std::string(LegacyProjectSectionSuffix);
}

// Reads one key through several files and sections; each level's result is
// the default of the next, so the last level that holds a valid value wins.
class TCascade {
  public:
    struct TLevel {
        const TIniFile2* File;
        std::string Section;
    };

    explicit TCascade(std::vector<TLevel> levels) : FLevels(std::move(levels)) {}

    std::string Text(std::string_view key, std::string_view defaultValue) const {
        std::string value(defaultValue);
        for (const TLevel& level : FLevels) value = level.File->ReadString(level.Section, key, value);
        return value;
    }
    int Integer(std::string_view key, int defaultValue) const {
        for (const TLevel& level : FLevels)
            defaultValue = level.File->ReadInteger(level.Section, key, defaultValue);
        return defaultValue;
    }
    bool Bool(std::string_view key, bool defaultValue) const {
        for (const TLevel& level : FLevels)
            defaultValue = level.File->ReadBool(level.Section, key, defaultValue);
        return defaultValue;
    }
    // Hand-edited project values may carry a decimal comma.
    double Number(std::string_view key, double defaultValue) const {
        for (const TLevel& level : FLevels)
            defaultValue = level.File->ReadNumber(level.Section, key, TDecimalComma::Accepted, defaultValue);
        return defaultValue;
    }

  private:
    std::vector<TLevel> FLevels;
};

void ReadEngineSetup(std::string lhVersion, std::string lhConfig, std::string ezkConfig,
                     TEngineSetup& setup) {
    setup.LHVersion = LHVersionFromText(lhVersion);
    setup.LHConfig = LHConfigFromText(lhConfig);
    setup.EZKVersion = EZKVersionFromText(ezkConfig);
}

void LoadFromMainFile(const TIniFile2& main, TSettings& settings) {
    settings.ScaleMode =
        main.ReadBool(SettingsSection, AutoScaleKey, false) ? TScaleMode::Automatic : TScaleMode::Default;
    ReadEngineSetup(main.ReadString(SettingsSection, LHVersionKey, ""),
                    main.ReadString(SettingsSection, LHConfigKey, ""),
                    main.ReadString(SettingsSection, EZKConfigKey, ""), settings.EngineSetup);
    settings.PlotPointSize =
        std::max(MinPlotPointSize, main.ReadInteger(SettingsSection, PlotPointSizeKey, 6));
    // Taken as they are: the start-up load does not correct the limits.
    TPlotRanges& limits = settings.PlotLimits;
    limits.MinRpm =
        main.ReadInteger(SettingsSection, MinPlotRpmKey, static_cast<int>(DefaultPlotLimits.MinRpm));
    limits.MaxRpm =
        main.ReadInteger(SettingsSection, MaxPlotRpmKey, static_cast<int>(DefaultPlotLimits.MaxRpm));
    limits.MinLoad =
        main.ReadInteger(SettingsSection, MinPlotMafKey, static_cast<int>(DefaultPlotLimits.MinLoad));
    limits.MaxLoad =
        main.ReadInteger(SettingsSection, MaxPlotMafKey, static_cast<int>(DefaultPlotLimits.MaxLoad));
    ReadFilterSection(main, settings.ActiveFilters);
}

void LoadFromProject(const TIniFile2& main, const TIniFile2& project, TSettings& settings) {
    const TCascade plot({{&main, std::string(SettingsSection)},
                         {&main, LegacyProjectSection(settings.ProjectName)},
                         {&project, std::string(SettingsSection)}});
    if (plot.Bool(AutoScaleKey, false))
        settings.ScaleMode = TScaleMode::Automatic;
    else
        settings.ScaleMode = project.ReadBool(SettingsSection, ManualScaleKey, false) ? TScaleMode::Manual
                                                                                      : TScaleMode::Default;

    ReadEngineSetup(plot.Text(LHVersionKey, ""), plot.Text(LHConfigKey, ""), plot.Text(EZKConfigKey, ""),
                    settings.EngineSetup);
    settings.PlotPointSize = std::max(MinPlotPointSize, plot.Integer(PlotPointSizeKey, 6));

    TPlotRanges& limits = settings.PlotLimits;
    limits.MinRpm = plot.Integer(MinPlotRpmKey, 0);
    limits.MaxRpm = std::max<double>(plot.Integer(MaxPlotRpmKey, static_cast<int>(DefaultPlotLimits.MaxRpm)),
                                     limits.MinRpm);
    limits.MinLoad = plot.Integer(MinPlotMafKey, 0);
    limits.MaxLoad = std::max<double>(
        plot.Integer(MaxPlotMafKey, static_cast<int>(DefaultPlotLimits.MaxLoad)), limits.MinLoad + 10);

    const TCascade filters({{&main, std::string(SettingsSection)}, {&project, std::string(SettingsSection)}});
    constexpr TFilterSettings Defaults{};
    for (const TFilterKey& key : FilterKeys) {
        if (key.Number)
            settings.ActiveFilters.*key.Number = filters.Number(key.SettingsKey, Defaults.*key.Number);
        else
            settings.ActiveFilters.*key.Switch = filters.Bool(key.SettingsKey, Defaults.*key.Switch);
    }
}

// A code 0 writes nothing, so a value stored earlier stays.
bool WriteEngineSetup(TIniFile2& ini, const TEngineSetup& setup) {
    bool ok = true;
    const auto write = [&](std::string_view key, const std::string& text) {
        if (!text.empty()) ok &= ini.WriteString(SettingsSection, key, text);
    };
    write(LHVersionKey, LHVersionText(setup.LHVersion));
    write(LHConfigKey, LHConfigText(setup.LHConfig));
    write(EZKConfigKey, EZKVersionText(setup.EZKVersion));
    return ok;
}

bool WriteProjectFile(TIniFile2& project, const TSettings& settings) {
    bool ok = WriteEngineSetup(project, settings.EngineSetup);
    ok &= project.WriteInteger(SettingsSection, PlotPointSizeKey, settings.PlotPointSize);
    ok &= project.WriteBool(SettingsSection, AutoScaleKey, settings.ScaleMode == TScaleMode::Automatic);
    ok &= project.WriteBool(SettingsSection, ManualScaleKey, settings.ScaleMode == TScaleMode::Manual);
    const TPlotRanges& limits = settings.PlotLimits;
    ok &= project.WriteNumber(SettingsSection, MinPlotRpmKey, limits.MinRpm, 0);
    ok &= project.WriteNumber(SettingsSection, MaxPlotRpmKey, limits.MaxRpm, 0);
    ok &= project.WriteNumber(SettingsSection, MinPlotMafKey, limits.MinLoad, 0);
    ok &= project.WriteNumber(SettingsSection, MaxPlotMafKey, limits.MaxLoad, 0);
    ok &= WriteFilterSettingsKeys(project, settings.ActiveFilters);
    return ok;
}

bool WriteMainFile(TIniFile2& main, const TSettings& settings) {
    bool ok = WriteEngineSetup(main, settings.EngineSetup);
    ok &= main.WriteInteger(SettingsSection, PlotPointSizeKey, settings.PlotPointSize);
    ok &= main.WriteBool(SettingsSection, AutoScaleKey, settings.ScaleMode == TScaleMode::Automatic);
    ok &= main.WriteBool(SettingsSection, ManualScaleKey, false);
    ok &= WriteFilterSettingsKeys(main, settings.StoredFilters);
    return ok;
}

}  // namespace

bool TFolderSettingsFile::Open(const std::filesystem::path& folder) {
    const std::filesystem::path path = folder.empty() ? std::filesystem::path() : folder / SettingsFileName;
    // Compared exactly: where file names keep case, "Proj" and "proj" are two projects.
    if (FFile && FFile->FileName() != path) FFile.reset();
    if (!path.empty() && !FFile) {
        // A save of this file killed part way (a New Session stopped while its
        // settings were written) left a temporary that no later save of another
        // session would take away.
        RemoveStaleTemporaries(path);
        FFile = std::make_unique<TIniFile2>(path);
        FFile->SetFileWriter(FWriter);
    }
    return FFile != nullptr;
}

void TFolderSettingsFile::SetFileWriter(TIniFile2::TFileWriter writer) {
    FWriter = std::move(writer);
    if (FFile) FFile->SetFileWriter(FWriter);
}

std::string TFolderSettingsFile::ReadString(std::string_view key, std::string_view defaultValue) const {
    return FFile ? FFile->ReadString(SettingsSection, key, defaultValue) : std::string(defaultValue);
}

bool TFolderSettingsFile::WriteString(std::string_view key, std::string_view value) {
    return FFile && FFile->WriteString(SettingsSection, key, value);
}

int TFolderSettingsFile::ReadInteger(std::string_view key, int defaultValue) const {
    return FFile ? FFile->ReadInteger(SettingsSection, key, defaultValue) : defaultValue;
}

bool TFolderSettingsFile::WriteInteger(std::string_view key, int value) {
    return FFile && FFile->WriteInteger(SettingsSection, key, value);
}

bool TFolderSettingsFile::ReadBool(std::string_view key, bool defaultValue) const {
    return FFile ? FFile->ReadBool(SettingsSection, key, defaultValue) : defaultValue;
}

bool TFolderSettingsFile::WriteBool(std::string_view key, bool value) {
    return FFile && FFile->WriteBool(SettingsSection, key, value);
}

TSettingsStore::TSettingsStore(std::filesystem::path commonRoot, std::string_view programBaseName)
    : FCommonRoot(std::move(commonRoot)),
      FMain(FCommonRoot / PathOfText(std::string(programBaseName) + ".ini")) {}

void TSettingsStore::SetFileWriter(const TIniFile2::TFileWriter& writer) {
    FMain.SetFileWriter(writer);
    FProject.SetFileWriter(writer);
    FSession.SetFileWriter(writer);
}

std::filesystem::path TargetAfrMapPath(const TSettingsStore& store, const TSettings& settings) {
    const std::filesystem::path& folder =
        settings.ProjectFolder.empty() ? store.CommonRoot() : settings.ProjectFolder;
    return folder / TargetAfrMapFileName;
}

void LoadSettings(TSettingsStore& store, TSettings& settings, TSettingsLoad load,
                  const TSettingsHooks& hooks) {
    if (load == TSettingsLoad::Startup) {
        store.Project().Free();
        LoadFromMainFile(store.Main(), settings);
    } else if (!settings.ProjectFolder.empty() && !settings.ProjectName.empty() &&
               store.OpenProjectSettings(settings.ProjectFolder)) {
        LoadFromProject(store.Main(), *store.Project().File(), settings);
    }

    if (hooks.SetupAxes) hooks.SetupAxes(settings.EngineSetup);
    if (hooks.ReadTargetAfrMap && hooks.TargetAfrMap) {
        // A file that cannot be read leaves the map as it was.
        TMapGrid map = *hooks.TargetAfrMap;
        if (hooks.ReadTargetAfrMap(TargetAfrMapPath(store, settings), map)) *hooks.TargetAfrMap = map;
    }
    if (hooks.TargetAfrEdited) *hooks.TargetAfrEdited = false;
}

TWriteFailures SaveSettings(TSettingsStore& store, TSettings& settings, const TSettingsHooks& hooks) {
    TWriteFailures failures;
    TIniFile2& main = store.Main();
    // Every key of the main file goes into one write of it.
    TIniUpdate mainUpdate(main);
    if (TIniFile2* project = store.Project().File()) {
        TIniUpdate projectUpdate(*project);
        const bool projectWritten = WriteProjectFile(*project, settings) && projectUpdate.Commit();
        // The older per-project section is dropped once the project file holds
        // its values, never before.
        if (projectWritten && !settings.ProjectName.empty() &&
            !main.EraseSection(LegacyProjectSection(settings.ProjectName)))
            failures.Add(main);
        if (!projectWritten) failures.Add(*project);
        store.Project().Free();
    }

    if (!WriteMainFile(main, settings) || !mainUpdate.Commit()) failures.Add(main);

    if (hooks.TargetAfrEdited && *hooks.TargetAfrEdited && hooks.TargetAfrMap && hooks.WriteTargetAfrMap) {
        const std::filesystem::path path = TargetAfrMapPath(store, settings);
        const TMapWriteResult written = hooks.WriteTargetAfrMap(path, *hooks.TargetAfrMap);
        // The edit stays marked when it could not be written.
        if (written.Ok)
            *hooks.TargetAfrEdited = false;
        else
            failures.Add(path, written.ErrorText);
    }
    return failures;
}

}  // namespace kelvane
