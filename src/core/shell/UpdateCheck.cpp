#include "core/shell/UpdateCheck.h"

#include <algorithm>
#include <ctime>

#include "core/ground/AtomicFile.h"
#include "core/ground/PathText.h"
#include "core/ground/Platform.h"
#include "core/ground/ProgramVersion.h"
#include "core/shell/StartupUpdates.h"
#include "core/shell/UpdateProtocol.h"

namespace kelvane {

namespace fs = std::filesystem;

namespace {

bool IsUnder(const fs::path& base, const fs::path& path) {
    return std::mismatch(base.begin(), base.end(), path.begin(), path.end()).first == base.end();
}

// A listed name as the report shows it: control characters as "?", so a NUL
// cannot cut the line.
std::string Printable(std::string_view name) {
    std::string text;
    for (const char c : name.substr(0, 200))
        text += static_cast<unsigned char>(c) < 0x20 || c == 0x7F ? '?' : c;
    return text;
}

class TUpdateRun {
  public:
    TUpdateRun(const TUpdateCheckSetup& setup, const TUpdateFetch& fetch) : FSetup(setup), FFetch(fetch) {}

    TUpdateCounters Run() {
        Say("Checking for updates...");
        if (!FSetup.ServerProblem.empty()) {
            Say(FSetup.ServerProblem);
        } else {
            Say("Fetching file list...");
            const TFetchResult list = FFetch(std::string(FileListName), MaxFileListBytes);
            if (list.Status == TFetchStatus::Ok) CheckFiles(ParseFileList(list.Bytes));
        }
        Say(UpdateSummaryText(FCounters.Updated, FCounters.Pending));
        return FCounters;
    }

  private:
    void Say(const std::string& text) {
        if (FSetup.Report) FSetup.Report(text);
        Log(text);
    }
    void Detail(const std::string& text) {
        if (FSetup.ShowDetails && FSetup.Report) FSetup.Report(text);
        Log(text);
    }
    void Log(const std::string& text) {
        if (FSetup.Log) FSetup.Log(std::string(UpdateCheckLogTag) + ": " + text);
    }
    void Error(const std::string& text) {
        Say(text);
        ++FCounters.Errors;
    }

    void CheckFiles(const TFileList& list) {
        if (list.TooLong) Error("File list too long, refused");
        for (const TFileListEntry& entry : list.Entries) CheckFile(entry);
        if (FSetup.ShowDetails && FSetup.Report) FSetup.Report("File check complete");
        Log("File check complete");
        const std::pair<const char*, int> counts[] = {{" Files Checked: ", FCounters.Checked},
                                                      {" Files Updated: ", FCounters.Updated},
                                                      {" Files Skipped: ", FCounters.Skipped},
                                                      {" File Errors:   ", FCounters.Errors},
                                                      {" Files Pending: ", FCounters.Pending}};
        for (const auto& [label, count] : counts) {
            if (FSetup.ShowDetails && FSetup.Report) FSetup.Report(label + std::to_string(count));
            if (FSetup.Log) FSetup.Log("   " + std::string(label) + std::to_string(count));
        }
    }

