#pragma once

#include <filesystem>
#include <string>
#include <string_view>
#include <vector>

#include "core/logdata/KelvaneDefs.h"
#include "core/plot/PlotContext.h"
#include "core/plot/Selection.h"

namespace kelvane {

// The samples as the device wrote them, for the clipboard or a file: each
// sample's data line, preceded by its file's header line whenever that differs
// from the last header given. Without a selection every sample in list order;
// a point selection gives its samples in the order they were picked (points
// naming no sample are skipped); a cell selection gives every sample inside a
// selected cell (bounds inclusive, on the grid in view), excluded or not, once
// and in list order, and sets each sample's Selected flag to whether it is
// inside. Cells picked on the other map's grid count as no selection. The
// lines point into the loaded files: use them before the logs change.
std::vector<std::string_view> CollectLogLines(TLogData& logData, const TSelection& selection,
                                              const TPlotContext& context);

// The lines as clipboard text, separated by CR LF.
std::string JoinedLogLines(const std::vector<std::string_view>& lines);

// Writes the lines to a file, each ending in CR LF, through a temporary file
// and a rename: on failure the old file is untouched and error names the file
// and the reason.
[[nodiscard]] bool WriteLogLines(const std::filesystem::path& path,
                                 const std::vector<std::string_view>& lines, std::string& error);

}  // namespace kelvane
