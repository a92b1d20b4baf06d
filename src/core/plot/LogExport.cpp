#include "core/plot/LogExport.h"

#include <array>
#include <cstdint>

#include "core/ground/AtomicFile.h"
#include "core/plot/SampleBinner.h"

namespace kelvane {

namespace {

constexpr std::string_view LineEnd = "\r\n";

// Adds samples' lines, each after its header when that changed.
class TLineCollector {
  public:
    TLineCollector(const TLogData& logData, std::vector<std::string_view>& lines)
        : FLogData(logData), FLines(lines) {}

    void Add(const TLogDataEntry& entry) {
        // Samples of one file share its header; compare texts only when the file changes.
        if (entry.File != FLastFile) {
            const std::string_view header = FLogData.HeaderLine(entry);
            if (header != FLastHeader) {
                FLines.push_back(header);
                FLastHeader = header;
            }
            FLastFile = entry.File;
        }
        FLines.push_back(FLogData.RawLine(entry));
    }

  private:
    const TLogData& FLogData;
    std::vector<std::string_view>& FLines;
    std::string_view FLastHeader;  // none written yet
    std::uint64_t FLastFile = UINT64_MAX;
};

bool InsideAnyCell(const TSampleBinner& binner, const TLogDataEntry& entry,
                   const std::array<std::uint8_t, MapSize * MapSize>& selected) {
    TCellSpan rows, columns;
    if (!binner.CellsHolding(entry, rows, columns)) return false;
    for (int r = rows.First; r <= rows.Last; ++r)
        for (int c = columns.First; c <= columns.Last; ++c)
            if (selected[static_cast<std::size_t>(r * MapSize + c)]) return true;
    return false;
}

void CollectCells(TLogData& logData, const TSelection& selection, const TPlotContext& context,
                  TLineCollector& collector) {
    std::array<std::uint8_t, MapSize * MapSize> selected{};
    for (const TSelectionItem& item : selection.Items)
        if (item.Kind == SelectionKindCell && item.Row >= 0 && item.Row < MapSize && item.Column >= 0 &&
            item.Column < MapSize)
            selected[static_cast<std::size_t>(item.Row * MapSize + item.Column)] = 1;
    const TSampleBinner binner(context);
    for (TLogDataEntry& entry : logData.Entries) {
        const bool inside = InsideAnyCell(binner, entry, selected);
        entry.Selected = inside ? 1 : 0;
        if (inside) collector.Add(entry);
    }
}

}  // namespace

std::vector<std::string_view> CollectLogLines(TLogData& logData, const TSelection& selection,
                                              const TPlotContext& context) {
    std::vector<std::string_view> lines;
    if (logData.Empty()) return lines;
    TLineCollector collector(logData, lines);
    const bool cellsInView = selection.IsCells() && selection.View == context.Options.View;
    if (selection.IsPoints()) {
        for (const TSelectionItem& item : selection.Items)
            if (item.Kind == SelectionKindPoint && ValidSampleIndex(logData, item.SampleIndex))
                collector.Add(logData[static_cast<std::size_t>(item.SampleIndex)]);
    } else if (cellsInView) {
        CollectCells(logData, selection, context, collector);
    } else {
        lines.reserve(logData.Count() + logData.Files.size());
        for (const TLogDataEntry& entry : logData.Entries) collector.Add(entry);
    }
    return lines;
}

std::string JoinedLogLines(const std::vector<std::string_view>& lines) {
    std::size_t size = 0;
    for (std::string_view line : lines) size += line.size() + LineEnd.size();
    std::string text;
    text.reserve(size);
    for (std::size_t i = 0; i < lines.size(); ++i) {
        if (i > 0) text += LineEnd;
        text += lines[i];
    }
    return text;
}

bool WriteLogLines(const std::filesystem::path& path, const std::vector<std::string_view>& lines,
                   std::string& error) {
    std::string text = JoinedLogLines(lines);
    if (!lines.empty()) text += LineEnd;
    error.clear();
    if (WriteFileAtomically(path, text, &error)) return true;
    if (error.empty()) error = path.string() + ": the file could not be written";
    return false;
}

}  // namespace kelvane