    void CheckFile(const TFileListEntry& entry) {
        ++FCounters.Checked;
        const std::string name = Printable(entry.Name);
        Log("Checking " + name + " (ver = " + entry.Version + ", size = " + std::to_string(entry.Size) + ")");
        const std::optional<std::string> relative = SafeUpdatePath(entry.Name);
        if (!relative || !StaysInsideFolder(FSetup.ProgramRoot, PathOfText(*relative)) ||
            !StaysInsideFolder(FSetup.CommonRoot, PathOfText(*relative + std::string(UpdatedSuffix)))) {
            Error("File name refused, outside the program folder: " + name);
            return;
        }
        if (entry.Size > MaxUpdateFileBytes) {
            Error("File too large, refused: " + name + " (" + std::to_string(entry.Size) + " bytes)");
            return;
        }
        const fs::path installed = FSetup.ProgramRoot / PathOfText(*relative);
        std::error_code error;
        const fs::file_status installedStatus = fs::symlink_status(installed, error);
        // Only a file is ever replaced: never a folder (it would be moved
        // aside whole) nor a link.
        if (fs::exists(installedStatus) && !fs::is_regular_file(installedStatus)) {
            Error("File name refused, not a file: " + name);
            return;
        }
        const std::string installedVersion =
            fs::exists(installedStatus) ? UpdateFileVersion(installed) : std::string();
        switch (DecideUpdate(entry.Version, installedVersion)) {
            case TUpdateDecision::SkipSameVersion:
                ++FCounters.Skipped;
                Detail("File skipped, same version: " + name + " " + entry.Version);
                return;
            case TUpdateDecision::SkipInstalledNewer:
                ++FCounters.Skipped;
                Detail("File skipped, current version is newer: " + name + " " + installedVersion + " vs. " +
                       entry.Version);
                return;
            case TUpdateDecision::RefuseInvalidVersion:
                Error("File version not valid: " + name + " " + entry.Version);
                return;
            case TUpdateDecision::Fetch:
                break;
        }
        Log("Fetching file \"" + name + "\"");
        if (FSetup.Report) FSetup.Report("Fetching " + name);
        const TFetchResult file = FFetch(*relative, entry.Size);
        if (file.Status != TFetchStatus::Ok) {
            Error("File fetch failed: " + name);
            return;
        }
        const fs::path updated = FSetup.CommonRoot / PathOfText(*relative + std::string(UpdatedSuffix));
        fs::create_directories(updated.parent_path(), error);
        // Through a temporary file: a half-written download is never taken
        // for a finished one by the next start.
        std::string writeError;
        if (!WriteFileAtomically(updated, file.Bytes, &writeError)) {
            Error("File write failed: " + name + " (" + writeError + ")");
            return;
        }
        if (entry.Version.find('/') != std::string::npos) SetFileDateVersion(updated, entry.Version);
        const std::string receivedVersion = UpdateFileVersion(updated);
        if (UpdateVersionNumber(receivedVersion) != UpdateVersionNumber(entry.Version)) {
            fs::remove(updated, error);
            Error("File version mismatch: " + name + "(" + receivedVersion + "/" + entry.Version + ")");
            return;
        }
        if (file.Bytes.size() != entry.Size) {
            fs::remove(updated, error);
            Error("File size mismatch: " + name + "(" + std::to_string(file.Bytes.size()) + "/" +
                  std::to_string(entry.Size) + ")");
            return;
        }
        if (*relative == FSetup.ProgramFileName) {
            Say("Program file update, will copy on restart: " + name);
            ++FCounters.Pending;
            return;
        }
        const fs::path backup = installed.parent_path() /
                                PathOfText(UpdateBackupName(installed.filename().string(), installedVersion));
        // An existing backup is never replaced, and the file it guards is
        // never replaced without one.
        if (!RenameFileLogged(installed, backup, UpdateCheckLogTag, FSetup.Log)) {
            Error("Backup copy failed, file in use: " + name);
            ++FCounters.Pending;
            return;
        }
        fs::create_directories(installed.parent_path(), error);
        if (InstallUpdatedFile(updated, installed, UpdateCheckLogTag, FSetup.Log)) {
            Say("File updated ok: " + name);
            ++FCounters.Updated;
        } else {
            Error("File in use, will copy on restart: " + name);
            ++FCounters.Pending;
        }
    }

    const TUpdateCheckSetup& FSetup;
    const TUpdateFetch& FFetch;
    TUpdateCounters FCounters;
};

}  // namespace

TUpdateCounters RunUpdateCheck(const TUpdateCheckSetup& setup, const TUpdateFetch& fetch) {
    return TUpdateRun(setup, fetch).Run();
}

std::string UpdateFileVersion(const fs::path& path) {
    std::error_code error;
    const std::uintmax_t size = fs::file_size(path, error);
    std::string bytes;
    // Only a program file can carry a version; anything else is dated.
    if (!error && size >= 4 && size <= MaxUpdateFileBytes && ReadWholeFile(path, bytes) &&
        bytes.starts_with("\x7F"
                          "ELF")) {
        const std::string version = EmbeddedVersionText(bytes);
        if (!version.empty()) return FormatVersionText(version);
    }
    return FileVersionText(path);
}

bool StaysInsideFolder(const fs::path& root, const fs::path& relative) {
    std::error_code error;
    const fs::path base = fs::weakly_canonical(root, error);
    if (error || relative.is_absolute()) return false;
    fs::path at = root;
    for (const fs::path& part : relative) {
        if (part == "..") return false;
        at /= part;
        const fs::file_status status = fs::symlink_status(at, error);
        if (error || !fs::exists(status)) return true;
        if (fs::is_symlink(status)) {
            const fs::path resolved = fs::canonical(at, error);
            if (error || !IsUnder(base, resolved)) return false;
        }
    }
    return true;
}

bool SetFileDateVersion(const fs::path& path, std::string_view dateVersion) {
    std::tm local{};
    int minutes[2] = {0, 0};
    const std::string text(dateVersion);
    const int read = std::sscanf(text.c_str(), "%d/%d/%d %d:%d", &local.tm_year, &local.tm_mon,
                                 &local.tm_mday, &minutes[0], &minutes[1]);
    if (read < 3 || !DateVersionDays(dateVersion)) return false;
    local.tm_year -= 1900;
    local.tm_mon -= 1;
    local.tm_hour = read >= 4 ? minutes[0] : 0;
    local.tm_min = read >= 5 ? minutes[1] : 0;
    local.tm_isdst = -1;
    const std::time_t seconds = std::mktime(&local);
    if (seconds == static_cast<std::time_t>(-1)) return false;
    return platform::SetModificationTime(path, seconds);
}

}  // namespace kelvane
