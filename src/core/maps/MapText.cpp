#include "core/maps/MapText.h"

#include <algorithm>
#include <array>
#include <charconv>
#include <cmath>
#include <functional>
#include <system_error>
#include <vector>

#include "core/ground/AtomicFile.h"
#include "core/ground/PathText.h"
#include "core/maps/MapFields.h"

namespace kelvane {

namespace {

constexpr std::size_t FileFieldWidth = 6;
constexpr std::string_view Asterisks = "******";
constexpr int MaxDecimals = 15;
// A folder full of "(n)" copies is a sign of trouble, not a reason to loop on.
constexpr int MaxCounterNames = 10000;

using TLineCheck = std::function<bool(std::string_view)>;

std::vector<std::string> TextLines(std::string_view text) {
    std::vector<std::string> lines;
    for (const std::string_view line : SplitMapLines(text)) lines.emplace_back(line);
    return lines;
}

// A map file is about a kilobyte; anything this large is no map and is not read.
constexpr std::uintmax_t MaxMapFileSize = 4u << 20;

// A file that cannot be read, or is far too large for a map, reads as no lines.
std::vector<std::string> FileLines(const std::filesystem::path& path) {
    std::error_code error;
    const std::uintmax_t size = std::filesystem::file_size(path, error);
    if (error || size > MaxMapFileSize) return {};
    std::string bytes;
    if (!ReadWholeFile(path, bytes)) return {};
    DropByteOrderMark(bytes);  // a file saved again by an editor as "UTF-8 with BOM"
    return TextLines(bytes);
}

// Accepted lines fill load rows in order; stops after the 16th.
bool FillRows(const std::vector<std::string>& lines, TMapGrid& grid, const TLineCheck& check,
              bool trimLines) {
    int row = 0;
    for (const std::string& rawLine : lines) {
        const std::string_view line = trimLines ? TrimMapText(rawLine) : std::string_view(rawLine);
        if (!check(line)) continue;
        std::size_t pos = 0;
        for (int r = 0; r < MapSize; ++r)
            grid.At(r, row) = MapNumberOr(NextMapField(line, pos, "\t"), TDecimalComma::Accepted, 0);
        if (++row == MapSize) return true;
    }
    return false;
}

bool IsLHLines(const std::vector<std::string>& lines) {
    int found = 0;
    for (const std::string& line : lines) {
        if (!IsLHMapTextLine(line)) continue;
        std::size_t pos = 0;
        for (int j = 0; j < MapSize; ++j)
            if (!IsMapInteger(NextMapField(line, pos, "\t,;"))) return false;
        if (++found == MapSize) return true;
    }
    return false;
}

bool IsEZKLines(const std::vector<std::string>& lines) {
    int found = 0;
    bool decimalMark = false;
    for (const std::string& line : lines) {
        if (!IsEZKMapLine(line)) continue;
        std::size_t pos = 0;
        for (int j = 0; j < MapSize; ++j) {
            const std::string_view field = NextMapField(line, pos, "\t");
            const double value = MapNumberOr(field, TDecimalComma::Accepted, -1);
            if (value < 0 || value > 90) return false;
            if (field.find_first_of(".,") != std::string_view::npos) decimalMark = true;
        }
        if (++found == MapSize) return decimalMark;
    }
    return false;
}

// Fixed notation; a value that rounds to zero carries no sign.
std::string FixedText(double value, int decimals) {
    std::array<char, 400> buffer{};
    const auto [end, error] = std::to_chars(buffer.data(), buffer.data() + buffer.size(), value,
                                            std::chars_format::fixed, std::clamp(decimals, 0, MaxDecimals));
    if (error != std::errc()) return std::string(Asterisks);
    std::string text(buffer.data(), end);
    if (!text.empty() && text.front() == '-' && text.find_first_not_of("0.", 1) == std::string::npos)
        text.erase(0, 1);
    return text;
}

std::vector<std::string_view> TabPieces(std::string_view line) {
    std::vector<std::string_view> pieces;
    if (TrimMapText(line).empty()) return pieces;  // a blank line holds no field
    std::size_t start = 0;
    while (true) {
        const std::size_t tab = line.find('\t', start);
        if (tab == std::string_view::npos) {
            pieces.push_back(TrimMapText(line.substr(start)));
            return pieces;
        }
        pieces.push_back(TrimMapText(line.substr(start, tab - start)));
        start = tab + 1;
    }
}

}  // namespace

bool HasMapTextExtension(const std::filesystem::path& path) {
    const std::string name = path.filename().string();
    if (name.size() < 4) return false;
    std::string ending = name.substr(name.size() - 4);
    for (char& c : ending)
        if (c >= 'A' && c <= 'Z') c = static_cast<char>(c - 'A' + 'a');
    return ending == ".txt";
}

bool ReadLHMapText(const std::filesystem::path& path, TMapGrid& grid) {
    if (!HasMapTextExtension(path)) return false;
    return FillRows(FileLines(path), grid, IsLHMapTextLine, false);
}

bool ReadEZKMapText(const std::filesystem::path& path, TMapGrid& grid) {
    if (!HasMapTextExtension(path)) return false;
    return FillRows(FileLines(path), grid, IsEZKMapLine, false);
}

bool IsLHMapText(const std::filesystem::path& path) {
    return IsLHLines(FileLines(path));
}

bool IsEZKMapText(const std::filesystem::path& path) {
    return IsEZKLines(FileLines(path));
}

bool IsLHMapBlock(std::string_view text) {
    return IsLHLines(TextLines(text));
}

bool IsEZKMapBlock(std::string_view text) {
    return IsEZKLines(TextLines(text));
}

bool ReadMapBlock(std::string_view text, TMapGrid& grid) {
    return FillRows(TextLines(text), grid, IsLHMapTextLine, true);
}

std::string MapFileValueText(double value, int decimals) {
    if (!std::isfinite(value)) return std::string(Asterisks);
    for (int d = std::clamp(decimals, 0, MaxDecimals); d >= 0; --d) {
        std::string text = FixedText(value, d);
        if (text.size() <= FileFieldWidth) return text;
    }
    return std::string(Asterisks);
}

std::string MapFileText(const TMapGrid& grid, int decimals) {
    std::string text;
    for (int l = 0; l < MapSize; ++l) {
        for (int r = 0; r < MapSize; ++r) {
            if (r > 0) text += '\t';
            text += MapFileValueText(grid.At(r, l), decimals);
        }
        text += "\r\n";
    }
    return text;
}

std::filesystem::path NextCounterName(const std::filesystem::path& path) {
    std::string stem = path.stem().string();
    long long next = 2;
    const std::size_t open = stem.rfind('(');
    if (!stem.empty() && stem.back() == ')' && open != std::string::npos) {
        const std::string_view digits = std::string_view(stem).substr(open + 1, stem.size() - open - 2);
        long long number = 0;
        const auto [end, error] = std::from_chars(digits.data(), digits.data() + digits.size(), number);
        if (!digits.empty() && digits.size() <= 9 && error == std::errc() &&
            end == digits.data() + digits.size() &&
            digits.find_first_not_of("0123456789") == std::string_view::npos) {
            next = number + 1;
            stem.erase(open);
        }
    }
    return path.parent_path() /
           PathOfText(stem + "(" + std::to_string(next) + ")" + path.extension().string());
}

TMapWriteResult WriteMapText(const std::filesystem::path& path, std::string_view text, TOverwrite overwrite) {
    TMapWriteResult result;
    std::filesystem::path target = path;
    if (overwrite == TOverwrite::KeepOld) {
        for (int attempt = 0;; ++attempt) {
            std::error_code error;
            if (!std::filesystem::exists(target, error)) break;
            std::string existing;
            if (ReadWholeFile(target, existing) && existing == text) break;
            if (attempt == MaxCounterNames) {
                result.ErrorText = path.string() + ": no free file name";
                return result;
            }
            target = NextCounterName(target);
        }
    }
    result.FileName = target;
    result.Ok = WriteFileAtomically(target, text, &result.ErrorText);
    return result;
}

TMapWriteResult WriteLHMapText(const std::filesystem::path& path, const TMapGrid& grid, int decimals,
                               TOverwrite overwrite) {
    return WriteMapText(path, MapFileText(grid, decimals), overwrite);
}

TMapWriteResult WriteEZKMapText(const std::filesystem::path& path, const TMapGrid& grid,
                                TOverwrite overwrite) {
    return WriteMapText(path, MapFileText(grid, 1), overwrite);
}

std::string CopyBlock(const TMapGrid& grid, const TMapSelection& selection, int decimals) {
    const int left = std::max(1, selection.Left);
    const int top = std::max(1, selection.Top);
    const int right = std::min(MapSize, selection.Right);
    const int bottom = std::min(MapSize, selection.Bottom);
    std::string text;
    for (int t = top; t <= bottom; ++t) {
        if (left > right) break;
        for (int c = left; c <= right; ++c) {
            if (c > left) text += '\t';
            text += FixedText(grid.At(c - 1, t - 1), decimals);
        }
        text += "\r\n";
    }
    return text;
}

bool PasteBlock(std::string_view text, TMapGrid& grid, const TMapSelection& selection,
                TMapSelection* pastedArea) {
    TMapSelection area = selection;
    if (text.empty() || area.Left < 1 || area.Top < 1 || area.Right < area.Left || area.Bottom < area.Top)
        return false;

    std::vector<std::string_view> lines = SplitMapLines(text);
    while (!lines.empty() && TrimMapText(lines.back()).empty()) lines.pop_back();
    std::vector<std::vector<std::string_view>> rows;
    for (const std::string_view line : lines) rows.push_back(TabPieces(line));
    if (rows.empty()) return false;

    // Fields are counted the way they are read (tabs), so a decimal comma is
    // never taken for a column break.
    const int columns = static_cast<int>(rows.front().size());
    for (const auto& row : rows)
        if (static_cast<int>(row.size()) != columns) return false;
    if (columns == 0) return false;
    const int rowCount = static_cast<int>(rows.size());

    if (area.Right == area.Left && columns > 1) area.Right = std::min(MapSize, area.Left + columns - 1);
    if (area.Bottom == area.Top && rowCount > 1) area.Bottom = std::min(MapSize, area.Top + rowCount - 1);
    if (area.Right > MapSize || area.Bottom > MapSize) return false;

    const int width = area.Right - area.Left + 1;
    const int height = area.Bottom - area.Top + 1;
    const bool fits = (width == columns && height == rowCount) || (columns == 1 && height == rowCount) ||
                      (width == columns && rowCount == 1) || (columns == 1 && rowCount == 1);
    if (!fits) return false;

    for (int t = area.Top; t <= area.Bottom; ++t) {
        const auto& row = rows[static_cast<std::size_t>((t - area.Top) % rowCount)];
        for (int c = area.Left; c <= area.Right; ++c)
            grid.At(c - 1, t - 1) = MapNumberOr(row[static_cast<std::size_t>((c - area.Left) % columns)],
                                                TDecimalComma::Accepted, 0);
    }
    if (pastedArea) *pastedArea = area;
    return true;
}

bool ReadEZKMapBlock(std::string_view text, TMapGrid& grid) {
    int row = 0;
    for (std::string_view line : SplitMapLines(text)) {
        if (row == MapSize) break;
        line = TrimMapText(line);
        if (!IsEZKMapLine(line)) continue;
        std::size_t pos = 0;
        for (int r = 0; r < MapSize; ++r)
            grid.At(r, row) = MapNumberOr(NextMapField(line, pos, "\t"), TDecimalComma::Accepted, 0.0);
        ++row;
    }
    return row == MapSize;
}

}  // namespace kelvane
