#include "core/plot/LogExport.h"

#include <algorithm>
#include <array>
#include <cerrno>
#include <cstdint>
#include <cstring>
#include <fstream>
#include <string_view>
#include <system_error>

#include "core/ground/AtomicFile.h"
#include "core/ground/PathText.h"
#include "core/plot/SampleBinner.h"

namespace kelvane {

namespace {

constexpr std::string_view LineEnd = "\r\n";

// Adds samples' lines, each after its header when that changed.
class TLineCollector {
  public:
    TLineCollector(const TLogData& logData, TLogLines& lines) : FLogData(logData), FLines(lines) {}

    void Add(const TLogDataEntry& entry) {
        // Samples of one file share its header; compare texts only when the file changes.
        if (entry.File != FLastFile) {
            const std::string_view header = FLogData.HeaderLine(entry);
            if (header != FLastHeader) {
                FLines.push_back(TLogLine::HeaderOf(entry.File));
                FLastHeader = header;
            }
            FLastFile = entry.File;
        }
        FLines.push_back(TLogLine::DataOf(entry));
    }

  private:
    const TLogData& FLogData;
    TLogLines& FLines;
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

// Reads lines of one log file back, after making sure it is still the file
// that was loaded. Lines come in large blocks: asked for in offset order, the
// file is read once from start to end.
class TLogFileReader {
  public:
    explicit TLogFileReader(const TLogFileInfo& file) : FInfo(file), FPath(PathOfText(file.FileName)) {}

    // The file is there, unchanged, with its header in its place.
    bool Open(std::string& error) {
        if (!Unchanged(error)) return false;
        FStream.rdbuf()->pubsetbuf(nullptr, 0);  // the blocks are the buffer
        FStream.open(FPath, std::ios::binary);
        if (!FStream) return Failed(ReadFailure(), error);
        // The header line starts the file, after a byte-order mark if there is one.
        if (!Fill(0, std::min<std::uint64_t>(FInfo.Size, Utf8Bom.size() + FInfo.Header.size() + 1), error))
            return false;
        const std::string_view start(FBlock.data(), FFilled);
        const std::size_t headerAt = start.starts_with(Utf8Bom) ? Utf8Bom.size() : 0;
        if (start.substr(headerAt, FInfo.Header.size()) != FInfo.Header ||
            !EndsLineAt(headerAt + FInfo.Header.size()))
            return Failed(Changed(), error);
        return true;
    }

    // Copies the line of length bytes at offset to out. The line must hold no
    // line end and be followed by one (or by the end of the file): anything
    // else means the file is not the one the places were taken from.
    bool ReadLine(std::uint64_t offset, std::uint32_t length, char* out, std::string& error) {
        if (offset > FInfo.Size || length > FInfo.Size - offset) return Failed(Changed(), error);
        const std::uint64_t wanted = length + (offset + length < FInfo.Size ? 1u : 0u);
        if (offset < FFilledFrom || offset + wanted > FFilledFrom + FFilled) {
            if (!Fill(offset, wanted, error)) return false;
        }
        const char* line = FBlock.data() + (offset - FFilledFrom);
        if (std::memchr(line, '\n', length) || std::memchr(line, '\r', length) ||
            !EndsLineAt(static_cast<std::size_t>(offset - FFilledFrom) + length))
            return Failed(Changed(), error);
        std::memcpy(out, line, length);
        return true;
    }

    // The file did not change while it was read either.
    bool Close(std::string& error) {
        FStream.close();
        return Unchanged(error);
    }

  private:
    static constexpr std::size_t BlockSize = std::size_t{1} << 20;

    const TLogFileInfo& FInfo;
    std::filesystem::path FPath;
    std::ifstream FStream;
    std::vector<char> FBlock;
    std::uint64_t FFilledFrom = 0;  // the file's bytes in FBlock
    std::size_t FFilled = 0;

    std::string Changed() const {
        return FInfo.FileName + " has changed since it was loaded: load it again before exporting its lines";
    }
    std::string ReadFailure() const {
        return FInfo.FileName + ": the file could not be read (" + std::strerror(errno) + ")";
    }
    static bool Failed(std::string message, std::string& error) {
        error = std::move(message);
        return false;
    }

    bool Unchanged(std::string& error) const {
        std::error_code code;
        const std::filesystem::file_status status = std::filesystem::status(FPath, code);
        if (status.type() == std::filesystem::file_type::not_found)
            return Failed(
                FInfo.FileName + " is no longer there: load the logs again before exporting their lines",
                error);
        if (code)
            return Failed(FInfo.FileName + ": the file could not be read (" + code.message() + ")", error);
        if (!std::filesystem::is_regular_file(status)) return Failed(Changed(), error);
        const std::uintmax_t size = std::filesystem::file_size(FPath, code);
        if (code || size != FInfo.Size) return Failed(Changed(), error);
        const std::filesystem::file_time_type modified = std::filesystem::last_write_time(FPath, code);
        if (code || modified != FInfo.Modified) return Failed(Changed(), error);
        return true;
    }

    // A line end, or the end of the file, at this place in the block.
    bool EndsLineAt(std::size_t place) const {
        if (FFilledFrom + place == FInfo.Size) return true;
        return place < FFilled && (FBlock[place] == '\r' || FBlock[place] == '\n');
    }

