#pragma once

#include <filesystem>
#include <string>
#include <string_view>
#include <vector>

#include "core/ground/FileDefs.h"
#include "core/ground/IniFile2.h"
#include "core/ground/Platform.h"

namespace kelvane {

// The old name of the target AFR file, moved to the common root at start.
inline constexpr std::string_view OldTargetAfrFileName = "TargetAFR.txt";

// The file name without folder; its extension is cut at the last "." only
// when at most 3 characters follow it.
std::string ProgramBaseName(const std::filesystem::path& programFile);

// The folder with one trailing separator ("/a/b" and "/a/b/" give "/a/b/").
std::filesystem::path WithTrailingSeparator(const std::filesystem::path& folder);

// Values fixed once before the main window exists.
struct TProgramValues {
    std::filesystem::path ProgramFile;
    std::string BaseName;
    std::filesystem::path ProgramRoot;  // with a trailing separator
    std::string VersionText;
    std::string Title;  // base name, a blank, the version text
    std::vector<std::string> Arguments;

    // Command-line arguments compare without regard to case.
    bool HasArgument(std::string_view argument) const;
};

// Fills the values for the running program file (version from the build).
TProgramValues MakeProgramValues(const std::filesystem::path& programFile,
                                 std::vector<std::string> arguments);

enum class TMoveResult { NothingToMove, Moved, MoveFailed, DuplicateDeleted, DeleteFailed };

// Moves from / name into to / name, or deletes it when to already has one
// (the common-root copy wins). Every outcome but NothingToMove is logged.
TMoveResult MoveToCommon(std::string_view name, const std::filesystem::path& from,
                         const std::filesystem::path& to, const TLogCallback& log);

// The platform's folders, as the window layer asks them of the system.
struct TPlatformFolders {
    std::filesystem::path AppData;       // the program's per-machine data folder (may be empty)
    std::filesystem::path UserData;      // the program's per-user data folder
    std::filesystem::path ProgramFiles;  // where programs are installed, when the system has such a folder
    // Per-user copies the system made of files the program wrote where it
    // may not write (Windows' VirtualStore): their settings move to the data folder too.
    std::vector<std::filesystem::path> RedirectedCopies;
};

// The program's folders under a shell's system folders (Windows): the
// per-machine and the per-user data folder, each followed by the program
// root's path relative to the program-files folder ("C:\Program Files\" when
// the shell cannot tell), or by the program root's path without its drive when
// it lies elsewhere; and the VirtualStore copies of the program root and of
// the per-machine data folder.
TPlatformFolders ShellDataFolders(const std::filesystem::path& programRoot,
                                  const platform::TSystemFolders& system);

// The folders of the running system: ShellDataFolders where the system has a
// shell to ask (Windows); elsewhere appData (the toolkit's data folder) for
// both data folders.
TPlatformFolders SystemDataFolders(const std::filesystem::path& programRoot,
                                   const std::filesystem::path& appData);

struct TFolderSetup {
    std::filesystem::path ProgramRoot;       // trailing separator
    std::filesystem::path CommonRoot;        // trailing separator
    std::filesystem::path MainSettingsFile;  // common root + base name + ".ini"
    bool CommonRootCreated = false;
};

// Folder set-up: the common root is the data folder (created with its
// parents when missing; the program root when none is given); the settings
// file and the old target AFR file move there from the program root, then
// from the redirected copies. Does not
// write the settings file: see WriteFolderSection.
TFolderSetup SetUpFolders(const TProgramValues& program, const TPlatformFolders& platform,
                          const TLogCallback& log);

// Section "Folders" of the main settings file, then "Program Root = " and
// "Common Root = " are logged. True when everything was written.
[[nodiscard]] bool WriteFolderSection(TIniFile2& main, const TFolderSetup& folders,
                                      const TPlatformFolders& platform, const TLogCallback& log);

}  // namespace kelvane
