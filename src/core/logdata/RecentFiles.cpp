#include "core/logdata/RecentFiles.h"

#include <algorithm>

namespace kelvane {

void AddRecentFile(TRecentFiles& list, const std::filesystem::path& path) {
    std::erase(list, path);
    list.insert(list.begin(), path);
}

std::vector<std::string> RecentFileCaptions(const TRecentFiles& list) {
    std::vector<std::string> captions;
    const std::size_t shown = std::min<std::size_t>(list.size(), RecentFilesShown);
    for (std::size_t i = 0; i < shown; ++i)
        captions.push_back("&" + std::to_string(i + 1) + " " + list[i].string());
    return captions;
}

}  // namespace kelvane
