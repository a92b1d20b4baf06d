#pragma once

#include <filesystem>
#include <string>
#include <string_view>

#include "core/ground/FileDefs.h"

namespace kelvane {

inline constexpr std::string_view UpdatedSuffix = ".updated";
inline constexpr std::string_view StartupCheckLogTag = "WMCheckStartup";

// The name a replaced file is kept under beside the new one: the name without
// extension, "(ver " + installed version + ")", the extension and ".sav",
// with the characters a file name cannot hold removed.
std::string UpdateBackupName(std::string_view name, std::string_view installedVersion);

// Puts a downloaded file in place of target: it is copied to a temporary file
// beside the target (so the last step is a rename within one folder, whichever
// disk the download lies on) and renamed to the target, never replacing a file
// that is there. The downloaded file is removed only when that succeeded.
[[nodiscard]] bool InstallUpdatedFile(const std::filesystem::path& updated,
                                      const std::filesystem::path& target, std::string_view tag,
                                      const TLogCallback& log);

// True when the folder holds at least one "*.updated" file.
bool HasPendingUpdates(const std::filesystem::path& commonRoot);

struct TInstallResult {
    int Installed = 0;  // ".updated" files now in place
    int Failed = 0;     // left waiting (the old file or the new one could not be renamed)
};

// Installs every "*.updated" file of the common root into the program root:
// the installed file is first renamed to its backup name (a missing one
// counts as done), and only then the new file put in its place. Every rename
// is logged with the tag. Files are taken in name order.
TInstallResult InstallPendingUpdates(const std::filesystem::path& commonRoot,
                                     const std::filesystem::path& programRoot, std::string_view tag,
                                     const TLogCallback& log);

// Whether the exit starts the updater program: updates wait in the common
// root and the update check left none pending of its own.
bool ShouldStartUpdaterAtExit(const std::filesystem::path& commonRoot, int updatesPendingOfCheck);

// The separate updater program beside the executable.
inline constexpr std::string_view UpdaterProgramName = "KVupdater";
inline constexpr std::string_view UpdaterExitArgument = "-silent";

}  // namespace kelvane
