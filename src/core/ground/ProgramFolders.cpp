#include "core/ground/ProgramFolders.h"

#include <system_error>

#include "core/ground/IniKeys.h"
#include "core/ground/PathText.h"
#include "core/ground/ProgramVersion.h"

namespace kelvane {

namespace {

void Log(const TLogCallback& log, const std::string& line) {
    if (log) log(line);
}

std::string FolderText(const std::filesystem::path& folder) {
    return folder.empty() ? std::string() : WithTrailingSeparator(folder).string();
}

}  // namespace

std::string ProgramBaseName(const std::filesystem::path& programFile) {
    std::string name = programFile.filename().string();
    const std::size_t dot = name.rfind('.');
    if (dot != std::string::npos && name.size() - dot - 1 <= 3) name.erase(dot);
    return name;
}

std::filesystem::path WithTrailingSeparator(const std::filesystem::path& folder) {
    if (folder.empty()) return folder;
    std::filesystem::path result = folder;
    if (result.has_filename()) result /= "";
    return result;
}

bool TProgramValues::HasArgument(std::string_view argument) const {
    for (const std::string& item : Arguments)
        if (item.size() == argument.size() && ContainsText(argument, item) == 1) return true;
    return false;
}

TProgramValues MakeProgramValues(const std::filesystem::path& programFile,
                                 std::vector<std::string> arguments) {
    TProgramValues values;
    values.ProgramFile = programFile;
    values.BaseName = ProgramBaseName(programFile);
    values.ProgramRoot = WithTrailingSeparator(programFile.parent_path());
    values.VersionText = ProgramVersionText();
    values.Title = values.BaseName + " " + values.VersionText;
    values.Arguments = std::move(arguments);
    return values;
}

TMoveResult MoveToCommon(std::string_view name, const std::filesystem::path& from,
                         const std::filesystem::path& to, const TLogCallback& log) {
    const std::filesystem::path source = from / PathOfText(name);
    const std::filesystem::path target = to / PathOfText(name);
    std::error_code error;
    if (!std::filesystem::exists(source, error)) return TMoveResult::NothingToMove;
    const std::string nameText(name);
    if (!std::filesystem::exists(target, error)) {
        std::filesystem::rename(source, target, error);
        if (!error) {
            Log(log, nameText + " moved from " + FolderText(from) + " to " + FolderText(to));
            return TMoveResult::Moved;
        }
        Log(log,
            "Error: " + nameText + " could not be moved from " + FolderText(from) + " to " + FolderText(to));
        return TMoveResult::MoveFailed;
    }
    if (std::filesystem::remove(source, error) && !error) {
        Log(log, "Duplicate " + nameText + " deleted from " + FolderText(from));
        return TMoveResult::DuplicateDeleted;
    }
    Log(log, "Error: Duplicate " + nameText + " could not be deleted from " + FolderText(from));
    return TMoveResult::DeleteFailed;
}

namespace {

// Whether folder lies under base, comparing names as the file system does.
bool LiesUnder(const std::filesystem::path& folder, const std::filesystem::path& base,
               std::filesystem::path& relative) {
    auto at = folder.begin();
    for (const std::filesystem::path& part : base) {
        if (part.empty()) continue;  // a trailing separator
        if (at == folder.end() || !platform::SameFileNameText(at->string(), part.string())) return false;
        ++at;
    }
    relative.clear();
    for (; at != folder.end(); ++at)
        if (!at->empty()) relative /= *at;
    return true;
}

}  // namespace

TPlatformFolders ShellDataFolders(const std::filesystem::path& programRoot,
                                  const platform::TSystemFolders& system) {
    const std::filesystem::path programFiles =
        system.ProgramFiles.empty() ? std::filesystem::path("C:\\Program Files\\") : system.ProgramFiles;
    std::filesystem::path relative;
    if (!LiesUnder(programRoot, programFiles, relative)) relative = programRoot.relative_path();
    TPlatformFolders folders;
    folders.ProgramFiles = WithTrailingSeparator(programFiles);
    if (!system.MachineData.empty()) folders.AppData = WithTrailingSeparator(system.MachineData / relative);
    if (!system.RoamingUserData.empty())
        folders.UserData = WithTrailingSeparator(system.RoamingUserData / relative);
    if (!system.LocalUserData.empty()) {
        const std::filesystem::path store = system.LocalUserData / "VirtualStore";
        folders.RedirectedCopies.push_back(WithTrailingSeparator(store / programRoot.relative_path()));
        if (!folders.AppData.empty())
            folders.RedirectedCopies.push_back(
                WithTrailingSeparator(store / folders.AppData.relative_path()));
    }
    return folders;
}

TPlatformFolders SystemDataFolders(const std::filesystem::path& programRoot,
                                   const std::filesystem::path& appData) {
    if (const std::optional<platform::TSystemFolders> system = platform::SystemFolders())
        return ShellDataFolders(programRoot, *system);
    TPlatformFolders folders;
    folders.AppData = appData;
    folders.UserData = appData;
    return folders;
}

TFolderSetup SetUpFolders(const TProgramValues& program, const TPlatformFolders& platform,
                          const TLogCallback& log) {
    TFolderSetup setup;
    setup.ProgramRoot = WithTrailingSeparator(program.ProgramRoot);
    setup.CommonRoot = WithTrailingSeparator(platform.AppData);
    if (!setup.CommonRoot.empty()) {
        std::error_code error;
        if (!std::filesystem::exists(setup.CommonRoot, error)) {
            // A folder that cannot be made is still used: reads give defaults.
            setup.CommonRootCreated = std::filesystem::create_directories(setup.CommonRoot, error) && !error;
            if (setup.CommonRootCreated) Log(log, "CommonRoot folder created: " + setup.CommonRoot.string());
        }
    } else {
        setup.CommonRoot = setup.ProgramRoot;
    }
    const std::string settingsName = program.BaseName + ".ini";
    std::error_code error;
    const bool sameFolder = std::filesystem::equivalent(setup.CommonRoot, setup.ProgramRoot, error) ||
                            setup.CommonRoot.lexically_normal() == setup.ProgramRoot.lexically_normal();
    if (!sameFolder) {
        MoveToCommon(settingsName, setup.ProgramRoot, setup.CommonRoot, log);
        MoveToCommon(OldTargetAfrFileName, setup.ProgramRoot, setup.CommonRoot, log);
    }
    for (const std::filesystem::path& copy : platform.RedirectedCopies) {
        MoveToCommon(settingsName, copy, setup.CommonRoot, log);
        MoveToCommon(OldTargetAfrFileName, copy, setup.CommonRoot, log);
    }
    setup.MainSettingsFile = setup.CommonRoot / PathOfText(settingsName);
    return setup;
}

bool WriteFolderSection(TIniFile2& main, const TFolderSetup& folders, const TPlatformFolders& platform,
                        const TLogCallback& log) {
    // One write of the file for the section, and none when nothing changed.
    TIniUpdate update(main);
    bool ok = main.WriteString(FoldersSection, CommonRootKey, FolderText(folders.CommonRoot));
    ok &= main.WriteString(FoldersSection, ProgramRootKey, FolderText(folders.ProgramRoot));
    ok &= main.WriteString(FoldersSection, WindowsProgramFilesFolderKey, FolderText(platform.ProgramFiles));
    ok &= main.WriteString(FoldersSection, WindowsAppDataFolderKey, FolderText(platform.AppData));
    ok &= main.WriteString(FoldersSection, WindowsUserDataFolderKey, FolderText(platform.UserData));
    ok &= update.Commit();
    Log(log, "Program Root = " + FolderText(folders.ProgramRoot));
    Log(log, "Common Root = " + FolderText(folders.CommonRoot));
    return ok;
}

}  // namespace kelvane
