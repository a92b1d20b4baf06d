#include "core/shell/SettingsMainFile.h"

#include <algorithm>
#include <string>
#include <system_error>

#include "core/ground/IniKeys.h"
#include "core/ground/PathText.h"
#include "core/shell/OptionsRules.h"
#include "core/shell/SettingsFilterKeys.h"

namespace kelvane {

namespace {

std::string RetardKey(std::size_t index) {
    return std::string(MaxKnockRetardKeyPrefix) + std::to_string(index + 1);
}
std::string CylindersKey(std::size_t index) {
    return std::string(MaxKnockCylindersKeyPrefix) + std::to_string(index + 1);
}

}  // namespace

void LoadStartupValues(const TIniFile2& main, TSettings& settings) {
    ReadFilterSection(main, settings.StoredFilters);
    // Outside 1 .. 6 no sample would get a smoothed AFR at all.
    settings.AfrSmoothing =
        ClampSmoothing(main.ReadInteger(FilterSection, AfrSmoothingKey, DefaultAfrSmoothing));
    const TSettings defaults;
    for (std::size_t i = 0; i < settings.KnockLimits.size(); ++i) {
        TKnockLimit& limit = settings.KnockLimits[i];
        limit.MaxRetard = main.ReadNumber(FilterSection, RetardKey(i), TDecimalComma::Refused,
                                          defaults.KnockLimits[i].MaxRetard);
        limit.MaxCylinders =
            main.ReadInteger(FilterSection, CylindersKey(i), defaults.KnockLimits[i].MaxCylinders);
    }
    settings.AdjustSmoothing = main.ReadInteger(AdjustSection, SmoothingKey, DefaultAdjustSmoothing);

    std::string projectFolder = main.ReadString(FoldersSection, ProjectFolderKey, "");
    if (projectFolder.empty()) {
        const std::string logs = main.ReadString(FoldersSection, VortrixLogsKey, "");
        const std::string name = main.ReadString(FoldersSection, ProjectNameKey, "");
        if (!logs.empty() && !name.empty())
            projectFolder = (PathOfText(logs) / PathOfText(name) / "").string();
    }
    settings.ProjectFolder = PathOfText(projectFolder);
    settings.CellCursor = main.ReadBool(SettingsSection, CellCursorKey, true);
}

bool SaveExitValues(TIniFile2& main, const TSettings& settings) {
    bool ok = main.WriteString(FoldersSection, ProjectFolderKey, settings.ProjectFolder.string());
    ok &= main.WriteString(FoldersSection, SessionNameKey, "");
    ok &= main.WriteString(FoldersSection, SessionFolderKey, "");
    ok &= WriteFilterSection(main, settings.StoredFilters);
    ok &= main.WriteNumber(FilterSection, AfrSmoothingKey, settings.AfrSmoothing, 0);
    for (std::size_t i = 0; i < settings.KnockLimits.size(); ++i) {
        ok &= main.WriteNumber(FilterSection, RetardKey(i), settings.KnockLimits[i].MaxRetard, 1);
        ok &= main.WriteInteger(FilterSection, CylindersKey(i), settings.KnockLimits[i].MaxCylinders);
    }
    ok &= main.WriteInteger(AdjustSection, SmoothingKey, settings.AdjustSmoothing);
    return ok;
}

std::vector<std::filesystem::path> LoadRecentFiles(const TIniFile2& main) {
    std::vector<std::string> lines;
    main.ReadSectionValues(RecentFilesSection, lines);
    std::vector<std::filesystem::path> files;
    for (const std::string& line : lines) {
        const std::filesystem::path file = PathOfText(line.substr(line.find('=') + 1));
        std::error_code error;
        if (!file.empty() && std::filesystem::is_regular_file(file, error)) files.push_back(file);
    }
    return files;
}

bool SaveRecentFiles(TIniFile2& main, const std::vector<std::filesystem::path>& files) {
    // Overwrite first, then drop what is left over, so that a failure part way
    // never leaves the list empty.
    std::vector<std::string> oldKeys;
    main.ReadSection(RecentFilesSection, oldKeys);
    bool ok = true;
    std::vector<std::string> newKeys;
    for (std::size_t i = 0; i < files.size(); ++i) {
        newKeys.push_back(std::to_string(i + 1));
        ok &= main.WriteString(RecentFilesSection, newKeys.back(), files[i].string());
    }
    for (const std::string& key : oldKeys)
        if (std::find(newKeys.begin(), newKeys.end(), key) == newKeys.end())
            ok &= main.DeleteKey(RecentFilesSection, key);
    return ok;
}

bool WriteStartStamp(TIniFile2& main, std::string_view versionText, std::string_view dateTimeText) {
    TIniUpdate update(main);
    const bool version = main.WriteString(SettingsSection, LastProgramVersionKey, versionText);
    const bool started = main.WriteString(SettingsSection, LastStartedKey, dateTimeText);
    return update.Commit() && version && started;
}

}  // namespace kelvane
