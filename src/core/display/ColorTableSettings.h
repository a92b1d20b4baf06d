#pragma once

#include <string>
#include <string_view>
#include <vector>

#include "core/display/ColorTable.h"
#include "core/ground/IniKeys.h"

namespace kelvane {

// How colour tables sit in the settings file:
//   [Colors]          "Use Color Table" = active table number (-1 when absent)
//   [Color Table n]   one key per entry in table order: "12.8" = "255,176,000"

inline constexpr int UseColorTableAbsent = -1;

// One key and its value text, in file order.
struct TSettingsPair {
    std::string Key;
    std::string Value;
    friend bool operator==(const TSettingsPair&, const TSettingsPair&) = default;
};

// "Color Table n".
std::string ColorTableSectionName(int number);

// The entry value with one decimal ("12.0", "-127.0").
std::string ColorTableKeyText(double value);
// The entry value with the given count of decimals; 0 gives the shortest
// text that reads back as the same number.
std::string ColorTableKeyText(double value, int decimals);
inline constexpr int ColorTableMaxKeyDecimals = 6;
// Red, green and blue as three zero-padded digits joined by commas ("255,176,000").
std::string ColorTableColorText(TColor32 color);

// The key read as a number (a comma may stand for the point); 0.0 when it is
// not a number.
double ColorTableKeyValue(std::string_view key);
// The value split at commas into red, green and blue, each an integer reduced
// to its low 8 bits (not a number or missing gives 0), with alpha 255.
TColor32 ColorTableColorValue(std::string_view text);

// A table as the keys of its section, and back. Entries whose one-decimal
// keys would be the same are written with more decimals, so none is lost; of keys
// that read as one value ("12.0", "12,0", "12") only the first becomes an entry.
std::vector<TSettingsPair> ColorTableToPairs(const TColorTable& table);
TColorTable ColorTableFromPairs(const std::vector<TSettingsPair>& pairs);

// True when an entry other than the one at index already has the value:
// two entries of one value cannot both be stored.
bool ColorValueTaken(const TColorTable& table, std::size_t index, double value);

// The active scale after loading, from the "Use Color Table" number and the
// pairs of that table's section: the stored table when the number is 0 or more
// and the section has entries, otherwise built-in table 2.
TColorScale ColorScaleFromSettings(int useColorTable, const std::vector<TSettingsPair>& section);

}  // namespace kelvane
