#pragma once

#include <cstdint>
#include <filesystem>
#include <string>
#include <vector>

#include "core/logdata/KelvaneDefs.h"
#include "core/plot/PlotContext.h"
#include "core/plot/Selection.h"

namespace kelvane {

// One line to export: a file's header line, or a sample's data line by its
// place in its file. Only places are kept; the texts are read from the files
// when they are exported.
struct TLogLine {
    std::uint64_t Offset = 0;  // a data line's first byte in its file
    std::uint32_t Length = 0;  // a data line's length without its line end
    std::uint32_t File = 0;    // index into TLogData::Files
    bool Header = false;       // the file's header line; Offset and Length unused

    static TLogLine HeaderOf(std::uint32_t file) { return {0, 0, file, true}; }
    static TLogLine DataOf(const TLogDataEntry& e) { return {e.RawOffset, e.RawLength, e.File, false}; }
    bool operator==(const TLogLine&) const = default;
};

using TLogLines = std::vector<TLogLine>;

// The samples as the device wrote them, for the clipboard or a file: each
// sample's data line, preceded by its file's header line whenever that differs
// from the last header given. Without a selection every sample in list order;
// a point selection gives its samples in the order they were picked (points
// naming no sample are skipped); a cell selection gives every sample inside a
// selected cell (bounds inclusive, on the grid in view), excluded or not, once
// and in list order, and sets each sample's Selected flag to whether it is
// inside. Cells picked on the other map's grid count as no selection.
TLogLines CollectLogLines(TLogData& logData, const TSelection& selection, const TPlotContext& context);

// Reads the lines back from their files and joins them with CR LF: the
// clipboard text. Each file must still be the one that was loaded (a regular
// file of the size and time recorded, its header in its place); when one is
// not, or a line cannot be read, text is left empty and error names the file
// and the reason. Each file is read once, in large blocks, whatever the order
// of the lines.
[[nodiscard]] bool ReadLogLines(const TLogData& logData, const TLogLines& lines, std::string& text,
                                std::string& error);

// Writes the lines to a file, each ending in CR LF, through a temporary file
// and a rename. When the lines cannot be read or the file cannot be written,
// the old file is untouched and error names the file and the reason.
[[nodiscard]] bool WriteLogLines(const std::filesystem::path& path, const TLogData& logData,
                                 const TLogLines& lines, std::string& error);

}  // namespace kelvane
