#include "core/shell/StartupUpdates.h"

#include <algorithm>
#include <system_error>
#include <vector>

#include "core/ground/PathText.h"

namespace kelvane {

namespace {

bool IsUpdatedFile(const std::filesystem::directory_entry& entry) {
    std::error_code error;
    if (!entry.is_regular_file(error)) return false;
    const std::string name = entry.path().filename().string();
    return name.size() > UpdatedSuffix.size() && name.ends_with(UpdatedSuffix);
}

std::vector<std::filesystem::path> UpdatedFiles(const std::filesystem::path& folder) {
    std::vector<std::filesystem::path> files;
    std::error_code error;
    for (std::filesystem::directory_iterator it(folder, error), end; !error && it != end; it.increment(error))
        if (IsUpdatedFile(*it)) files.push_back(it->path());
    std::sort(files.begin(), files.end());
    return files;
}

}  // namespace

std::string UpdateBackupName(std::string_view name, std::string_view installedVersion) {
    const std::filesystem::path path = PathOfText(name);
    const std::string extension = path.extension().string();
    const std::string stem = std::string(name.substr(0, name.size() - extension.size()));
    return CleanFileName(stem + "(ver " + std::string(installedVersion) + ")" + extension + ".sav");
}

bool InstallUpdatedFile(const std::filesystem::path& updated, const std::filesystem::path& target,
                        std::string_view tag, const TLogCallback& log) {
    const std::filesystem::path temporary =
        target.parent_path() / PathOfText("." + target.filename().string() + ".installing");
    std::error_code error;
    std::filesystem::remove(temporary, error);
    if (!std::filesystem::copy_file(updated, temporary, error)) {
        if (log)
            log(std::string(tag) + ": File copy failed: \"" + updated.string() + "\" to \"" +
                temporary.string() + "\"");
        return false;
    }
    // The copy keeps the date that stands for the version of a data file.
    std::filesystem::last_write_time(temporary, std::filesystem::last_write_time(updated, error), error);
    if (!RenameFileLogged(temporary, target, tag, log)) {
        std::filesystem::remove(temporary, error);
        return false;
    }
    std::filesystem::remove(updated, error);
    return true;
}

bool HasPendingUpdates(const std::filesystem::path& commonRoot) {
    return !UpdatedFiles(commonRoot).empty();
}

TInstallResult InstallPendingUpdates(const std::filesystem::path& commonRoot,
                                     const std::filesystem::path& programRoot, std::string_view tag,
                                     const TLogCallback& log) {
    TInstallResult result;
    for (const std::filesystem::path& updated : UpdatedFiles(commonRoot)) {
        const std::string fileName = updated.filename().string();
        const std::string name = fileName.substr(0, fileName.size() - UpdatedSuffix.size());
        const std::filesystem::path installed = programRoot / PathOfText(name);
        const std::filesystem::path backup =
            programRoot / PathOfText(UpdateBackupName(name, FileVersionText(installed)));
        // The new file goes in only once the old one is out of the way, so
        // nothing is ever overwritten and a failure leaves both files intact.
        if (RenameFileLogged(installed, backup, tag, log) && InstallUpdatedFile(updated, installed, tag, log))
            ++result.Installed;
        else
            ++result.Failed;
    }
    return result;
}

bool ShouldStartUpdaterAtExit(const std::filesystem::path& commonRoot, int updatesPendingOfCheck) {
    return updatesPendingOfCheck == 0 && HasPendingUpdates(commonRoot);
}

}  // namespace kelvane
