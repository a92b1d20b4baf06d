#pragma once

#include <filesystem>
#include <string>
#include <vector>

namespace kelvane {

// Full paths, most recent first, without duplicates. The list is never shortened; the menu
// shows the first RecentFilesShown of them.
using TRecentFiles = std::vector<std::filesystem::path>;

constexpr int RecentFilesShown = 6;

// A log that loaded moves to (or enters at) the top.
void AddRecentFile(TRecentFiles& list, const std::filesystem::path& path);

// Captions of the visible menu items, "&" + tag + " " + path for tags 1 .. 6.
std::vector<std::string> RecentFileCaptions(const TRecentFiles& list);

}  // namespace kelvane