    // Reads a block from offset that holds at least the wanted bytes.
    bool Fill(std::uint64_t offset, std::uint64_t wanted, std::string& error) {
        const std::size_t count = static_cast<std::size_t>(
            std::min<std::uint64_t>(std::max<std::uint64_t>(wanted, BlockSize), FInfo.Size - offset));
        if (FBlock.size() < count) FBlock.resize(count);
        FFilledFrom = offset;
        FFilled = 0;
        errno = 0;
        FStream.seekg(static_cast<std::streamoff>(offset));
        FStream.read(FBlock.data(), static_cast<std::streamsize>(count));
        FFilled = static_cast<std::size_t>(FStream.gcount());
        if (FFilled == count) return true;
        // Shorter than it was: cut since, or unreadable.
        return Failed(errno != 0 ? ReadFailure() : Changed(), error);
    }
};

std::uint64_t LineLength(const TLogData& logData, const TLogLine& line) {
    return line.Header ? logData.Files[line.File].Header.size() : line.Length;
}

// The lines' indexes grouped by file, each group in offset order (headers
// first). Lines in list order are already in order within each file, so
// only a point selection needs the sort.
std::vector<std::vector<std::uint32_t>> LinesByFileInOffsetOrder(const TLogData& logData,
                                                                 const TLogLines& lines) {
    std::vector<std::vector<std::uint32_t>> byFile(logData.Files.size());
    for (std::size_t i = 0; i < lines.size(); ++i)
        byFile[lines[i].File].push_back(static_cast<std::uint32_t>(i));
    const auto before = [&lines](std::uint32_t a, std::uint32_t b) {
        const TLogLine& x = lines[a];
        const TLogLine& y = lines[b];
        return x.Header != y.Header ? x.Header : x.Offset < y.Offset;
    };
    std::erase_if(byFile, [](const std::vector<std::uint32_t>& group) { return group.empty(); });
    for (std::vector<std::uint32_t>& group : byFile)
        if (!std::is_sorted(group.begin(), group.end(), before))
            std::stable_sort(group.begin(), group.end(), before);
    return byFile;
}

bool IsBlank(std::string_view line) {
    return line.find_first_not_of(" \t") == std::string_view::npos;
}

// A reader takes the decimal separator of what follows a header from its first
// data line. Lines of a file read with the other one have their "," and "."
// swapped, so that they read back with the values they had (a field that held
// the other mark was no number, and still is none); every other line keeps its
// bytes.
void UnifySeparators(const TLogData& logData, const TLogLines& lines, const std::vector<std::uint64_t>& at,
                     std::string& text) {
    char inForce = 0;  // none until the first data line after a header
    for (std::size_t i = 0; i < lines.size(); ++i) {
        const TLogLine& line = lines[i];
        if (line.Header) {
            inForce = 0;
            continue;
        }
        char* const begin = text.data() + at[i];
        char* const end = begin + line.Length;
        if (inForce == 0) {
            if (IsBlank(std::string_view(begin, line.Length))) continue;
            inForce = std::find(begin, end, ',') != end ? ',' : '.';
        }
        if (logData.Files[line.File].Separator == inForce) continue;
        for (char* c = begin; c < end; ++c) {
            if (*c == ',')
                *c = '.';
            else if (*c == '.')
                *c = ',';
        }
    }
}

}  // namespace

TLogLines CollectLogLines(TLogData& logData, const TSelection& selection, const TPlotContext& context) {
    TLogLines lines;
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

bool ReadLogLines(const TLogData& logData, const TLogLines& lines, std::string& text, std::string& error) {
    text.clear();
    error.clear();
    for (const TLogLine& line : lines)
        if (line.File >= logData.Files.size()) {
            error = "The lines to export do not belong to the logs loaded";
            return false;
        }

    // Every line's place in the text, so that each file can be read in offset order.
    std::vector<std::uint64_t> at(lines.size());
    std::uint64_t size = 0;
    for (std::size_t i = 0; i < lines.size(); ++i) {
        if (i > 0) size += LineEnd.size();
        at[i] = size;
        size += LineLength(logData, lines[i]);
    }
    std::string joined(static_cast<std::size_t>(size), '\0');
    for (std::size_t i = 1; i < lines.size(); ++i)
        std::memcpy(joined.data() + at[i] - LineEnd.size(), LineEnd.data(), LineEnd.size());

    for (const std::vector<std::uint32_t>& fileLines : LinesByFileInOffsetOrder(logData, lines)) {
        const TLogFileInfo& file = logData.Files[lines[fileLines.front()].File];
        TLogFileReader reader(file);
        if (!reader.Open(error)) return false;
        for (const std::uint32_t i : fileLines) {
            const TLogLine& line = lines[i];
            char* out = joined.data() + at[i];
            if (line.Header) {
                std::memcpy(out, file.Header.data(), file.Header.size());
            } else if (!reader.ReadLine(line.Offset, line.Length, out, error)) {
                return false;
            }
        }
        if (!reader.Close(error)) return false;
    }
    UnifySeparators(logData, lines, at, joined);
    text = std::move(joined);
    return true;
}

bool WriteLogLines(const std::filesystem::path& path, const TLogData& logData, const TLogLines& lines,
                   std::string& error) {
    std::string text;
    if (!ReadLogLines(logData, lines, text, error)) return false;
    if (!lines.empty()) text += LineEnd;
    if (WriteFileAtomically(path, text, &error)) return true;
    if (error.empty()) error = path.string() + ": the file could not be written";
    return false;
}

}  // namespace kelvane
