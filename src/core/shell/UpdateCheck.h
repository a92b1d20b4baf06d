#pragma once

#include <cstdint>
#include <filesystem>
#include <functional>
#include <string>

#include "core/ground/FileDefs.h"

namespace kelvane {

inline constexpr std::string_view UpdateCheckLogTag = "UpdateButton";

struct TUpdateCounters {
    int Checked = 0;
    int Updated = 0;
    int Skipped = 0;
    int Errors = 0;
    int Pending = 0;  // left as ".updated" files for the next start

    bool operator==(const TUpdateCounters&) const = default;
};

enum class TFetchStatus { Ok, Failed, TooLarge };

struct TFetchResult {
    TFetchStatus Status = TFetchStatus::Failed;
    std::string Bytes;
};

// Fetches a file of the server's update folder by its name in the list and
// stops as soon as more than limit bytes arrive (TooLarge). Reports its own
// failures.
using TUpdateFetch = std::function<TFetchResult(const std::string& name, std::uint64_t limit)>;

struct TUpdateCheckSetup {
    std::filesystem::path ProgramRoot;
    std::filesystem::path CommonRoot;
    std::string ProgramFileName;  // the running program's file: replaced only at the next start
    std::string ServerProblem;    // why there is no server to ask; empty when there is one
    bool ShowDetails = false;
    std::function<void(const std::string&)> Report;  // one line of the window's report
    TLogCallback Log;
};

// One check for updates: fetches the file list, and every listed file that is
// newer than the installed one; puts each in place after keeping a backup of
// the old one. Names that would reach outside the program folder, files
// larger than listed and versions that are not newer are refused.
TUpdateCounters RunUpdateCheck(const TUpdateCheckSetup& setup, const TUpdateFetch& fetch);

// The version the check compares an installed or downloaded file by: the
// version a program file carries, otherwise its modification date-time.
std::string UpdateFileVersion(const std::filesystem::path& path);

// True when root / relative stays inside root, following every symbolic link
// on the way; a dangling link counts as outside.
bool StaysInsideFolder(const std::filesystem::path& root, const std::filesystem::path& relative);

// Sets the file's modification time to a "yyyy/mm/dd hh:nn" date (local time).
bool SetFileDateVersion(const std::filesystem::path& path, std::string_view dateVersion);

}  // namespace kelvane
