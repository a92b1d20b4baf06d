#include "core/logdata/LogCaption.h"

#include <filesystem>

#include "core/ground/PathText.h"

namespace kelvane {

std::string CaptionText(const TOpenFiles& openFiles, std::string_view sessionName) {
    std::string groups;
    std::filesystem::path lastFolder;
    for (std::size_t i = 0; i < openFiles.Count(); ++i) {
        const std::filesystem::path path = PathOfText(openFiles.Name(i));
        const std::filesystem::path folder = path.parent_path();
        const std::string fileName = path.stem().string();
        if (i > 0 && folder == lastFolder) {
            groups += ", ";
        } else {
            if (i > 0) groups += "; ";
            groups += folder.filename().string();
            groups += ": ";
        }
        groups += fileName;
        lastFolder = folder;
    }
    std::string text = sessionName.empty() ? groups : std::string(sessionName) + " / " + groups;
    if (!text.empty()) text = "   [" + text + "]";
    return "Kelvane " + text;
}

std::string StatusText(std::size_t fileCount, std::size_t sampleCount) {
    return std::to_string(fileCount) + " files open, " + std::to_string(sampleCount) + " data points";
}

}  // namespace kelvane
