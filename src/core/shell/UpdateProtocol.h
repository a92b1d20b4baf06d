#pragma once

#include <cstdint>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace kelvane {

// The update server's protocol, as pure functions over bytes and texts: the
// file list, version numbers, the file names a list may name, the address of
// a file and the summary line. Nothing here touches a file or the network.

inline constexpr std::string_view FileListName = "filelist.txt";
// A list longer than this is refused whole; a file larger than this never
// comes down, whatever the list says.
inline constexpr std::size_t MaxFileListBytes = 64 * 1024;
inline constexpr std::uint64_t MaxUpdateFileBytes = 64ull * 1024 * 1024;

struct TFileListEntry {
    std::string Name;
    std::string Version;
    std::uint64_t Size = 0;

    bool operator==(const TFileListEntry&) const = default;
};

struct TFileList {
    std::vector<TFileListEntry> Entries;  // the usable lines, in list order
    bool TooLong = false;                 // more than MaxFileListBytes: no entries at all
};

// One entry per line holding a name, a version and a positive decimal size,
// separated by ";" or ","; blanks around the line and its fields are dropped.
// Other lines are ignored. Sizes too large for 64 bits are ignored too.
TFileList ParseFileList(std::string_view bytes);

// The number a version text compares by; 0 when it is not a version (an
// invalid date, no major number, or more digits than the number can hold).
std::int64_t UpdateVersionNumber(std::string_view version);

// Whole days since 1899-12-30 of a "yyyy/mm/dd hh:nn" text (the time of day
// dropped); nothing when it is not a valid date.
std::optional<std::int64_t> DateVersionDays(std::string_view version);

// The listed file name as a relative path inside the program folder ("\" is
// taken as a folder separator), or nothing when the name is unsafe: empty,
// absolute, with a drive letter or any ":", a NUL or other control character,
// a "." or ".." segment or an empty one.
std::optional<std::string> SafeUpdatePath(std::string_view name);

enum class TUpdateDecision { Fetch, SkipSameVersion, SkipInstalledNewer, RefuseInvalidVersion };

// What to do with a listed file given the installed file's version text
// (empty when it is not installed). A version that is not newer is never
// fetched, so an update never rolls a file back.
TUpdateDecision DecideUpdate(std::string_view listedVersion, std::string_view installedVersion);

// "http://" + server + "/" + folder + "/" + name with blanks as "%20". The
// server may carry its scheme ("https://host"); a bare host is plain HTTP.
// Nothing when the server is empty or names another scheme.
std::optional<std::string> UpdateFileAddress(std::string_view server, std::string_view folder,
                                             std::string_view name);

// "Check complete" with the count of files updated and updates pending.
std::string UpdateSummaryText(int updated, int pending);

// The version a program file carries compiled in (see ProgramVersion.cpp),
// found in its bytes; empty when it carries none.
std::string EmbeddedVersionText(std::string_view bytes);

}  // namespace kelvane
