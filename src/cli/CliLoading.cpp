#include "cli/CliLoading.h"

#include <cstdio>
#include <fstream>
#include <vector>

#include "core/ground/PathText.h"
#include "core/logdata/LogFileReader.h"
#include "core/maps/MapText.h"
#include "core/shell/LogOpening.h"
#include "core/state/DerivedData.h"

namespace kelvane::cli {

bool IsReadableFile(const std::filesystem::path& path) {
    std::error_code error;
    if (!std::filesystem::is_regular_file(path, error)) return false;
    std::ifstream file(path, std::ios::binary);
    return static_cast<bool>(file);
}

bool LoadLogs(TKelvaneState& state, const TCliOptions& options) {
    state.Display.View = options.EzkView ? TPlotView::EZK : TPlotView::LH;
    state.Display.PlotAfr = options.PlotAfr;
    state.Display.PlotO2Adj = options.PlotO2Adj;
    state.Settings.AfrSmoothing = options.AfrSmoothing;
    state.Settings.ActiveFilters = TFilterSettings{};
    state.Settings.ActiveFilters.FiltersEnabled = options.FiltersEnabled;

    bool allRead = true;
    TChangeSet changes;
    const auto open = [&](const std::vector<std::string>& files) {
        TOpenLogsOptions openOptions;
        openOptions.ChosenSetup = options.Setup;
        std::vector<std::filesystem::path> paths;
        for (const std::string& file : files) paths.push_back(PathOfText(file));
        const TOpenLogsResult result = OpenLogs(state, paths, openOptions);
        changes |= result.Changes;
        for (const auto& [path, file] : result.Files) {
            if (const std::string skipped = SkippedLinesMessage(path, file); !skipped.empty()) {
                std::fprintf(stderr, "%s\n", skipped.c_str());
                if (file.NothingRead()) allRead = false;
            }
            if (file.HeaderRejected) {
                std::fprintf(stderr, "%s\n", file.Message.c_str());
                allRead = false;
            } else if (!file.Loaded && !IsReadableFile(path)) {
                // A readable file without data lines adds nothing and is no error.
                std::fprintf(stderr, "Cannot read %s\n", path.string().c_str());
                allRead = false;
            } else if (file.Unreadable) {
                // A read that failed part way (no memory for the samples, the file
                // changed meanwhile, no log header) is an error too.
                if (file.OutOfMemory)
                    std::fprintf(stderr, "Not enough memory to read %s\n", path.string().c_str());
                else
                    std::fprintf(stderr, "Cannot read %s: %s\n", path.string().c_str(), file.Message.c_str());
                allRead = false;
            }
        }
    };
    open(options.Files);
    for (const auto& later : options.LaterOpens) open(later);
    UpdateDerivedData(state, changes);
    return allRead;
}

bool ReadMapTextFile(const std::filesystem::path& path, TMapTextKind kind, TMapGrid& grid) {
    const std::string name = path.string();
    if (!IsReadableFile(path)) {
        std::fprintf(stderr, "Cannot read %s\n", name.c_str());
        return false;
    }
    // The readers take only ".txt" names, whatever the file holds.
    if (!HasMapTextExtension(path)) {
        std::fprintf(stderr, "Cannot read %s as map text: the name must end in .txt\n", name.c_str());
        return false;
    }
    if (!(kind == TMapTextKind::LH ? ReadLHMapText(path, grid) : ReadEZKMapText(path, grid))) {
        std::fprintf(stderr, "Fewer than 16 map lines in %s\n", name.c_str());
        return false;
    }
    return true;
}

}  // namespace kelvane::cli
