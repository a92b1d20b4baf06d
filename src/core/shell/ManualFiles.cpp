#include "core/shell/ManualFiles.h"

#include <system_error>

namespace kelvane {

namespace fs = std::filesystem;

std::vector<fs::path> ManualCandidates(const fs::path& programRoot) {
    const fs::path guide = fs::path("manual") / "index.html";
    // The root carries a trailing separator; its parent path is the folder itself.
    const fs::path root = programRoot.has_filename() ? programRoot : programRoot.parent_path();
    return {root / "KVManual.pdf", root / "KelvaneManual.pdf", root / "Kelvane Manual.pdf", root / guide,
            (root.parent_path() / "share" / "doc" / "kelvane" / guide).lexically_normal()};
}

std::optional<fs::path> FindManual(const fs::path& programRoot) {
    for (const fs::path& candidate : ManualCandidates(programRoot)) {
        std::error_code error;
        if (fs::is_regular_file(candidate, error)) return candidate;
    }
    return std::nullopt;
}

}  // namespace kelvane
