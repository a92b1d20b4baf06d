#pragma once

#include <filesystem>
#include <string>
#include <string_view>

#include "core/maps/MapFields.h"
#include "core/maps/MapGrid.h"

namespace kelvane {

// Map text files are read only from names ending in ".txt" (any case).
bool HasMapTextExtension(const std::filesystem::path& path);

// Reading map text files. The path must end in ".txt" (any case). Lines that
// fail the line check of the kind are skipped (LH: an LH line or a Primary
// Load Map line); the k-th accepted line fills
// load row k. True only when 16 rows were filled; with fewer the rows reached
// are filled and the others keep their values. A file that cannot be read
// reads as no lines.
bool ReadLHMapText(const std::filesystem::path& path, TMapGrid& grid);
bool ReadEZKMapText(const std::filesystem::path& path, TMapGrid& grid);

// Whole-file kind tests. LH: 16 lines of integers. EZK: 16 lines of values
// from 0 to 90 with at least one decimal mark.
bool IsLHMapText(const std::filesystem::path& path);
bool IsEZKMapText(const std::filesystem::path& path);

// The same tests on text in memory (clipboard text).
bool IsLHMapBlock(std::string_view text);
bool IsEZKMapBlock(std::string_view text);

// Whole-map paste: lines the LH reader takes fill load rows 0 to 15;
// true when the 16th row was filled.
bool ReadMapBlock(std::string_view text, TMapGrid& grid);
// The same with the EZK line check (decimal commas allowed).
bool ReadEZKMapBlock(std::string_view text, TMapGrid& grid);

// One value of a map text file: fixed notation in at most 6 characters,
// dropping decimals until it fits, else "******"; no sign on a zero.
std::string MapFileValueText(double value, int decimals);

// The whole map text: 16 load rows of 16 tab-separated values, CR LF after
// every line.
std::string MapFileText(const TMapGrid& grid, int decimals);

// "name.txt" -> "name(2).txt"; "name(4).txt" -> "name(5).txt".
std::filesystem::path NextCounterName(const std::filesystem::path& path);

struct TMapWriteResult {
    bool Ok = false;
    std::filesystem::path FileName;  // the file actually written (a counter may have renamed it)
    std::string ErrorText;           // why it failed; empty on success
};

// What a map write does with an existing file of the same name: replace it,
// or keep it (when its contents differ) and give the new file a counter.
enum class TOverwrite { KeepOld, Replace };

// Writes through a temporary file and a rename: a failed write leaves any old
// file as it was. With KeepOld an existing file of different contents is kept
// and the name gets a counter; identical contents are rewritten.
[[nodiscard]] TMapWriteResult WriteMapText(const std::filesystem::path& path, std::string_view text,
                                           TOverwrite overwrite);
[[nodiscard]] TMapWriteResult WriteLHMapText(const std::filesystem::path& path, const TMapGrid& grid,
                                             int decimals, TOverwrite overwrite);
[[nodiscard]] TMapWriteResult WriteEZKMapText(const std::filesystem::path& path, const TMapGrid& grid,
                                              TOverwrite overwrite);

// The selected cells as tab-separated text, one load row per line, CR LF after
// every line. A selection reaching outside the map is cut to it.
std::string CopyBlock(const TMapGrid& grid, const TMapSelection& selection, int decimals);

// Pastes a text block into the selection of a grid: a one-column or one-row
// selection grows to the block's shape, and one value, one line or one column
// repeat over the selection. Nothing is written unless the block fits;
// pastedArea (when given) receives the cells written.
bool PasteBlock(std::string_view text, TMapGrid& grid, const TMapSelection& selection,
                TMapSelection* pastedArea = nullptr);

}  // namespace kelvane
