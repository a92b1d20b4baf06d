#pragma once

#include <optional>
#include <string_view>

namespace kelvane {

// Case-insensitive (ASCII) equality of two byte strings.
bool SameTextIgnoringCase(std::string_view a, std::string_view b);

// Whether the file system takes names that differ only in case for one file:
// true on Windows and macOS, false elsewhere (Linux keeps "A.txt" and "a.txt"
// apart), unless a test has set the rule.
bool FileNamesIgnoreCase();

// Sets the rule for tests; nothing gives back the platform's own rule.
void SetFileNamesIgnoreCase(std::optional<bool> ignoreCase);

// Two full paths name the same file: compared exactly, or without regard to
// case where the file system ignores it.
bool SameFileName(std::string_view a, std::string_view b);

}  // namespace kelvane
