#pragma once

#include <filesystem>
#include <optional>
#include <vector>

namespace kelvane {

// Where the manual may be, in the order it is looked for: a PDF manual in the
// program root, then the HTML guide beside the program (a build folder) or
// where an installed program keeps its documents (<prefix>/share/doc).
std::vector<std::filesystem::path> ManualCandidates(const std::filesystem::path& programRoot);

// The first candidate that is a regular file.
std::optional<std::filesystem::path> FindManual(const std::filesystem::path& programRoot);

}  // namespace kelvane
