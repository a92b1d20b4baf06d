#include "core/projects/ProjectOpening.h"

#include "core/ground/PathText.h"
#include "core/projects/MapBoxes.h"
#include "core/projects/ProjectFolders.h"

namespace kelvane {

std::optional<TPendingSelection> FolderSelection(const std::filesystem::path& folder,
                                                 const TEngineSetup& setup) {
    std::error_code error;
    const std::filesystem::path full = std::filesystem::absolute(folder, error).lexically_normal();
    if (error || !std::filesystem::is_directory(full, error)) return std::nullopt;
    // "demo-project/" names the folder itself, not an empty last component.
    const std::filesystem::path path = full.has_filename() ? full : full.parent_path();

    TPendingSelection selection;
    if (IsProjectFolder(path)) {
        selection.ProjectFolder = path;
        std::vector<std::string> sessions;
        for (const std::string& name : SessionNames(path))
            if (HoldsLogs(SessionPath(path, name))) sessions.push_back(name);
        if (sessions.empty()) return std::nullopt;
        selection.SessionName = sessions.back();
    } else if (HoldsLogs(path)) {
        selection.ProjectFolder = path.parent_path();
        selection.SessionName = FolderName(path);
    } else {
        return std::nullopt;
    }
    const std::filesystem::path session = SessionPath(selection.ProjectFolder, selection.SessionName);
    for (const std::string& name : SessionLogNames(session))
        selection.LogFiles.push_back(session / PathOfText(name));
    selection.Logs = selection.LogFiles.empty() ? TLogRequest::None : TLogRequest::Files;
    const TMapBoxChoices boxes = ClassifySessionMaps(session);
    const auto first = [&](TMapBox box) {
        const std::vector<std::string>& names = boxes[MapBoxIndex(box)];
        return names.empty() ? std::filesystem::path() : MapBoxPath(session, names.front());
    };
    selection.LHStartingMap = first(TMapBox::LHStarting);
    selection.EZKStartingMap = first(TMapBox::EZKStarting);
    selection.Setup = setup;
    return selection;
}

}  // namespace kelvane
