#pragma once

#include <cstddef>
#include <cstdint>
#include <filesystem>
#include <functional>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace kelvane {

// A project is a folder holding one folder per driving session; a session
// folder holds the logs of that drive, its map files and its own settings
// file.

// A log file: a ".txt" name containing "run" (case ignored).
bool IsLogFileName(std::string_view name);
// The files the folder worker watches: ".txt" names beginning with "Run"
// (case ignored).
bool IsWatchedLogName(std::string_view name);

// The names of the folder's files (not its subfolders); empty when the
// folder cannot be read, and then failure (when given) says so and why, so
// that an unreadable folder is not taken for an empty one.
std::vector<std::string> FolderFileNames(const std::filesystem::path& folder, std::string* failure = nullptr);

// A session folder with logs holds at least one log file.
bool HoldsLogs(const std::filesystem::path& folder);
// A project holds at least one session folder with logs.
bool IsProjectFolder(const std::filesystem::path& folder);

// The order of the session list and the file list: "#" sorts after the
// letters, apostrophes and blanks count for nothing, and "Run7.txt" sorts as
// "Run07.txt"; letters in alphabet order, a small letter before its capital.
std::string NameOrderKey(std::string_view name);
bool NameLess(std::string_view a, std::string_view b);
void SortNames(std::vector<std::string>& names);

// The project's subfolders in name order.
std::vector<std::string> SessionNames(const std::filesystem::path& projectFolder);
// The session's log files in name order; failure as for FolderFileNames.
std::vector<std::string> SessionLogNames(const std::filesystem::path& sessionFolder,
                                         std::string* failure = nullptr);

// project folder / session name; empty when either is empty.
std::filesystem::path SessionPath(const std::filesystem::path& projectFolder, std::string_view sessionName);
// The last component of a folder path, with or without a separator after it.
std::string FolderName(const std::filesystem::path& folder);
// A folder path without a separator at its end, so that two spellings of a
// folder compare equal.
std::filesystem::path FolderKey(const std::filesystem::path& folder);

// "yyyy-mm-dd", the name of a new session.
std::string DateSessionName(int year, unsigned month, unsigned day);
// Today's local date as a session name.
std::string TodaySessionName();
// The name itself when no folder of that name is in the project; otherwise
// the name with " #" and the first free number, counting from 2 or from one
// past the number the name already ends in. Empty for a name holding a control
// character, and when no free number turns up in MaxSessionNameTries.
inline constexpr int MaxSessionNameTries = 100000;
std::string UniqueSessionName(const std::filesystem::path& projectFolder, const std::string& name);

// Makes the new session folder in the project and makes its entry durable
// (flush, given the project folder, is the system's folder flush): a session the
// user saw made is not lost to a power cut. False with error saying why when the
// folder could not be made.
bool CreateSessionFolder(const std::filesystem::path& projectFolder, const std::string& name,
                         std::string& error,
                         const std::function<void(const std::filesystem::path&)>& flush = {});

// A name the user typed for a new session folder; control characters (a NUL
// among them) are bad characters too.
enum class TSessionNameCheck { Ok, Empty, BadCharacters, DotName, Exists };
TSessionNameCheck CheckSessionName(const std::filesystem::path& projectFolder, const std::string& name);
// The prompt that asks again after a refused name.
std::string SessionNameRetryPrompt(TSessionNameCheck check);

// A file's signature: its size, ";" and its modification time, as the
// open-files list keeps them. Empty when the file cannot be examined.
std::string FileSignature(const std::filesystem::path& path);

// Splits a list of names joined by "," or ";" (blanks around each trimmed,
// unless the name as written is a known one: a name may end in a blank). A
// name may itself hold "," or ";": pieces that are no known name alone are
// joined with the pieces after them while that makes a known name, up to
// maxSeparators separators (the most any known name holds).
std::vector<std::string> SplitNameList(std::string_view text,
                                       const std::function<bool(const std::string&)>& known,
                                       std::size_t maxSeparators = SIZE_MAX);

// The session file's "Open files" key: the ticked names joined by ",";
// empty means every file ("Select All"), so logs added later are ticked too;
// none ticked is a marker that names no file, which readers that only look
// for names tick nothing from.
inline constexpr std::string_view NoLogsTicked = "<nil>";
std::string OpenFilesKeyText(const std::vector<std::string>& listed, const std::vector<bool>& ticked);
// The ticks for the listed names; nothing means "Select All".
std::optional<std::vector<bool>> TicksFromOpenFilesKey(std::string_view text,
                                                       const std::vector<std::string>& listed);

}  // namespace kelvane
