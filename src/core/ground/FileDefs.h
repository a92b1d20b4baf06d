#pragma once

#include <chrono>
#include <filesystem>
#include <functional>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace kelvane {

// Receives one debug-log line (without the time prefix; the log adds it).
using TLogCallback = std::function<void(const std::string&)>;

using TDateTime = std::chrono::system_clock::time_point;

// ---- Alternative file names -------------------------------------------------
// map.txt has the alternative name map.(txt). A name without an extension has none.

bool IsAlternativeFileName(const std::filesystem::path& path);
// The alternative of path (path itself when it already is one; empty when path
// has no extension).
std::filesystem::path AlternativeFileName(const std::filesystem::path& path);

// ---- Reading and writing ----------------------------------------------------

// Reads the file as lines: a line ends at CR, and one LF right after a CR is
// dropped; a lone LF stays inside its line; the last line may lack an end.
// The list is emptied first; false when the file cannot be read. Decides first
// between the file and its alternative, deleting the older of the two.
bool ReadFileLines(const std::filesystem::path& path, std::vector<std::string>& lines);

// Reads the whole file unchanged, with the same choice between the file and its
// alternative. True only when the plain file was read.
bool ReadFileText(const std::filesystem::path& path, std::string& text);

// Replaces the file by the text unchanged. Refuses alternative names. A failure
// is logged as "Exception in WriteFile (from stream): " with the reason.
[[nodiscard]] bool WriteFileText(const std::filesystem::path& path, std::string_view text,
                                 const TLogCallback& log = {});

// Replaces the file by the lines, each followed by CR LF. Refuses alternative
// names; failures are logged as for WriteFileText.
[[nodiscard]] bool WriteFileLines(const std::filesystem::path& path, const std::vector<std::string>& lines,
                                  const TLogCallback& log = {});

// Renames from to to, logging every step with the tag ("tag: ..." when a tag is
// given). A missing source counts as done. An existing target is never
// replaced. A read-only source is made writable and the rename tried once more.
[[nodiscard]] bool RenameFileLogged(const std::filesystem::path& from, const std::filesystem::path& to,
                                    std::string_view tag, const TLogCallback& log);

// ---- Versions and dates -----------------------------------------------------

// The file's modification time; nothing when the file cannot be examined.
std::optional<TDateTime> FileModificationTime(const std::filesystem::path& path);

// The program's own file gives its version text ("1.2.045"); any other file its
// modification date-time "yyyy/mm/dd hh:nn"; a missing file the empty text.
std::string FileVersionText(const std::filesystem::path& path);

// Local time as "yyyy/mm/dd hh:nn:ss" (Seconds) or "yyyy/mm/dd hh:nn"
// (Minutes). A zero date-time (the clock's epoch, the default) stands for the
// current time.
enum class TDateTimePrecision { Minutes, Seconds };
std::string DateTimeText(TDateTimePrecision precision, TDateTime dateTime = {});

// ---- Texts ------------------------------------------------------------------

// The decimal digits padded on the left with "0" to the width; a number that
// does not fit gives width asterisks. A minus sign counts towards the width.
std::string ZeroPad(long long value, int width);

// Skips leading blanks, then cuts the text up to the first separator character
// and returns it; the token and that separator are removed from text. Without a
// separator the whole rest is the token.
std::string NextToken(std::string& text, std::string_view separators);

// Removes leading and trailing blanks and control characters (codes up to 25).
std::string TrimText(std::string_view text);

// True when the name has none of / \ : * ? " < > |.
bool IsValidFileName(std::string_view name);
// The name with those characters removed.
std::string CleanFileName(std::string_view name);

// 1-based position of part in text, compared without regard to case; 0 when
// absent or when part is empty.
std::size_t ContainsText(std::string_view part, std::string_view text);

}  // namespace kelvane
